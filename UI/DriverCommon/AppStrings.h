#pragma once
// Texts of the application's own string table, by string ID.
#include "StringT.h"

// The text, or the ID itself when the table or the string is missing, so
// a gap in the tables shows on screen instead of an empty box.
QV::String GetAppString(const QV::String& id);
// As above, but empty when missing.
QV::String FindAppString(const QV::String& id);
