#include "ResourceModule.h"

#include <unistd.h>

#include <algorithm>
#include <climits>

namespace Platform {

// Generated from Resources/ at build time.
std::span<const ResourceEntry> GetProgramResourceEntries();

namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

std::string ReadExecutablePath()
{
    std::string path(PATH_MAX, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size()) {
        return {};
    }
    path.resize(static_cast<size_t>(length));
    return path;
}

}  // namespace

std::optional<ResourceBytes> ResourceTable::FindResource(std::string_view type, std::string_view name) const
{
    for (const ResourceEntry& entry : mEntries) {
        if (EqualNoCase(entry.type, type) && EqualNoCase(entry.name, name)) {
            return ResourceBytes(entry.data->bytes, entry.data->size);
        }
    }
    return std::nullopt;
}

const ResourceModule& GetProgramModule()
{
    // Built on first use and never destroyed, so resources can be read from
    // static constructors and destructors too.
    static const ResourceTable* program = new ResourceTable(ReadExecutablePath(), GetProgramResourceEntries());
    return *program;
}

}  // namespace Platform
