// The status strip: the connection as the engine reports it, with the name.
#include <gtest/gtest.h>

#include "LControlFactory.h"
#include "LHolder.h"
#include "LLabel.h"
#include "LNotificationCenterManager.h"
#include "LRootModuleEngine.h"
#include "LStatusView.h"
#include "ShippedSkinApplication.h"

namespace {

using namespace QV;

class StatusViewTest : public ::testing::Test {
protected:
    StatusViewTest() : mApp(app) {}
    void SetUp() override
    {
        ASSERT_GE(app.loaded, 0);
        view = RCPtr<LStatusView>(new LStatusView(nullptr, u"viewStatus"));
        RCPtr<LControl> label(new LLabel(view.Get(), u"labelConnection"));
        ASSERT_GE(view->Initialize(), 0);
        view->SetInitialized(true);
    }
    void TearDown() override { view->ReleaseInternalReferences(); }

    ShippedSkinApplication app;
    RCPtr<LStatusView> view;

private:
    ScopedControlApplication mApp;
};

TEST_F(StatusViewTest, ShowsTheKeyboardByNameWhileConnected)
{
    view->ShowConnection(true, u"Tarsel");
    EXPECT_EQ(view->GetConnectionText().ToUtf8(), "Tarsel connected");
    view->ShowConnection(false, u"Tarsel");
    EXPECT_EQ(view->GetConnectionText().ToUtf8(), "No keyboard connected");
}

// It only shows: Tab passes it by, or the focus would vanish from sight there.
TEST_F(StatusViewTest, TakesNoFocus)
{
    ASSERT_GE(view->SetBounds({0, 0}, {300, 24}), 0);
    ASSERT_TRUE(view->IsEffectivelyVisible(true));
    EXPECT_FALSE(view->IsFocusCandidate());
    EXPECT_FALSE(view->CanReceiveFocus());
}

TEST_F(StatusViewTest, FollowsTheEnginesConnectionNotices)
{
    view->ShowConnection(true, u"Tarsel");
    RCPtr<LNotificationCenter> center = GetDefaultNotificationCenter();
    ASSERT_TRUE(center);
    using State = LRootModuleEngine::DeviceConnectionState;
    ASSERT_GE(
        center->PostNamedNotification(u"NID_DEVICE_CONNECTION_STATE_CHANGE",
                                      RCPtr<LRefCountedObject>(new LHolder<State>(LRootModuleEngine::kNotConnected))),
        0);
    LNotificationCenterManager::GetInstance()->ProcessNotifications(true);
    EXPECT_EQ(view->GetConnectionText().ToUtf8(), "No keyboard connected");
}

}  // namespace
