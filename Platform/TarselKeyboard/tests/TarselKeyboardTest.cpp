#include "TarselKeyboard.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

namespace Platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

class TarselKeyboardTest : public ::testing::Test {
protected:
    TarselKeyboard keyboard;
};

Bytes DumpToKeyboard(const std::array<Bytes, kTarselParameterCount>& blobs)
{
    Bytes dump{0xF0, 0x00, 0x5A, 0x3C, 0x7F, 0x00, 0x15, 0x01, 0x00, 0x59};
    for (const auto& blob : blobs) {
        dump.insert(dump.end(), blob.begin(), blob.end());
    }
    dump.push_back(0xF7);
    return dump;
}

std::array<Bytes, kTarselParameterCount> NonDefaultBlobs()
{
    std::array<Bytes, kTarselParameterCount> blobs;
    for (int i = 0; i < kTarselParameterCount; ++i) {
        blobs[i] = TarselKeyboard::DefaultBlob(i);
        blobs[i].back() = static_cast<std::uint8_t>(TarselKeyboard::ByteRanges(i).back().min + (i % 2));
    }
    blobs[0] = {5};
    return blobs;
}

TEST_F(TarselKeyboardTest, DefaultsAreTheFactorySetup)
{
    const std::array<Bytes, kTarselParameterCount> expected{{
        {1},
        {3, 2, 12},
        {0, 0, 0, 87, 6, 12},
        {0, 1, 0, 87, 6, 12},
        {0, 2, 0, 87, 6, 12},
        {0, 3, 0, 87, 6, 12},
        {0, 0, 1, 0, 127},
        {0, 0, 127},
        {0, 0, 7, 0, 127},
        {0, 0, 11, 0, 127},
        {0},
        {0, 0, 127, 0, 0, 0, 0, 127},
        {0, 0, 127, 0, 0, 0, 0, 127},
        {0x00, 0x06, 0x00, 0x7F, 0x00, 0x00, 0x7F, 0x00, 0x00, 0x40, 0x00, 0x7F, 0x00},
        {0x00, 0x06, 0x00, 0x7F, 0x00, 0x00, 0x7F, 0x00, 0x00, 0x43, 0x00, 0x7F, 0x00},
    }};
    EXPECT_EQ(keyboard.GetAllBlobs(), expected);
    for (int i = 0; i < kTarselParameterCount; ++i) {
        EXPECT_EQ(keyboard.GetBlob(i).size(), kTarselParameterLengths[i]) << i;
        const auto ranges = TarselKeyboard::ByteRanges(i);
        ASSERT_EQ(ranges.size(), kTarselParameterLengths[i]) << i;
        for (std::size_t b = 0; b < ranges.size(); ++b) {
            EXPECT_GE(expected[i][b], ranges[b].min) << i << ":" << b;
            EXPECT_LE(expected[i][b], ranges[b].max) << i << ":" << b;
        }
    }
    EXPECT_TRUE(keyboard.GetBlob(-1).empty());
    EXPECT_TRUE(keyboard.GetBlob(15).empty());
}

TEST_F(TarselKeyboardTest, SetBlobRefusesBadValuesAndKeepsTheOldOne)
{
    struct Case {
        int index;
        Bytes blob;
        TarselResult result;
    };
    const Case cases[] = {
        {0, {16}, TarselResult::Ok},
        {0, {0}, TarselResult::OutOfRange},
        {0, {17}, TarselResult::OutOfRange},
        {0, {1, 1}, TarselResult::WrongLength},
        {2, {1, 16, 10, 80, 12, 24}, TarselResult::Ok},
        {2, {2, 0, 0, 87, 6, 12}, TarselResult::OutOfRange},
        {10, {8}, TarselResult::OutOfRange},
        {14, Bytes(13, 0), TarselResult::Ok},
        {14, Bytes(12, 0), TarselResult::WrongLength},
        {15, {1}, TarselResult::BadParameter},
        {-1, {1}, TarselResult::BadParameter},
    };
    for (const auto& c : cases) {
        TarselKeyboard fresh;
        const Bytes before = fresh.GetBlob(c.index);
        EXPECT_EQ(fresh.SetBlob(c.index, c.blob), c.result) << c.index;
        EXPECT_EQ(fresh.GetBlob(c.index), c.result == TarselResult::Ok ? c.blob : before) << c.index;
    }
}

