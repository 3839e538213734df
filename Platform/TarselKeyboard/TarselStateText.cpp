#include "TarselStateText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <sstream>

namespace Platform {
namespace {

std::string Hex(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool ParseIndex(const std::string& text, int& index)
{
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), ::isdigit)) {
        return false;
    }
    index = std::stoi(text);
    return true;
}

bool ParseBytes(const std::string& text, std::vector<std::uint8_t>& bytes)
{
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        // Exactly two digits: a line cut short in a byte is never a shorter byte.
        if (word.size() != 2 || !std::all_of(word.begin(), word.end(), ::isxdigit)) {
            return false;
        }
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
    }
    return true;
}

// Empty when the blob fits parameter `index`.
std::string DescribeMisfit(int index, const std::vector<std::uint8_t>& blob)
{
    const std::string name = "parameter " + std::to_string(index);
    if (blob.size() != kTarselParameterLengths[index]) {
        return name + " needs " + std::to_string(kTarselParameterLengths[index]) + " bytes, found " +
               std::to_string(blob.size());
    }
    const auto ranges = TarselKeyboard::ByteRanges(index);
    for (std::size_t i = 0; i < blob.size(); ++i) {
        if (blob[i] < ranges[i].min || blob[i] > ranges[i].max) {
            return "byte " + std::to_string(i) + " of " + name + " is " + Hex(blob[i]) + ", outside " +
                   Hex(ranges[i].min) + "-" + Hex(ranges[i].max);
        }
    }
    return {};
}

TarselStateParse Refuse(std::string error)
{
    return {std::nullopt, std::move(error)};
}

}  // namespace

std::string FormatTarselState(const TarselBlobs& blobs)
{
    std::string text = "# Tarsel simulator: one line per parameter, \"index: hex bytes\"\n";
    for (int i = 0; i < kTarselParameterCount; ++i) {
        text += std::to_string(i) + ":";
        for (const std::uint8_t byte : blobs[i]) {
            text += ' ';
            text += Hex(byte);
        }
        text += "\n";
    }
    return text;
}

TarselStateParse ParseTarselState(const std::string& text)
{
    // A file caught while being written ends inside a line.
    if (!text.empty() && text.back() != '\n') {
        return Refuse("the last line does not end in a newline");
    }
    TarselBlobs blobs;
    std::array<bool, kTarselParameterCount> seen{};
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = Trim(line);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::string where = "line " + std::to_string(number) + ": ";
        const auto colon = line.find(':');
        int index = -1;
        std::vector<std::uint8_t> blob;
        if (colon == std::string::npos || !ParseIndex(Trim(line.substr(0, colon)), index) ||
            !ParseBytes(line.substr(colon + 1), blob)) {
            return Refuse(where + "expected \"index: hex bytes\"");
        }
        if (index >= kTarselParameterCount) {
            return Refuse(where + "no parameter " + std::to_string(index) + " (0-14)");
        }
        if (seen[index]) {
            return Refuse(where + "parameter " + std::to_string(index) + " appears twice");
        }
        if (const std::string wrong = DescribeMisfit(index, blob); !wrong.empty()) {
            return Refuse(where + wrong);
        }
        seen[index] = true;
        blobs[index] = std::move(blob);
    }
    for (int i = 0; i < kTarselParameterCount; ++i) {
        if (!seen[i]) {
            return Refuse("parameter " + std::to_string(i) + " is missing");
        }
    }
    return {blobs, {}};
}

}  // namespace Platform
