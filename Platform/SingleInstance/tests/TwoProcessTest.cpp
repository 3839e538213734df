// Two real processes: the probe program beside this test plays the other start.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>

#include "ChildProcess.h"
#include "Eventually.h"
#include "GuardTestSupport.h"
#include "TempFolder.h"

namespace {

using Platform::FileChooser::ChildOutcome;
using Platform::FileChooser::RunChild;
using Platform::SingleInstance::UniqueFd;
using namespace Platform::SingleInstance::Testing;

constexpr const char* kName = "TestMainWindowClassPrevent";

std::string ProbePath()
{
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "single_instance_probe").string();
}

class TwoProcessTest : public testing::Test {
protected:
    ChildOutcome Probe(const char* mode, const std::string& argument)
    {
        return RunChild({ProbePath(), folder.Path(), kName, mode, argument}, nullptr);
    }
    std::string LockPath() const { return folder / (std::string(kName) + ".lock"); }

    TempFolder folder{"single-instance-processes"};
};

TEST_F(TwoProcessTest, SecondStartHandsOverAndEndsWithMinusOne)
{
    const std::string ready = folder / "ready";
    auto first = std::async(std::launch::async, [&] { return Probe("listen", ready); });
    ASSERT_EVENTUALLY(std::filesystem::exists(ready) ||
                      first.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    ASSERT_TRUE(std::filesystem::exists(ready)) << "the first start did not listen";

    const std::string text = "/opt/tarsel/editor -debug_console:9000:host \xC3\xA9";
    const ChildOutcome second = Probe("send", text);
    EXPECT_TRUE(second.exited);
    EXPECT_EQ(second.exitCode, 255) << second.err;

    const ChildOutcome received = first.get();
    EXPECT_TRUE(received.exited);
    EXPECT_EQ(received.exitCode, 0) << received.err;
    EXPECT_EQ(received.out, text + "\n");
}

TEST_F(TwoProcessTest, OnlyAStartThatFindsTheLockFreeRunsInFull)
{
    struct Row {
        const char* what;
        bool holdLock;
        int exitCode;
    };
    for (const Row row : {Row{"lock file left without a holder", false, 1},
                          Row{"held lock, nobody listening: never a second editor", true, 2}}) {
        SCOPED_TRACE(row.what);
        TempFolder::WriteText(LockPath(), "");
        UniqueFd holder;
        if (row.holdLock) holder = HoldLock(LockPath());
        ASSERT_EQ(holder.IsValid(), row.holdLock);

        const ChildOutcome start = Probe("send", "editor");
        EXPECT_TRUE(start.exited);
        EXPECT_EQ(start.exitCode, row.exitCode) << start.err;
    }
}

}  // namespace
