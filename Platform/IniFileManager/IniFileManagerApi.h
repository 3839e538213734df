#pragma once
// The C interface of IniFileManager.so, the settings-file library that the
// framework loads at run time and binds by name. Texts are UTF-8.
//
// Paths name nodes with "/" or "\" between parts: "Window/Placement" is a
// section, "Window/Placement/Left" the key "Left" in it, and a name without
// a separator a key before the first section. An array is a named list of
// texts in a section, written as repeated "name[] = text" lines.
//
// String answers follow one rule: the caller passes a buffer and its size in
// bytes; when the text and its terminator fit, the result is 0; otherwise the
// result is kIniBufferTooSmall and *neededSize holds the size to pass again.
#include <cstdint>

using IniFileHandle = uintptr_t;

enum : int32_t {
    kIniOk = 0,
    kIniFailed = -1,            // null argument
    kIniBufferTooSmall = -2,
    kIniBadHandle = -3,         // not a handle that OpenIniFile gave out
    kIniIndexOutOfRange = -4,
    kIniInvalidName = -5,       // a node, key or array name that cannot be written
    kIniParseError = -6,        // the file is not a settings file; it is left as it is
    kIniIoError = -7,           // reading or saving failed; the file on disk is unchanged
    kIniNotANumber = -8,        // the stored value is not a 32-bit integer
    kIniTooLarge = -9,          // the saved file would pass 1 MiB, the most that is read: the file on disk
                                // is unchanged and the open file goes back to what was last read or saved
};

// The entries, as function types for binding by name.
extern "C" {
// An absent file opens empty. A regular file over 1 MiB is renamed to
// "<path>.too-large" (or "-2", "-3", ...) and opens empty, said on standard
// error; anything else that cannot be read is kIniIoError.
using OpenIniFileFn = int32_t (*)(const char* path, const char* versionTag, const char* appName,
                                  IniFileHandle* outHandle);
using WriteIniFileFn = int32_t (*)(IniFileHandle handle);
// A non-zero saveFirst writes the file before closing; when that fails the
// file stays open and the error is answered.
using CloseIniFileFn = int32_t (*)(IniFileHandle handle, int32_t saveFirst);
// 1 when the path names a section (or a parent of one), a key or an array.
using DoesNodeExistFn = int32_t (*)(IniFileHandle handle, const char* node);
using GetIniValueIntFn = int32_t (*)(IniFileHandle handle, const char* key, int32_t defaultValue,
                                     int32_t* outValue);
using SetIniValueIntFn = int32_t (*)(IniFileHandle handle, const char* key, int32_t value);
using GetIniValueStrFn = int32_t (*)(IniFileHandle handle, const char* key, const char* defaultText,
                                     char* buffer, int32_t bufferSize, int32_t* neededSize);
using SetIniValueStrFn = int32_t (*)(IniFileHandle handle, const char* key, const char* text);
using GetKeyCountFn = int32_t (*)(IniFileHandle handle, const char* node, int32_t* outCount);
using GetKeyNameAtFn = int32_t (*)(IniFileHandle handle, const char* node, int32_t index, char* buffer,
                                   int32_t bufferSize, int32_t* neededSize);
using GetArrayCountFn = int32_t (*)(IniFileHandle handle, const char* array, int32_t* outCount);
// Cuts the array or pads it with empty texts.
using SetArrayCountFn = int32_t (*)(IniFileHandle handle, const char* array, int32_t count);
using GetArrayItemAtFn = int32_t (*)(IniFileHandle handle, const char* array, int32_t index, char* buffer,
                                     int32_t bufferSize, int32_t* neededSize);
// An index equal to the count appends.
using SetArrayItemAtFn = int32_t (*)(IniFileHandle handle, const char* array, int32_t index,
                                     const char* text);
using RemoveArrayItemAtFn = int32_t (*)(IniFileHandle handle, const char* array, int32_t index);
}
