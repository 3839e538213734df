#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "Eventually.h"
#include "GuardTestSupport.h"
#include "InstanceGuard.h"
#include "InstanceMessage.h"
#include "RuntimeFolder.h"
#include "TempFolder.h"

namespace {

using namespace Platform::SingleInstance;
using namespace Platform::SingleInstance::Testing;
using Role = InstanceGuard::Role;
using Texts = std::vector<std::string>;

constexpr const char* kName = "TestMainWindowClassPrevent";

class InstanceGuardTest : public testing::Test {
protected:
    std::unique_ptr<InstanceGuard> MakeGuard()
    {
        return std::make_unique<InstanceGuard>(
            kName, [this] { ++wakes; }, folder.Path());
    }
    std::string LockPath() const { return folder / (std::string(kName) + ".lock"); }
    std::string SocketPath() const { return folder / (std::string(kName) + ".socket"); }

    // Sends raw bytes as a foreign or broken client would; the listener's
    // answer byte, or -1 when it closed without one.
    int SendRaw(const std::string& bytes)
    {
        UniqueFd fd = Connect(SocketPath());
        if (!fd.IsValid() || !WriteAll(fd.Get(), bytes.data(), bytes.size())) return -2;
        ::shutdown(fd.Get(), SHUT_WR);
        char answer = 0;
        return ReadExactly(fd.Get(), &answer, 1) ? answer : -1;
    }

