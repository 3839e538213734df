#include <gtest/gtest.h>

#include "SdlClipboardService.h"

namespace {

using namespace Platform;

TEST(SdlClipboardServiceTest, RoundTripAndChangesByOthers)
{
    SdlClipboardService ours;
    ASSERT_TRUE(ours.IsAvailable()) << "needs a display";

    const uint32_t before = ours.GetSequenceNumber();
    ASSERT_TRUE(ours.SetText("Tarsel \xE2\x80\x93 preset"));
    const uint32_t written = ours.GetSequenceNumber();
    EXPECT_NE(written, before);
    EXPECT_TRUE(ours.HasText());
    EXPECT_EQ(ours.GetText(), "Tarsel \xE2\x80\x93 preset");
    EXPECT_EQ(ours.GetSequenceNumber(), written);  // reading changes nothing

    // Another writer: the change is seen at the next call.
    SdlClipboardService other;
    ASSERT_TRUE(other.SetText("from elsewhere"));
    const uint32_t changed = ours.GetSequenceNumber();
    EXPECT_NE(changed, written);
    EXPECT_EQ(ours.GetText(), "from elsewhere");
    EXPECT_EQ(ours.GetSequenceNumber(), changed);

    ASSERT_TRUE(ours.SetPrivateMark());
    EXPECT_TRUE(ours.HasPrivateMark());
    EXPECT_FALSE(ours.HasText());
    EXPECT_TRUE(ours.HasPrivateMark());
    ASSERT_TRUE(other.SetText("taken over"));
    EXPECT_FALSE(ours.HasPrivateMark());
}

}  // namespace
