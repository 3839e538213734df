#pragma once
// One owned file descriptor, closed with the object.
#include <unistd.h>

#include <utility>

namespace Platform::SingleInstance {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : mFd(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : mFd(std::exchange(other.mFd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other) {
            Reset();
            mFd = std::exchange(other.mFd, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return mFd; }
    bool IsValid() const { return mFd >= 0; }
    void Reset()
    {
        if (mFd >= 0) ::close(mFd);
        mFd = -1;
    }

private:
    int mFd = -1;
};

}  // namespace Platform::SingleInstance
