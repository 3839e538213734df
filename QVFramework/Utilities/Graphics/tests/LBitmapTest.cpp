#include "LBitmap.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "LBitmapData.h"
#include "ResourceModule.h"

namespace Platform {
std::span<const ResourceEntry> GetGraphicsTestResourceEntries();
}

namespace {

using QV::ConstRCPtr;
using QV::LBitmap;
using QV::LColor;
using QV::LColorizer;
using QV::RCPtr;
using QV::String;

const std::string kImages = QV_GRAPHICS_TEST_IMAGES;

// "Knob Big.png": 4 x 4, pixel (x, y) = red 16x + 1, green 16y + 2, blue 100,
// alpha 255 except 128 at (1, 1). "DropDownNew_Left.png": 2 x 1.
uint32_t KnobPixel(int32_t x, int32_t y)
{
    const uint32_t alpha = (x == 1 && y == 1) ? 128u : 255u;
    return (alpha << 24) | (uint32_t(16 * x + 1) << 16) | (uint32_t(16 * y + 2) << 8) | 100u;
}

class LBitmapTest : public ::testing::Test {
protected:
    LBitmapTest() { mPrevious = LBitmap::SetResourceModule(&mModule); }
    ~LBitmapTest() override { LBitmap::SetResourceModule(mPrevious); }

    static RCPtr<LBitmap> Solid(uint32_t argb, int32_t width = 1, int32_t height = 1)
    {
        return LBitmap::CreateFilledBitmap({width, height}, LColor::FromARGB(argb));
    }

    Platform::ResourceTable mModule{"graphics-test", Platform::GetGraphicsTestResourceEntries()};
    const Platform::ResourceModule* mPrevious = nullptr;
};

TEST_F(LBitmapTest, NamedCacheFoldsCaseAndKeepsResourcesApartFromFiles)
{
    const RCPtr<LBitmap> knob = LBitmap::LoadNamedBitmap(u"::Knob Big.png");
    ASSERT_NE(knob, nullptr);
    EXPECT_EQ(knob->GetArea(), (QV::RectT<int32_t>{0, 0, 4, 4}));
    EXPECT_EQ(knob->GetInternalRefCount(), 1);
    EXPECT_EQ(knob->GetKey(), String(u"::KNOB BIG.PNG"));

    struct Row {
        const char16_t* name;
        bool sameAsKnob;
    };
    const Row rows[] = {
        {u"::Knob Big.png", true},
        {u"::KNOB BIG.PNG", true},
        {u"::knob big.png", true},
        {u"::Knob_Big.png", false},  // the same resource under another key
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(String(row.name).GetLength());
        const RCPtr<LBitmap> b = LBitmap::LoadNamedBitmap(row.name);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b.Get() == knob.Get(), row.sameAsKnob);
        EXPECT_EQ(b->GetPixel(3, 2).GetARGB(), KnobPixel(3, 2));
    }

    const String path = String(reinterpret_cast<const char*>((kImages + "/Knob Big.png").c_str()));
    const RCPtr<LBitmap> file = LBitmap::LoadNamedBitmap(path);
    ASSERT_NE(file, nullptr);
    EXPECT_NE(file.Get(), knob.Get());
    EXPECT_EQ(file->GetPixel(1, 1).GetARGB(), KnobPixel(1, 1));
    EXPECT_EQ(LBitmap::LoadNamedBitmap(path.ToLower()).Get(), file.Get()) << "one entry per upper-case name";
}

TEST_F(LBitmapTest, MissesAreNotCachedAndTriedAgain)
{
    EXPECT_EQ(LBitmap::LoadNamedBitmap(u"::Missing.png"), nullptr);
    EXPECT_EQ(LBitmap::LoadNamedBitmap(u""), nullptr);
    EXPECT_EQ(LBitmap::LoadNamedBitmap(u"::"), nullptr);

    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "qv-bitmap-miss";
    std::filesystem::create_directories(dir);
    const std::filesystem::path target = dir / "late.png";
    std::filesystem::remove(target);
    const String name(target.string().c_str());
    EXPECT_EQ(LBitmap::LoadNamedBitmap(name), nullptr);
    std::filesystem::copy_file(kImages + "/DropDownNew_Left.png", target);
    const RCPtr<LBitmap> late = LBitmap::LoadNamedBitmap(name);
    std::filesystem::remove_all(dir);
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(late->GetWidth(), 2);
}