TEST_F(TarselKeyboardTest, PresetDumpCarriesTheCurrentBlobs)
{
    const Bytes dump = keyboard.BuildPresetDump();
    ASSERT_EQ(dump.size(), kTarselPresetDumpSize);
    EXPECT_EQ(Bytes(dump.begin(), dump.begin() + 10),
              (Bytes{0xF0, 0x00, 0x5A, 0x3C, 0x7F, 0x00, 0x15, 0x03, 0x00, 0x59}));
    EXPECT_EQ(dump[10], 0x01);
    EXPECT_EQ(Bytes(dump.begin() + 11, dump.begin() + 20),
              (Bytes{0x03, 0x02, 0x0C, 0x00, 0x00, 0x00, 0x57, 0x06, 0x0C}));
    EXPECT_EQ(dump[86 + 9], 0x43);
    EXPECT_EQ(dump.back(), 0xF7);

    ASSERT_EQ(keyboard.SetBlob(0, {9}), TarselResult::Ok);
    EXPECT_EQ(keyboard.BuildPresetDump()[10], 9);
}

TEST_F(TarselKeyboardTest, ReceivedDumpRoundTrips)
{
    const auto blobs = NonDefaultBlobs();
    const Bytes sent = DumpToKeyboard(blobs);
    ASSERT_EQ(keyboard.ApplyPresetDump(sent.data(), sent.size()), TarselResult::Ok);
    EXPECT_EQ(keyboard.GetAllBlobs(), blobs);

    Bytes echoed = keyboard.BuildPresetDump();
    echoed[7] = 0x01;
    EXPECT_EQ(echoed, sent);
}

TEST_F(TarselKeyboardTest, MalformedDumpsAreRefusedAndChangeNothing)
{
    const Bytes good = DumpToKeyboard(NonDefaultBlobs());
    struct Case {
        const char* what;
        Bytes dump;
        TarselResult result;
    };
    auto with = [&](std::size_t at, std::uint8_t value) {
        Bytes d = good;
        d[at] = value;
        return d;
    };
    const Case cases[] = {
        {"99 bytes", Bytes(good.begin(), good.end() - 1), TarselResult::WrongLength},
        {"101 bytes",
         [&] {
             Bytes d = good;
             d.push_back(0xF7);
             return d;
         }(),
         TarselResult::WrongLength},
        {"empty", Bytes{}, TarselResult::WrongLength},
        {"command 03", with(7, 0x03), TarselResult::WrongHeader},
        {"preset request command", with(7, 0x02), TarselResult::WrongHeader},
        {"other maker", with(2, 0x5B), TarselResult::WrongHeader},
        {"no F0", with(0, 0x00), TarselResult::WrongHeader},
        {"wrong count", with(9, 0x58), TarselResult::WrongHeader},
        {"no F7", with(99, 0x00), TarselResult::WrongHeader},
        {"8-bit data", with(50, 0x80), TarselResult::NotSevenBit},
        {"F7 inside", with(10, 0xF7), TarselResult::NotSevenBit},
    };
    const auto before = keyboard.GetAllBlobs();
    for (const auto& c : cases) {
        EXPECT_EQ(keyboard.ApplyPresetDump(c.dump.data(), c.dump.size()), c.result) << c.what;
        EXPECT_EQ(keyboard.GetAllBlobs(), before) << c.what;
    }
    EXPECT_EQ(keyboard.ApplyPresetDump(nullptr, 100), TarselResult::WrongLength);
}

