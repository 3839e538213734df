#include "LanguageId.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using Platform::LanguageId;

TEST(LanguageIdTest, LocaleNamesMapThroughTheTable)
{
    const struct {
        const char* name;
        LanguageId id;
    } cases[] = {
        {"en_US.UTF-8", 0x0409}, {"en_GB.UTF-8", 0x0809}, {"de_DE.UTF-8", 0x0407},
        {"de_AT.UTF-8@euro", 0x0C07}, {"fr_FR", 0x040C}, {"fr_CA.UTF-8", 0x0C0C},
        {"ja_JP.UTF-8", 0x0411}, {"es_ES.UTF-8", 0x0C0A}, {"es_MX", 0x080A},
        {"it_IT", 0x0410}, {"nl_NL", 0x0413}, {"zh_CN.UTF-8", 0x0804}, {"zh_TW", 0x0404},
        {"ko_KR.UTF-8", 0x0412}, {"pt_BR", 0x0416}, {"pt_PT", 0x0816},
        // A territory the table lacks takes the language's main id.
        {"de_LU.UTF-8", 0x0407}, {"fr", 0x040C}, {"FR-ca", 0x0C0C},
        // Neither a language nor a locale: English.
        {"C", 0x0409}, {"POSIX", 0x0409}, {"C.UTF-8", 0x0409}, {"sv_SE.UTF-8", 0x0409}, {"", 0x0409},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Platform::LanguageIdFromLocaleName(c.name), c.id) << c.name;
    }
}

class FakeEnvironment {
public:
    explicit FakeEnvironment(std::map<std::string, std::string> values) : mValues(std::move(values)) {}
    Platform::EnvironmentLookup Lookup() const
    {
        return [this](const char* name) -> const char* {
            auto it = mValues.find(name);
            return it == mValues.end() ? nullptr : it->second.c_str();
        };
    }

private:
    std::map<std::string, std::string> mValues;
};

TEST(LanguageIdTest, UserLocaleTakesLcAllThenLcMessagesThenLang)
{
    const struct {
        std::map<std::string, std::string> env;
        LanguageId user;
        LanguageId system;
    } cases[] = {
        {{{"LC_ALL", "ja_JP.UTF-8"}, {"LC_MESSAGES", "de_DE"}, {"LANG", "fr_FR"}}, 0x0411, 0x040C},
        {{{"LC_ALL", ""}, {"LC_MESSAGES", "de_DE"}, {"LANG", "fr_FR"}}, 0x0407, 0x040C},
        {{{"LANG", "nl_NL"}}, 0x0413, 0x0413},
        {{{"LC_MESSAGES", "ko_KR"}}, 0x0412, 0x0409},
        {{}, 0x0409, 0x0409},
    };
    for (const auto& c : cases) {
        FakeEnvironment env(c.env);
        EXPECT_EQ(Platform::UserLanguageIdFrom(env.Lookup()), c.user);
        EXPECT_EQ(Platform::SystemLanguageIdFrom(env.Lookup()), c.system);
    }
}

TEST(LanguageIdTest, ScopedOverrideNestsAndRestores)
{
    const LanguageId user = Platform::GetUserDefaultLanguageId();
    const LanguageId system = Platform::GetSystemDefaultLanguageId();
    {
        Platform::ScopedLanguageIds outer(0x0411, 0x0407);
        EXPECT_EQ(Platform::GetUserDefaultLanguageId(), 0x0411);
        {
            Platform::ScopedLanguageIds inner(0x0C0C, 0x040C);
            EXPECT_EQ(Platform::GetUserDefaultLanguageId(), 0x0C0C);
            EXPECT_EQ(Platform::GetSystemDefaultLanguageId(), 0x040C);
        }
        EXPECT_EQ(Platform::GetUserDefaultLanguageId(), 0x0411);
        EXPECT_EQ(Platform::GetSystemDefaultLanguageId(), 0x0407);
    }
    EXPECT_EQ(Platform::GetUserDefaultLanguageId(), user);
    EXPECT_EQ(Platform::GetSystemDefaultLanguageId(), system);
}

}  // namespace
