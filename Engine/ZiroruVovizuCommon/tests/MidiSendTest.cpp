// Sending short and long messages, refusals and the time-out path.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "MidiPortFixture.h"
#include "ShortMessageLength.h"

namespace QV::Testing {
namespace {

using Platform::Midi::LoopbackScript;

TEST(ShortMessageLengthTest, LengthsByStatusByte)
{
    struct Range {
        uint8_t first;
        uint8_t last;
        uint32_t sent;
        uint32_t captured;
    };
    const Range ranges[] = {
        {0x00, 0x7F, 0, 1}, {0x80, 0xBF, 3, 3}, {0xC0, 0xDF, 2, 2}, {0xE0, 0xEF, 3, 3},
        {0xF0, 0xF0, 0, 1}, {0xF1, 0xF1, 2, 2}, {0xF2, 0xF2, 3, 3}, {0xF3, 0xF3, 2, 2},
        {0xF4, 0xF5, 2, 1}, {0xF6, 0xF6, 1, 1}, {0xF7, 0xF7, 0, 1}, {0xF8, 0xFF, 1, 1},
    };
    for (const Range& r : ranges) {
        for (int status = r.first; status <= r.last; ++status) {
            EXPECT_EQ(GetShortMessageLength(static_cast<uint8_t>(status)), r.sent) << std::hex << status;
            EXPECT_EQ(GetCapturedMessageLength(static_cast<uint8_t>(status)), r.captured) << std::hex << status;
        }
    }
}

class MidiSendTest : public MidiPortFixture {
protected:
    void SetUp() override { ASSERT_EQ(comm->OpenRenderPort(u"Tarsel Pro", render), S_OK); }

    RCPtr<LMidiRenderPort> render;
};

TEST_F(MidiSendTest, ResultIsTheLengthSentAndTheDriverGetsExactlyThoseBytes)
{
    struct Case {
        Bytes message;
        QVResult result;
        Bytes sent;
    };
    const Case cases[] = {
        {{0x90, 0x3C, 0x64}, 3, {0x90, 0x3C, 0x64}},
        {{0xC0, 0x05}, 2, {0xC0, 0x05}},
        {{0xC0, 0x05, 0x07, 0x09}, 2, {0xC0, 0x05}},  // bytes past the message stay home
        {{0xF8}, 1, {0xF8}},
        {{0xF2, 0x01, 0x02}, 3, {0xF2, 0x01, 0x02}},
        {{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}, 6, {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}},
        {SysEx(600), 600, SysEx(600)},
        {{0x41, 0x42}, 2, {0x41, 0x42}},  // no status byte: a long message
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.message.size()));
        const std::size_t before = fake->Sent().size();
        EXPECT_EQ(comm->Send(render, Message(c.message)), c.result);
        const auto sent = fake->Sent();
        ASSERT_EQ(sent.size(), before + 1);
        EXPECT_EQ(sent.back(), c.sent);
    }
}

TEST_F(MidiSendTest, InvalidMessagesAndPortsAreRefusedBeforeAnythingIsSent)
{
    RCPtr<LMidiCapturePort> capture;
    ASSERT_EQ(comm->OpenCapturePort(u"Tarsel Pro", capture), S_OK);
    EXPECT_EQ(comm->Send(render, Message({})), E_INVALIDARG);
    EXPECT_EQ(comm->Send(nullptr, Message({0x90, 0x3C, 0x64})), E_INVALIDARG);
    EXPECT_EQ(comm->Send(capture, Message({0x90, 0x3C, 0x64})), E_INVALIDARG);
    // Half a short message is refused, not sent.
    EXPECT_EQ(comm->Send(render, Message({0x90, 0x3C})), E_INVALIDARG);
    EXPECT_EQ(comm->Send(render, Message({0xE0})), E_INVALIDARG);
    EXPECT_EQ(comm->Send(render, Message({0xF2, 0x01})), E_INVALIDARG);
    EXPECT_TRUE(fake->Sent().empty());
}

TEST_F(MidiSendTest, MessagesTheDriverRefusesFail)
{
    RCPtr<LMidiRenderPort> simulator;
    ASSERT_EQ(comm->OpenRenderPort(u"Tarsel Simulator", simulator), S_OK);
    LoopbackScript script;
    script.sendResult = Platform::Midi::MMSYSERR_ERROR;
    loopback->SetScript(script);
    EXPECT_EQ(comm->Send(simulator, Message({0x90, 0x3C, 0x64})), E_FAIL);
    EXPECT_EQ(comm->Send(simulator, Message(SysEx(9))), E_FAIL);
    EXPECT_TRUE(simulator->GetDoneGate().IsSet());
    EXPECT_TRUE(loopback->SentMessages().empty());

    script = {};
    script.present = false;  // the device is gone
    loopback->SetScript(script);
    EXPECT_EQ(comm->Send(simulator, Message({0xC0, 0x01})), E_FAIL);
    EXPECT_EQ(comm->Send(simulator, Message(SysEx(9))), E_FAIL);
    EXPECT_TRUE(simulator->GetDoneGate().IsSet());
}

class MidiSendTimeoutTest : public MidiPortFixture {
protected:
    MidiSendTimeoutTest() : MidiPortFixture(kTimeoutMs) {}
    static constexpr uint32_t kTimeoutMs = 100;
};

TEST_F(MidiSendTimeoutTest, SendThatNeverCompletesFailsAndTheDriverGivesTheMessageBack)
{
    RCPtr<LMidiRenderPort> render;
    ASSERT_EQ(comm->OpenRenderPort(u"Tarsel Simulator", render), S_OK);
    LoopbackScript script;
    script.holdLongSends = true;
    loopback->SetScript(script);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(comm->Send(render, Message(SysEx(100))), E_FAIL);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kTimeoutMs));
    // Taken back before Send returned, so its memory could go.
    EXPECT_EQ(loopback->HeldSendCount(), 0u);
    EXPECT_TRUE(render->GetDoneGate().IsSet());

    loopback->SetScript({});
    EXPECT_EQ(comm->Send(render, Message(SysEx(100))), 100);
    EXPECT_EQ(comm->Send(render, Message({0x90, 0x3C, 0x64})), 3);
}

TEST_F(MidiSendTimeoutTest, SecondSendWaitsForTheLongMessageStillInTheDriver)
{
    RCPtr<LMidiComm> slow = LMidiComm::Create(5000);
    LoopbackScript script;
    script.holdLongSends = true;
    loopback->SetScript(script);
    RCPtr<LMidiRenderPort> slowRender;
    ASSERT_EQ(slow->OpenRenderPort(u"Tarsel Simulator", slowRender), S_OK);

    auto first = std::async(std::launch::async, [&] { return slow->Send(slowRender, Message(SysEx(50))); });
    ASSERT_TRUE(loopback->WaitForHeldSends(1, std::chrono::seconds(5)));
    auto second = std::async(std::launch::async, [&] { return slow->Send(slowRender, Message({0xC0, 0x05})); });
    EXPECT_EQ(second.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);

    loopback->SetScript({});
    EXPECT_EQ(first.get(), 50);
    EXPECT_EQ(second.get(), 2);
    const auto sent = loopback->SentMessages();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], SysEx(50));
    EXPECT_EQ(sent[1], (Bytes{0xC0, 0x05}));
}

}  // namespace
}  // namespace QV::Testing
