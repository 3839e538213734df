#include <gtest/gtest.h>

#include <string>

#include "LiveObjects.h"
#include "RCPtr.h"

namespace {

using namespace QV;

class Widget : public LRefCountedObject {
    QV_TYPE_NAME("class Widget")
public:
    Widget(int width, std::string name) : width(width), name(std::move(name)) {}
    int width;
    std::string name;
};

class Gadget : public LRefCountedObject {
    QV_TYPE_NAME("class Gadget")
};

// Reports the release hook's result the way every counted class does.
class HookReporter : public LRefCountedObject {
    QV_TYPE_NAME("class HookReporter")
public:
    QVResult Report() const { return HeldOnlyByCaller(); }
};

TEST(OwnershipTest, MakeRCHandsOverAnObjectHeldOnce)
{
    RCPtr<Widget> widget = MakeRC<Widget>(3, "knob");
    ASSERT_TRUE(widget);
    EXPECT_EQ(widget->GetRefCount(), 1);
    EXPECT_EQ(widget->width, 3);
    EXPECT_EQ(widget->name, "knob");
}

TEST(OwnershipTest, AnInternalReferenceCountsForItsScopeOnly)
{
    RCPtr<HookReporter> object = MakeRC<HookReporter>();
    EXPECT_EQ(object->Report(), S_OK);
    {
        InternalReference cycle(*object);
        EXPECT_EQ(object->GetInternalRefCount(), 1);
        EXPECT_EQ(object->Report(), E_FAIL);
    }
    EXPECT_EQ(object->GetInternalRefCount(), 0);
    RCPtr<HookReporter> second = object;
    EXPECT_EQ(object->Report(), E_FAIL);  // another holder beside the caller
}

TEST(OwnershipTest, TheRegisterCountsLiveObjectsByClassSinceAMark)
{
    if (!LiveObjects::kTracked) GTEST_SKIP() << "release builds keep no register";
    RCPtr<Gadget> before = MakeRC<Gadget>();
    const uint64_t mark = LiveObjects::Mark();
    EXPECT_TRUE(LiveObjects::CountByClass(mark).empty());

    RCPtr<Widget> a = MakeRC<Widget>(1, "a");
    RCPtr<Widget> b = MakeRC<Widget>(2, "b");
    RCPtr<Gadget> c = MakeRC<Gadget>();
    Widget unheld(3, "never acquired");
    using Counts = std::map<std::string, int>;
    EXPECT_EQ(LiveObjects::CountByClass(mark), (Counts{{"class Gadget", 1}, {"class Widget", 2}}));
    EXPECT_GE(LiveObjects::CountByClass()["class Gadget"], 2);

    RCPtr<Widget> alias = a;
    a = nullptr;
    b = nullptr;
    EXPECT_EQ(LiveObjects::CountByClass(mark), (Counts{{"class Gadget", 1}, {"class Widget", 1}}));
    alias = nullptr;
    c = nullptr;
    EXPECT_TRUE(LiveObjects::CountByClass(mark).empty());
}

#ifndef NDEBUG
TEST(OwnershipDeathTest, DestroyingAHeldObjectAbortsInDebugBuilds)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            auto* raw = new Widget(1, "held");
            raw->AddRef();
            delete raw;
        },
        "destroyed while 1 references held it");
}
#endif

}  // namespace
