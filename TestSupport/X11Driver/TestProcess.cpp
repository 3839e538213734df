#include "TestProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>
#include <utility>

extern char** environ;

namespace TestSupport {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);

std::vector<std::string> MergedEnvironment(const std::map<std::string, std::string>& extra)
{
    std::vector<std::string> merged;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (!extra.contains(text.substr(0, text.find('=')))) merged.push_back(text);
    }
    for (const auto& [name, value] : extra) merged.push_back(name + "=" + value);
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TestProcess::TestProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& environment)
{
    std::string folder = (std::filesystem::temp_directory_path() / "TestProcess-XXXXXX").string();
    if (argv.empty() || !::mkdtemp(folder.data())) {
        mError = argv.empty() ? "no program given" : std::string("mkdtemp: ") + std::strerror(errno);
        return;
    }
    mFolder = folder;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::unique_ptr<posix_spawn_file_actions_t, int (*)(posix_spawn_file_actions_t*)> destroyActions(
        &actions, posix_spawn_file_actions_destroy);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    for (const auto& [fd, name] : {std::pair{STDOUT_FILENO, "/out"}, std::pair{STDERR_FILENO, "/err"}}) {
        posix_spawn_file_actions_addopen(&actions, fd, (mFolder + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    std::vector<std::string> args = argv;
    std::vector<std::string> env = MergedEnvironment(environment);
    const int failed =
        ::posix_spawnp(&mPid, args[0].c_str(), &actions, nullptr, Pointers(args).data(), Pointers(env).data());
    if (failed != 0) {
        mPid = -1;
        mError = "cannot start " + argv[0] + ": " + std::strerror(failed);
    }
}

TestProcess::~TestProcess()
{
    if (Started()) Kill();
    std::error_code ignored;
    if (!mFolder.empty()) std::filesystem::remove_all(mFolder, ignored);
}

bool TestProcess::Reap(bool block)
{
    if (!Started() || mEnded) return mEnded;
    int status = 0;
    pid_t done = 0;
    do {
        done = ::waitpid(mPid, &status, block ? 0 : WNOHANG);
    } while (done < 0 && errno == EINTR);
    if (done != mPid) return false;
    mEnded = true;
    if (WIFEXITED(status)) mExitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) mSignal = WTERMSIG(status);
    return true;
}

bool TestProcess::IsRunning()
{
    return Started() && !Reap(false);
}

std::optional<int> TestProcess::WaitForExit(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (IsRunning() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(kPollInterval);
    if (!mEnded || mSignal != 0) return std::nullopt;
    return mExitCode;
}

void TestProcess::Kill(std::chrono::milliseconds grace)
{
    if (!IsRunning()) return;
    ::kill(mPid, SIGTERM);
    if (WaitForExit(grace) || mEnded) return;
    ::kill(mPid, SIGKILL);
    Reap(true);
}

std::string TestProcess::Output() const
{
    return mFolder.empty() ? std::string() : ReadAll(mFolder + "/out");
}

std::string TestProcess::ErrorOutput() const
{
    return mFolder.empty() ? std::string() : ReadAll(mFolder + "/err");
}

}  // namespace TestSupport
