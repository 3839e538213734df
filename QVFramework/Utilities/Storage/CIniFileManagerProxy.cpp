#include "CIniFileManagerProxy.h"

#include <new>
#include <vector>

#include "DynamicLibrary.h"
#include "IniFileManagerApi.h"

using QV::E_FAIL;
using QV::IniFileHandle;
using QV::kNothingToDo;
using QV::QVResult;
using QV::String;

namespace {

constexpr int32_t kFirstBufferSize = 1024;
constexpr int32_t kBufferTooSmall = -2;

// The string-answer rule: a 1024-byte buffer first; on "too small" one more
// call with the size the library asked for, so long texts come back whole.
// The retried text is deliberately not cut at 1023 bytes: that would drop
// the value's tail and could split a UTF-8 character.
template <class Call>
QVResult CallForText(Call call, String& out)
{
    try {
        std::vector<char> buffer(kFirstBufferSize, '\0');
        int32_t needed = 0;
        QVResult result = call(buffer.data(), kFirstBufferSize, &needed);
        if (result != kBufferTooSmall) {
            if (result == 0) {
                buffer.back() = '\0';
                (void)QV::ConvertUTF8ToString(out, buffer.data(), -1);  // an ill-formed tail is dropped
            }
            return result;
        }
        if (needed <= 0) return result;
        buffer.assign(static_cast<size_t>(needed), '\0');
        result = call(buffer.data(), needed, &needed);
        buffer.back() = '\0';
        (void)QV::ConvertUTF8ToString(out, buffer.data(), -1);  // an ill-formed tail is dropped
        return result;
    } catch (const std::bad_alloc&) {
        return QV::E_OUTOFMEMORY;
    }
}

}  // namespace

// The entries in binding order.
struct CIniFileManagerProxy::Entries {
    OpenIniFileFn openIniFile = nullptr;
    WriteIniFileFn writeIniFile = nullptr;
    CloseIniFileFn closeIniFile = nullptr;
    DoesNodeExistFn doesNodeExist = nullptr;
    GetIniValueIntFn getIniValueInt = nullptr;
    SetIniValueIntFn setIniValueInt = nullptr;
    GetIniValueStrFn getIniValueStr = nullptr;
    SetIniValueStrFn setIniValueStr = nullptr;
    GetKeyCountFn getKeyCount = nullptr;
    GetKeyNameAtFn getKeyNameAt = nullptr;
    GetArrayCountFn getArrayCount = nullptr;
    SetArrayCountFn setArrayCount = nullptr;
    GetArrayItemAtFn getArrayItemAt = nullptr;
    SetArrayItemAtFn setArrayItemAt = nullptr;
    RemoveArrayItemAtFn removeArrayItemAt = nullptr;

    bool AllBound() const
    {
        return openIniFile && writeIniFile && closeIniFile && doesNodeExist && getIniValueInt && setIniValueInt &&
               getIniValueStr && setIniValueStr && getKeyCount && getKeyNameAt && getArrayCount && setArrayCount &&
               getArrayItemAt && setArrayItemAt && removeArrayItemAt;
    }
};

CIniFileManagerProxy::CIniFileManagerProxy()
    : mEntries(std::make_unique<Entries>()), mLibrary(std::make_unique<Platform::DynamicLibrary>())
{
}

CIniFileManagerProxy::~CIniFileManagerProxy()
{
    (void)Terminate();
}  // nothing to report to at the end

bool CIniFileManagerProxy::IsLoaded() const { return mLibrary->IsLoaded(); }

bool CIniFileManagerProxy::IsUsable() const { return mLibrary->IsLoaded() && mEntries->AllBound(); }

QVResult CIniFileManagerProxy::Initialize(const String& folder)
{
    if (IsLoaded()) return kNothingToDo;
    std::string path = folder.ToUtf8();
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '/';
    path += "IniFileManager.dll";
    if (!mLibrary->Load(Platform::ResolveLibraryPath(path))) return E_FAIL;

    Entries& e = *mEntries;
    const Platform::DynamicLibrary& lib = *mLibrary;
    e.openIniFile = lib.GetFunction<OpenIniFileFn>("OpenIniFile");
    e.writeIniFile = lib.GetFunction<WriteIniFileFn>("WriteIniFile");
    e.closeIniFile = lib.GetFunction<CloseIniFileFn>("CloseIniFile");
    e.doesNodeExist = lib.GetFunction<DoesNodeExistFn>("DoesNodeExist");
    e.getIniValueInt = lib.GetFunction<GetIniValueIntFn>("GetIniValueInt");
    e.setIniValueInt = lib.GetFunction<SetIniValueIntFn>("SetIniValueInt");
    e.getIniValueStr = lib.GetFunction<GetIniValueStrFn>("GetIniValueStr");
    e.setIniValueStr = lib.GetFunction<SetIniValueStrFn>("SetIniValueStr");
    e.getKeyCount = lib.GetFunction<GetKeyCountFn>("GetKeyCount");
    e.getKeyNameAt = lib.GetFunction<GetKeyNameAtFn>("GetKeyNameAt");
    e.getArrayCount = lib.GetFunction<GetArrayCountFn>("GetArrayCount");
    e.setArrayCount = lib.GetFunction<SetArrayCountFn>("SetArrayCount");
    e.getArrayItemAt = lib.GetFunction<GetArrayItemAtFn>("GetArrayItemAt");
    e.setArrayItemAt = lib.GetFunction<SetArrayItemAtFn>("SetArrayItemAt");
    e.removeArrayItemAt = lib.GetFunction<RemoveArrayItemAtFn>("RemoveArrayItemAt");
    // A library missing an entry stays loaded, but nothing of it is called.
    return e.AllBound() ? QV::S_OK : E_FAIL;
}

