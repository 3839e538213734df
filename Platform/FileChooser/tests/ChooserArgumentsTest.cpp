#include <gtest/gtest.h>

#include "ProgramFileChooser.h"

namespace Platform::FileChooser {
namespace {

using Args = std::vector<std::string>;

Request Open()
{
    Request request;
    request.title = "Load";
    request.startFolder = "/home/u/Presets";
    request.filters = {{"Presets", {"*.tps"}}, {"All files", {"*.tps", "*"}}};
    return request;
}

Request Save()
{
    Request request = Open();
    request.mode = Mode::Save;
    request.title = "Save";
    request.proposedName = "Untitled";
    request.overwritePrompt = true;
    return request;
}

TEST(ChooserArgumentsTest, ZenityArgumentsFollowTheRequest)
{
    struct Case {
        const char* name;
        Request request;
        Args expected;
    };
    Request multiple = Open();
    multiple.multiple = true;
    Request bare;
    Request owned = Save();
    owned.ownerWindow = 0x2a00005;
    owned.overwritePrompt = false;
    owned.startFolder = "/tmp/";
    const std::string filters[] = {"--file-filter=Presets | *.tps", "--file-filter=All files | *.tps *"};
    const Case cases[] = {
        {"open",
         Open(),
         {"--file-selection", "--modal", "--title=Load", "--filename=/home/u/Presets/", filters[0], filters[1]}},
        {"open several",
         multiple,
         {"--file-selection", "--modal", "--title=Load", "--multiple", "--separator=\n", "--filename=/home/u/Presets/",
          filters[0], filters[1]}},
        {"save",
         Save(),
         {"--file-selection", "--modal", "--title=Save", "--save", "--confirm-overwrite",
          "--filename=/home/u/Presets/Untitled", filters[0], filters[1]}},
        {"save with owner",
         owned,
         {"--file-selection", "--modal", "--title=Save", "--save", "--filename=/tmp/Untitled", filters[0], filters[1],
          "--attach=44040197"}},
        {"nothing given", bare, {"--file-selection", "--modal"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BuildArguments(Dialect::Zenity, c.request), c.expected);
    }
}

TEST(ChooserArgumentsTest, KdialogArgumentsFollowTheRequest)
{
    Request multiple = Open();
    multiple.multiple = true;
    multiple.ownerWindow = 7;
    EXPECT_EQ(BuildArguments(Dialect::Kdialog, multiple),
              (Args{"--title", "Load", "--attach", "7", "--multiple", "--separate-output", "--getopenfilename",
                    "/home/u/Presets/", "Presets (*.tps)\nAll files (*.tps *)"}));
    EXPECT_EQ(BuildArguments(Dialect::Kdialog, Save()),
              (Args{"--title", "Save", "--getsavefilename", "/home/u/Presets/Untitled",
                    "Presets (*.tps)\nAll files (*.tps *)"}));
    EXPECT_EQ(BuildArguments(Dialect::Kdialog, Request{}), (Args{"--getopenfilename", "."}));
}

TEST(ChooserArgumentsTest, ExitCodesMapToOutcomes)
{
    struct Case {
        const char* name;
        ChildOutcome child;
        bool multiple;
        Outcome outcome;
        Args paths;
        const char* errorPart;
    };
    const Case cases[] = {
        {"chosen", {0, true, 0, 0, "/a b/c.tps\n", "", false}, false, Outcome::Ok, {"/a b/c.tps"}, ""},
        {"chosen without newline", {0, true, 0, 0, "/x", "", false}, false, Outcome::Ok, {"/x"}, ""},
        {"several", {0, true, 0, 0, "/a/1\n/a/2\n", "", false}, true, Outcome::Ok, {"/a/1", "/a/2"}, ""},
        {"cancel", {0, true, 1, 0, "", "", false}, false, Outcome::Cancel, {}, ""},
        {"other code",
         {0, true, 5, 0, "", "Gtk: no display\nmore", false},
         false,
         Outcome::Error,
         {},
         "zenity ended with code 5: Gtk: no display"},
        {"signal", {0, false, -1, 9, "", "", false}, false, Outcome::Error, {}, "signal 9"},
        {"nothing chosen", {0, true, 0, 0, "\n", "", false}, false, Outcome::Error, {}, "no file"},
        {"too much", {0, true, 0, 0, "/x", "", true}, false, Outcome::Error, {}, "more text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Request request;
        request.multiple = c.multiple;
        const Result result = InterpretOutcome("zenity", c.child, request);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.paths, c.paths);
        EXPECT_NE(result.error.find(c.errorPart), std::string::npos) << result.error;
    }
}

}  // namespace
}  // namespace Platform::FileChooser
