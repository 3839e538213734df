#pragma once
// Folder and path helpers on UTF-8 file-system paths. "/" separates path
// parts; "\" is accepted as a separator wherever a path is split. None of
// these raise: they answer result codes.
#include "IArray.h"
#include "Result.h"
#include "StringT.h"

namespace QV {

// 1 when path is a folder, E_FAIL when it is a file; otherwise makes every
// missing folder of it and answers 0, or E_FAIL when that did not work.
[[nodiscard]] QVResult EnsureFolderExists(const String& path);

// Makes the folder before each separator after the first character. For a
// folder path it then makes the whole path and answers whether it exists;
// for a file path, whether the folder before the last separator exists (true
// without a separator).
bool CreateFolderPath(const String& path, bool pathNamesFile);

// True when path exists and is not a folder.
bool FileExists(const String& path);

// The absolute form of an existing path with links resolved, when that fits
// in 260 characters; otherwise path unchanged.
String GetLongPath(const String& path);

// Empties paths, then appends folder + "/" + name for every entry of folder
// that is not a folder and whose name matches pattern ("*" and "?", letter
// case ignored), sorted by name. The number of paths; E_NOTIMPL when folder
// is not a folder; E_FAIL when it cannot be read.
[[nodiscard]] QVResult ListFilesInFolder(const String& folder, const String& pattern, IArray<String>& paths);

// text with each of \ / : * ? " < > | & ; , ^ ( ) replaced by "_".
String MakeValidFileName(const String& text);

// path without its last part; a root stays a root, a single name gives "".
String GetParentFolder(const String& path);

// Whether name matches a wildcard pattern ("*" any run, "?" one unit),
// letter case ignored. "*.*" matches every name, as on the original system.
bool MatchesWildcard(const String& name, const String& pattern);

}  // namespace QV
