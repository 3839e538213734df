#include "ControlAttributes.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace QV {

namespace {

bool GetAttribute(const LControl& control, const char16_t* name, String& value)
{
    RCPtr<IControlDescriptor> descriptor = control.GetDescriptor();
    return descriptor && descriptor->HasAttributes() && descriptor->GetAttribute(name, value);
}

}  // namespace

bool ReadSkinInt(const LControl& control, const char16_t* name, int32_t& value)
{
    String text;
    if (!GetAttribute(control, name, text)) return false;
    const std::string narrow = text.Trim().ToUtf8();
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(narrow.c_str(), &end, 10);
    if (narrow.empty() || *end != '\0' || errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = static_cast<int32_t>(parsed);
    return true;
}

bool ReadSkinBool(const LControl& control, const char16_t* name, bool& value)
{
    String text;
    if (!GetAttribute(control, name, text)) return false;
    value = text.Trim().ToLower() == u"true";
    return true;
}

}  // namespace QV
