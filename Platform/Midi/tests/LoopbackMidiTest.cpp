#include "LoopbackMidiDriver.h"
#include "MidiTestPorts.h"
#include "TarselKeyboard.h"

#include <gtest/gtest.h>

#include <atomic>

namespace Platform::Midi::Testing {
namespace {

const Bytes kIdentityRequest{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
const Bytes kPresetRequest{0xF0, 0x00, 0x5A, 0x3C, 0x7F, 0x00, 0x15, 0x02, 0xF7};

// A driver with ports of its own, standing for real keyboards.
class OtherDriver final : public MidiDriver {
public:
    std::vector<std::string> InputNames() override { return {"USB Keys", "Drum Pads"}; }
    std::vector<std::string> OutputNames() override { return {"USB Keys"}; }
    MMRESULT OpenInput(std::size_t, MidiInputSink&, std::unique_ptr<MidiDriverInput>&) override
    {
        return MMSYSERR_ALLOCATED;
    }
    MMRESULT OpenOutput(std::size_t, std::unique_ptr<MidiDriverOutput>&) override { return MMSYSERR_ALLOCATED; }
};

Bytes SysEx(std::size_t size)
{
    Bytes message(size);
    for (std::size_t i = 0; i < size; ++i) {
        message[i] = static_cast<std::uint8_t>(i % 0x80);
    }
    message.front() = 0xF0;
    message.back() = 0xF7;
    return message;
}

Bytes DumpToKeyboard(std::uint8_t globalChannel)
{
    TarselKeyboard keyboard;
    EXPECT_EQ(keyboard.SetBlob(0, {globalChannel}), TarselResult::Ok);
    Bytes dump = keyboard.BuildPresetDump();
    dump[7] = kTarselCommandDumpToKeyboard;
    return dump;
}

class LoopbackMidiTest : public ::testing::Test {
protected:
    // Everything the keyboard sent before has been handled once a real-time
    // byte sent after it arrives.
    bool WaitForMarker(TestInput& input)
    {
        loopback->Inject({0xF9});
        return input.WaitFor([&] {
            const auto shorts = input.Shorts();
            return !shorts.empty() && shorts.back().message == 0xF9;
        });
    }

    TarselKeyboard keyboard;
    std::shared_ptr<LoopbackMidiDriver> loopback = std::make_shared<LoopbackMidiDriver>(keyboard);
    MidiServices services{{loopback}};
};

TEST(MidiPortListTest, SimulatorPortsComeAfterTheOtherDriversPorts)
{
    TarselKeyboard keyboard;
    MidiServices services({std::make_shared<OtherDriver>(), std::make_shared<LoopbackMidiDriver>(keyboard)});
    ASSERT_EQ(services.InGetNumDevs(), 3u);
    ASSERT_EQ(services.OutGetNumDevs(), 2u);
    MidiInCaps in;
    MidiOutCaps out;
    ASSERT_EQ(services.InGetDevCaps(1, in), MMSYSERR_NOERROR);
    EXPECT_EQ(std::u16string(in.szPname), u"Drum Pads");
    ASSERT_EQ(services.InGetDevCaps(2, in), MMSYSERR_NOERROR);
    EXPECT_EQ(std::u16string(in.szPname), u"Tarsel Simulator");
    ASSERT_EQ(services.OutGetDevCaps(1, out), MMSYSERR_NOERROR);
    EXPECT_EQ(std::u16string(out.szPname), u"Tarsel Simulator");
    EXPECT_EQ(services.InGetDevCaps(3, in), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(services.OutGetDevCaps(2, out), MMSYSERR_BADDEVICEID);

    TestInput refused(services, 0);
    EXPECT_EQ(refused.OpenResult(), MMSYSERR_ALLOCATED);
    EXPECT_EQ(refused.Handle(), nullptr);
    TestInput simulator(services, 2);
    EXPECT_EQ(simulator.OpenResult(), MMSYSERR_NOERROR);
}

TEST(MidiPortNameTest, NamesAreUtf16CutTo31Units)
{
    struct Case {
        std::string utf8;
        std::u16string expected;
    };
    const Case cases[] = {
        {"Tarsel Simulator", u"Tarsel Simulator"},
        {"", u""},
        {std::string(40, 'a'), std::u16string(31, u'a')},
        {"K\xC3\xB6nig \xE2\x82\xAC", u"K\u00F6nig \u20AC"},
        {std::string(30, 'a') + "\xF0\x9F\x8E\xB9", std::u16string(30, u'a')},  // no half surrogate pair
        {"ab\xF0\x9F\x8E\xB9", u"ab\U0001F3B9"},
        // The tree's one rule for bad bytes: the name ends where they begin.
        {"a\xFF"
         "b\xC3",
         u"a"},
        {"ok\xC0\xAF\xED\xA0\x80", u"ok"},
    };
    for (const auto& c : cases) {
        char16_t name[MAXPNAMELEN];
        std::fill(std::begin(name), std::end(name), u'x');
        CopyPortName(c.utf8, name);
        EXPECT_EQ(std::u16string(name), c.expected) << c.utf8;
        EXPECT_EQ(name[MAXPNAMELEN - 1], u'\0');
    }
}

TEST_F(LoopbackMidiTest, IdentityRequestIsAnsweredOnADriverThread)
{
    TestInput input(services, 0);
    TestOutput output(services, 0);
    ASSERT_EQ(input.OpenResult(), MMSYSERR_NOERROR);
    ASSERT_EQ(output.OpenResult(), MMSYSERR_NOERROR);

    output.SendLong(kIdentityRequest);
    ASSERT_TRUE(input.WaitForSysEx(1));
    EXPECT_EQ(input.SysEx(), std::vector<Bytes>{TarselKeyboard::IdentityReply()});
    EXPECT_NE(input.CallbackThread(), std::this_thread::get_id());
    EXPECT_EQ(loopback->SentMessages(), std::vector<Bytes>{kIdentityRequest});
    const auto messages = output.Messages();
    EXPECT_EQ(messages.front(), MOM_OPEN);
    EXPECT_EQ(messages.back(), MOM_DONE);
    EXPECT_TRUE(output.Header().dwFlags & MHDR_DONE);
}

TEST_F(LoopbackMidiTest, PresetRequestGetsTheCurrentBlobsAndADumpIsStored)
{
    TestInput input(services, 0);
    TestOutput output(services, 0);
    ASSERT_EQ(keyboard.SetBlob(1, {6, 0, 24}), TarselResult::Ok);

    output.SendLong(kPresetRequest);
    ASSERT_TRUE(input.WaitForSysEx(1));
    EXPECT_EQ(input.SysEx().front(), keyboard.BuildPresetDump());
    EXPECT_EQ(input.SysEx().front()[11], 6);

    output.SendLong(DumpToKeyboard(12));
    EXPECT_EQ(keyboard.GetBlob(0), Bytes{12});

    // A dump the keyboard refuses leaves its setup alone.
    Bytes foreign = DumpToKeyboard(3);
    foreign[7] = kTarselCommandDumpFromKeyboard;
    output.SendLong(foreign);
    EXPECT_EQ(keyboard.GetBlob(0), Bytes{12});
}

TEST_F(LoopbackMidiTest, SysExSpanningBuffersArrivesWhole)
{
    struct Case {
        std::size_t size;
        std::vector<std::uint32_t> buffers;
    };
    const Case cases[] = {
        {600, {256, 256, 88}}, {256, {256}}, {512, {256, 256}}, {257, {256, 1}}, {2, {2}},
    };
    for (const auto& c : cases) {
        TestInput input(services, 0);
        loopback->Inject(SysEx(c.size));
        ASSERT_TRUE(input.WaitForSysEx(1)) << c.size;
        EXPECT_EQ(input.SysEx(), std::vector<Bytes>{SysEx(c.size)}) << c.size;
        EXPECT_EQ(input.BufferCounts(), c.buffers) << c.size;
    }
}

TEST_F(LoopbackMidiTest, RealTimeBytesInsideSysExComeAsShortMessages)
{
    TestInput input(services, 0);
    Bytes stream = keyboard.BuildPresetDump();
    stream.insert(stream.begin() + 40, 0xF8);
    stream.insert(stream.begin() + 3, 0xFE);
    LoopbackScript script;
    script.presetReply = stream;
    loopback->SetScript(script);
    TestOutput output(services, 0);
    output.SendLong(kPresetRequest);

    ASSERT_TRUE(input.WaitForSysEx(1));
    EXPECT_EQ(input.SysEx(), std::vector<Bytes>{keyboard.BuildPresetDump()});
    const auto shorts = input.Shorts();
    ASSERT_EQ(shorts.size(), 2u);
    EXPECT_EQ(shorts[0].message, 0xFEu);
    EXPECT_EQ(shorts[1].message, 0xF8u);
}

TEST_F(LoopbackMidiTest, ScriptedRepliesArriveAsScripted)
{
    const Bytes dump = keyboard.BuildPresetDump();
    Bytes shortDump = dump;
    shortDump.erase(shortDump.begin() + 50);
    Bytes longDump = dump;
    longDump.insert(longDump.begin() + 50, 0x00);
    Bytes wrongCommand = dump;
    wrongCommand[7] = 0x01;
    Bytes twoDumps = dump;
    twoDumps.insert(twoDumps.end(), dump.begin(), dump.end());
    struct Case {
        const char* what;
        Bytes reply;
        std::vector<Bytes> expected;
    };
    const Case cases[] = {
        {"99 bytes", shortDump, {shortDump}},
        {"101 bytes", longDump, {longDump}},
        {"wrong command", wrongCommand, {wrongCommand}},
        {"two dumps", twoDumps, {dump, dump}},
        {"no F0", Bytes(dump.begin() + 1, dump.end()), {}},
    };
    for (const auto& c : cases) {
        LoopbackScript script;
        script.presetReply = c.reply;
        loopback->SetScript(script);
        TestInput input(services, 0);
        TestOutput output(services, 0);
        output.SendLong(kPresetRequest);
        ASSERT_TRUE(loopback->WaitUntilIdle(5s));
        ASSERT_TRUE(WaitForMarker(input)) << c.what;
        EXPECT_EQ(input.SysEx(), c.expected) << c.what;
    }
}

TEST_F(LoopbackMidiTest, NoReplyAndLateReply)
{
    LoopbackScript silent;
    silent.answerIdentity = false;
    silent.answerPresetRequest = false;
    loopback->SetScript(silent);
    {
        TestInput input(services, 0);
        TestOutput output(services, 0);
        output.SendLong(kIdentityRequest);
        output.SendLong(kPresetRequest);
        ASSERT_TRUE(loopback->WaitUntilIdle(5s));
        ASSERT_TRUE(WaitForMarker(input));
        EXPECT_TRUE(input.SysEx().empty());
        EXPECT_EQ(loopback->SentMessages().size(), 2u);
    }

    LoopbackScript late;
    late.replyDelayMs = 60;
    loopback->SetScript(late);
    TestInput input(services, 0);
    TestOutput output(services, 0);
    const auto sent = std::chrono::steady_clock::now();
    output.SendLong(kPresetRequest);
    ASSERT_TRUE(input.WaitForSysEx(1));
    EXPECT_GE(std::chrono::steady_clock::now() - sent, 60ms);
    EXPECT_EQ(input.SysEx().front().size(), kTarselPresetDumpSize);
}

TEST_F(LoopbackMidiTest, ShortMessagesBothWays)
{
    TestInput input(services, 0);
    TestOutput output(services, 0);
    struct Case {
        std::uint32_t message;
        MMRESULT result;
        Bytes sent;
    };
    const Case cases[] = {
        {0x643C90, MMSYSERR_NOERROR, {0x90, 0x3C, 0x64}},
        {0xAB05C0, MMSYSERR_NOERROR, {0xC0, 0x05}},
        {0x0000F8, MMSYSERR_NOERROR, {0xF8}},
        {0x0003F2, MMSYSERR_NOERROR, {0xF2, 0x03, 0x00}},
        {0x00003C, MMSYSERR_INVALPARAM, {}},
        {0x0000F0, MMSYSERR_INVALPARAM, {}},
        {0x0000F7, MMSYSERR_INVALPARAM, {}},
    };
    std::vector<Bytes> expected;
    for (const auto& c : cases) {
        EXPECT_EQ(services.OutShortMsg(output.Handle(), c.message), c.result) << std::hex << c.message;
        if (!c.sent.empty()) {
            expected.push_back(c.sent);
        }
    }
    EXPECT_EQ(loopback->SentMessages(), expected);

    // Running status, and a data byte with no status to belong to.
    loopback->Inject({0x3C, 0x90, 0x3C, 0x64, 0x3E, 0x00, 0xC5, 0x07, 0xF8});
    ASSERT_TRUE(input.WaitFor([&] { return input.Shorts().size() >= 4; }));
    const auto shorts = input.Shorts();
    ASSERT_EQ(shorts.size(), 4u);
    EXPECT_EQ(shorts[0].message, 0x643C90u);
    EXPECT_EQ(shorts[1].message, 0x003E90u);
    EXPECT_EQ(shorts[2].message, 0x07C5u);
    EXPECT_EQ(shorts[3].message, 0xF8u);
    const auto messages = input.Messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), MIM_ERROR), messages.end());
}

TEST_F(LoopbackMidiTest, StatusByteCutsSysExShort)
{
    TestInput input(services, 0);
    loopback->Inject({0xF0, 0x01, 0x02, 0x90, 0x3C, 0x64, 0xF0, 0x03, 0xF7});
    ASSERT_TRUE(input.WaitFor([&] { return !input.SysEx().empty(); }));
    EXPECT_EQ(input.LongErrors(), (std::vector<Bytes>{{0xF0, 0x01, 0x02}}));
    EXPECT_EQ(input.SysEx(), (std::vector<Bytes>{{0xF0, 0x03, 0xF7}}));
    EXPECT_EQ(input.Shorts().front().message, 0x643C90u);
}

TEST_F(LoopbackMidiTest, InputOnlyFlowsBetweenStartAndStop)
{
    MidiInCaps caps;
    ASSERT_EQ(services.InGetDevCaps(0u, caps), MMSYSERR_NOERROR);
    HMIDIIN handle = nullptr;
    std::vector<std::uint32_t> seen;
    std::mutex mutex;
    auto proc = [](HMIDIIN, std::uint32_t message, std::uintptr_t instance, std::uintptr_t, std::uintptr_t) {
        auto* record = reinterpret_cast<std::pair<std::mutex*, std::vector<std::uint32_t>*>*>(instance);
        std::lock_guard lock(*record->first);
        record->second->push_back(message);
    };
    std::pair<std::mutex*, std::vector<std::uint32_t>*> record{&mutex, &seen};
    ASSERT_EQ(services.InOpen(&handle, 0, proc, reinterpret_cast<std::uintptr_t>(&record), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    loopback->Inject({0x90, 0x3C, 0x64});
    ASSERT_TRUE(loopback->WaitUntilIdle(5s));
    ASSERT_EQ(services.InStart(handle), MMSYSERR_NOERROR);
    loopback->Inject({0x80, 0x3C, 0x00});
    ASSERT_TRUE(loopback->WaitUntilIdle(5s));
    ASSERT_EQ(services.InStop(handle), MMSYSERR_NOERROR);
    loopback->Inject({0x90, 0x3D, 0x64});
    ASSERT_TRUE(loopback->WaitUntilIdle(5s));
    ASSERT_EQ(services.InReset(handle), MMSYSERR_NOERROR);  // waits for the device thread
    ASSERT_EQ(services.InClose(handle), MMSYSERR_NOERROR);
    std::lock_guard lock(mutex);
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{MIM_OPEN, MIM_DATA, MIM_CLOSE}));
}

TEST_F(LoopbackMidiTest, BuffersFollowTheHeaderRules)
{
    HMIDIIN handle = nullptr;
    ASSERT_EQ(services.InOpen(&handle, 0, nullptr, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    std::array<std::uint8_t, 256> data{};
    MidiHeader header;
    header.lpData = data.data();
    header.dwBufferLength = 256;
    EXPECT_EQ(services.InAddBuffer(handle, &header, sizeof header), MIDIERR_UNPREPARED);
    EXPECT_EQ(services.InPrepareHeader(handle, &header, 64), MMSYSERR_INVALPARAM);
    ASSERT_EQ(services.InPrepareHeader(handle, &header, sizeof header), MMSYSERR_NOERROR);
    ASSERT_EQ(services.InAddBuffer(handle, &header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_EQ(services.InAddBuffer(handle, &header, sizeof header), MIDIERR_STILLPLAYING);
    EXPECT_EQ(services.InUnprepareHeader(handle, &header, sizeof header), MIDIERR_STILLPLAYING);
    EXPECT_EQ(services.InClose(handle), MIDIERR_STILLPLAYING);
    ASSERT_EQ(services.InReset(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(header.dwFlags & (MHDR_DONE | MHDR_INQUEUE), MHDR_DONE);
    EXPECT_EQ(header.dwBytesRecorded, 0u);
    EXPECT_EQ(services.InUnprepareHeader(handle, &header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_EQ(services.InClose(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(services.InStart(handle), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(services.InClose(handle), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(services.InOpen(&handle, 0, nullptr, 0, CALLBACK_FUNCTION), MMSYSERR_INVALPARAM);
    EXPECT_EQ(services.InOpen(&handle, 0, nullptr, 0, 0x40000), MMSYSERR_INVALFLAG);
    EXPECT_EQ(services.InOpen(&handle, 1, nullptr, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(handle, nullptr);
}

TEST_F(LoopbackMidiTest, ResetHandsBackEveryBufferThroughTheCallback)
{
    TestInput input(services, 0);
    loopback->Inject({0xF0, 0x01, 0x02});  // a message still in assembly
    ASSERT_TRUE(loopback->WaitUntilIdle(5s));
    input.Close();
    // The partial buffer counts as complete, then two empty buffers.
    EXPECT_EQ(input.BufferCounts(), (std::vector<std::uint32_t>{3, 0, 0}));
    EXPECT_EQ(input.SysEx(), (std::vector<Bytes>{{0xF0, 0x01, 0x02}}));
    EXPECT_EQ(input.Messages().back(), MIM_CLOSE);
}

TEST_F(LoopbackMidiTest, SysExWithoutBuffersIsLost)
{
    TestInput input(services, 0);
    input.SetRequeue(false);
    loopback->Inject(SysEx(1000));
    loopback->Inject(SysEx(10));
    ASSERT_TRUE(loopback->WaitUntilIdle(5s));
    ASSERT_TRUE(input.WaitFor([&] { return input.BufferCounts().size() == 3; }));
    EXPECT_EQ(input.BufferCounts(), (std::vector<std::uint32_t>{256, 256, 256}));
    EXPECT_TRUE(input.SysEx().empty());
}

TEST_F(LoopbackMidiTest, RefusedOpensAndSends)
{
    LoopbackScript script;
    script.inputOpenResult = MMSYSERR_ALLOCATED;
    script.outputOpenResult = MMSYSERR_NOMEM;
    loopback->SetScript(script);
    EXPECT_EQ(TestInput(services, 0).OpenResult(), MMSYSERR_ALLOCATED);
    EXPECT_EQ(TestOutput(services, 0).OpenResult(), MMSYSERR_NOMEM);

    script = LoopbackScript{};
    script.sendResult = MMSYSERR_ERROR;
    loopback->SetScript(script);
    TestOutput output(services, 0);
    EXPECT_EQ(services.OutShortMsg(output.Handle(), 0x643C90), MMSYSERR_ERROR);
    output.SendLong(kIdentityRequest);  // still comes back done, with nothing taken
    EXPECT_EQ(output.Header().dwBytesRecorded, 0u);
    EXPECT_TRUE(loopback->SentMessages().empty());

    loopback->SetScript(LoopbackScript{});
    output.SendLong(kIdentityRequest);
    EXPECT_EQ(output.Header().dwBytesRecorded, kIdentityRequest.size());
}

TEST_F(LoopbackMidiTest, VanishedDeviceStopsAnswering)
{
    TestInput input(services, 0);
    TestOutput output(services, 0);
    MidiInCaps inCaps;
    MidiOutCaps outCaps;
    ASSERT_EQ(services.InGetDevCaps(input.Handle(), inCaps), MMSYSERR_NOERROR);

    LoopbackScript gone;
    gone.present = false;
    loopback->SetScript(gone);
    EXPECT_EQ(services.InGetNumDevs(), 0u);
    EXPECT_EQ(services.OutGetNumDevs(), 0u);
    EXPECT_EQ(services.InGetDevCaps(input.Handle(), inCaps), MMSYSERR_NODRIVER);
    EXPECT_EQ(services.OutGetDevCaps(output.Handle(), outCaps), MMSYSERR_NODRIVER);
    EXPECT_EQ(services.OutShortMsg(output.Handle(), 0x643C90), MMSYSERR_NODRIVER);
    EXPECT_EQ(output.StartLong(kPresetRequest), MMSYSERR_NODRIVER);
    loopback->Inject({0x90, 0x3C, 0x64});
    ASSERT_TRUE(loopback->WaitUntilIdle(5s));
    EXPECT_EQ(TestInput(services, 0).OpenResult(), MMSYSERR_BADDEVICEID);

    // Unplugging the keyboard itself does the same.
    loopback->SetScript(LoopbackScript{});
    ASSERT_EQ(services.InGetNumDevs(), 1u);
    keyboard.SetPresent(false);
    EXPECT_EQ(services.InGetNumDevs(), 0u);
    keyboard.SetPresent(true);
    ASSERT_TRUE(WaitForMarker(input));
    EXPECT_EQ(input.Shorts().size(), 1u);
}

TEST_F(LoopbackMidiTest, SendThatNeverCompletesIsHandedBackByReset)
{
    LoopbackScript script;
    script.holdLongSends = true;
    loopback->SetScript(script);
    TestOutput output(services, 0);
    ASSERT_EQ(output.StartLong(kPresetRequest), MMSYSERR_NOERROR);
    ASSERT_TRUE(loopback->WaitForHeldSends(1, 5s));
    EXPECT_FALSE(output.WaitDone(20ms));
    MidiHeader& header = output.Header();
    EXPECT_EQ(services.OutUnprepareHeader(output.Handle(), &header, sizeof header), MIDIERR_STILLPLAYING);
    EXPECT_EQ(services.OutClose(output.Handle()), MIDIERR_STILLPLAYING);
    EXPECT_EQ(services.OutShortMsg(output.Handle(), 0x643C90), MIDIERR_NOTREADY);

    ASSERT_EQ(services.OutReset(output.Handle()), MMSYSERR_NOERROR);
    EXPECT_TRUE(output.WaitDone(0ms));  // handed back before the reset returned
    EXPECT_EQ(services.OutUnprepareHeader(output.Handle(), &header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_TRUE(loopback->SentMessages().empty());

    // After the reset the port works again once the device takes messages.
    loopback->SetScript(LoopbackScript{});
    output.SendLong(kIdentityRequest);
    EXPECT_EQ(loopback->SentMessages(), std::vector<Bytes>{kIdentityRequest});
}

// A reset asked for inside MOM_DONE must not leave the port refusing to send.
TEST_F(LoopbackMidiTest, ResetFromTheDoneCallback)
{
    struct Port {
        MidiServices* services;
        HMIDIOUT handle = nullptr;
        std::atomic<int> done{0};
    } port{&services};
    auto proc = [](HMIDIOUT handle, std::uint32_t message, std::uintptr_t instance, std::uintptr_t, std::uintptr_t) {
        auto* self = reinterpret_cast<Port*>(instance);
        if (message == MOM_DONE) {
            EXPECT_EQ(self->services->OutReset(handle), MMSYSERR_NOERROR);
            ++self->done;
        }
    };
    ASSERT_EQ(services.OutOpen(&port.handle, 0, proc, reinterpret_cast<std::uintptr_t>(&port), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    Bytes first = kIdentityRequest;
    Bytes second = kIdentityRequest;
    MidiHeader headers[2];
    headers[0].lpData = first.data();
    headers[1].lpData = second.data();
    for (auto& header : headers) {
        header.dwBufferLength = static_cast<std::uint32_t>(kIdentityRequest.size());
        ASSERT_EQ(services.OutPrepareHeader(port.handle, &header, sizeof header), MMSYSERR_NOERROR);
    }
    for (int round = 1; round <= 2; ++round) {
        ASSERT_EQ(services.OutLongMsg(port.handle, &headers[round - 1], sizeof(MidiHeader)), MMSYSERR_NOERROR);
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (port.done < round && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_EQ(port.done, round);
    }
    EXPECT_EQ(loopback->SentMessages().size(), 2u);  // the second went out too
    for (auto& header : headers) {
        EXPECT_EQ(services.OutUnprepareHeader(port.handle, &header, sizeof header), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(services.OutClose(port.handle), MMSYSERR_NOERROR);
}

TEST_F(LoopbackMidiTest, ReleasedHoldLetsTheSendThrough)
{
    LoopbackScript script;
    script.holdLongSends = true;
    loopback->SetScript(script);
    TestInput input(services, 0);
    TestOutput output(services, 0);
    ASSERT_EQ(output.StartLong(kIdentityRequest), MMSYSERR_NOERROR);
    ASSERT_TRUE(loopback->WaitForHeldSends(1, 5s));
    loopback->SetScript(LoopbackScript{});
    ASSERT_TRUE(output.WaitDone());
    ASSERT_TRUE(input.WaitForSysEx(1));
    EXPECT_EQ(input.SysEx().front(), TarselKeyboard::IdentityReply());
}

TEST_F(LoopbackMidiTest, ManyPortsAndMessagesAtOnce)
{
    TestInput first(services, 0);
    TestInput second(services, 0);
    std::vector<std::thread> senders;
    for (int t = 0; t < 3; ++t) {
        senders.emplace_back([this] {
            TestOutput output(services, 0);
            for (int i = 0; i < 20; ++i) {
                output.SendLong(kIdentityRequest);
                services.OutShortMsg(output.Handle(), 0x643C90);
            }
        });
    }
    for (auto& sender : senders) {
        sender.join();
    }
    ASSERT_TRUE(first.WaitForSysEx(60));
    ASSERT_TRUE(second.WaitForSysEx(60));
    EXPECT_EQ(first.SysEx().size(), 60u);
    EXPECT_EQ(second.SysEx().size(), 60u);
}

TEST(DefaultMidiServicesTest, SimulatorAnswersFromTheSharedKeyboard)
{
    MidiServices& services = GetMidiServices();
    EXPECT_EQ(&services, &GetMidiServices());
    LoopbackMidiDriver* loopback = services.GetLoopback();
    ASSERT_NE(loopback, nullptr);
    const std::uint32_t count = services.OutGetNumDevs();
    ASSERT_GE(count, 1u);
    MidiOutCaps caps;
    ASSERT_EQ(services.OutGetDevCaps(count - 1, caps), MMSYSERR_NOERROR);
    EXPECT_EQ(std::u16string(caps.szPname), u"Tarsel Simulator");

    GetTarselKeyboard().Reset();
    {
        TestOutput output(services, count - 1);
        output.SendLong(DumpToKeyboard(7));
    }
    EXPECT_EQ(GetTarselKeyboard().GetBlob(0), Bytes{7});
    GetTarselKeyboard().Reset();
    loopback->Reset();

    TarselKeyboard keyboard;
    MidiServices replacement({std::make_shared<OtherDriver>()});
    {
        ScopedMidiServices scoped(replacement);
        EXPECT_EQ(&GetMidiServices(), &replacement);
        EXPECT_EQ(GetMidiServices().GetLoopback(), nullptr);
    }
    EXPECT_EQ(&GetMidiServices(), &services);
}

}  // namespace
}  // namespace Platform::Midi::Testing
