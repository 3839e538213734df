#include "AlsaMidiDriver.h"
#include "MidiServices.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace Platform::Midi {
namespace {

class NullSink : public MidiInputSink {
public:
    void OnBytes(const std::uint8_t*, std::size_t) override {}
};

// Opens the sequencer's first ports where a sequencer exists; elsewhere (no
// /dev/snd, as in CI) the driver lists nothing and refuses opens quietly.
TEST(AlsaMidiDriverTest, OpensWhereASequencerExistsElseListsNothing)
{
    auto driver = std::make_shared<AlsaMidiDriver>();
    MidiServices services({driver});
    const bool sequencer = ::access("/dev/snd/seq", R_OK | W_OK) == 0;
    if (!sequencer) {
        EXPECT_FALSE(driver->IsAvailable());
    }
    if (!driver->IsAvailable()) {
        EXPECT_TRUE(driver->InputNames().empty());
        EXPECT_TRUE(driver->OutputNames().empty());
        EXPECT_EQ(services.InGetNumDevs(), 0u);
        EXPECT_EQ(services.OutGetNumDevs(), 0u);
        NullSink sink;
        std::unique_ptr<MidiDriverInput> input;
        std::unique_ptr<MidiDriverOutput> output;
        EXPECT_NE(driver->OpenInput(0, sink, input), MMSYSERR_NOERROR);
        EXPECT_NE(driver->OpenOutput(0, output), MMSYSERR_NOERROR);
        EXPECT_EQ(input, nullptr);
        EXPECT_EQ(output, nullptr);
        HMIDIIN in = nullptr;
        HMIDIOUT out = nullptr;
        EXPECT_EQ(services.InOpen(&in, 0, nullptr, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
        EXPECT_EQ(services.OutOpen(&out, 0, nullptr, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
        EXPECT_EQ(in, nullptr);
        EXPECT_EQ(out, nullptr);
        return;
    }
    if (services.InGetNumDevs() > 0) {
        MidiInCaps caps;
        ASSERT_EQ(services.InGetDevCaps(0u, caps), MMSYSERR_NOERROR);
        HMIDIIN in = nullptr;
        ASSERT_EQ(services.InOpen(&in, 0, nullptr, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
        EXPECT_EQ(services.InStart(in), MMSYSERR_NOERROR);
        EXPECT_EQ(services.InGetDevCaps(in, caps), MMSYSERR_NOERROR);
        EXPECT_EQ(services.InReset(in), MMSYSERR_NOERROR);
        EXPECT_EQ(services.InClose(in), MMSYSERR_NOERROR);
    }
    if (services.OutGetNumDevs() > 0) {
        HMIDIOUT out = nullptr;
        ASSERT_EQ(services.OutOpen(&out, 0, nullptr, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
        EXPECT_EQ(services.OutClose(out), MMSYSERR_NOERROR);
    }
}

// RtMidi throws when it cannot reach the sequencer; the driver catches it.
TEST(AlsaMidiDriverTest, RtMidiFailureMeansNoPorts)
{
    if (::access("/dev/snd/seq", F_OK) == 0) {
        GTEST_SKIP() << "a sequencer exists here";
    }
    AlsaMidiDriver driver("/dev/null");
    EXPECT_FALSE(driver.IsAvailable());
    EXPECT_TRUE(driver.InputNames().empty());
    EXPECT_TRUE(driver.OutputNames().empty());
}

}  // namespace
}  // namespace Platform::Midi
