// Captured input: System Exclusive assembly across buffers, short messages,
// delivery on the pool's worker in the order of capture.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

#include "MidiPortFixture.h"

namespace QV::Testing {
namespace {

class MidiCaptureTest : public MidiPortFixture {
protected:
    void SetUp() override
    {
        ASSERT_EQ(comm->OpenCapturePort(u"Tarsel Simulator", port), S_OK);
    }

    // What was captured, without the markers; counts the markers.
    std::vector<Captured> Messages(std::size_t* markers = nullptr)
    {
        auto all = recorder->Get();
        const std::size_t removed = std::erase_if(all, [](const Captured& c) { return c.bytes == Bytes{kMarker}; });
        if (markers != nullptr) *markers = removed;
        return all;
    }

    // Delivery keeps the order of capture: once a marker injected after
    // everything else (with the same delay) arrived, nothing is on the way.
    std::vector<Captured> CapturedUntilMarker(uint32_t delayMs = 0)
    {
        loopback->Inject({kMarker}, delayMs);
        const std::size_t markers = ++mMarkers;
        EXPECT_TRUE(Eventually([&] {
            std::size_t arrived = 0;
            Messages(&arrived);
            return arrived >= markers;
        }));
        return Messages();
    }

    static constexpr uint8_t kMarker = 0xF9;
    RCPtr<LMidiCapturePort> port;
    std::size_t mMarkers = 0;
};

TEST_F(MidiCaptureTest, SysExLongerThanOneBufferArrivesAsOneMessage)
{
    for (const std::size_t size : {600u, 256u, 257u, 2u}) {
        SCOPED_TRACE(size);
        const std::size_t before = Messages().size();
        loopback->Inject(SysEx(size));
        const auto captured = CapturedUntilMarker();
        ASSERT_EQ(captured.size(), before + 1);
        EXPECT_EQ(captured.back().bytes, SysEx(size));
        EXPECT_EQ(captured.back().timestamp, 0u);
        EXPECT_TRUE(captured.back().portName == u"Tarsel Simulator");
    }
}

TEST_F(MidiCaptureTest, ShortMessagesCarryTheirLengthByStatusAndTheDriversTimeStamp)
{
    loopback->Inject({0x90, 0x3C, 0x64, 0xC5, 0x07, 0xF8, 0xF2, 0x10, 0x20}, 50);
    const auto captured = CapturedUntilMarker(50);
    ASSERT_EQ(captured.size(), 4u);
    EXPECT_EQ(captured[0].bytes, (Bytes{0x90, 0x3C, 0x64}));
    EXPECT_EQ(captured[1].bytes, (Bytes{0xC5, 0x07}));
    EXPECT_EQ(captured[2].bytes, Bytes{0xF8});
    EXPECT_EQ(captured[3].bytes, (Bytes{0xF2, 0x10, 0x20}));
    for (const Captured& c : captured) {
        EXPECT_GE(c.timestamp, 50u);  // injected 50 ms after the start
        EXPECT_TRUE(c.portName == u"Tarsel Simulator");
    }
}

TEST_F(MidiCaptureTest, DeliveryRunsOnOneWorkerThreadInTheOrderOfCapture)
{
    Bytes stream;
    Bytes expectedFirstSysEx = SysEx(300);
    for (int i = 0; i < 200; ++i) {
        stream.insert(stream.end(), {0x90, static_cast<uint8_t>(i % 128), static_cast<uint8_t>(1 + i / 128)});
        if (i == 100) stream.insert(stream.end(), expectedFirstSysEx.begin(), expectedFirstSysEx.end());
    }
    loopback->Inject(stream);
    const auto captured = CapturedUntilMarker();
    ASSERT_EQ(captured.size(), 201u);
    std::size_t k = 0;
    for (int i = 0; i < 200; ++i, ++k) {
        ASSERT_EQ(captured[k].bytes, (Bytes{0x90, static_cast<uint8_t>(i % 128), static_cast<uint8_t>(1 + i / 128)}))
            << "message " << k;
        if (i == 100) {
            EXPECT_EQ(captured[++k].bytes, expectedFirstSysEx);
        }
    }
    for (const Captured& c : captured) {
        EXPECT_EQ(c.thread, captured[0].thread);
        EXPECT_TRUE(c.fromComm);
    }
    EXPECT_NE(captured[0].thread, std::this_thread::get_id());
}

bool ThreadAlive(pid_t thread)
{
    return std::filesystem::exists("/proc/self/task/" + std::to_string(thread));
}

// Comms made one after another on one pool: each delivers on the pool's
// worker, which outlives them and ends with the pool.
TEST_F(MidiCaptureTest, CommsSharingAPoolDeliverOnItsOneWorker)
{
    RCPtr<LThreadPool> pool = LMidiComm::CreatePool();
    std::vector<pid_t> workers;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        RCPtr<LMidiComm> shared = LMidiComm::Create(5000, pool);
        const RCPtr<CaptureRecorder> sharedRecorder(new CaptureRecorder(shared));
        RCPtr<LMidiCapturePort> input;
        ASSERT_EQ(shared->OpenCapturePort(u"Tarsel Simulator", input), S_OK);
        loopback->Inject(SysEx(20));
        ASSERT_TRUE(Eventually([&] { return !sharedRecorder->Get().empty(); }));
        const Captured first = sharedRecorder->Get().front();
        EXPECT_EQ(first.bytes, SysEx(20));
        EXPECT_TRUE(first.fromComm);
        workers.push_back(first.kernelThread);
        input.Reset();
        sharedRecorder->UnregisterAllNotifications();
        shared.Reset();
        EXPECT_TRUE(ThreadAlive(workers.back()));
    }
    EXPECT_EQ(workers[1], workers[0]);
    EXPECT_EQ(workers[2], workers[0]);
    EXPECT_NE(workers[0], gettid());
    pool.Reset();
    EXPECT_TRUE(Eventually([&] { return !ThreadAlive(workers[0]); }));
}

TEST_F(MidiCaptureTest, RealTimeBytesInsideSysExArriveFirstAndLeaveItWhole)
{
    Bytes message = SysEx(400);
    message.insert(message.begin() + 300, 0xF8);
    message.insert(message.begin() + 10, 0xFE);
    loopback->Inject(message);
    const auto captured = CapturedUntilMarker();
    ASSERT_EQ(captured.size(), 3u);
    EXPECT_EQ(captured[0].bytes, Bytes{0xFE});
    EXPECT_EQ(captured[1].bytes, Bytes{0xF8});
    EXPECT_EQ(captured[2].bytes, SysEx(400));
}

TEST_F(MidiCaptureTest, IdentityRequestIsAnsweredThroughThePorts)
{
    RCPtr<LMidiRenderPort> render;
    ASSERT_EQ(comm->OpenRenderPort(u"TARSEL SIM", render), S_OK);
    EXPECT_EQ(comm->Send(render, Message({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7})), 6);
    ASSERT_EVENTUALLY(recorder->Get().size() >= 1);
    const Bytes reply = recorder->Get()[0].bytes;
    ASSERT_GE(reply.size(), 6u);
    EXPECT_EQ(reply[0], 0xF0);
    EXPECT_EQ(reply[1], 0x7E);
    EXPECT_EQ(reply.back(), 0xF7);
}

// The assembly rules, buffer by buffer, as the input callback hands them on.
TEST_F(MidiCaptureTest, BuffersAreAssembledIntoMessages)
{
    struct Buffer {
        Bytes bytes;
        bool complete;
    };
    struct Case {
        const char* name;
        std::vector<Buffer> buffers;
        std::vector<Bytes> delivered;
    };
    const Bytes full(256, 0x11);
    const Bytes head = [] { Bytes b(256, 0x22); b[0] = 0xF0; return b; }();
    const auto join = [](std::initializer_list<Bytes> parts) {
        Bytes all;
        for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    const Case cases[] = {
        {"complete in one", {{{0xF0, 0x01, 0xF7}, true}}, {{0xF0, 0x01, 0xF7}}},
        {"three buffers", {{head, false}, {full, false}, {{0x33, 0xF7}, true}}, {join({head, full, {0x33, 0xF7}})}},
        {"complete without F0 and nothing pending", {{{0x41, 0x42, 0xF7}, true}}, {}},
        {"empty and nothing pending", {{{}, true}}, {}},
        {"full buffer without F0 starts a message", {{full, false}, {{0xF7}, true}}, {join({full, {0xF7}})}},
        {"empty buffer ends what is pending", {{head, false}, {{}, true}}, {head}},
        {"F0 while pending starts anew", {{head, false}, {{0xF0, 0x01, 0xF7}, true}}, {{0xF0, 0x01, 0xF7}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t before = Messages().size();
        {
            Mutex::Lock lock(comm->GetLock());
            for (const Buffer& buffer : c.buffers) {
                port->OnLongData(buffer.bytes.data(), static_cast<uint32_t>(buffer.bytes.size()), buffer.complete);
            }
        }
        const auto captured = CapturedUntilMarker();
        ASSERT_EQ(captured.size(), before + c.delivered.size());
        for (std::size_t i = 0; i < c.delivered.size(); ++i) EXPECT_EQ(captured[before + i].bytes, c.delivered[i]);
    }
}

TEST_F(MidiCaptureTest, SysExCutShortLeavesNothingForTheNextOne)
{
    // Cut inside the second buffer (the driver reports the cut), exactly at
    // a buffer's end (it reports nothing), and in the third buffer.
    for (const std::size_t cutAt : {300u, 256u, 600u}) {
        SCOPED_TRACE(cutAt);
        const std::size_t before = Messages().size();
        Bytes cut = SysEx(cutAt + 1);
        cut.pop_back();
        cut.insert(cut.end(), {0x90, 0x3C, 0x64});
        loopback->Inject(cut);
        loopback->Inject(SysEx(100));
        const auto captured = CapturedUntilMarker();
        ASSERT_EQ(captured.size(), before + 2);
        EXPECT_EQ(captured[before].bytes, (Bytes{0x90, 0x3C, 0x64}));
        EXPECT_EQ(captured[before + 1].bytes, SysEx(100));
    }
}

TEST_F(MidiCaptureTest, ClosingDeliversTheMessageInAssemblyWithTheBytesSoFar)
{
    Bytes unfinished = SysEx(300);
    unfinished.pop_back();  // no F7 yet: one full buffer handed over, 43 bytes in the next
    loopback->Inject(unfinished);
    ASSERT_TRUE(loopback->WaitUntilIdle(std::chrono::seconds(5)));

    // The device vanishes; asking for the port again closes it.
    Platform::Midi::LoopbackScript script;
    script.present = false;
    loopback->SetScript(script);
    RCPtr<LMidiCapturePort> again;
    EXPECT_EQ(comm->OpenCapturePort(u"Tarsel Simulator", again), E_FAIL);
    ASSERT_EVENTUALLY(recorder->Get().size() >= 1);
    EXPECT_EQ(recorder->Get()[0].bytes, unfinished);
}

TEST_F(MidiCaptureTest, ReleasingThePortWhileInputStreamsNeitherHangsNorLeaks)
{
    for (int i = 0; i < 20; ++i) loopback->Inject(SysEx(700));
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    port.Reset();
    EXPECT_EQ(comm->GetCapturePortCount(), 0u);
    ASSERT_TRUE(loopback->WaitUntilIdle(std::chrono::seconds(10)));
}

}  // namespace
}  // namespace QV::Testing
