#include "MidiHeaderState.h"

#include <gtest/gtest.h>

#include <array>

namespace Platform::Midi {
namespace {

enum class Step { Prepare, Unprepare, Queue, MarkDone };

MMRESULT Apply(Step step, MidiHeader& header)
{
    switch (step) {
    case Step::Prepare: return MidiHeaderState::Prepare(&header);
    case Step::Unprepare: return MidiHeaderState::Unprepare(&header);
    case Step::Queue: return MidiHeaderState::Queue(header);
    case Step::MarkDone: MidiHeaderState::MarkDone(header); return MMSYSERR_NOERROR;
    }
    return MMSYSERR_ERROR;
}

// The flags a header carries in and out of each step; a refused step leaves
// them as they were.
TEST(MidiHeaderStateTest, StepsFollowTheHeaderRules)
{
    struct Case {
        Step step;
        std::uint32_t before;
        MMRESULT result;
        std::uint32_t after;
    };
    const Case cases[] = {
        {Step::Prepare, 0, MMSYSERR_NOERROR, MHDR_PREPARED},
        {Step::Prepare, MHDR_PREPARED | MHDR_DONE, MMSYSERR_NOERROR, MHDR_PREPARED | MHDR_DONE},
        {Step::Unprepare, MHDR_PREPARED | MHDR_DONE, MMSYSERR_NOERROR, MHDR_DONE},
        {Step::Unprepare, 0, MMSYSERR_NOERROR, 0},
        {Step::Unprepare, MHDR_PREPARED | MHDR_INQUEUE, MIDIERR_STILLPLAYING, MHDR_PREPARED | MHDR_INQUEUE},
        {Step::Queue, 0, MIDIERR_UNPREPARED, 0},
        {Step::Queue, MHDR_PREPARED | MHDR_DONE, MMSYSERR_NOERROR, MHDR_PREPARED | MHDR_INQUEUE},
        {Step::Queue, MHDR_PREPARED | MHDR_INQUEUE, MIDIERR_STILLPLAYING, MHDR_PREPARED | MHDR_INQUEUE},
        {Step::MarkDone, MHDR_PREPARED | MHDR_INQUEUE, MMSYSERR_NOERROR, MHDR_PREPARED | MHDR_DONE},
    };
    std::array<std::uint8_t, 4> bytes{};
    for (const Case& c : cases) {
        MidiHeader header;
        header.lpData = bytes.data();
        header.dwBufferLength = bytes.size();
        header.dwFlags = c.before;
        EXPECT_EQ(Apply(c.step, header), c.result) << static_cast<int>(c.step) << " from " << c.before;
        EXPECT_EQ(header.dwFlags, c.after) << static_cast<int>(c.step) << " from " << c.before;
    }
}

TEST(MidiHeaderStateTest, HeaderWithoutBytesIsRefused)
{
    std::uint8_t byte = 0;
    MidiHeader noData;
    noData.dwBufferLength = 1;
    MidiHeader empty;
    empty.lpData = &byte;
    for (MidiHeader* header : {static_cast<MidiHeader*>(nullptr), &noData, &empty}) {
        EXPECT_FALSE(MidiHeaderState::HasBuffer(header));
        EXPECT_EQ(MidiHeaderState::Prepare(header), MMSYSERR_INVALPARAM);
    }
    EXPECT_EQ(noData.dwFlags | empty.dwFlags, 0u);
    EXPECT_EQ(MidiHeaderState::Unprepare(nullptr), MMSYSERR_INVALPARAM);
}

}  // namespace
}  // namespace Platform::Midi
