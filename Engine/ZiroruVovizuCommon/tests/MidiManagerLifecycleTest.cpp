// The manager's comms, subscriptions and framing, and its failure texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>

#include "CaptureRecorder.h"
#include "Exception.h"
#include "MidiManagerFixture.h"
#include "PresetDump.h"

namespace MidiManagerTest {
namespace {

const Bytes kIdentityRequest = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};

using Platform::Midi::LoopbackScript;
using QV::LMidiComm;
using QV::LMidiManager;
using QV::RCPtr;

QV::Array<signed char> Message(const Bytes& bytes)
{
    QV::Array<signed char> message;
    for (const uint8_t byte : bytes) EXPECT_GE(message.AddItem(static_cast<signed char>(byte)), 0);
    return message;
}

struct Operation {
    const char* name;
    std::function<void(LMidiManager&)> run;
};

const Operation kOperations[] = {
    {"get", [](LMidiManager& m) { m.GetPresetFromMidiDevice(-1); }},
    {"send", [](LMidiManager& m) { m.SendPresetToMidiDevice(-1); }},
    {"prepare", [](LMidiManager& m) { m.PrepareMidiOutput(u""); }},
    {"non-preset parameter", [](LMidiManager& m) { m.RequestNonPresetParameterFromDevice(u""); }},
    {"check", [](LMidiManager& m) { m.CheckMidiPorts(); }},
    {"firmware", [](LMidiManager& m) { m.IsDeviceFirmwareVersionUseable(); }},
};

// Whether the caller's pointer is, or soon becomes, the only one: the pool
// worker lets go of a comm just after its last delivery.
bool SoleHolder(const RCPtr<LMidiComm>& comm)
{
    return Eventually([&] { return comm->GetRefCount() == 1; }, std::chrono::seconds(1));
}

bool NoPortsOpen(const RCPtr<LMidiComm>& comm)
{
    return comm->GetCapturePortCount() == 0 && comm->GetRenderPortCount() == 0;
}

using CommTest = MidiManagerFixture;

TEST_F(CommTest, EveryOperationFreesThePreviousComm)
{
    RCPtr<LMidiComm> previous = manager->GetComm();
    ASSERT_TRUE(previous);
    for (const Operation& op : kOperations) {
        SCOPED_TRACE(op.name);
        op.run(*manager);
        const RCPtr<LMidiComm> current = manager->GetComm();
        ASSERT_TRUE(current);
        EXPECT_NE(current.Get(), previous.Get());
        EXPECT_EQ(previous->GetRegistrationCount(), 0);
        EXPECT_TRUE(NoPortsOpen(previous));
        EXPECT_TRUE(SoleHolder(previous));
        // The operation's ports are closed; at most the check's subscription
        // to the current comm is left, until the next operation.
        EXPECT_TRUE(NoPortsOpen(current));
        EXPECT_LE(current->GetRegistrationCount(), 1);
        EXPECT_EQ(manager->LNotificationClient::GetRegistrationCount(), current->GetRegistrationCount());
        previous = current;
    }
    manager = nullptr;
    EXPECT_EQ(previous->GetRegistrationCount(), 0);
    EXPECT_TRUE(SoleHolder(previous));
}

TEST_F(CommTest, SendSysExAddsTheFramingThatIsMissing)
{
    ASSERT_TRUE(manager->CheckMidiPorts());
    RCPtr<QV::LMidiRenderPort> port;
    ASSERT_EQ(manager->GetComm()->OpenRenderPort(u"tarsel", port), 0);
    struct Case {
        Bytes bytes;
        int32_t result;
        Bytes wire;  // empty: nothing sent
    };
    const Case cases[] = {
        {{0x05}, 3, {0xF0, 0x05, 0xF7}},
        {{0xF0}, QV::E_FAIL, {}},
        {{0xF7}, QV::E_FAIL, {}},
        {{}, QV::E_FAIL, {}},
        {{0x41, 0x42}, 4, {0xF0, 0x41, 0x42, 0xF7}},
        {{0xF0, 0x41, 0xF7}, 3, {0xF0, 0x41, 0xF7}},
        {{0xF0, 0x41}, 3, {0xF0, 0x41, 0xF7}},
        {{0x41, 0xF7}, 3, {0xF0, 0x41, 0xF7}},
        {{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}, 6, {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.bytes));
        loopback->Reset();
        EXPECT_EQ(manager->SendSysEx(Message(c.bytes), port), c.result);
        EXPECT_EQ(loopback->SentMessages(), c.wire.empty() ? std::vector<Bytes>{} : std::vector<Bytes>{c.wire});
    }
    loopback->Reset();
    EXPECT_EQ(manager->SendSysEx(Message({0x41}), nullptr), LMidiManager::kMidiError);
    EXPECT_EQ(manager->SendIdentityRequest(nullptr), QV::E_FAIL);
    EXPECT_TRUE(loopback->SentMessages().empty());
    EXPECT_EQ(manager->SendIdentityRequest(port), 6);
    EXPECT_EQ(loopback->SentMessages(), std::vector<Bytes>{kIdentityRequest});
}

// Subscriptions that report failure on request, after doing their work.
class ScriptedSubscriptions final : public LMidiManager {
public:
    ScriptedSubscriptions() : LMidiManager(kTestTimeouts) {}
    bool failSubscribe = false;
    bool failUnsubscribe = false;

protected:
    QV::QVResult Subscribe(const RCPtr<LMidiComm>& comm) override
    {
        const QV::QVResult result = LMidiManager::Subscribe(comm);
        return failSubscribe ? QV::E_FAIL : result;
    }
    QV::QVResult Unsubscribe(const RCPtr<LMidiComm>& comm) override
    {
        const QV::QVResult result = LMidiManager::Unsubscribe(comm);
        return failUnsubscribe ? QV::E_FAIL : result;
    }
};

// The text of the failed-result exception that run raises, or "".
std::string FailureText(const std::function<void()>& run)
{
    try {
        run();
    } catch (const QV::FailedResultException& e) {
        return e.what();
    }
    return "";
}

TEST_F(CommTest, SubscriptionFailuresRaiseTheirFailedResults)
{
    struct Case {
        bool subscribing;
        std::function<void(LMidiManager&)> run;
        const char* text;
    };
    const auto get = [](LMidiManager& m) { m.GetPresetFromMidiDevice(-1); };
    const auto request = [](LMidiManager& m) { m.RequestNonPresetParameterFromDevice(u""); };
    const auto firmware = [](LMidiManager& m) { m.IsDeviceFirmwareVersionUseable(); };
    const Case cases[] = {
        {true, get,
         "Failed Result : QVRESULT = 80004005 : QV::LMidiManager::GetPresetFromMidiDevice : "
         "Engine\\ZiroruVovizuCommon\\MidiManager : Line 265"},
        {false, get,
         "Failed Result : QVRESULT = 80004005 : QV::LMidiManager::GetPresetFromMidiDevice : "
         "Engine\\ZiroruVovizuCommon\\MidiManager : Line 301"},
        {true, request,
         "Failed Result : QVRESULT = 80004005 : QV::LMidiManager::RequestNonPresetParameterFromDevice : "
         "Engine\\ZiroruVovizuCommon\\MidiManager : Line 419"},
        {false, request,
         "Failed Result : QVRESULT = 80004005 : QV::LMidiManager::RequestNonPresetParameterFromDevice : "
         "Engine\\ZiroruVovizuCommon\\MidiManager : Line 450"},
        {true, firmware,
         "Failed Result : QVRESULT = 80004005 : QV::LMidiManager::IsDeviceFirmwareVersionUseable : "
         "Engine\\ZiroruVovizuCommon\\MidiManager : Line 487"},
        {false, firmware,
         "Failed Result : QVRESULT = 80004005 : QV::LMidiManager::IsDeviceFirmwareVersionUseable : "
         "Engine\\ZiroruVovizuCommon\\MidiManager : Line 518"},
    };
    const RCPtr<ScriptedSubscriptions> scripted(new ScriptedSubscriptions());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        scripted->failSubscribe = c.subscribing;
        scripted->failUnsubscribe = !c.subscribing;
        EXPECT_EQ(FailureText([&] { c.run(*scripted); }), c.text);
        // The operation's ports were closed on the way out.
        EXPECT_TRUE(NoPortsOpen(scripted->GetComm()));
    }
    scripted->failSubscribe = false;
    scripted->failUnsubscribe = false;
    LoopbackScript script;
    script.presetReply = DumpOf(OtherBlobs());
    Script(script);
    EXPECT_EQ(scripted->GetPresetFromMidiDevice(-1), 0);
}

