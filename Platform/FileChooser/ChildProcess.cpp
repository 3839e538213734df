#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

extern char** environ;

namespace Platform::FileChooser {
namespace {

constexpr size_t kMaxKept = 1 << 20;
constexpr int kPollMs = 15;
constexpr int kEndGraceMs = 2000;

class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : mFd(fd) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return mFd; }
    void Close()
    {
        if (mFd >= 0) ::close(mFd);
        mFd = -1;
    }
    void Reset(int fd)
    {
        Close();
        mFd = fd;
    }

private:
    int mFd = -1;
};

struct Pipe {
    Fd read, write;
    bool Open()
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
        read.Reset(fds[0]);
        write.Reset(fds[1]);
        return true;
    }
};

class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&mActions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&mActions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* Get() { return &mActions; }

private:
    posix_spawn_file_actions_t mActions;
};

// Reads what is there without blocking; false once the writer has closed.
bool Drain(Fd& fd, std::string& into, bool& cut)
{
    if (fd.Get() < 0) return false;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n > 0) {
            const size_t room = kMaxKept - std::min(kMaxKept, into.size());
            into.append(buffer, std::min(room, static_cast<size_t>(n)));
            if (static_cast<size_t>(n) > room) cut = true;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) return true;
        fd.Close();
        return false;
    }
}

void RecordStatus(int status, ChildOutcome& outcome)
{
    if (WIFEXITED(status)) {
        outcome.exited = true;
        outcome.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        outcome.signal = WTERMSIG(status);
    }
}

// Asks the child to end, then makes it.
void End(pid_t pid, ChildOutcome& outcome)
{
    outcome.endedByCaller = true;
    ::kill(pid, SIGTERM);
    int status = 0;
    for (int waited = 0; waited < kEndGraceMs; waited += kPollMs) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return RecordStatus(status, outcome);
        if (done < 0 && errno != EINTR) return;
        ::poll(nullptr, 0, kPollMs);
    }
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    RecordStatus(status, outcome);
}

// Waits for the child while calling back. A grandchild that keeps the pipes
// open cannot hold us: the child's own end decides.
void Supervise(pid_t pid, Pipe& out, Pipe& err, ChildOutcome& outcome, const std::function<bool()>& whileRunning)
{
    for (;;) {
        if (whileRunning && !whileRunning()) return End(pid, outcome);
        pollfd fds[2] = {{out.read.Get(), POLLIN, 0}, {err.read.Get(), POLLIN, 0}};
        if (::poll(fds, 2, kPollMs) < 0 && errno != EINTR) break;
        Drain(out.read, outcome.out, outcome.outputCut);
        Drain(err.read, outcome.err, outcome.outputCut);
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            Drain(out.read, outcome.out, outcome.outputCut);
            Drain(err.read, outcome.err, outcome.outputCut);
            RecordStatus(status, outcome);
            return;
        }
        if (done < 0 && errno != EINTR) return;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    RecordStatus(status, outcome);
}

}  // namespace

ChildOutcome RunChild(const std::vector<std::string>& argv, const std::function<bool()>& whileRunning)
{
    ChildOutcome outcome;
    if (argv.empty() || argv[0].empty()) {
        outcome.spawnError = ENOENT;
        return outcome;
    }
    Pipe out, err;
    if (!out.Open() || !err.Open()) {
        outcome.spawnError = errno;
        return outcome;
    }
    SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.Get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(actions.Get(), out.write.Get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(actions.Get(), err.write.Get(), STDERR_FILENO);

    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = ::posix_spawnp(&pid, args[0], actions.Get(), nullptr, args.data(), environ);
    out.write.Close();
    err.write.Close();
    if (spawned != 0) {
        outcome.spawnError = spawned;
        return outcome;
    }
    Supervise(pid, out, err, outcome, whileRunning);
    return outcome;
}

}  // namespace Platform::FileChooser
