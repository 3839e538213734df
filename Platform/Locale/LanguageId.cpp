#include "LanguageId.h"

#include <atomic>
#include <cstdlib>
#include <string>

namespace Platform {

namespace {

struct LocaleEntry {
    std::string_view language;
    // Empty: the language's main id, used for any territory not listed.
    std::string_view territory;
    LanguageId id;
};

constexpr LocaleEntry kLocales[] = {
    {"en", "", 0x0409}, {"en", "GB", 0x0809}, {"en", "AU", 0x0C09}, {"en", "CA", 0x1009},
    {"de", "", 0x0407}, {"de", "CH", 0x0807}, {"de", "AT", 0x0C07},
    {"fr", "", 0x040C}, {"fr", "BE", 0x080C}, {"fr", "CA", 0x0C0C}, {"fr", "CH", 0x100C},
    {"ja", "", 0x0411},
    {"es", "", 0x0C0A}, {"es", "MX", 0x080A},
    {"it", "", 0x0410}, {"it", "CH", 0x0810},
    {"nl", "", 0x0413}, {"nl", "BE", 0x0813},
    {"zh", "", 0x0804}, {"zh", "TW", 0x0404}, {"zh", "HK", 0x0C04},
    {"ko", "", 0x0412},
    {"pt", "", 0x0416}, {"pt", "PT", 0x0816},
};

// A set override is held as 0x10000 | id; 0 means none.
constinit std::atomic<uint32_t> gUserOverride{0};
constinit std::atomic<uint32_t> gSystemOverride{0};
constexpr uint32_t kOverrideSet = 0x10000;

std::optional<LanguageId> Read(const std::atomic<uint32_t>& slot)
{
    const uint32_t value = slot.load();
    if (value == 0) {
        return std::nullopt;
    }
    return static_cast<LanguageId>(value & 0xFFFF);
}

void Write(std::atomic<uint32_t>& slot, std::optional<LanguageId> id)
{
    slot.store(id ? (kOverrideSet | *id) : 0);
}

const char* ProcessEnvironment(const char* name) { return std::getenv(name); }

LanguageId FromFirstSet(const EnvironmentLookup& getEnv, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        const char* value = getEnv(name);
        if (value && *value) {
            return LanguageIdFromLocaleName(value);
        }
    }
    return kEnglishUnitedStates;
}

std::string Lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string Upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

}  // namespace

LanguageId LanguageIdFromLocaleName(std::string_view localeName)
{
    // language[_territory][.codeset][@modifier]; "-" is taken like "_".
    const std::string_view head = localeName.substr(0, localeName.find_first_of(".@"));
    const size_t split = head.find_first_of("_-");
    const std::string language = Lower(head.substr(0, split));
    const std::string territory = split == std::string_view::npos ? "" : Upper(head.substr(split + 1));

    std::optional<LanguageId> main;
    for (const LocaleEntry& entry : kLocales) {
        if (entry.language != language) {
            continue;
        }
        if (entry.territory.empty()) {
            main = entry.id;
        } else if (entry.territory == territory) {
            return entry.id;
        }
    }
    return main.value_or(kEnglishUnitedStates);
}

LanguageId UserLanguageIdFrom(const EnvironmentLookup& getEnv)
{
    return FromFirstSet(getEnv, {"LC_ALL", "LC_MESSAGES", "LANG"});
}

LanguageId SystemLanguageIdFrom(const EnvironmentLookup& getEnv)
{
    return FromFirstSet(getEnv, {"LANG"});
}

LanguageId GetUserDefaultLanguageId()
{
    return Read(gUserOverride).value_or(UserLanguageIdFrom(ProcessEnvironment));
}

LanguageId GetSystemDefaultLanguageId()
{
    return Read(gSystemOverride).value_or(SystemLanguageIdFrom(ProcessEnvironment));
}

ScopedLanguageIds::ScopedLanguageIds(LanguageId user, LanguageId system)
    : mPreviousUser(Read(gUserOverride)), mPreviousSystem(Read(gSystemOverride))
{
    Write(gUserOverride, user);
    Write(gSystemOverride, system);
}

ScopedLanguageIds::~ScopedLanguageIds()
{
    Write(gUserOverride, mPreviousUser);
    Write(gSystemOverride, mPreviousSystem);
}

}  // namespace Platform
