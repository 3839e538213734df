#include "LFileDialog.h"

#include "DebugOutput.h"
#include "FileChooser.h"
#include "FileDialogHost.h"
#include "QVFolders.h"

namespace QV {

namespace Chooser = Platform::FileChooser;

namespace {

const char16_t kUntitled[] = u"Untitled";

std::vector<std::string> SplitText(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "*.*" means every file here as on the original system; choosers read it
// as names that hold a dot.
std::vector<std::string> ParsePatterns(const std::string& text)
{
    std::vector<std::string> patterns;
    for (const std::string& part : SplitText(text, ';')) {
        const std::string pattern = Trimmed(part);
        if (!pattern.empty()) patterns.push_back(pattern == "*.*" ? "*" : pattern);
    }
    return patterns;
}

// A pair without patterns (a trailing '|', an odd count) offers nothing.
std::vector<Chooser::Filter> ParseFilter(const String& filter)
{
    const std::vector<std::string> parts = SplitText(filter.ToUtf8(), '|');
    std::vector<Chooser::Filter> filters;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::vector<std::string> patterns = ParsePatterns(parts[i + 1]);
        if (patterns.empty()) continue;
        const std::string description = Trimmed(parts[i]);
        filters.push_back({description.empty() ? parts[i + 1] : description, std::move(patterns)});
    }
    return filters;
}

}  // namespace

struct LFileDialog::Block {
    String path;
    String folder;
    uint64_t ownerWindow = 0;

    // Every call starts from fresh options: nothing of an earlier one leaks.
    Chooser::Request NewRequest(const String& filter, const String& extension, const String& heading) const
    {
        Chooser::Request request;
        request.title = heading.ToUtf8();
        request.filters = ParseFilter(filter);
        request.defaultExtension = extension.ToUtf8();
        request.startFolder = folder.ToUtf8();
        request.ownerWindow = ownerWindow;
        request.whileOpen = [] { GetFileDialogHost().WhileChooserOpen(); };
        return request;
    }

    QVResult Run(const Chooser::Request& request)
    {
        const Chooser::Result result = Chooser::Choose(request);
        if (result.outcome == Chooser::Outcome::Error) {
            Platform::OutputDebugText("File dialog: " + result.error + "\n");
        }
        if (result.outcome != Chooser::Outcome::Ok) return E_FAIL;
        // With several files chosen, the first full path is the answer.
        path = String(result.paths.front().c_str());
        folder = GetParentFolder(path);
        return S_OK;
    }
};

LFileDialog::LFileDialog(const String& folder) : mBlock(std::make_unique<Block>())
{
    mBlock->folder = folder;
    mBlock->ownerWindow = GetFileDialogHost().GetOwnerWindow();
}

LFileDialog::~LFileDialog() = default;

QVResult LFileDialog::ShowOpenDialog(const String& filter, const String& defaultExtension, const String& title,
                                     bool allowMultiple)
{
    mBlock->path.Clear();
    Chooser::Request request = mBlock->NewRequest(filter, defaultExtension, title);
    request.mode = Chooser::Mode::Open;
    request.multiple = allowMultiple;
    return mBlock->Run(request);
}

QVResult LFileDialog::ShowSaveDialog(const String& filter, const String& defaultExtension, const String& title)
{
    mBlock->path = kUntitled;
    Chooser::Request request = mBlock->NewRequest(filter, defaultExtension, title);
    request.mode = Chooser::Mode::Save;
    request.proposedName = mBlock->path.ToUtf8();
    request.overwritePrompt = true;
    request.confirmReplace = [title = request.title](const std::string& path) {
        return GetFileDialogHost().ConfirmReplace(path, title);
    };
    return mBlock->Run(request);
}

String LFileDialog::GetFilePath() const
{
    return mBlock->path;
}

const String& LFileDialog::GetFolderPath() const
{
    return mBlock->folder;
}

}  // namespace QV
