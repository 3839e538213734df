#pragma once
// Resources compiled into the program, in place of FindResource,
// LoadResource and LockResource, and the module handle they are found in.
// The tables are generated at build time from the files under Resources/
// (see cmake/QVResources.cmake).
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace Platform {

// The bytes of one compiled-in file.
struct ResourceData {
    const unsigned char* bytes;
    std::size_t size;
};

struct ResourceEntry {
    std::string_view type;
    std::string_view name;
    const ResourceData* data;
};

using ResourceBytes = std::span<const unsigned char>;

// A module handle: a file with resources in it.
class ResourceModule {
public:
    virtual ~ResourceModule() = default;
    // The module's file path; empty when it cannot be read.
    virtual std::string GetFilePath() const = 0;
    // Type and name compare without regard to ASCII case, as resource names
    // do on Windows. None when the module has no such resource.
    virtual std::optional<ResourceBytes> FindResource(std::string_view type,
                                                      std::string_view name) const = 0;
};

// A module over one generated table.
class ResourceTable : public ResourceModule {
public:
    ResourceTable(std::string filePath, std::span<const ResourceEntry> entries)
        : mFilePath(std::move(filePath)), mEntries(entries)
    {
    }
    std::string GetFilePath() const override { return mFilePath; }
    std::optional<ResourceBytes> FindResource(std::string_view type,
                                              std::string_view name) const override;

private:
    std::string mFilePath;
    std::span<const ResourceEntry> mEntries;
};

// The program's own module (a null module handle): the resources built from
// Resources/, under the path of the running executable.
const ResourceModule& GetProgramModule();

// Resource types the program uses.
inline constexpr std::string_view kXmlResourceType = "QVXML";
inline constexpr std::string_view kImageResourceType = "GDIPLUS";

}  // namespace Platform