TEST_F(LBitmapTest, LastReleaseLeavesTheCacheAndTheNextLoadReadsAgain)
{
    RCPtr<LBitmap> first = LBitmap::LoadNamedBitmap(u"::DropDownNew_Left.png");
    ASSERT_NE(first, nullptr);
    const uint32_t original = first->GetPixel(0, 0).GetARGB();
    // Changed in place: a second user sees the change while the first holds it.
    LBitmap::ApplyColorizer(first, new LColorizer(LColorizer::kSolid, {0, 0, 0, 1}), 1.0f);
    RCPtr<LBitmap> second = LBitmap::LoadNamedBitmap(u"::dropdownnew_left.png");
    EXPECT_EQ(second.Get(), first.Get());
    EXPECT_NE(second->GetPixel(0, 0).GetARGB(), original);
    first = nullptr;
    second = nullptr;

    const RCPtr<LBitmap> reloaded = LBitmap::LoadNamedBitmap(u"::DropDownNew_Left.png");
    ASSERT_NE(reloaded, nullptr);
    EXPECT_EQ(reloaded->GetPixel(0, 0).GetARGB(), original);
}

TEST_F(LBitmapTest, SubBitmapsShareTheOwnersImage)
{
    const RCPtr<LBitmap> knob = LBitmap::LoadNamedBitmap(u"::Knob Big.png");
    ASSERT_NE(knob, nullptr);
    const RCPtr<LBitmap> sub = knob->CreateSubBitmap(1, 1, 2, 2);
    EXPECT_EQ(sub->GetParent().Get(), knob.Get());
    EXPECT_EQ(sub->GetArea(), (QV::RectT<int32_t>{1, 1, 2, 2}));
    EXPECT_EQ(sub->GetGdiBitmap(), knob->GetGdiBitmap());
    EXPECT_EQ(sub->GetPixel(0, 0).GetARGB(), KnobPixel(1, 1));

    const RCPtr<LBitmap> subSub = sub->CreateSubBitmap(1, 0, 1, 1);
    EXPECT_EQ(subSub->GetParent().Get(), knob.Get()) << "the image owner, not the sub-bitmap";
    EXPECT_EQ(subSub->GetArea(), (QV::RectT<int32_t>{2, 1, 1, 1}));
    EXPECT_EQ(subSub->GetPixel(0, 0).GetARGB(), KnobPixel(2, 1));

    EXPECT_EQ(sub->CreateSubBitmap(3, 3, 0, 9)->GetArea(), sub->GetArea()) << "no width: the whole area";

    struct Row {
        int32_t x, y;
    };
    for (const Row& row : {Row{-1, 0}, Row{0, -1}, Row{4, 0}, Row{0, 4}, Row{INT32_MAX, 0}, Row{INT32_MIN, 0}}) {
        SCOPED_TRACE(::testing::Message() << row.x << "," << row.y);
        EXPECT_EQ(knob->GetPixel(row.x, row.y), LColor());
    }
    EXPECT_EQ(sub->CreateSubBitmap(2, 2, 5, 5)->GetPixel(1, 1), LColor()) << "past the image";
}

TEST_F(LBitmapTest, CopyAreaOwnsAClippedCopy)
{
    const RCPtr<LBitmap> knob = LBitmap::LoadNamedBitmap(u"::Knob Big.png");
    ASSERT_NE(knob, nullptr);
    const RCPtr<LBitmap> copy = knob->CreateSubBitmap(2, 3, 5, 5)->CopyArea();
    EXPECT_EQ(copy->GetParent(), nullptr);
    EXPECT_EQ(copy->GetArea(), (QV::RectT<int32_t>{0, 0, 2, 1}));
    EXPECT_NE(copy->GetGdiBitmap(), knob->GetGdiBitmap());
    EXPECT_EQ(copy->GetPixel(1, 0).GetARGB(), KnobPixel(3, 3));
}

