// Presets fetched from and sent to the simulated keyboard over its MIDI ports.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "MidiManagerFixture.h"

namespace MidiManagerTest {
namespace {

const Bytes kIdentityRequest = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};

using Platform::Midi::LoopbackScript;
using QV::LMidiManager;

const Bytes kPresetRequest = {0xF0, 0x00, 0x5A, 0x3C, 0x7F, 0x00, 0x15, 0x02, 0xF7};

using PresetTest = MidiManagerFixture;

TEST_F(PresetTest, GetAppliesTheKeyboardsDumpToTheEngine)
{
    const Blobs other = OtherBlobs();
    Bytes dump = DumpOf(other);
    dump[8] = 0x7F;  // bytes 8 and 9 are not looked at
    dump[9] = 0x00;
    LoopbackScript script;
    script.presetReply = dump;
    Script(script);

    EXPECT_EQ(manager->GetPresetFromMidiDevice(-1), 0);
    EXPECT_EQ(loopback->SentMessages(), std::vector<Bytes>{kPresetRequest});
    EXPECT_EQ(EngineBlob(0), Bytes{5});
    EXPECT_EQ(EngineBlob(14), Bytes(dump.begin() + 86, dump.begin() + 99));
    EXPECT_EQ(EngineBlobs(), other);
    // The engine passed the values on to the keyboard.
    EXPECT_EQ(keyboard.GetAllBlobs(), other);
    EXPECT_TRUE(manager->IsPresetGateOpen());
}

TEST_F(PresetTest, GetTakesTheKeyboardsOwnSetup)
{
    // Changed behind the engine's back, so only the dump can bring it.
    ASSERT_EQ(keyboard.SetBlob(0, {9}), Platform::TarselResult::Ok);
    EXPECT_EQ(manager->GetPresetFromMidiDevice(-1), 0);
    EXPECT_EQ(EngineBlob(0), Bytes{9});
}

struct BadReply {
    const char* name;
    std::function<void(LoopbackScript&)> script;
    int32_t result;
    bool appliesOther;  // whether the engine ends with OtherBlobs()
};

TEST_F(PresetTest, BadRepliesEndInNoDumpAndChangeNothing)
{
    const Bytes good = DumpOf(OtherBlobs());
    Bytes shortDump = good;
    shortDump.erase(shortDump.begin() + 50);
    Bytes longDump = good;
    longDump.insert(longDump.begin() + 50, 0x01);
    Bytes wrongCommand = good;
    wrongCommand[7] = 0x01;
    Bytes wrongMaker = good;
    wrongMaker[3] = 0x3D;
    Blobs third = OtherBlobs();
    third[0] = {7};
    Bytes twoDumps = good;
    const Bytes second = DumpOf(third);
    twoDumps.insert(twoDumps.end(), second.begin(), second.end());
    Bytes realTimeInside = good;
    realTimeInside.insert(realTimeInside.begin() + 40, 0xF8);
    Bytes noteFirst = {0x90, 0x3C, 0x64};
    noteFirst.insert(noteFirst.end(), good.begin(), good.end());

    const BadReply cases[] = {
        {"99 bytes", [&](LoopbackScript& s) { s.presetReply = shortDump; }, LMidiManager::kNoDump, false},
        {"101 bytes", [&](LoopbackScript& s) { s.presetReply = longDump; }, LMidiManager::kNoDump, false},
        {"command 01", [&](LoopbackScript& s) { s.presetReply = wrongCommand; }, LMidiManager::kNoDump, false},
        {"other maker", [&](LoopbackScript& s) { s.presetReply = wrongMaker; }, LMidiManager::kNoDump, false},
        {"no reply", [](LoopbackScript& s) { s.answerPresetRequest = false; }, LMidiManager::kNoDump, false},
        {"reply after the wait",
         [&](LoopbackScript& s) {
             s.presetReply = good;
             s.replyDelayMs = 400;
         },
         LMidiManager::kNoDump, false},
        {"second dump", [&](LoopbackScript& s) { s.presetReply = twoDumps; }, 0, true},
        {"real-time byte inside", [&](LoopbackScript& s) { s.presetReply = realTimeInside; }, 0, true},
        {"note before the dump", [&](LoopbackScript& s) { s.presetReply = noteFirst; }, 0, true},
    };
    for (const BadReply& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(engine->SetParamValue(ParamTest::Desc(0), ParamTest::Blob({1})), 0);
        const Blobs before = EngineBlobs();
        LoopbackScript script;
        c.script(script);
        Script(script);
        EXPECT_EQ(manager->GetPresetFromMidiDevice(-1), c.result);
        // Whatever is still under way arrives, and is not taken either.
        EXPECT_TRUE(loopback->WaitUntilIdle(std::chrono::seconds(2)));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(EngineBlobs(), c.appliesOther ? OtherBlobs() : before);
        EXPECT_EQ(manager->IsPresetGateOpen(), c.result == 0);
        loopback->Reset();
        posts->Take();
    }
}

// A reply that comes about when the wait ends: the answer always tells
// what the engine got, and nothing arrives in the engine after it.
TEST_F(PresetTest, AReplyAtTheEndOfTheWaitIsAppliedOnlyWhenReported)
{
    const Blobs blobsA = OtherBlobs();
    Blobs blobsB = OtherBlobs();
    blobsB[0] = {11};
    constexpr uint32_t kWaitMs = 40;
    int applied = 0;
    for (int i = 0; i < 16; ++i) {
        const Blobs& next = (i % 2) ? blobsA : blobsB;
        const Blobs before = EngineBlobs();
        LoopbackScript script;
        script.presetReply = DumpOf(next);
        script.replyDelayMs = kWaitMs - 8 + static_cast<uint32_t>(i);
        Script(script);
        const QV::RCPtr<LMidiManager> fast = LMidiManager::Create({kWaitMs, 2000});
        const int32_t result = fast->GetPresetFromMidiDevice(-1);
        ASSERT_TRUE(result == 0 || result == LMidiManager::kNoDump) << result;
        loopback->WaitUntilIdle(std::chrono::seconds(2));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(EngineBlobs(), result == 0 ? next : before) << i;
        applied += result == 0;
        posts->Take();
    }
    RecordProperty("applied", applied);
}

TEST_F(PresetTest, GetFailsWhenTheEngineDoesNotTakeTheValues)
{
    LoopbackScript script;
    script.presetReply = DumpOf(OtherBlobs());
    Script(script);

    // The library refuses every write.
    sim.SetResult("DVCL_SetParamValue", -77);
    EXPECT_EQ(manager->GetPresetFromMidiDevice(-1), LMidiManager::kMidiError);
    EXPECT_EQ(keyboard.GetAllBlobs(), DefaultBlobs());
    sim.ClearResults();

    // An engine that was never connected.
    const QV::RCPtr<LRootModuleEngine> unconnected(new LRootModuleEngine());
    SetRootModuleEngine(unconnected);
    EXPECT_EQ(manager->GetPresetFromMidiDevice(-1), LMidiManager::kMidiError);

    // No engine at all.
    SetRootModuleEngine(nullptr);
    EXPECT_EQ(manager->GetPresetFromMidiDevice(-1), LMidiManager::kMidiError);
    EXPECT_EQ(keyboard.GetAllBlobs(), DefaultBlobs());
}

// The 100 bytes of a dump sent for the given blobs.
Bytes SentDumpOf(const Blobs& blobs)
{
    Bytes dump = DumpOf(blobs);
    dump[7] = 0x01;
    return dump;
}

TEST_F(PresetTest, SendPutsTheWholeDumpOnTheWire)
{
    EXPECT_EQ(manager->SendPresetToMidiDevice(-1), 100);
    const Bytes factory = {0xF0, 0x00, 0x5A, 0x3C, 0x7F, 0x00, 0x15, 0x01, 0x00, 0x59, 0x01, 0x03, 0x02, 0x0C,
                           0x00, 0x00, 0x00, 0x57, 0x06, 0x0C};
    ASSERT_EQ(loopback->SentMessages().size(), 1u);
    const Bytes sent = loopback->SentMessages()[0];
    ASSERT_EQ(sent.size(), 100u);
    EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 20), factory);
    EXPECT_EQ(sent, SentDumpOf(DefaultBlobs()));

    // The engine's values as they are now, whatever the keyboard holds.
    const Blobs other = OtherBlobs();
    for (int32_t i = 0; i < 15; ++i) {
        ASSERT_EQ(engine->SetParamValue(ParamTest::Desc(i), ParamTest::Blob(other[i])), 0);
    }
    keyboard.Reset();
    loopback->Reset();
    EXPECT_EQ(manager->SendPresetToMidiDevice(-1), 100);
    EXPECT_EQ(loopback->SentMessages(), std::vector<Bytes>{SentDumpOf(other)});
    // The keyboard took it over MIDI.
    EXPECT_EQ(keyboard.GetAllBlobs(), other);
}

