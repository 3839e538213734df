#include "ControlTestSupport.h"
#include "LHolder.h"
#include "LStatusBar.h"

#include <thread>

namespace control_test {
namespace {

class StatusBarTest : public ControlFixture {
protected:
    void SetUp() override
    {
        MakeTop();
        bar = new LStatusBar(top.Get(), u"status");
        label = Make(bar.Get(), u"label1", 0, 0, 100, 20);
        ASSERT_EQ(S_OK, bar->Initialize());
        bar->SetInitialized(true);
    }
    void Post(const char16_t* text)
    {
        bar->SendNotification(
            LNotification::Create(u"NID_SET_STATUS_TEXT", RCPtr<LRefCountedObject>(new LHolder<String>(String(text)))));
    }

    RCPtr<LStatusBar> bar;
    RCPtr<TestControl> label;
};

TEST_F(StatusBarTest, PostedTextShowsAtIdleNewestOnly)
{
    bar->SetStatusText(u"Ready");
    EXPECT_EQ(String(u"Ready"), label->GetText());
    Post(u"Connecting");
    bar->PostStatusText(u"Still connecting");
    Post(u"Connected");
    EXPECT_EQ(String(u"Ready"), label->GetText());
    root->Idle();
    EXPECT_EQ(String(u"Connected"), label->GetText());
    // Nothing pending: the next tick leaves the direct text.
    bar->SetStatusText(u"Idle");
    root->Idle();
    EXPECT_EQ(String(u"Idle"), label->GetText());
}

TEST_F(StatusBarTest, DirectTextWinsOverAnEarlierPost)
{
    bar->PostStatusText(u"Old");
    bar->SetStatusText(u"New");
    root->Idle();
    EXPECT_EQ(String(u"New"), label->GetText());
}

TEST_F(StatusBarTest, PostsFromOtherThreadsWaitForTheIdleTick)
{
    std::thread t([this] {
        for (int i = 0; i < 100; ++i) bar->PostStatusText(i == 99 ? u"last" : u"busy");
    });
    t.join();
    root->Idle();
    EXPECT_EQ(String(u"last"), label->GetText());
}

}  // namespace
}  // namespace control_test
