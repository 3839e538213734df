#include "FrameworkStrings.h"

namespace QV {
namespace {

FrameworkStringLookup& Installed()
{
    static FrameworkStringLookup lookup = nullptr;
    return lookup;
}

}  // namespace

bool LookUpFrameworkString(const String& id, String& text)
{
    const FrameworkStringLookup lookup = Installed();
    return lookup && lookup(id, text);
}

FrameworkStringLookup SetFrameworkStringLookup(FrameworkStringLookup lookup)
{
    const FrameworkStringLookup previous = Installed();
    Installed() = lookup;
    return previous;
}

}  // namespace QV
