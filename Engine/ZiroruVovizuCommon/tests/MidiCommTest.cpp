// Opening ports by name, reusing them, and their release.
#include <gtest/gtest.h>

#include "MidiPortFixture.h"

namespace QV::Testing {
namespace {

using Platform::Midi::MMSYSERR_ALLOCATED;

TEST(MidiNameMatchTest, RequestedNameIsACaseInsensitivePartOfTheSystemName)
{
    struct Case {
        const char16_t* system;
        const char16_t* requested;
        bool match;
    };
    const Case cases[] = {
        {u"TARSEL Pro MIDI In", u"tarsel", true},
        {u"tarsel pro midi in", u"TARSEL PRO", true},
        {u"USB Keys", u"Tarsel", false},
        {u"Tarsel", u"Tarsel Pro", false},
        {u"TARSEL Pro MIDI In", u"", true},
        {u"Pro MIDI Tarsel", u"midi tar", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LMidiComm::IsNameMatch(String(c.system), String(c.requested)), c.match)
            << "case " << (&c - cases);
    }
}

class MidiCommTest : public MidiPortFixture {};

TEST_F(MidiCommTest, LowerCaseNameOpensTheLowestMatchingDeviceOnly)
{
    RCPtr<LMidiCapturePort> capture;
    ASSERT_EQ(comm->OpenCapturePort(u"tarsel pro", capture), S_OK);
    ASSERT_TRUE(capture);
    EXPECT_TRUE(capture->IsOpen());
    EXPECT_TRUE(capture->GetSystemName() == u"TARSEL Pro MIDI In");
    EXPECT_EQ(fake->OpenedInputs(), (std::vector<std::size_t>{1}));

    RCPtr<LMidiRenderPort> render;
    ASSERT_EQ(comm->OpenRenderPort(u"pro midi", render), S_OK);
    EXPECT_TRUE(render->GetSystemName() == u"TARSEL Pro MIDI Out");
    EXPECT_EQ(fake->OpenedOutputs(), (std::vector<std::size_t>{1}));
}

TEST_F(MidiCommTest, RefusedFirstMatchIsNotFollowedByTheNextOne)
{
    fake->RefuseInput(1, MMSYSERR_ALLOCATED);
    RCPtr<LMidiCapturePort> capture(new LMidiCapturePort(u"Tarsel Pro", comm));
    EXPECT_EQ(capture->Open(), MMSYSERR_ALLOCATED);
    EXPECT_FALSE(capture->IsOpen());
    capture.Reset();

    RCPtr<LMidiCapturePort> opened;
    EXPECT_EQ(comm->OpenCapturePort(u"Tarsel Pro", opened), E_FAIL);
    EXPECT_FALSE(opened);
    EXPECT_EQ(fake->OpenedInputs(), (std::vector<std::size_t>{1, 1}));
    EXPECT_EQ(comm->GetCapturePortCount(), 0u);
}

TEST_F(MidiCommTest, UnknownNameGivesNoDeviceAndTheOutPointerIsReleased)
{
    RCPtr<LMidiRenderPort> render;
    ASSERT_EQ(comm->OpenRenderPort(u"Tarsel", render), S_OK);
    RCPtr<LMidiCapturePort> capture(new LMidiCapturePort(u"Nothing Like It", comm));
    EXPECT_EQ(capture->Open(), Platform::Midi::MMSYSERR_NODRIVER);
    capture.Reset();

    EXPECT_EQ(comm->OpenRenderPort(u"Nothing Like It", render), E_FAIL);
    EXPECT_FALSE(render);
    EXPECT_EQ(comm->GetRenderPortCount(), 0u);
    EXPECT_EQ(fake->LiveOutputCount(), 0u);
}

TEST_F(MidiCommTest, SameNameTwiceGivesTheOpenPortAndEmptyNameFindsAListedOne)
{
    RCPtr<LMidiCapturePort> none;
    EXPECT_EQ(comm->OpenCapturePort(u"", none), E_FAIL);

    RCPtr<LMidiCapturePort> first;
    RCPtr<LMidiCapturePort> second;
    RCPtr<LMidiCapturePort> any;
    ASSERT_EQ(comm->OpenCapturePort(u"Tarsel Simulator", first), S_OK);
    ASSERT_EQ(comm->OpenCapturePort(u"tarsel sim", second), S_OK);
    ASSERT_EQ(comm->OpenCapturePort(u"", any), S_OK);
    EXPECT_EQ(first.Get(), second.Get());
    EXPECT_EQ(first.Get(), any.Get());
    EXPECT_EQ(comm->GetCapturePortCount(), 1u);

    RCPtr<LMidiRenderPort> out1;
    RCPtr<LMidiRenderPort> out2;
    ASSERT_EQ(comm->OpenRenderPort(u"USB", out1), S_OK);
    ASSERT_EQ(comm->OpenRenderPort(u"usb keys", out2), S_OK);
    EXPECT_EQ(out1.Get(), out2.Get());
    EXPECT_EQ(fake->OpenedOutputs(), (std::vector<std::size_t>{0}));
}

TEST_F(MidiCommTest, ReleasingAPortClosesTheDeviceAndLeavesTheList)
{
    RCPtr<LMidiCapturePort> capture;
    RCPtr<LMidiRenderPort> render;
    ASSERT_EQ(comm->OpenCapturePort(u"Tarsel Pro", capture), S_OK);
    ASSERT_EQ(comm->OpenRenderPort(u"Tarsel Pro", render), S_OK);
    EXPECT_EQ(fake->LiveInputCount(), 1u);
    EXPECT_EQ(fake->LiveOutputCount(), 1u);
    EXPECT_EQ(comm->GetCapturePortCount(), 1u);
    EXPECT_EQ(capture->GetInternalRefCount(), 1);

    capture.Reset();
    EXPECT_EQ(comm->GetCapturePortCount(), 0u);
    EXPECT_EQ(fake->LiveInputCount(), 0u);
    render.Reset();
    EXPECT_EQ(comm->GetRenderPortCount(), 0u);
    EXPECT_EQ(fake->LiveOutputCount(), 0u);

    // A new open makes a new port.
    ASSERT_EQ(comm->OpenCapturePort(u"Tarsel Pro", capture), S_OK);
    EXPECT_EQ(fake->OpenedInputs(), (std::vector<std::size_t>{1, 1}));
}

TEST_F(MidiCommTest, PortsKeepTheirCommAfterItsHolderLetGo)
{
    RCPtr<LMidiCapturePort> capture;
    ASSERT_EQ(comm->OpenCapturePort(u"Tarsel Simulator", capture), S_OK);
    recorder->UnregisterAllNotifications();
    const LMidiComm* raw = comm.Get();
    comm.Reset();
    ASSERT_EQ(raw->GetRefCount(), 1);  // the port's
    EXPECT_TRUE(capture->IsDeviceAnswering());
    loopback->Inject({0x90, 0x3C, 0x64});
    ASSERT_TRUE(loopback->WaitUntilIdle(std::chrono::seconds(5)));
    capture.Reset();  // the last holder of the comm
}

TEST_F(MidiCommTest, VanishedDeviceFailsToOpenAndOpensAgainWhenItIsBack)
{
    RCPtr<LMidiCapturePort> capture;
    ASSERT_EQ(comm->OpenCapturePort(u"Tarsel Simulator", capture), S_OK);
    Platform::Midi::LoopbackScript script;
    script.present = false;
    loopback->SetScript(script);

    RCPtr<LMidiCapturePort> again;
    EXPECT_EQ(comm->OpenCapturePort(u"Tarsel Simulator", again), E_FAIL);
    EXPECT_FALSE(again);
    EXPECT_FALSE(capture->IsOpen());  // closed on the way

    loopback->SetScript({});
    ASSERT_EQ(comm->OpenCapturePort(u"Tarsel Simulator", again), S_OK);
    EXPECT_TRUE(again->IsOpen());
    loopback->Inject({0xC5, 0x07});
    ASSERT_EVENTUALLY(recorder->Get().size() >= 1);
    EXPECT_EQ(recorder->Get()[0].bytes, (Bytes{0xC5, 0x07}));
}

TEST_F(MidiCommTest, RefusedOpenLeavesNoPort)
{
    Platform::Midi::LoopbackScript script;
    script.inputOpenResult = MMSYSERR_ALLOCATED;
    script.outputOpenResult = MMSYSERR_ALLOCATED;
    loopback->SetScript(script);
    RCPtr<LMidiCapturePort> capture;
    RCPtr<LMidiRenderPort> render;
    EXPECT_EQ(comm->OpenCapturePort(u"Tarsel Simulator", capture), E_FAIL);
    EXPECT_EQ(comm->OpenRenderPort(u"Tarsel Simulator", render), E_FAIL);
    EXPECT_FALSE(capture);
    EXPECT_FALSE(render);
    EXPECT_EQ(comm->GetCapturePortCount(), 0u);
    EXPECT_EQ(comm->GetRenderPortCount(), 0u);
}

}  // namespace
}  // namespace QV::Testing
