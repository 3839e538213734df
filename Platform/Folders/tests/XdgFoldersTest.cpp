#include <gtest/gtest.h>

#include <map>

#include "XdgFolders.h"

namespace {

using Getter = std::string (*)(const Platform::EnvironmentLookup&);

Platform::EnvironmentLookup Env(std::map<std::string, std::string> values)
{
    return [values = std::move(values)](const char* name) -> const char* {
        const auto it = values.find(name);
        return it == values.end() ? nullptr : it->second.c_str();
    };
}

TEST(XdgFoldersTest, VariablesWinOverHomeDefaults)
{
    struct Case {
        Getter get;
        const char* variable;
        const char* homeDefault;
    };
    const Case cases[] = {
        {Platform::GetAllUsersAppDataFolder, "XDG_DATA_HOME", "/home/ann/.local/share"},
        {Platform::GetUserAppDataFolder, "XDG_CONFIG_HOME", "/home/ann/.config"},
        {Platform::GetDocumentsFolder, "XDG_DOCUMENTS_DIR", "/home/ann/Documents"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.get(Env({{"HOME", "/home/ann/"}})), c.homeDefault) << c.variable;
        EXPECT_EQ(c.get(Env({{"HOME", "/home/ann"}, {c.variable, "/srv/x/"}})), "/srv/x") << c.variable;
        // Empty and relative values are ignored, as the XDG rules say.
        EXPECT_EQ(c.get(Env({{"HOME", "/home/ann"}, {c.variable, ""}})), c.homeDefault) << c.variable;
        EXPECT_EQ(c.get(Env({{"HOME", "/home/ann"}, {c.variable, "rel/x"}})), c.homeDefault) << c.variable;
    }
}

TEST(XdgFoldersTest, RootHomeGivesNoDoubleSlash)
{
    EXPECT_EQ(Platform::GetUserAppDataFolder(Env({{"HOME", "/"}})), "/.config");
}

TEST(XdgFoldersTest, MissingHomeFallsBackToTheUserDatabase)
{
    const std::string home = Platform::GetHomeFolder(Env({}));
    // Some sandboxes have no entry for the user; then there is no answer.
    if (!home.empty()) {
        EXPECT_EQ(home.front(), '/');
        EXPECT_EQ(Platform::GetDocumentsFolder(Env({})), (home == "/" ? "" : home) + "/Documents");
    }
}

TEST(XdgFoldersTest, ProcessEnvironmentIsTheDefault)
{
    setenv("XDG_CONFIG_HOME", "/tmp/qv-folders-test-config", 1);
    EXPECT_EQ(Platform::GetUserAppDataFolder(), "/tmp/qv-folders-test-config");
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
