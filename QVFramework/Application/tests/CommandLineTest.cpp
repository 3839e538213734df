#include <gtest/gtest.h>

#include "CommandLine.h"

namespace {

using QV::JoinCommandLine;
using QV::ToValidUtf8;

constexpr const char* kFFFD = "\xEF\xBF\xBD";

TEST(CommandLineTest, IllFormedUtf8IsReplacedNeverCut)
{
    const std::string r = kFFFD;
    const struct {
        const char* what;
        std::string in;
        std::string out;
    } cases[] = {
        {"ASCII", "preset.trs", "preset.trs"},
        {"two, three and four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB9", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB9"},
        {"Latin-1 byte", "caf\xE9.trs", "caf" + r + ".trs"},
        {"lone continuation", "a\x80z", "a" + r + "z"},
        {"overlong", "\xC0\xAF/", r + r + "/"},
        {"overlong three bytes", "\xE0\x80\xAF", r + r + r},
        {"surrogate", "\xED\xA0\x80x", r + r + r + "x"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", r + r + r + r},
        {"F5 and above", "\xF5\xFF", r + r},
        {"sequence cut by the next character", "\xE2\x82x", r + "x"},
        {"sequence cut at the end", "ab\xF0\x9F\x8E", "ab" + r},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ToValidUtf8(c.in), c.out);
        // Valid text passes as it is.
        EXPECT_EQ(ToValidUtf8(c.out), c.out);
    }
}

TEST(CommandLineTest, ArgumentsAreJoinedWhole)
{
    const char* argv[] = {"/opt/tarsel/editor", "my presets/\xE9t\xE9.trs", "", "-DEBUG_CONSOLE"};
    const QV::String line = JoinCommandLine(4, argv);
    EXPECT_EQ(line.ToUtf8(), std::string("/opt/tarsel/editor \"my presets/") + kFFFD + "t" + kFFFD +
                                 ".trs\" \"\" -DEBUG_CONSOLE");
}

}  // namespace