TEST_F(TarselKeyboardTest, RecognisesRequestsAndRepliesToIdentity)
{
    const Bytes identity{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    const Bytes preset{0xF0, 0x00, 0x5A, 0x3C, 0x7F, 0x00, 0x15, 0x02, 0xF7};
    EXPECT_TRUE(TarselKeyboard::IsIdentityRequest(identity.data(), identity.size()));
    EXPECT_FALSE(TarselKeyboard::IsIdentityRequest(identity.data(), identity.size() - 1));
    EXPECT_FALSE(TarselKeyboard::IsIdentityRequest(preset.data(), preset.size()));
    EXPECT_TRUE(TarselKeyboard::IsPresetRequest(preset.data(), preset.size()));
    EXPECT_FALSE(TarselKeyboard::IsPresetRequest(preset.data(), preset.size() - 1));
    Bytes other = preset;
    other[7] = 0x03;
    EXPECT_FALSE(TarselKeyboard::IsPresetRequest(other.data(), other.size()));

    const Bytes reply = TarselKeyboard::IdentityReply();
    ASSERT_EQ(reply.size(), 17u);
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 8), (Bytes{0xF0, 0x7E, 0x7F, 0x06, 0x02, 0x00, 0x5A, 0x3C}));
    EXPECT_EQ(reply.back(), 0xF7);
    EXPECT_TRUE(std::all_of(reply.begin() + 1, reply.end() - 1, [](std::uint8_t b) { return b < 0x80; }));
}

TEST_F(TarselKeyboardTest, DeviceInfoByte252FollowsPresentAndConnected)
{
    EXPECT_EQ(keyboard.BuildDeviceInfo()[kTarselDeviceInfoConnectedByte], 1);
    keyboard.SetConnected(false);
    EXPECT_EQ(keyboard.BuildDeviceInfo()[kTarselDeviceInfoConnectedByte], 0);
    keyboard.SetConnected(true);
    keyboard.SetPresent(false);
    EXPECT_EQ(keyboard.BuildDeviceInfo()[kTarselDeviceInfoConnectedByte], 0);
    EXPECT_FALSE(keyboard.IsPresent());
    EXPECT_TRUE(keyboard.IsConnected());
}

TEST_F(TarselKeyboardTest, ValuesOutsideThePresetAndReset)
{
    EXPECT_EQ(TarselKeyboard::CompanyName(), "Corvane");
    EXPECT_EQ(TarselKeyboard::ProductName(), "Tarsel Preset Editor");
    EXPECT_EQ(keyboard.GetDeviceParam(), TarselKeyboard::DefaultDeviceParam());
    EXPECT_EQ(keyboard.SetDeviceParam({1, 2, 3, 4}), TarselResult::Ok);
    EXPECT_EQ(keyboard.SetDeviceParam({1, 2, 3}), TarselResult::WrongLength);
    EXPECT_EQ(keyboard.SetDeviceParam({1, 2, 3, 0x80}), TarselResult::OutOfRange);
    EXPECT_EQ(keyboard.GetDeviceParam(), (Bytes{1, 2, 3, 4}));

    ASSERT_EQ(keyboard.SetBlob(1, {0, 0, 0}), TarselResult::Ok);
    keyboard.SetPresent(false);
    keyboard.SetConnected(false);
    keyboard.Reset();
    EXPECT_EQ(keyboard.GetBlob(1), TarselKeyboard::DefaultBlob(1));
    EXPECT_EQ(keyboard.GetDeviceParam(), TarselKeyboard::DefaultDeviceParam());
    EXPECT_TRUE(keyboard.IsPresent());
    EXPECT_TRUE(keyboard.IsConnected());
}