// The comm dropping its subscribers while the manager waits leaves no
// handler entry to take back: a real failed unsubscription.
TEST_F(CommTest, SubscribersDroppedDuringTheWaitFailTheUnsubscription)
{
    struct Case {
        std::function<void(LMidiManager&)> run;
        std::string text;
    };
    const Case cases[] = {
        {[](LMidiManager& m) { m.GetPresetFromMidiDevice(-1); },
         "Failed Result : QVRESULT = 80004005 : QV::LMidiManager::GetPresetFromMidiDevice : "
         "Engine\\ZiroruVovizuCommon\\MidiManager : Line 301"},
        {[](LMidiManager& m) { m.IsDeviceFirmwareVersionUseable(); },
         "Failed Result : QVRESULT = 80004005 : QV::LMidiManager::IsDeviceFirmwareVersionUseable : "
         "Engine\\ZiroruVovizuCommon\\MidiManager : Line 518"},
    };
    for (const Case& c : cases) {
        loopback->Reset();
        LoopbackScript script;
        script.answerPresetRequest = false;
        Script(script);
        std::thread dropper([&] {
            // Drops the clients whether or not the request went out.
            (void)Eventually([&] { return !loopback->SentMessages().empty(); }, std::chrono::seconds(2));
            EXPECT_GE(manager->GetComm()->ReleaseAllClients(), 0);
        });
        EXPECT_EQ(FailureText([&] { c.run(*manager); }), c.text);
        dropper.join();
    }
}

