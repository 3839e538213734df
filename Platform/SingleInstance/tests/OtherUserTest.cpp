// Another local user, played by a forked child under a user id of its own;
// only root can change user, so the tests skip otherwise.
#include <gtest/gtest.h>
#include <grp.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include "GuardTestSupport.h"
#include "InstanceGuard.h"
#include "InstanceMessage.h"
#include "RuntimeFolder.h"
#include "TempFolder.h"

namespace {

using namespace Platform::SingleInstance;
using namespace Platform::SingleInstance::Testing;

constexpr const char* kName = "TestMainWindowClassPrevent";

// A user id no account uses.
uid_t UnusedUserId()
{
    uid_t uid = 47000;
    while (::getpwuid(uid)) ++uid;
    return uid;
}

class OtherUserTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (::getuid() != 0) GTEST_SKIP() << "another user needs root to be played; not run as root, so skipped";
        // The other user must reach the folders the test makes for it.
        ::chmod(base.Path().c_str(), 0755);
        std::filesystem::create_directory(base / "tmp");
        ::chmod((base / "tmp").c_str(), 01777);
    }

    // Runs what in a child under the other user: its exit code, 99 when it
    // could not change user. Only system calls run in the child.
    int AsOtherUser(const std::function<int()>& what)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(other) != 0 || ::setuid(other) != 0) ::_exit(99);
            ::_exit(what());
        }
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
        return WEXITSTATUS(status);
    }

    TempFolder base{"single-instance-users"};
    const uid_t other = UnusedUserId();
};

TEST_F(OtherUserTest, FoldersOfAnotherUserAreNeverUsed)
{
    const std::string tmp = base / "tmp";
    const std::string name = "tarsel-" + std::to_string(::getuid());
    const std::string theirs = tmp + "/" + name;
    const std::string theirRuntime = tmp + "/runtime";
    ASSERT_EQ(AsOtherUser([&] { return ::mkdir(theirs.c_str(), 0700) == 0 && ::mkdir(theirRuntime.c_str(), 0700) == 0
                                           ? 0
                                           : 1; }),
              0);
    struct stat info {};
    ASSERT_EQ(::stat(theirs.c_str(), &info), 0);
    ASSERT_EQ(info.st_uid, other);

    const std::string folder = RuntimeFolder(FolderChoices{theirRuntime.c_str(), tmp, base / "cache"});
    EXPECT_EQ(folder, base / ("cache/" + name));
    // The guard still works there: the other user switched nothing off.
    InstanceGuard guard(kName, nullptr, folder);
    EXPECT_EQ(guard.Acquire(), InstanceGuard::Role::kFirst);
    EXPECT_TRUE(guard.IsListening()) << guard.GetProblem();
}

TEST_F(OtherUserTest, AnotherUserCanNeitherHandOverNorReceive)
{
    // A folder the other user may enter, so only the socket and the listener stand in the way.
    const std::string folder = base / "tmp";
    InstanceGuard guard(kName, nullptr, folder);
    ASSERT_EQ(guard.Acquire(), InstanceGuard::Role::kFirst);
    ASSERT_TRUE(guard.IsListening()) << guard.GetProblem();
    const std::string socketPath = guard.GetSocketPath();
    const std::string record = EncodeMessage("from another user");
    // 0: connected and was answered; 1: could not connect; 2: connected, dropped unanswered.
    const auto handOver = [&] {
        UniqueFd fd = Connect(socketPath);
        if (!fd.IsValid()) return 1;
        char answer = 0;
        if (!WriteAll(fd.Get(), record.data(), record.size()) || !ReadExactly(fd.Get(), &answer, 1)) return 2;
        return 0;
    };
    EXPECT_EQ(AsOtherUser(handOver), 1);
    // Even with the socket opened to all, the listener answers only its own user.
    ASSERT_EQ(::chmod(socketPath.c_str(), 0666), 0);
    EXPECT_EQ(AsOtherUser(handOver), 2);
    EXPECT_TRUE(guard.TakeReceived().empty());
}

TEST_F(OtherUserTest, AStartHandsNothingToAnotherUsersListener)
{
    // The other user holds the lock and listens where this user's start looks.
    const std::string folder = base / "tmp";
    const std::string lockPath = folder + "/" + kName + ".lock";
    const std::string socketPath = folder + "/" + kName + ".socket";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(other) != 0 || ::setuid(other) != 0) ::_exit(99);
        const UniqueFd lock = HoldLock(lockPath);
        const auto address = SocketAddress(socketPath);
        const UniqueFd listener(::socket(AF_UNIX, SOCK_STREAM, 0));
        if (!lock.IsValid() || !address || !listener.IsValid() ||
            ::bind(listener.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
            ::chmod(socketPath.c_str(), 0666) != 0 || ::listen(listener.Get(), 1) != 0)
            ::_exit(1);
        const char yes = 1;
        (void)::write(ready[1], &yes, 1);
        // Takes whatever comes and says "taken"; ends when the test closes its end.
        const UniqueFd connection(::accept(listener.Get(), nullptr, nullptr));
        char byte = 0;
        if (connection.IsValid()) {
            (void)::send(connection.Get(), &yes, 1, MSG_NOSIGNAL);
            while (::recv(connection.Get(), &byte, 1, 0) > 0) {
            }
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "the other user's listener did not start";
    ::close(ready[0]);

    InstanceGuard start(kName, nullptr, folder);
    EXPECT_EQ(start.Acquire(), InstanceGuard::Role::kOtherRunning);
    EXPECT_FALSE(start.SendToRunning("my command line"));
    int status = 0;
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
}

TEST_F(OtherUserTest, ASquatThatEndsHidesNoRunningEditor)
{
    const std::string tmp = base / "tmp";
    const std::string squatted = tmp + "/tarsel-" + std::to_string(::getuid());
    ASSERT_EQ(AsOtherUser([&] { return ::mkdir(squatted.c_str(), 0700) == 0 ? 0 : 1; }), 0);
    const FolderChoices choices{nullptr, tmp, base / "cache"};
    InstanceGuard editor(kName, nullptr, choices);
    ASSERT_EQ(editor.Acquire(), InstanceGuard::Role::kFirst);
    ASSERT_TRUE(editor.IsListening()) << editor.GetProblem();
    EXPECT_EQ(editor.GetSocketPath().rfind(base / "cache/", 0), 0u) << editor.GetSocketPath();

    // The other user leaves: the next start makes the /tmp folder afresh, its own now.
    ASSERT_EQ(AsOtherUser([&] { return ::rmdir(squatted.c_str()) == 0 ? 0 : 1; }), 0);
    InstanceGuard later(kName, nullptr, choices);
    EXPECT_EQ(later.Acquire(), InstanceGuard::Role::kOtherRunning);
    EXPECT_TRUE(later.SendToRunning("after the squat"));
    EXPECT_TRUE(IsPrivateFolder(squatted));
    EXPECT_EQ(editor.TakeReceived(), std::vector<std::string>{"after the squat"});
}

}  // namespace
