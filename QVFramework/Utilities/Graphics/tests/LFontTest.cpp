#include "LFont.h"

#include <gtest/gtest.h>

#include "FakeMeasurementRenderer.h"
#include "MeasurementRendererSource.h"

namespace {

using QV::LFont;
using QV::RCPtr;
using QV::String;
using QV::Testing::FakeMeasurementRenderer;

TEST(LFontTest, LookupFoldsFaceCaseButNotSizeOrStyle)
{
    const RCPtr<LFont> arial = LFont::GetFont(u"Arial", 12.0f, 0);
    struct Row {
        const char16_t* face;
        float size;
        int32_t style;
        bool same;
    };
    const Row rows[] = {
        {u"Arial", 12.0f, 0, true},       {u"arial", 12.0f, 0, true},  {u"ARIAL", 12.0f, 0, true},
        {u"Arial", 12.5f, 0, false},      {u"Arial", 12.0f, 1, false}, {u"Arial Black", 12.0f, 0, false},
        {u"Arial", 12.000001f, 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << String(row.face).GetLength() << " " << row.size << " " << row.style);
        const RCPtr<LFont> font = LFont::GetFont(row.face, row.size, row.style);
        EXPECT_EQ(font.Get() == arial.Get(), row.same);
        EXPECT_GE(LFont::FindFont(row.face, row.size, row.style), 0);
    }
}

TEST(LFontTest, IdsAreConsecutiveAndNeverReused)
{
    const int32_t first = LFont::GetFont(u"IdFace", 9.0f, 0)->GetUniqueID();
    // The first font has been released and unregistered: a new object comes.
    const RCPtr<LFont> again = LFont::GetFont(u"IdFace", 9.0f, 0);
    const RCPtr<LFont> other = LFont::GetFont(u"IdFace", 9.0f, 2);
    EXPECT_EQ(again->GetUniqueID(), first + 1);
    EXPECT_EQ(other->GetUniqueID(), first + 2);
}

TEST(LFontTest, LastUserReleaseUnregisters)
{
    RCPtr<LFont> a = LFont::GetFont(u"Shared", 10.0f, 0);
    RCPtr<LFont> b = LFont::GetFont(u"shared", 10.0f, 0);
    EXPECT_EQ(a->GetInternalRefCount(), 1);
    a = nullptr;
    EXPECT_GE(LFont::FindFont(u"Shared", 10.0f, 0), 0) << "a user remains";
    b = nullptr;
    EXPECT_EQ(LFont::FindFont(u"Shared", 10.0f, 0), -1);
}

TEST(LFontTest, UnregisteredTwinNeverEvictsTheRegisteredFont)
{
    const RCPtr<LFont> registered = LFont::GetFont(u"Twin", 11.0f, 0);
    {
        RCPtr<LFont> twin(new LFont(u"Twin", 11.0f, 0));
        EXPECT_EQ(twin->ReleaseInternalReferences(), QV::E_FAIL);
    }
    const int32_t index = LFont::FindFont(u"Twin", 11.0f, 0);
    ASSERT_GE(index, 0);
    EXPECT_EQ(LFont::GetFont(u"Twin", 11.0f, 0).Get(), registered.Get());
}

TEST(LFontTest, MetricsAreFetchedOnceFromTheMeasurementRenderer)
{
    RCPtr<FakeMeasurementRenderer> fake(new FakeMeasurementRenderer);
    QV::ScopedMeasurementRenderer scope(fake);
    const RCPtr<LFont> font(new LFont(u"Metric", 12.0f, 0));
    EXPECT_EQ(font->GetLineHeight(), 16);
    EXPECT_EQ(font->GetAscent(), -12);
    EXPECT_EQ(font->GetDescent(), 4);
    EXPECT_EQ(font->GetLineHeight(), 16);
    EXPECT_EQ(fake->metricsCalls, 1);
}

TEST(LFontTest, NegativeLineHeightIsFetchedAgainAndNoRendererLeavesMinusOne)
{
    const RCPtr<LFont> font(new LFont(u"Metric", 13.0f, 0));
    EXPECT_EQ(font->GetLineHeight(), -1) << "no renderer installed";

    RCPtr<FakeMeasurementRenderer> fake(new FakeMeasurementRenderer);
    fake->lineHeight = -1;
    QV::ScopedMeasurementRenderer scope(fake);
    font->GetLineHeight();
    font->GetAscent();
    EXPECT_EQ(fake->metricsCalls, 2);
}

}  // namespace