// Keeps a recorder on every comm the manager subscribes to, to tell which
// thread delivered each dump.
class RecordingSubscriptions final : public LMidiManager {
public:
    RecordingSubscriptions() : LMidiManager(kTestTimeouts) {}

    std::set<pid_t> DumpThreads(std::size_t& dumps)
    {
        std::set<pid_t> threads;
        dumps = 0;
        for (const auto& recorder : recorders) {
            for (const QV::Testing::Captured& captured : recorder->Get()) {
                if (captured.bytes.size() != QV::kPresetDumpSize) continue;
                threads.insert(captured.kernelThread);
                ++dumps;
            }
        }
        return threads;
    }

    void DropRecorders()
    {
        for (const auto& recorder : recorders) recorder->UnregisterAllNotifications();
        recorders.clear();
    }

    std::vector<RCPtr<QV::Testing::CaptureRecorder>> recorders;

protected:
    QV::QVResult Subscribe(const RCPtr<LMidiComm>& comm) override
    {
        recorders.emplace_back(new QV::Testing::CaptureRecorder(comm));
        return LMidiManager::Subscribe(comm);
    }
};

bool ThreadAlive(pid_t thread)
{
    return std::filesystem::exists("/proc/self/task/" + std::to_string(thread));
}

// Every get makes its comm anew, yet the dumps reach the manager on one
// worker thread, started once; the manager's end joins it, and a comm left
// behind delivers nothing more.
TEST_F(CommTest, GetsShareOneDeliveryThreadThatEndsWithTheManager)
{
    RCPtr<RecordingSubscriptions> recording(new RecordingSubscriptions());
    LoopbackScript script;
    script.presetReply = DumpOf(OtherBlobs());
    Script(script);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(recording->GetPresetFromMidiDevice(-1), 0);
        EXPECT_TRUE(recording->IsPresetGateOpen());
    }
    EXPECT_EQ(EngineBlobs(), OtherBlobs());
    std::size_t dumps = 0;
    const std::set<pid_t> threads = recording->DumpThreads(dumps);
    EXPECT_GE(dumps, 3u);
    ASSERT_EQ(threads.size(), 1u);
    const pid_t worker = *threads.begin();
    EXPECT_NE(worker, gettid());
    EXPECT_TRUE(ThreadAlive(worker));

    const RCPtr<LMidiComm> left = recording->GetComm();
    recording->DropRecorders();
    const RCPtr<QV::Testing::CaptureRecorder> late(new QV::Testing::CaptureRecorder(left));
    recording = nullptr;
    EXPECT_TRUE(Eventually([&] { return !ThreadAlive(worker); }));

    RCPtr<QV::LMidiCapturePort> input;
    ASSERT_EQ(left->OpenCapturePort(LMidiManager::kPortName, input), QV::S_OK);
    loopback->Inject(DumpOf(DefaultBlobs()));
    ASSERT_TRUE(loopback->WaitUntilIdle(std::chrono::seconds(2)));
    EXPECT_FALSE(Eventually([&] { return !late->Get().empty(); }, std::chrono::milliseconds(200)));
    input.Reset();
    late->UnregisterAllNotifications();
}

}  // namespace
}  // namespace MidiManagerTest
