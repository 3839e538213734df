#pragma once
// The user's and the system's language ids (Windows LANGID numbers) taken
// from the POSIX locale variables, in place of GetUserDefaultLangID and
// GetSystemDefaultLangID.
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace Platform {

using LanguageId = uint16_t;

// English (United States): the answer for "C", "POSIX", unset and unknown
// locales.
inline constexpr LanguageId kEnglishUnitedStates = 0x0409;

// "de_AT.UTF-8@euro" -> 0x0C07. A territory the table does not list falls
// back to the language's main id; an unknown language to English.
LanguageId LanguageIdFromLocaleName(std::string_view localeName);

// Reads one environment variable; null when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// The user's messages locale: LC_ALL, else LC_MESSAGES, else LANG (the first
// one set and not empty).
LanguageId UserLanguageIdFrom(const EnvironmentLookup& getEnv);
// The system's default: LANG, the locale the session was started with.
LanguageId SystemLanguageIdFrom(const EnvironmentLookup& getEnv);

// From the process environment, unless a ScopedLanguageIds is in force.
LanguageId GetUserDefaultLanguageId();
LanguageId GetSystemDefaultLanguageId();

// Test seam: while it lives, the two getters answer these ids.
class ScopedLanguageIds {
public:
    ScopedLanguageIds(LanguageId user, LanguageId system);
    ~ScopedLanguageIds();
    ScopedLanguageIds(const ScopedLanguageIds&) = delete;
    ScopedLanguageIds& operator=(const ScopedLanguageIds&) = delete;

private:
    std::optional<LanguageId> mPreviousUser;
    std::optional<LanguageId> mPreviousSystem;
};

}  // namespace Platform
