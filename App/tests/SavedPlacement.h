#pragma once
// The window's saved place in the editor's settings file, as the end-to-end
// tests write it before a start.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

// Where the settings file lies under a test's configuration folder.
inline std::string SettingsFileUnder(const std::string& configFolder)
{
    return configFolder + "/Corvane/Tarsel Preset Editor/UserSettings.ini";
}

// The saved place as the editor keeps it: 44 bytes in hex, the normal
// frame's left, top, right and bottom at bytes 28 to 43.
inline std::string PlacementRecord(int left, int top, int right, int bottom)
{
    // Length 44, no flags, shown normally, no minimised or maximised corner.
    std::string hex = "2C0000000000000001000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF";
    char word[9];
    for (const int value : {left, top, right, bottom}) {
        const auto v = uint32_t(value);
        std::snprintf(word, sizeof word, "%02X%02X%02X%02X", v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF, v >> 24);
        hex += word;
    }
    return hex;
}

// Puts a record in place of the saved place the last close wrote; false
// when there is no settings file.
inline bool ReplaceSavedPlacement(const std::string& settings, const std::string& record)
{
    std::ifstream in(settings);
    if (!in) return false;
    std::string text;
    for (std::string line; std::getline(in, line);) text += (line.rfind("WP", 0) == 0 ? "WP = " + record : line) + "\n";
    in.close();
    return bool(std::ofstream(settings, std::ios::trunc) << text);
}
