// The port layer over the ALSA sequencer alone: real ports where a sequencer
// exists, otherwise an empty list and clean failures.
#include <gtest/gtest.h>

#include <memory>

#include "AlsaMidiDriver.h"
#include "LMidiCapturePort.h"
#include "LMidiComm.h"
#include "LMidiRenderPort.h"
#include "MidiServices.h"

namespace QV::Testing {
namespace {

using namespace Platform::Midi;

TEST(AlsaMidiSmokeTest, OpensRealPortsOrFailsCleanlyWithoutASequencer)
{
    auto alsa = std::make_shared<AlsaMidiDriver>();
    MidiServices services({alsa});
    ScopedMidiServices scope(services);
    RCPtr<LMidiComm> comm = LMidiComm::Create();

    if (!alsa->IsAvailable()) {
        EXPECT_EQ(services.InGetNumDevs(), 0u);
        EXPECT_EQ(services.OutGetNumDevs(), 0u);
        RCPtr<LMidiCapturePort> capture;
        RCPtr<LMidiRenderPort> render;
        EXPECT_EQ(comm->OpenCapturePort(u"Tarsel", capture), E_FAIL);
        EXPECT_EQ(comm->OpenRenderPort(u"Tarsel", render), E_FAIL);
        EXPECT_EQ(comm->OpenCapturePort(u"", capture), E_FAIL);
        EXPECT_FALSE(capture);
        EXPECT_FALSE(render);
        EXPECT_EQ(comm->GetCapturePortCount(), 0u);
        EXPECT_EQ(comm->GetRenderPortCount(), 0u);
        return;
    }

    // Each port opens by its own full name.
    for (uint32_t id = 0; id < services.InGetNumDevs(); ++id) {
        MidiInCaps caps;
        ASSERT_EQ(services.InGetDevCaps(id, caps), MMSYSERR_NOERROR);
        RCPtr<LMidiCapturePort> capture;
        EXPECT_EQ(comm->OpenCapturePort(String(caps.szPname), capture), S_OK);
        EXPECT_TRUE(capture && capture->IsOpen());
    }
    for (uint32_t id = 0; id < services.OutGetNumDevs(); ++id) {
        MidiOutCaps caps;
        ASSERT_EQ(services.OutGetDevCaps(id, caps), MMSYSERR_NOERROR);
        RCPtr<LMidiRenderPort> render;
        EXPECT_EQ(comm->OpenRenderPort(String(caps.szPname), render), S_OK);
        EXPECT_TRUE(render && render->IsOpen());
    }
    EXPECT_EQ(comm->GetCapturePortCount(), 0u);
    EXPECT_EQ(comm->GetRenderPortCount(), 0u);
}

}  // namespace
}  // namespace QV::Testing
