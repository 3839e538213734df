#include "InstanceGuard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "InstanceMessage.h"
#include "RuntimeFolder.h"
#include "SocketIo.h"

namespace Platform::SingleInstance {
namespace {

using Clock = std::chrono::steady_clock;

std::string Describe(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

// Whether another process holds the lock at path; a missing file is no one's.
bool IsHeld(const std::string& path)
{
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!fd.IsValid()) return false;
    // Shared, so two starts looking at once never take each other for the holder.
    while (::flock(fd.Get(), LOCK_SH | LOCK_NB) != 0) {
        if (errno != EINTR) return errno == EWOULDBLOCK;
    }
    return false;
}

enum class TryOutcome { kTaken, kForeign, kAgain };

TryOutcome TrySend(const sockaddr_un& address, const std::string& record, Clock::time_point deadline)
{
    UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.IsValid()) return TryOutcome::kAgain;
    // Each step gets what is left of the one deadline.
    const auto limitToDeadline = [&] {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        SetTimeouts(socket.Get(), static_cast<int>(left));
        return true;
    };
    if (!limitToDeadline() ||
        ::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return TryOutcome::kAgain;
    // The command line goes to no one but this user's own instance.
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(socket.Get(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != ::getuid())
        return TryOutcome::kForeign;
    char answer = 0;
    const bool taken = limitToDeadline() && WriteAll(socket.Get(), record.data(), record.size()) &&
                       limitToDeadline() && ReadExactly(socket.Get(), &answer, 1) && answer == 1;
    return taken ? TryOutcome::kTaken : TryOutcome::kAgain;
}

}  // namespace

InstanceGuard::InstanceGuard(std::string name, InstanceListener::WakeFunction wake)
    : InstanceGuard(std::move(name), std::move(wake), EnvironmentFolderChoices())
{}

InstanceGuard::InstanceGuard(std::string name, InstanceListener::WakeFunction wake, FolderChoices choices)
    : mName(std::move(name)), mChoices(std::move(choices)), mWake(std::move(wake))
{}

InstanceGuard::InstanceGuard(std::string name, InstanceListener::WakeFunction wake, std::string folder)
    : mName(std::move(name)), mFolder(std::move(folder)), mWake(std::move(wake))
{}

InstanceGuard::~InstanceGuard()
{
    mListener.reset();
    if (mSocketBound) ::unlink(GetSocketPath().c_str());
    mLock.Reset();
}

InstanceGuard::Role InstanceGuard::Acquire()
{
    if (mDecided) return mRole;
    mDecided = true;
    ChooseFolders();
    for (const std::string& other : mOtherFolders) {
        if (other == mFolder || !IsHeld(other + "/" + mName + ".lock")) continue;
        // An instance started when another folder was chosen: hand over there.
        mFolder = other;
        return mRole = Role::kOtherRunning;
    }
    if (mFolder.empty()) {
        mProblem = "no private runtime folder";
        return mRole = Role::kFirst;
    }
    mRole = TakeLock();
    if (mLock.IsValid()) Listen();
    return mRole;
}

void InstanceGuard::ChooseFolders()
{
    if (!mChoices) return;
    mFolder = RuntimeFolder(*mChoices);
    mOtherFolders = RuntimeFolders(*mChoices);
}

InstanceGuard::Role InstanceGuard::TakeLock()
{
    const std::string path = GetLockPath();
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.IsValid()) {
        mProblem = Describe("cannot open", path);
        return Role::kFirst;
    }
    while (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) return Role::kOtherRunning;
        mProblem = Describe("cannot lock", path);
        return Role::kFirst;
    }
    mLock = std::move(fd);
    return Role::kFirst;
}

void InstanceGuard::Listen()
{
    const std::string path = GetSocketPath();
    const std::optional<sockaddr_un> address = SocketAddress(path);
    if (!address) {
        mProblem = "socket path too long: " + path;
        return;
    }
    // Left by a start that ended without cleaning up; the lock makes it ours.
    ::unlink(path.c_str());
    UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.IsValid() || ::bind(socket.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
        mProblem = Describe("cannot bind", path);
        return;
    }
    mSocketBound = true;
    // Only this user may connect, whatever the folder allows.
    if (::chmod(path.c_str(), 0600) != 0) {
        mProblem = Describe("cannot restrict", path);
        return;
    }
    if (::listen(socket.Get(), 8) != 0) {
        mProblem = Describe("cannot listen on", path);
        return;
    }
    mListener = std::make_unique<InstanceListener>(std::move(socket), mWake);
    if (!mListener->IsRunning()) mProblem = "no listener thread";
}

bool InstanceGuard::SendToRunning(std::string_view utf8)
{
    if (Acquire() != Role::kOtherRunning) return false;
    const std::optional<sockaddr_un> address = SocketAddress(GetSocketPath());
    if (!address) return false;
    const std::string record = EncodeMessage(utf8);
    // A running instance that is busy with other clients, or does not listen
    // yet, gets more tries within the one deadline.
    constexpr auto kPause = std::chrono::milliseconds(20);
    const auto deadline = Clock::now() + std::chrono::milliseconds(kSendTimeoutMs);
    for (;;) {
        const TryOutcome outcome = TrySend(*address, record, deadline);
        if (outcome != TryOutcome::kAgain) return outcome == TryOutcome::kTaken;
        if (Clock::now() + kPause >= deadline) return false;
        std::this_thread::sleep_for(kPause);
    }
}

std::vector<std::string> InstanceGuard::TakeReceived()
{
    return mListener ? mListener->TakeReceived() : std::vector<std::string>();
}

}  // namespace Platform::SingleInstance
