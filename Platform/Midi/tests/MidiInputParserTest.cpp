#include "MidiInputParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Platform::Midi {
namespace {

// Writes what the parser reports as text: "S:<hex>" short, "x" System
// Exclusive byte count so far, "E"/"e" end with/without F7, "?" stray byte.
class Recorder : public MidiInputParser::Listener {
public:
    void OnShortMessage(std::uint32_t packed) override { log += "S" + Hex(packed) + " "; }
    void OnSysExByte(std::uint8_t byte) override { log += Hex(byte) + " "; }
    void OnSysExEnd(bool endsWithF7) override { log += endsWithF7 ? "E " : "e "; }
    void OnStrayByte(std::uint8_t byte) override { log += "?" + Hex(byte) + " "; }
    std::string log;

private:
    static std::string Hex(std::uint32_t value)
    {
        char text[16];
        std::snprintf(text, sizeof text, "%X", value);
        return text;
    }
};

TEST(MidiInputParserTest, SplitsTheByteStream)
{
    struct Case {
        std::vector<std::uint8_t> bytes;
        std::string expected;
    };
    const Case cases[] = {
        {{0x90, 0x3C, 0x64}, "S643C90 "},
        {{0x90, 0x3C, 0x64, 0x3E, 0x00}, "S643C90 S3E90 "},  // running status
        {{0xC5, 0x07, 0x08}, "S7C5 S8C5 "},
        {{0x3C, 0x40}, "?3C ?40 "},  // no status yet
        {{0xF8, 0xFE, 0xFF}, "SF8 SFE SFF "},
        {{0x90, 0x3C, 0xF8, 0x64}, "SF8 S643C90 "},            // real-time inside a message
        {{0xF0, 0x01, 0xF8, 0x02, 0xF7}, "F0 1 SF8 2 F7 E "},  // and inside System Exclusive
        {{0xF0, 0x01, 0x90, 0x3C, 0x64}, "F0 1 e S643C90 "},   // a status byte ends it
        {{0xF0, 0x01, 0xF0, 0x02, 0xF7}, "F0 1 e F0 2 F7 E "},
        {{0xF7}, "?F7 "},
        {{0x90, 0x3C, 0x64, 0xF2, 0x01, 0x02, 0x03}, "S643C90 S201F2 ?3 "},  // system common ends running status
        {{0xF1, 0x10, 0xF6, 0xF3, 0x05}, "S10F1 SF6 S5F3 "},
    };
    for (const auto& c : cases) {
        MidiInputParser parser;
        Recorder recorder;
        for (const auto byte : c.bytes) {
            parser.Feed(byte, recorder);
        }
        EXPECT_EQ(recorder.log, c.expected);
    }
}

}  // namespace
}  // namespace Platform::Midi