TEST_F(TarselKeyboardTest, ListenersHearWhichBlobsChangedAndWho)
{
    using Heard = std::pair<std::vector<int>, TarselChangeSource>;
    std::vector<Heard> heard;
    const int token = keyboard.AddChangeListener(
        [&](const std::vector<int>& changed, TarselChangeSource source) { heard.emplace_back(changed, source); });
    const auto host = TarselChangeSource::Host;
    const auto onKeyboard = TarselChangeSource::Keyboard;

    ASSERT_EQ(keyboard.SetBlob(0, {1}), TarselResult::Ok);  // the value it had
    ASSERT_EQ(keyboard.SetBlob(0, {0}), TarselResult::OutOfRange);
    EXPECT_TRUE(heard.empty());

    ASSERT_EQ(keyboard.SetBlob(0, {2}), TarselResult::Ok);
    ASSERT_EQ(keyboard.SetBlobs({{10, {3}}, {1, {3, 2, 12}}, {7, {1, 0, 127}}}, onKeyboard), TarselResult::Ok);
    EXPECT_EQ(keyboard.SetBlobs({{10, {4}}, {7, {1, 0}}}, onKeyboard), TarselResult::WrongLength);
    EXPECT_EQ(keyboard.GetBlob(10), Bytes{3}) << "a refused set changes none of its blobs";
    const auto blobs = NonDefaultBlobs();
    const auto before = keyboard.GetAllBlobs();
    const Bytes dump = DumpToKeyboard(blobs);
    ASSERT_EQ(keyboard.ApplyPresetDump(dump.data(), dump.size()), TarselResult::Ok);
    keyboard.Reset();
    std::vector<int> dumped;
    std::vector<int> reset;
    for (int i = 0; i < kTarselParameterCount; ++i) {
        if (blobs[i] != before[i]) dumped.push_back(i);
        if (blobs[i] != TarselKeyboard::DefaultBlob(i)) reset.push_back(i);
    }
    ASSERT_FALSE(dumped.empty());
    const std::vector<Heard> expected{{{0}, host}, {{7, 10}, onKeyboard}, {dumped, host}, {reset, host}};
    EXPECT_EQ(heard, expected);

    keyboard.RemoveChangeListener(token);
    ASSERT_EQ(keyboard.SetBlob(0, {9}), TarselResult::Ok);
    EXPECT_EQ(heard.size(), expected.size());
}

// A dump written while another thread reads must be seen whole or not at all.
TEST_F(TarselKeyboardTest, ConcurrentDumpsAreSeenWhole)
{
    const auto blobs = NonDefaultBlobs();
    const Bytes changed = DumpToKeyboard(blobs);
    Bytes original = keyboard.BuildPresetDump();
    original[7] = 0x01;
    std::thread writer([&] {
        for (int i = 0; i < 2000; ++i) {
            const Bytes& d = (i % 2) ? changed : original;
            keyboard.ApplyPresetDump(d.data(), d.size());
        }
    });
    const auto defaults = TarselKeyboard().GetAllBlobs();
    for (int i = 0; i < 2000; ++i) {
        const auto seen = keyboard.GetAllBlobs();
        ASSERT_TRUE(seen == defaults || seen == blobs);
    }
    writer.join();
}

TEST(TarselKeyboardInstanceTest, OneKeyboardPerProcessEvenAcrossALoadedLibrary)
{
    TarselKeyboard& shared = GetTarselKeyboard();
    EXPECT_EQ(&shared, &GetTarselKeyboard());

    const auto probePath = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "TarselKeyboardProbe.so";
    void* probe = dlopen(probePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(probe, nullptr) << dlerror();
    using ProbeFunction = TarselKeyboard* (*)();
    auto keyboardSeenByLibrary = reinterpret_cast<ProbeFunction>(dlsym(probe, "TarselKeyboardProbe"));
    ASSERT_NE(keyboardSeenByLibrary, nullptr);
    EXPECT_EQ(keyboardSeenByLibrary(), &shared);
    dlclose(probe);
}

}  // namespace
}  // namespace Platform