TEST_F(LBitmapTest, SolidColourisingTintsColourAndKeepsStraightAlpha)
{
    struct Row {
        uint32_t pixel;
        LColor colour;
        float amount;
        uint32_t expected;
    };
    const Row rows[] = {
        {0x80204060, {1, 0, 0.5f, 1}, 1.0f, 0x80FF0080},  // semi-transparent pixel keeps alpha 128
        {0x80204060, {1, 0, 0.5f, 1}, 0.0f, 0x80204060},  // amount 0: unchanged
        {0x80204060, {1, 0, 0.5f, 1}, 0.5f, 0x80902070},
        {0x80204060, {1, 0, 0.5f, 0.5f}, 1.0f, 0x80902070},  // colour alpha scales like amount
        {0x00FFFFFF, {0, 0, 0, 1}, 1.0f, 0x00000000},
        {0xFF102030, {1, 1, 1, 1}, 2.0f, 0xFFFFFFFF},  // overdriven amounts clamp, never wrap
        {0xFF102030, {0, 0, 0, 1}, -1.0f, 0xFF204060},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.pixel << " amount " << row.amount);
        const RCPtr<LBitmap> bitmap = Solid(row.pixel, 2, 2);
        LBitmap::ApplyColorizer(bitmap, new LColorizer(LColorizer::kSolid, row.colour), row.amount);
        EXPECT_EQ(bitmap->GetPixel(1, 1).GetARGB(), row.expected);
    }
    // A gradient mode with two equal colours is solid too.
    const RCPtr<LBitmap> bitmap = Solid(0xFF000000);
    LBitmap::ApplyColorizer(bitmap, new LColorizer(LColorizer::kLinearGradient, {1, 1, 1, 1}, {1, 1, 1, 1}), 1.0f);
    EXPECT_EQ(bitmap->GetPixel(0, 0).GetARGB(), 0xFFFFFFFFu);
}

TEST_F(LBitmapTest, ColourisingASubBitmapStaysInsideItsAreaAndTheImage)
{
    const RCPtr<LBitmap> owner = Solid(0xFF000000, 4, 4);
    const RCPtr<LBitmap> sub = owner->CreateSubBitmap(2, 2, 10, 10);
    LBitmap::ApplyColorizer(sub, new LColorizer(LColorizer::kSolid, {1, 1, 1, 1}), 1.0f);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            SCOPED_TRACE(::testing::Message() << x << "," << y);
            EXPECT_EQ(owner->GetPixel(x, y).GetARGB(), (x >= 2 && y >= 2) ? 0xFFFFFFFFu : 0xFF000000u);
        }
    }
}

TEST_F(LBitmapTest, GetColorizedBitmapNeverChangesTheSource)
{
    const RCPtr<LBitmap> knob = LBitmap::LoadNamedBitmap(u"::Knob Big.png");
    ASSERT_NE(knob, nullptr);
    const ConstRCPtr<LColorizer> white(new LColorizer(LColorizer::kSolid, {1, 1, 1, 1}));
    for (bool asSecond : {false, true}) {
        SCOPED_TRACE(asSecond);
        const RCPtr<LBitmap> tinted = asSecond ? QV::GetColorizedBitmap(white, 1.0f, {}, nullptr, knob)
                                               : QV::GetColorizedBitmap(white, 1.0f, {}, knob, nullptr);
        EXPECT_NE(tinted.Get(), knob.Get());
        EXPECT_EQ(tinted->GetPixel(1, 1).GetARGB(), 0x80FFFFFFu);
        EXPECT_EQ(knob->GetPixel(1, 1).GetARGB(), KnobPixel(1, 1));
    }
    const RCPtr<LBitmap> made =
        QV::GetColorizedBitmap(new LColorizer(LColorizer::kSolid, {1, 0, 0, 1}), 0.5f, {3, 2}, nullptr, nullptr);
    EXPECT_EQ(made->GetArea(), (QV::RectT<int32_t>{0, 0, 3, 2}));
    EXPECT_EQ(made->GetPixel(2, 1).GetARGB(), 0x80FF0000u);
}

