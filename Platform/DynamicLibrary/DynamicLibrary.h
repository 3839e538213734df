#pragma once
// Run-time loaded shared libraries: the Linux side of LoadLibrary,
// GetProcAddress, FreeLibrary and GetModuleFileName.
#include <string>
#include <string_view>

namespace Platform {

// Owns one dlopen handle; the library is unloaded when the object goes.
class DynamicLibrary {
public:
    DynamicLibrary() = default;
    // Loads at once; check IsLoaded() for the outcome.
    explicit DynamicLibrary(const std::string& path);
    ~DynamicLibrary();

    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;
    DynamicLibrary(DynamicLibrary&& other) noexcept;
    DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;

    // Loads the file at path (a path used as given, see ResolveLibraryPath),
    // unloading whatever was loaded before. False on failure; GetError says why.
    bool Load(const std::string& path);
    // True when nothing was loaded or the unload succeeded.
    bool Unload();
    bool IsLoaded() const { return mHandle != nullptr; }

    // The address of an exported symbol, or null when absent or not loaded.
    void* GetSymbol(const char* name) const;
    // GetSymbol cast to a function pointer type.
    template <class Function>
    Function GetFunction(const char* name) const
    {
        return reinterpret_cast<Function>(GetSymbol(name));
    }

    // The loader's message for the last failure of this object.
    const std::string& GetError() const { return mError; }
    const std::string& GetPath() const { return mPath; }

private:
    void* mHandle = nullptr;
    std::string mPath;
    mutable std::string mError;
};

// The folder of the running executable (from /proc/self/exe), without a
// trailing separator; empty when it cannot be read.
std::string GetExecutableFolder();

// Maps a Windows library path to the file to load here: "\" becomes "/",
// a trailing ".dll" (any case) becomes ".so", and a bare file name is looked
// up in the executable's folder. "X.dll" -> "<exe folder>/X.so".
std::string ResolveLibraryPath(std::string_view windowsPath);

}  // namespace Platform
