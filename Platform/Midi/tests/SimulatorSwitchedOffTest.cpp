#include "MidiServices.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace Platform::Midi {
namespace {

// A program of its own: the setting is read when the services are first used.
TEST(SimulatorSwitchedOffTest, TarselSimulatorZeroLeavesTheSimulatorOut)
{
    ASSERT_EQ(::setenv("TARSEL_SIMULATOR", "0", 1), 0);
    MidiServices& services = GetMidiServices();
    EXPECT_EQ(services.GetLoopback(), nullptr);
    for (std::uint32_t id = 0; id < services.OutGetNumDevs(); ++id) {
        MidiOutCaps caps;
        ASSERT_EQ(services.OutGetDevCaps(id, caps), MMSYSERR_NOERROR);
        EXPECT_NE(std::u16string(caps.szPname), u"Tarsel Simulator");
    }
}

}  // namespace
}  // namespace Platform::Midi