TEST_F(LBitmapTest, ErrorsCarryTheirExactTexts)
{
    const RCPtr<LBitmap> bitmap = Solid(0xFF000000);
    const RCPtr<LColorizer> solid(new LColorizer(LColorizer::kSolid, {1, 1, 1, 1}));
    const RCPtr<LColorizer> gradient(new LColorizer(LColorizer::kLinearGradient, {1, 1, 1, 1}, {0, 0, 0, 1}));
    struct Row {
        const char* what;
        std::function<void()> call;
        std::string text;
    };
    const std::string path = " : Utilities\\Graphics\\Bitmap : Line ";
    const std::string apply = "QV::LBitmap::ApplyColorizer";
    const Row rows[] = {
        {"null bitmap", [&] { LBitmap::ApplyColorizer(nullptr, solid, 1); }, "Runtime Error : " + apply + path + "368"},
        {"null colouriser", [&] { LBitmap::ApplyColorizer(bitmap, nullptr, 1); },
         "Runtime Error : " + apply + path + "368"},
        {"two bitmaps",
         [&] {
             QV::GetColorizedBitmap(solid, 1, {1, 1}, bitmap, bitmap);
         },
         "Domain Error : " + apply + path + "434"},
        {"colourised size",
         [&] {
             LBitmap::CreateColorizedBitmap(*solid, 1, {0, 5});
         },
         "Runtime Error : QV::LBitmap::CreateColorizedBitmap" + path + "292"},
        {"filled size",
         [&] {
             LBitmap::CreateFilledBitmap({5, -1}, {});
         },
         "Runtime Error : QV::LBitmap::CreateFilledBitmap" + path + "321"},
        {"gradient",
         [&] {
             LBitmap::CreateGradientFilledBitmap({1, 1}, {}, {}, false);
         },
         "Domain Error : QV::LBitmap::CreateGradientFilledBitmap" + path + "356"},
        {"gradient colouriser", [&] { LBitmap::ApplyColorizer(bitmap, gradient, 1); },
         "Domain Error : QV::LBitmap::CreateGradientFilledBitmap" + path + "356"},
        {"outside buffer",
         [&] { QV::LBitmapData data(bitmap, Platform::Gdip::kLockRead, bitmap->GetBitmapData().Get()); },
         "Domain Error : QV::LBitmapData::LBitmapData" + path + "479"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        try {
            row.call();
            ADD_FAILURE() << "no error";
        } catch (const std::exception& e) {
            EXPECT_EQ(std::string(e.what()), row.text);
            const bool domain = dynamic_cast<const std::domain_error*>(&e) != nullptr;
            EXPECT_EQ(domain, row.text.starts_with("Domain"));
        }
    }
    EXPECT_EQ(bitmap->GetPixel(0, 0).GetARGB(), 0xFF000000u) << "a refused colourising changes nothing";
}

TEST_F(LBitmapTest, BitmapDataAddressesOnlyTheLockedPixels)
{
    const RCPtr<LBitmap> knob = LBitmap::LoadNamedBitmap(u"::Knob Big.png");
    ASSERT_NE(knob, nullptr);
    {
        const RCPtr<QV::LBitmapData> data = knob->CreateSubBitmap(1, 1, 1, 1)->GetBitmapData();
        EXPECT_EQ(data->GetWidth(), 4) << "a sub-bitmap answers its parent's data";
        EXPECT_EQ(data->GetStride(), 16);
        ASSERT_NE(data->GetPixelAddress(1, 1), nullptr);
        EXPECT_EQ(static_cast<uint32_t>(*data->GetPixelAddress(1, 1)), KnobPixel(1, 1));
        for (auto [x, y] : {std::pair{4, 0}, std::pair{0, 4}, std::pair{-1, 0}})
            EXPECT_EQ(data->GetPixelAddress(x, y), nullptr);

        const RCPtr<QV::LBitmapData> second = knob->GetBitmapData();
        EXPECT_EQ(second->GetWidth(), 0) << "the image is locked already";
        EXPECT_EQ(second->GetPixelAddress(0, 0), nullptr);
    }
    EXPECT_EQ(knob->GetBitmapData()->GetWidth(), 4) << "unlocked when the data went";
}

}  // namespace