TEST_F(PresetTest, SendRefusesValuesThatMakeNoSoundDump)
{
    struct Case {
        const char* name;
        int32_t id;
        Bytes blob;
    };
    const Case cases[] = {
        {"byte with the top bit", 13, {0x00, 0x06, 0x00, 0x80, 0, 0, 0x7F, 0, 0, 0x40, 0, 0x7F, 0}},
        {"end byte inside", 7, {0, 0xF7, 127}},
        {"blob one byte long", 1, {3, 2, 12, 0}},
        {"blob one byte short", 6, {0, 0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The keyboard refuses such a value; the engine keeps it all the same.
        (void)engine->SetParamValue(ParamTest::Desc(c.id), ParamTest::Blob(c.blob));
        ASSERT_EQ(EngineBlob(c.id), c.blob);
        loopback->Reset();
        EXPECT_EQ(manager->SendPresetToMidiDevice(-1), QV::E_FAIL);
        EXPECT_TRUE(loopback->SentMessages().empty());
        EXPECT_GE(engine->SetParamValue(ParamTest::Desc(c.id), ParamTest::Blob(DefaultBlobs()[c.id])), 0);
    }
    SetRootModuleEngine(nullptr);
    EXPECT_EQ(manager->SendPresetToMidiDevice(-1), QV::E_FAIL);
    EXPECT_TRUE(loopback->SentMessages().empty());
}

TEST_F(PresetTest, MessagesTheDriverDoesNotTakeInTimeFail)
{
    LoopbackScript script;
    script.holdLongSends = true;
    Script(script);
    const QV::RCPtr<LMidiManager> impatient = LMidiManager::Create({200, 50});
    EXPECT_EQ(impatient->SendPresetToMidiDevice(-1), QV::E_FAIL);
    EXPECT_EQ(impatient->GetPresetFromMidiDevice(-1), LMidiManager::kMidiError);
    EXPECT_TRUE(loopback->SentMessages().empty());
    EXPECT_EQ(loopback->HeldSendCount(), 0u);
}

TEST_F(PresetTest, MessagesTheDriverRefusesFail)
{
    LoopbackScript script;
    script.sendResult = Platform::Midi::MMSYSERR_ERROR;
    Script(script);
    const Blobs before = keyboard.GetAllBlobs();
    EXPECT_EQ(manager->SendPresetToMidiDevice(-1), QV::E_FAIL);
    EXPECT_EQ(manager->GetPresetFromMidiDevice(-1), LMidiManager::kMidiError);
    EXPECT_TRUE(loopback->SentMessages().empty());
    EXPECT_EQ(keyboard.GetAllBlobs(), before);
}

TEST_F(PresetTest, WithoutTheKeyboardsPortsEveryOperationFails)
{
    struct Case {
        const char* name;
        std::function<void(LoopbackScript&)> script;
    };
    const Case cases[] = {
        {"no device", [](LoopbackScript& s) { s.present = false; }},
        {"input refused", [](LoopbackScript& s) { s.inputOpenResult = Platform::Midi::MMSYSERR_ALLOCATED; }},
        {"output refused", [](LoopbackScript& s) { s.outputOpenResult = Platform::Midi::MMSYSERR_ALLOCATED; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackScript script;
        c.script(script);
        Script(script);
        const Blobs before = EngineBlobs();
        EXPECT_EQ(manager->GetPresetFromMidiDevice(-1), LMidiManager::kMidiError);
        EXPECT_EQ(manager->SendPresetToMidiDevice(-1), LMidiManager::kMidiError);
        EXPECT_EQ(manager->PrepareMidiOutput(u""), LMidiManager::kMidiError);
        EXPECT_EQ(manager->RequestNonPresetParameterFromDevice(u""), QV::E_FAIL);
        EXPECT_FALSE(manager->CheckMidiPorts());
        EXPECT_FALSE(manager->IsDeviceFirmwareVersionUseable());
        EXPECT_TRUE(loopback->SentMessages().empty());
        EXPECT_EQ(EngineBlobs(), before);
    }
}

TEST_F(PresetTest, OperationsThatSendNothingLeaveTheWireQuiet)
{
    EXPECT_TRUE(manager->CheckMidiPorts());
    EXPECT_EQ(manager->PrepareMidiOutput(u""), 0);
    EXPECT_EQ(manager->RequestNonPresetParameterFromDevice(u""), 0);
    EXPECT_TRUE(loopback->SentMessages().empty());
}

TEST_F(PresetTest, TheFirmwareIsNeverFoundUseable)
{
    // The keyboard answers the identity request, but the answer is not read.
    EXPECT_FALSE(manager->IsDeviceFirmwareVersionUseable());
    EXPECT_EQ(loopback->SentMessages(), std::vector<Bytes>{kIdentityRequest});
}

}  // namespace
}  // namespace MidiManagerTest
