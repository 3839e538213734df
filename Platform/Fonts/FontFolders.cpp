#include "FontFolders.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <system_error>

namespace Platform {
namespace {

struct ConfigDeleter {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};

// A private configuration without the font set, so listing folders loads no fonts.
std::unique_ptr<FcConfig, ConfigDeleter> LoadConfig()
{
    return std::unique_ptr<FcConfig, ConfigDeleter>(FcInitLoadConfig());
}

bool EndsWithNoCase(const std::string& name, const std::string& extension)
{
    if (name.size() < extension.size()) return false;
    return std::equal(extension.rbegin(), extension.rend(), name.rbegin(), [](char a, char b) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(a) == lower(b);
    });
}

}  // namespace

std::vector<std::string> GetFontFolders()
{
    std::vector<std::string> folders;
    auto config = LoadConfig();
    if (!config) return folders;
    FcStrList* list = FcConfigGetFontDirs(config.get());
    if (!list) return folders;
    while (FcChar8* dir = FcStrListNext(list)) folders.emplace_back(reinterpret_cast<const char*>(dir));
    FcStrListDone(list);
    return folders;
}

std::vector<std::string> ListFontFiles(const std::vector<std::string>& folders, const std::string& extension)
{
    namespace fs = std::filesystem;
    std::set<std::string> found;
    for (const std::string& folder : folders) {
        std::error_code ec;
        fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
        for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            std::error_code typeError;
            if (!it->is_regular_file(typeError)) continue;
            std::string path = it->path().string();
            if (EndsWithNoCase(path, extension)) found.insert(std::move(path));
        }
    }
    return {found.begin(), found.end()};
}

// Matched against the process-wide configuration that text drawing loads in
// any case: a private one would read the whole set-up and font caches again.
std::string GetSystemFontFamily()
{
    std::unique_ptr<FcPattern, PatternDeleter> pattern(FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif")));
    if (!pattern) return {};
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    std::unique_ptr<FcPattern, PatternDeleter> match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match) return {};
    FcChar8* family = nullptr;
    if (FcPatternGetString(match.get(), FC_FAMILY, 0, &family) != FcResultMatch || !family) return {};
    return reinterpret_cast<const char*>(family);
}

void LoadFontSetup()
{
    (void)FcInit();  // a set-up that fails to load leaves text to the renderer's fallbacks, as before
}

}  // namespace Platform
