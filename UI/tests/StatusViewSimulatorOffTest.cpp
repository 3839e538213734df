// The status strip against the real engine with TARSEL_SIMULATOR=0: the
// device library is there, a keyboard is not, and the strip must say so.
#include <gtest/gtest.h>

#include <cstdlib>

#include "LControlFactory.h"
#include "LLabel.h"
#include "LNotificationCenterManager.h"
#include "LRootModuleEngine.h"
#include "LStatusView.h"
#include "ShippedSkinApplication.h"

namespace {

using namespace QV;

RCPtr<LStatusView> MakeView()
{
    RCPtr<LStatusView> view(new LStatusView(nullptr, u"viewStatus"));
    RCPtr<LControl> label(new LLabel(view.Get(), u"labelConnection"));
    EXPECT_GE(view->Initialize(), 0);
    view->SetInitialized(true);
    return view;
}

// A program of its own: the library reads the setting when it is first used.
TEST(StatusViewSimulatorOffTest, SaysNoKeyboardWhenTheSimulatorIsSwitchedOff)
{
    ASSERT_EQ(::setenv("TARSEL_SIMULATOR", "0", 1), 0);
    ShippedSkinApplication app;
    ScopedControlApplication scope(app);
    ASSERT_GE(app.loaded, 0);
    {
        RCPtr<LStatusView> early = MakeView();
        early->ShowConnection(true, u"Tarsel");  // what a stale strip would show
        const RCPtr<LRootModuleEngine> engine(new LRootModuleEngine());
        SetRootModuleEngine(engine);
        ASSERT_EQ(engine->Initialize(0), 0);
        ASSERT_FALSE(engine->IsOffline());  // the library itself loaded
        LNotificationCenterManager::GetInstance()->ProcessNotifications(true);
        EXPECT_EQ(early->GetConnectionText().ToUtf8(), "No keyboard connected");

        RCPtr<LStatusView> late = MakeView();
        EXPECT_EQ(late->GetConnectionText().ToUtf8(), "No keyboard connected");

        early->ReleaseInternalReferences();
        late->ReleaseInternalReferences();
        SetRootModuleEngine(nullptr);
        (void)engine->ReleaseInternalReferences();
    }
}

}  // namespace
