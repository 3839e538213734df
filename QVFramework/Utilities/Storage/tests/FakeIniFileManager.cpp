// A stand-in INI library for the proxy's tests: canned answers, a call log
// and a few control entries (FakeIni_*). Built a second time with
// FAKE_INI_PARTIAL, which leaves out three entries.
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "IniFileManagerApi.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::map<std::string, int32_t> gCalls;
std::vector<int32_t> gBufferSizes;
std::string gText = "fake";
std::string gLastArgument;
int32_t gResult = 0;
int32_t gRetryResult = 0;
bool gRetrying = false;

void Count(const char* entry) { ++gCalls[entry]; }

int32_t AnswerText(char* buffer, int32_t size, int32_t* needed)
{
    gBufferSizes.push_back(size);
    const int32_t want = static_cast<int32_t>(gText.size()) + 1;
    *needed = want;
    if (size < want) {
        gRetrying = true;
        return kIniBufferTooSmall;
    }
    std::memcpy(buffer, gText.c_str(), static_cast<size_t>(want));
    const int32_t result = gRetrying ? gRetryResult : 0;
    gRetrying = false;
    return result;
}

}  // namespace

FAKE_EXPORT void FakeIni_Reset()
{
    gCalls.clear();
    gBufferSizes.clear();
    gText = "fake";
    gLastArgument.clear();
    gResult = 0;
    gRetryResult = 0;
    gRetrying = false;
}
FAKE_EXPORT int32_t FakeIni_CallCount(const char* entry)
{
    int32_t total = 0;
    for (const auto& [name, count] : gCalls) {
        if (!entry || name == entry) total += count;
    }
    return total;
}
FAKE_EXPORT void FakeIni_SetText(const char* text) { gText = text; }
FAKE_EXPORT void FakeIni_SetResult(int32_t result) { gResult = result; }
FAKE_EXPORT void FakeIni_SetRetryResult(int32_t result) { gRetryResult = result; }
FAKE_EXPORT const char* FakeIni_LastArgument() { return gLastArgument.c_str(); }
FAKE_EXPORT int32_t FakeIni_BufferSize(int32_t call)
{
    return call >= 0 && static_cast<size_t>(call) < gBufferSizes.size() ? gBufferSizes[static_cast<size_t>(call)] : -1;
}

FAKE_EXPORT int32_t OpenIniFile(const char* path, const char* versionTag, const char* appName,
                                IniFileHandle* outHandle)
{
    Count("OpenIniFile");
    gLastArgument = std::string(path) + "|" + versionTag + "|" + appName;
    *outHandle = 77;
    return gResult;
}
FAKE_EXPORT int32_t WriteIniFile(IniFileHandle) { Count("WriteIniFile"); return gResult; }
FAKE_EXPORT int32_t CloseIniFile(IniFileHandle, int32_t) { Count("CloseIniFile"); return gResult; }
FAKE_EXPORT int32_t DoesNodeExist(IniFileHandle, const char* node)
{
    Count("DoesNodeExist");
    gLastArgument = node;
    return 1;
}
// Leaves the out value alone, so the caller's preset default shows.
FAKE_EXPORT int32_t GetIniValueInt(IniFileHandle, const char*, int32_t, int32_t*)
{
    Count("GetIniValueInt");
    return gResult;
}
FAKE_EXPORT int32_t SetIniValueInt(IniFileHandle, const char*, int32_t) { Count("SetIniValueInt"); return gResult; }
FAKE_EXPORT int32_t GetIniValueStr(IniFileHandle, const char* key, const char*, char* buffer, int32_t size,
                                   int32_t* needed)
{
    Count("GetIniValueStr");
    gLastArgument = key;
    return AnswerText(buffer, size, needed);
}
FAKE_EXPORT int32_t SetIniValueStr(IniFileHandle, const char*, const char* text)
{
    Count("SetIniValueStr");
    gLastArgument = text;
    return gResult;
}
FAKE_EXPORT int32_t GetKeyCount(IniFileHandle, const char*, int32_t* count)
{
    Count("GetKeyCount");
    *count = 3;
    return gResult;
}
FAKE_EXPORT int32_t GetKeyNameAt(IniFileHandle, const char*, int32_t, char* buffer, int32_t size, int32_t* needed)
{
    Count("GetKeyNameAt");
    return AnswerText(buffer, size, needed);
}
FAKE_EXPORT int32_t GetArrayCount(IniFileHandle, const char*, int32_t* count)
{
    Count("GetArrayCount");
    *count = 2;
    return gResult;
}
FAKE_EXPORT int32_t SetArrayCount(IniFileHandle, const char*, int32_t) { Count("SetArrayCount"); return gResult; }
#ifndef FAKE_INI_PARTIAL
FAKE_EXPORT int32_t GetArrayItemAt(IniFileHandle, const char*, int32_t, char* buffer, int32_t size, int32_t* needed)
{
    Count("GetArrayItemAt");
    return AnswerText(buffer, size, needed);
}
FAKE_EXPORT int32_t SetArrayItemAt(IniFileHandle, const char*, int32_t, const char*)
{
    Count("SetArrayItemAt");
    return gResult;
}
FAKE_EXPORT int32_t RemoveArrayItemAt(IniFileHandle, const char*, int32_t)
{
    Count("RemoveArrayItemAt");
    return gResult;
}
#endif