QVResult CIniFileManagerProxy::Terminate()
{
    if (!IsLoaded()) return kNothingToDo;
    *mEntries = Entries();
    return mLibrary->Unload() ? QV::S_OK : E_FAIL;
}

QVResult CIniFileManagerProxy::OpenIniFile(const String& path, const String& versionTag, const String& appName,
                                           IniFileHandle& handle)
{
    handle = 0;
    if (!IsUsable()) return E_FAIL;
    ::IniFileHandle opened = 0;
    const QVResult result = mEntries->openIniFile(path.ToUtf8().c_str(), versionTag.ToUtf8().c_str(),
                                                  appName.ToUtf8().c_str(), &opened);
    handle = opened;
    return result;
}

QVResult CIniFileManagerProxy::WriteIniFile(IniFileHandle handle)
{
    if (!IsUsable()) return E_FAIL;
    return mEntries->writeIniFile(handle);
}

bool CIniFileManagerProxy::DoesNodeExist(IniFileHandle handle, const String& node)
{
    if (!IsUsable()) return false;
    return mEntries->doesNodeExist(handle, node.ToUtf8().c_str()) != 0;
}

QVResult CIniFileManagerProxy::CloseIniFile(IniFileHandle handle, int32_t saveFirst)
{
    if (!IsUsable()) return E_FAIL;
    return mEntries->closeIniFile(handle, saveFirst);
}

QVResult CIniFileManagerProxy::GetIniValueInt(IniFileHandle handle, const String& key, int32_t defaultValue,
                                              int32_t& value)
{
    value = defaultValue;
    if (!IsUsable()) return E_FAIL;
    return mEntries->getIniValueInt(handle, key.ToUtf8().c_str(), defaultValue, &value);
}

QVResult CIniFileManagerProxy::SetIniValueInt(IniFileHandle handle, const String& key, int32_t value)
{
    if (!IsUsable()) return E_FAIL;
    return mEntries->setIniValueInt(handle, key.ToUtf8().c_str(), value);
}

QVResult CIniFileManagerProxy::GetIniValueStr(IniFileHandle handle, const String& key, const String& defaultText,
                                              String& text)
{
    text.Clear();
    if (!IsUsable()) return E_FAIL;
    const std::string utf8Key = key.ToUtf8();
    const std::string utf8Default = defaultText.ToUtf8();
    return CallForText(
        [&](char* buffer, int32_t size, int32_t* needed) {
            return mEntries->getIniValueStr(handle, utf8Key.c_str(), utf8Default.c_str(), buffer, size, needed);
        },
        text);
}

QVResult CIniFileManagerProxy::SetIniValueStr(IniFileHandle handle, const String& key, const String& text)
{
    if (!IsUsable()) return E_FAIL;
    return mEntries->setIniValueStr(handle, key.ToUtf8().c_str(), text.ToUtf8().c_str());
}

QVResult CIniFileManagerProxy::GetKeyCount(IniFileHandle handle, const String& node, int32_t& count)
{
    count = 0;
    if (!IsUsable()) return E_FAIL;
    return mEntries->getKeyCount(handle, node.ToUtf8().c_str(), &count);
}

QVResult CIniFileManagerProxy::GetKeyNameAt(IniFileHandle handle, const String& node, int32_t index, String& name)
{
    name.Clear();
    if (!IsUsable()) return E_FAIL;
    const std::string utf8Node = node.ToUtf8();
    return CallForText(
        [&](char* buffer, int32_t size, int32_t* needed) {
            return mEntries->getKeyNameAt(handle, utf8Node.c_str(), index, buffer, size, needed);
        },
        name);
}

QVResult CIniFileManagerProxy::GetArrayCount(IniFileHandle handle, const String& array, int32_t& count)
{
    count = 0;
    if (!IsUsable()) return E_FAIL;
    return mEntries->getArrayCount(handle, array.ToUtf8().c_str(), &count);
}

QVResult CIniFileManagerProxy::SetArrayCount(IniFileHandle handle, const String& array, int32_t count)
{
    if (!IsUsable()) return E_FAIL;
    return mEntries->setArrayCount(handle, array.ToUtf8().c_str(), count);
}

QVResult CIniFileManagerProxy::GetArrayItemAt(IniFileHandle handle, const String& array, int32_t index, String& text)
{
    text.Clear();
    if (!IsUsable()) return E_FAIL;
    const std::string utf8Array = array.ToUtf8();
    return CallForText(
        [&](char* buffer, int32_t size, int32_t* needed) {
            return mEntries->getArrayItemAt(handle, utf8Array.c_str(), index, buffer, size, needed);
        },
        text);
}

QVResult CIniFileManagerProxy::SetArrayItemAt(IniFileHandle handle, const String& array, int32_t index,
                                              const String& text)
{
    if (!IsUsable()) return E_FAIL;
    return mEntries->setArrayItemAt(handle, array.ToUtf8().c_str(), index, text.ToUtf8().c_str());
}

QVResult CIniFileManagerProxy::RemoveArrayItemAt(IniFileHandle handle, const String& array, int32_t index)
{
    if (!IsUsable()) return E_FAIL;
    return mEntries->removeArrayItemAt(handle, array.ToUtf8().c_str(), index);
}