    TempFolder folder{"single-instance"};
    std::atomic<int> wakes{0};
};

TEST_F(InstanceGuardTest, SecondStartHandsItsTextToTheFirst)
{
    auto first = MakeGuard();
    ASSERT_EQ(first->Acquire(), Role::kFirst);
    ASSERT_TRUE(first->IsListening()) << first->GetProblem();

    InstanceGuard second(kName, nullptr, folder.Path());
    ASSERT_EQ(second.Acquire(), Role::kOtherRunning);
    EXPECT_TRUE(second.SendToRunning("/usr/bin/editor -DEBUG_CONSOLE \xC3\xBC"));
    EXPECT_TRUE(second.SendToRunning(""));
    EXPECT_EQ(wakes, 2);
    struct stat info {};
    ASSERT_EQ(::stat(SocketPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(first->TakeReceived(), (Texts{"/usr/bin/editor -DEBUG_CONSOLE \xC3\xBC", ""}));
    EXPECT_TRUE(first->TakeReceived().empty());
    // The first instance hands nothing to itself.
    EXPECT_FALSE(first->SendToRunning("x"));
}

TEST_F(InstanceGuardTest, GoingAwayFreesTheLockAndRemovesTheSocket)
{
    auto first = MakeGuard();
    ASSERT_EQ(first->Acquire(), Role::kFirst);
    ASSERT_TRUE(std::filesystem::exists(SocketPath()));
    first.reset();
    EXPECT_FALSE(std::filesystem::exists(SocketPath()));

    auto next = MakeGuard();
    EXPECT_EQ(next->Acquire(), Role::kFirst);
    EXPECT_TRUE(next->IsListening());
}

TEST_F(InstanceGuardTest, StaleLockFileAndSocketWithoutHolderAreTakenOver)
{
    TempFolder::WriteText(LockPath(), "");
    ASSERT_TRUE(PlantDeadSocket(SocketPath()));

    auto first = MakeGuard();
    ASSERT_EQ(first->Acquire(), Role::kFirst);
    ASSERT_TRUE(first->IsListening()) << first->GetProblem();
    InstanceGuard second(kName, nullptr, folder.Path());
    EXPECT_TRUE(second.SendToRunning("again"));
    EXPECT_EQ(first->TakeReceived(), Texts{"again"});
}

TEST_F(InstanceGuardTest, HeldLockThatNobodyAnswersTakesNoHandOver)
{
    struct Row {
        const char* what;
        bool deadSocket;
    };
    for (const Row row : {Row{"no socket", false}, Row{"socket of a gone listener", true}}) {
        SCOPED_TRACE(row.what);
        const UniqueFd holder = HoldLock(LockPath());
        ASSERT_TRUE(holder.IsValid());
        if (row.deadSocket) {
            ASSERT_TRUE(PlantDeadSocket(SocketPath()));
        }

        InstanceGuard start(kName, nullptr, folder.Path());
        EXPECT_EQ(start.Acquire(), Role::kOtherRunning);
        EXPECT_FALSE(start.SendToRunning("anyone?"));
        std::filesystem::remove(SocketPath());
    }
}

TEST_F(InstanceGuardTest, BrokenOrForeignRecordsAreDropped)
{
    auto first = MakeGuard();
    ASSERT_EQ(first->Acquire(), Role::kFirst);
    const std::string good = EncodeMessage("ok");
    struct Row {
        const char* what;
        std::string bytes;
    };
    const Row rows[] = {
        {"wrong id", std::string("\x66\x04\x00\x00\x03\x00\x00\x00"
                                 "ab\x00",
                                 11)},
        {"no NUL", std::string("\x65\x04\x00\x00\x03\x00\x00\x00"
                               "abc",
                               11)},
        {"empty body", std::string("\x65\x04\x00\x00\x00\x00\x00\x00", 8)},
        // One byte over the cap, NUL included, so only the cap refuses it.
        {"oversized", std::string("\x65\x04\x00\x00\x01\x80\x00\x00", 8) + std::string(kMaxMessageBytes, 'a') + '\0'},
        {"huge length", std::string("\x65\x04\x00\x00\xFF\xFF\xFF\xFF", 8)},
        {"shorter than announced", std::string("\x65\x04\x00\x00\x10\x00\x00\x00"
                                               "ab\x00",
                                               11)},
        {"half a header", std::string("\x65\x04\x00", 3)},
        {"nothing", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_LE(SendRaw(row.bytes), 0);
        EXPECT_TRUE(first->TakeReceived().empty());
    }
    EXPECT_EQ(wakes, 0);
    // Text after the first NUL is not part of it; the listener still serves.
    EXPECT_EQ(SendRaw(std::string("\x65\x04\x00\x00\x07\x00\x00\x00"
                                  "abc\0def",
                                  15)),
              1);
    EXPECT_EQ(SendRaw(good), 1);
    EXPECT_EQ(first->TakeReceived(), (Texts{"abc", "ok"}));
    EXPECT_EQ(wakes, 2);
}

TEST_F(InstanceGuardTest, StalledClientIsCutOffAndLaterStartsStillGetThrough)
{
    auto first = MakeGuard();
    ASSERT_EQ(first->Acquire(), Role::kFirst);
    UniqueFd stalled = Connect(SocketPath());
    ASSERT_TRUE(stalled.IsValid());
    ASSERT_TRUE(WriteAll(stalled.Get(), "\x65\x04", 2));  // and never more

    InstanceGuard second(kName, nullptr, folder.Path());
    EXPECT_TRUE(second.SendToRunning("after the stall"));
    EXPECT_EQ(first->TakeReceived(), Texts{"after the stall"});
}

TEST_F(InstanceGuardTest, IdleClientsHeldOpenKeepNoStartOut)
{
    for (const size_t idle : {size_t{17}, size_t{24}}) {
        SCOPED_TRACE(idle);
        auto first = MakeGuard();
        ASSERT_EQ(first->Acquire(), Role::kFirst);
        std::vector<UniqueFd> held;
        for (size_t i = 0; i < idle; ++i) {
            held.push_back(Connect(SocketPath()));
            ASSERT_TRUE(held.back().IsValid());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));

        InstanceGuard second(kName, nullptr, folder.Path());
        EXPECT_EQ(second.Acquire(), Role::kOtherRunning);
        EXPECT_TRUE(second.SendToRunning("past the idle ones"));
        EXPECT_EQ(first->TakeReceived(), Texts{"past the idle ones"});
    }
}

TEST_F(InstanceGuardTest, AConnectAndCloseFloodKeepsNoStartOut)
{
    using Clock = std::chrono::steady_clock;
    auto first = MakeGuard();
    ASSERT_EQ(first->Acquire(), Role::kFirst);
    // Bounded in time and in count, whichever ends first.
    constexpr auto kFlood = std::chrono::seconds(4);
    constexpr int kMaxPerThread = 40000;
    const auto end = Clock::now() + kFlood;
    std::atomic<int> connections{0};
    std::vector<std::thread> flood;
    for (int t = 0; t < 8; ++t) {
        flood.emplace_back([&] {
            for (int i = 0; i < kMaxPerThread && Clock::now() < end; ++i) {
                if (Connect(SocketPath()).IsValid()) ++connections;
            }
        });
    }
    Texts sent;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (int start = 0; start < 6 && Clock::now() + std::chrono::milliseconds(500) < end; ++start) {
        InstanceGuard later(kName, nullptr, folder.Path());
        EXPECT_EQ(later.Acquire(), Role::kOtherRunning);
        sent.push_back("start " + std::to_string(start));
        EXPECT_TRUE(later.SendToRunning(sent.back())) << sent.back();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    for (std::thread& thread : flood) thread.join();
    EXPECT_GT(connections, 100) << "no flood";
    EXPECT_FALSE(sent.empty());
    EXPECT_EQ(first->TakeReceived(), sent);
}

// Sends one byte of a good record every 0.8 s until stopped or cut off.
class SlowClient {
public:
    explicit SlowClient(const std::string& socketPath) : mFd(Connect(socketPath))
    {
        mThread = std::thread([this] {
            const std::string record = EncodeMessage("slow");
            for (char byte : record) {
                if (!WriteAll(mFd.Get(), &byte, 1)) {
                    cutOff = true;
                    return;
                }
                std::unique_lock hold(mLock);
                if (mStop.wait_for(hold, std::chrono::milliseconds(800), [this] { return mStopping; })) return;
            }
        });
    }
    ~SlowClient()
    {
        {
            std::lock_guard hold(mLock);
            mStopping = true;
        }
        mStop.notify_one();
        mThread.join();
    }
    bool IsConnected() const { return mFd.IsValid(); }
    std::atomic<bool> cutOff{false};

private:
    UniqueFd mFd;
    std::mutex mLock;
    std::condition_variable mStop;
    bool mStopping = false;
    std::thread mThread;
};

TEST_F(InstanceGuardTest, ASlowClientDelaysNoHandOverAndNoQuit)
{
    using Clock = std::chrono::steady_clock;
    auto first = MakeGuard();
    ASSERT_EQ(first->Acquire(), Role::kFirst);
    SlowClient slow(SocketPath());
    ASSERT_TRUE(slow.IsConnected());
    UniqueFd silent = Connect(SocketPath());
    ASSERT_TRUE(silent.IsValid());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    InstanceGuard second(kName, nullptr, folder.Path());
    const auto sendStart = Clock::now();
    EXPECT_TRUE(second.SendToRunning("beside the slow one"));
    EXPECT_LT(Clock::now() - sendStart, std::chrono::milliseconds(1000));
    EXPECT_EQ(first->TakeReceived(), Texts{"beside the slow one"});

    // Each is dropped at its one deadline for the whole record, whatever it still sends.
    EXPECT_TRUE(Eventually([&] { return slow.cutOff.load(); }, std::chrono::milliseconds(3000)));
    char answer = 5;
    EXPECT_EQ(::recv(silent.Get(), &answer, 1, 0), 1);
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(::recv(silent.Get(), &answer, 1, 0), 0);
    EXPECT_TRUE(first->TakeReceived().empty());

    // Quitting never waits on a client.
    SlowClient another(SocketPath());
    UniqueFd silentAgain = Connect(SocketPath());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto quitStart = Clock::now();
    first.reset();
    EXPECT_LT(Clock::now() - quitStart, std::chrono::milliseconds(1000));
}

TEST_F(InstanceGuardTest, AHandOverNobodyAnswersEndsAtItsOneDeadline)
{
    // A running instance that listens but never reads or answers.
    const UniqueFd holder = HoldLock(LockPath());
    ASSERT_TRUE(holder.IsValid());
    const auto address = SocketAddress(SocketPath());
    const UniqueFd mute(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    ASSERT_EQ(::bind(mute.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address), 0);
    ASSERT_EQ(::listen(mute.Get(), 8), 0);

    InstanceGuard start(kName, nullptr, folder.Path());
    const auto began = std::chrono::steady_clock::now();
    EXPECT_FALSE(start.SendToRunning("anyone?"));
    const auto took = std::chrono::steady_clock::now() - began;
    EXPECT_GE(took, std::chrono::milliseconds(900));
    EXPECT_LT(took, std::chrono::milliseconds(1500));
}

TEST_F(InstanceGuardTest, UnusableFolderRunsInFullAndSaysWhy)
{
    struct Row {
        const char* what;
        std::string folder;
    };
    const Row rows[] = {
        {"missing folder", folder / "missing"},
        {"socket path too long", folder.Path() + "/" + std::string(120, 'd')},
    };
    std::filesystem::create_directory(rows[1].folder);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        InstanceGuard guard(kName, nullptr, row.folder);
        EXPECT_EQ(guard.Acquire(), Role::kFirst);
        EXPECT_FALSE(guard.IsListening());
        EXPECT_FALSE(guard.GetProblem().empty());
    }
}

TEST(RuntimeFolderTest, PrivateFolderIsOnlyTakenWhenNobodyElseCanEnter)
{
    TempFolder base{"runtime-folder"};
    std::filesystem::create_directory(base / "open");
    ::chmod((base / "open").c_str(), 0755);
    std::filesystem::create_directory(base / "private");
    ::chmod((base / "private").c_str(), 0700);
    std::filesystem::create_directory_symlink(base / "private", base / "link");
    TempFolder::WriteText(base / "file", "x");
    struct Row {
        const char* name;
        bool usable;
    };
    for (const Row row :
         {Row{"new", true}, Row{"private", true}, Row{"open", false}, Row{"link", false}, Row{"file", false}}) {
        SCOPED_TRACE(row.name);
        const std::string got = PrivateFolder(base.Path(), row.name);
        EXPECT_EQ(got, row.usable ? base / row.name : "");
        if (row.usable) {
            struct stat info {};
            ASSERT_EQ(::lstat(got.c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 0777, 0700u);
        }
    }
}

TEST(RuntimeFolderTest, PrivateRuntimeFolderFirstThenTmpThenTheCacheFolder)
{
    TempFolder base{"runtime-choice"};
    const std::string name = "tarsel-" + std::to_string(::getuid());
    std::filesystem::create_directory(base / "xdg-private");
    ::chmod((base / "xdg-private").c_str(), 0700);
    std::filesystem::create_directory(base / "xdg-open");
    ::chmod((base / "xdg-open").c_str(), 0755);
    std::filesystem::create_directory(base / "tmp");
    std::filesystem::create_directory(base / "taken-tmp");
    // Someone else's folder by that name, as far as its mode tells.
    std::filesystem::create_directory(base / ("taken-tmp/" + name));
    ::chmod((base / ("taken-tmp/" + name)).c_str(), 0777);
    const std::string xdgPrivate = base / "xdg-private";
    const std::string xdgOpen = base / "xdg-open";
    const std::string missing = base / "missing";
    struct Row {
        const char* what;
        const char* xdg;
        std::string tmp;
        std::string expected;
    };
    const Row rows[] = {
        {"private runtime folder", xdgPrivate.c_str(), base / "tmp", xdgPrivate},
        {"runtime folder others may enter", xdgOpen.c_str(), base / "tmp", base / ("tmp/" + name)},
        {"missing runtime folder", missing.c_str(), base / "tmp", base / ("tmp/" + name)},
        {"relative runtime folder", "relative/dir", base / "tmp", base / ("tmp/" + name)},
        {"unset", nullptr, base / "tmp", base / ("tmp/" + name)},
        {"name under tmp taken", nullptr, base / "taken-tmp", base / ("cache/deeper/" + name)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string got = RuntimeFolder(FolderChoices{row.xdg, row.tmp, base / "cache/deeper"});
        EXPECT_EQ(got, row.expected);
        EXPECT_TRUE(IsPrivateFolder(got));
    }
    EXPECT_EQ(RuntimeFolder(FolderChoices{nullptr, base / "taken-tmp", ""}), "");
}

TEST(RuntimeFolderTest, EveryFolderAnEarlierStartMayHaveChosenIsListedAndNoneMade)
{
    TempFolder base{"runtime-folders"};
    const std::string name = "tarsel-" + std::to_string(::getuid());
    const std::string xdg = base / "xdg";
    for (const std::string& path : {xdg, base / ("tmp/" + name), base / ("cache/" + name)}) {
        std::filesystem::create_directories(path);
        ::chmod(path.c_str(), 0700);
    }
    const FolderChoices all{xdg.c_str(), base / "tmp", base / "cache"};
    EXPECT_EQ(RuntimeFolders(all), (Texts{xdg, base / ("tmp/" + name), base / ("cache/" + name)}));

    // One others may enter, or none made yet: left out, and still not made.
    ::chmod((base / ("tmp/" + name)).c_str(), 0777);
    EXPECT_EQ(RuntimeFolders(FolderChoices{nullptr, base / "tmp", base / "none"}), Texts{});
    EXPECT_FALSE(std::filesystem::exists(base / "none"));
}

// The name under /tmp taken when the editor started, free again at the next
// start: that start makes a fresh folder there, yet finds the editor.
TEST(RuntimeFolderTest, AFolderFreeAgainHidesNoRunningEditor)
{
    TempFolder base{"runtime-moved"};
    const std::string name = "tarsel-" + std::to_string(::getuid());
    const std::string squatted = base / ("tmp/" + name);
    std::filesystem::create_directories(squatted);
    ::chmod(squatted.c_str(), 0777);
    const FolderChoices choices{nullptr, base / "tmp", base / "cache"};
    std::atomic<int> wakes{0};
    InstanceGuard editor(kName, [&] { ++wakes; }, choices);
    ASSERT_EQ(editor.Acquire(), Role::kFirst);
    ASSERT_TRUE(editor.IsListening()) << editor.GetProblem();
    EXPECT_EQ(editor.GetLockPath(), base / ("cache/" + name + "/" + kName + ".lock"));

    std::filesystem::remove(squatted);
    for (const char* text : {"second", "third"}) {
        InstanceGuard later(kName, nullptr, choices);
        EXPECT_EQ(later.Acquire(), Role::kOtherRunning);
        EXPECT_TRUE(later.SendToRunning(text));
        EXPECT_TRUE(IsPrivateFolder(squatted)) << "made afresh";
    }
    EXPECT_EQ(editor.TakeReceived(), (Texts{"second", "third"}));
    EXPECT_EQ(wakes, 2);
}

}  // namespace
