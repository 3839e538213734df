#pragma once
// Where the system keeps its font files, as fontconfig knows it, and the
// family it would draw user-interface text in.
#include <string>
#include <vector>

namespace Platform {

// The font folders of the current fontconfig set-up; empty when fontconfig
// cannot be initialised.
std::vector<std::string> GetFontFolders();

// Every regular file below the folders (recursively) whose name ends in
// extension (compared without regard to ASCII case), sorted and without
// duplicates. Unreadable folders are passed over.
std::vector<std::string> ListFontFiles(const std::vector<std::string>& folders, const std::string& extension);

// The family fontconfig picks for "sans-serif"; empty when none.
std::string GetSystemFontFamily();

// Loads the process-wide fontconfig set-up (configuration and font caches)
// that text drawing and GetSystemFontFamily use. Safe on any thread: a start
// runs it beside its other work, so the first text measured need not wait.
void LoadFontSetup();

}  // namespace Platform
