#include "DynamicLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

namespace Platform {

DynamicLibrary::DynamicLibrary(const std::string& path) { Load(path); }

DynamicLibrary::~DynamicLibrary() { Unload(); }

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : mHandle(std::exchange(other.mHandle, nullptr)),
      mPath(std::move(other.mPath)),
      mError(std::move(other.mError))
{
}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept
{
    if (this != &other) {
        Unload();
        mHandle = std::exchange(other.mHandle, nullptr);
        mPath = std::move(other.mPath);
        mError = std::move(other.mError);
    }
    return *this;
}

bool DynamicLibrary::Load(const std::string& path)
{
    Unload();
    mError.clear();
    // RTLD_LOCAL keeps two libraries exporting the same names apart.
    mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!mHandle) {
        const char* why = dlerror();
        mError = why ? why : "dlopen failed";
        return false;
    }
    mPath = path;
    return true;
}

bool DynamicLibrary::Unload()
{
    if (!mHandle) return true;
    void* handle = std::exchange(mHandle, nullptr);
    mPath.clear();
    if (dlclose(handle) != 0) {
        const char* why = dlerror();
        mError = why ? why : "dlclose failed";
        return false;
    }
    return true;
}

void* DynamicLibrary::GetSymbol(const char* name) const
{
    if (!mHandle || !name) return nullptr;
    dlerror();
    void* address = dlsym(mHandle, name);
    if (!address) {
        const char* why = dlerror();
        mError = why ? why : std::string("symbol not found: ") + name;
    }
    return address;
}

std::string GetExecutableFolder()
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < buffer.size()) {
            std::string path(buffer.data(), static_cast<size_t>(n));
            const size_t slash = path.find_last_of('/');
            if (slash == std::string::npos) return {};
            return slash == 0 ? std::string("/") : path.substr(0, slash);
        }
        // The link may have been cut: try again with more room.
        buffer.resize(buffer.size() * 2);
    }
}

std::string ResolveLibraryPath(std::string_view windowsPath)
{
    std::string path(windowsPath);
    std::replace(path.begin(), path.end(), '\\', '/');
    constexpr std::string_view kDll = ".dll";
    if (path.size() >= kDll.size()) {
        const std::string_view tail = std::string_view(path).substr(path.size() - kDll.size());
        const bool isDll = std::equal(tail.begin(), tail.end(), kDll.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == b;
        });
        if (isDll) path.replace(path.size() - kDll.size(), kDll.size(), ".so");
    }
    if (!path.empty() && path.find('/') == std::string::npos) {
        const std::string folder = GetExecutableFolder();
        if (!folder.empty()) path = (folder == "/" ? folder : folder + "/") + path;
    }
    return path;
}

}  // namespace Platform
