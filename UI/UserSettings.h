#pragma once
// Values the editor keeps between runs in the user settings file.
#include "StringT.h"

// The text under key; empty without the application, the file or the key.
QV::String ReadUserSettingText(const QV::String& key);
// Stores and saves; a failure loses only the remembered value.
void WriteUserSettingText(const QV::String& key, const QV::String& text);
