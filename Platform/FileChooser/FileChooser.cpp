#include "FileChooser.h"

#include <atomic>
#include <filesystem>

#include "ProgramFileChooser.h"

namespace Platform::FileChooser {
namespace {

std::atomic<IFileChooser*> gOverride{nullptr};

bool HasExtension(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    return dot != std::string::npos && dot > nameStart;
}

std::string WithoutLeadingDot(const std::string& extension)
{
    return !extension.empty() && extension.front() == '.' ? extension.substr(1) : extension;
}

bool IsExistingFile(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

}  // namespace

IFileChooser& GetFileChooser()
{
    if (IFileChooser* chooser = gOverride.load()) return *chooser;
    static ProgramFileChooser chooser;
    return chooser;
}

Result Choose(const Request& request)
{
    const std::string extension = WithoutLeadingDot(request.defaultExtension);
    Result result = GetFileChooser().Run(request);
    if (result.outcome != Outcome::Ok || request.mode != Mode::Save || extension.empty()) return result;
    std::string& path = result.paths.front();
    if (HasExtension(path)) return result;
    path += "." + extension;
    // The chooser confirmed the name the user typed, not this one.
    if (!request.overwritePrompt || !IsExistingFile(path)) return result;
    if (request.confirmReplace && request.confirmReplace(path)) return result;
    return Result{Outcome::Cancel, {}, {}};
}

ScopedFileChooser::ScopedFileChooser(IFileChooser& chooser) : mPrevious(gOverride.exchange(&chooser)) {}

ScopedFileChooser::~ScopedFileChooser()
{
    gOverride.store(mPrevious);
}

}  // namespace Platform::FileChooser
