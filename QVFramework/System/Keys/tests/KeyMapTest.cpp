#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KeyMap.h"
#include "LGlobalHotKeyManager.h"
#include "LNotificationDistributor.h"

namespace {

using namespace QV;

std::string Narrow(const String& s)
{
    return NarrowString(s).GetChars();
}

KeyMap::StringPairs Pairs(std::initializer_list<std::pair<const char16_t*, const char16_t*>> rows)
{
    KeyMap::StringPairs pairs;
    for (const auto& [id, text] : rows) pairs.emplace_back(String(id), String(text));
    return pairs;
}

KeyCode Press(uint32_t virtualKey, uint32_t modifiers = 0)
{
    return KeyCode(virtualKey, true, 0, modifiers);
}

TEST(KeyMapTest, LoadsShippedBindings)
{
    const auto pairs = Pairs({
        {u"GHK.NID_BUTTON_TOGGLE_DIALOG_BUTTON", u"VKEY_D"},
        {u"GHK.NID_EDIT_COPY_REQ", u"Ctrl+VKEY_C"},
        {u"GHK.NID_EDIT_DELETE_REQ", u"VKEY_DELETE"},
        {u"GHK.NID_MENU_FILE_SAVE_PRESET_TO_FILE", u"Ctrl+VKEY_S"},
        {u"GHK.NID_MENU_FILE_SEND_PRESET_TO_DEVICE", u"Shift+Ctrl+VKEY_S"},
        {u"GHK_WIN.NID_PLATFORM_ONLY", u"VKEY_F5"},
        {u"LHK.NID_LOCAL", u"VKEY_F6"},
        {u"GHKX.NID_OTHER", u"VKEY_F7"},
        {u"TOOLTIP", u"Ctrl+VKEY_T"},
        {u"GHK.SECTION.NID_LAST_SEGMENT", u"VKEY_F8"},
    });
    KeyMap map;
    ASSERT_EQ(map.LoadFromPairs(&pairs, String(u"GHK")), S_OK);
    struct Row {
        KeyCode key;
        const char* command;
    };
    const Row rows[] = {
        {Press(0x43, KeyCode::kModCtrl), "NID_EDIT_COPY_REQ"},
        {Press(0x2E), "NID_EDIT_DELETE_REQ"},
        {Press(0x44), "NID_BUTTON_TOGGLE_DIALOG_BUTTON"},
        {Press(0x53, KeyCode::kModCtrl), "NID_MENU_FILE_SAVE_PRESET_TO_FILE"},
        {Press(0x53, KeyCode::kModCtrl | KeyCode::kModShift), "NID_MENU_FILE_SEND_PRESET_TO_DEVICE"},
        {Press(0x77), "NID_LAST_SEGMENT"},
        {Press(0x74), ""},  // GHK_WIN is not the GHK prefix
        {Press(0x75), ""},
        {Press(0x76), ""},
        {Press(0x54, KeyCode::kModCtrl), ""},
        {Press(0x43), ""},                                 // Ctrl is part of a key binding
        {KeyCode(0x43, false, 1, KeyCode::kModCtrl), ""},  // a release never fires
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.command);
        EXPECT_EQ(Narrow(map.FindCommandForKey(row.key)), row.command);
    }

    KeyMap platform;
    EXPECT_GE(platform.LoadFromPairs(&pairs, String(u"GHK_WIN")), 0);
    EXPECT_EQ(Narrow(platform.FindCommandForKey(Press(0x74))), "NID_PLATFORM_ONLY");
    EXPECT_EQ(map.LoadFromPairs(nullptr, String(u"GHK")), E_INVALIDARG);
}

TEST(KeyMapTest, FirstBindingOfAKeyWins)
{
    const auto pairs = Pairs({
        {u"GHK.NID_FIRST", u"Ctrl+VKEY_S"},
        {u"GHK.NID_SECOND", u"Ctrl+VKEY_S"},
        {u"GHK.NID_SECOND", u"Ctrl+VKEY_T"},
    });
    KeyMap map;
    EXPECT_GE(map.LoadFromPairs(&pairs, String(u"GHK")), 0);
    EXPECT_EQ(Narrow(map.FindCommandForKey(Press(0x53, KeyCode::kModCtrl))), "NID_FIRST");
    ASSERT_EQ(map.GetKeysForCommand(String(u"NID_SECOND")).size(), 1u);
    EXPECT_EQ(map.GetKeysForCommand(String(u"NID_SECOND"))[0].code, 0x21540000u);

    // Characters that differ only by Ctrl or Shift are one key.
    EXPECT_EQ(map.AddBinding(KeyCode(u'q', 0), String(u"NID_Q")), S_OK);
    EXPECT_EQ(map.AddBinding(KeyCode(u'q', KeyCode::kModShift), String(u"NID_OTHER")), E_INVALIDARG);
    EXPECT_EQ(map.AddBinding(KeyCode(u'q', KeyCode::kModAlt), String(u"NID_Q")), S_OK);
    EXPECT_EQ(map.GetKeysForCommand(String(u"NID_Q")).size(), 2u);
    EXPECT_FALSE(map.HasCommand(String(u"NID_OTHER")));
}

TEST(KeyMapTest, RefusedBindingsLeaveTheMapUnchanged)
{
    KeyMap map;
    EXPECT_EQ(map.AddBinding(Press(0x41), String()), E_INVALIDARG);
    // Malformed texts: "[27" is the empty key code, an unknown name has no key.
    EXPECT_EQ(map.AddBinding(KeyCode::Parse(String(u"[27")), String(u"NID_A")), E_INVALIDARG);
    EXPECT_EQ(map.AddBinding(KeyCode::Parse(String(u"VKEY_NOSUCHKEY")), String(u"NID_A")), E_INVALIDARG);
    const auto pairs = Pairs({{u"GHK.NID_BROKEN", u"[12"}, {u"GHK.NID_UNKNOWN", u"VKEY_WHAT"}});
    EXPECT_GE(map.LoadFromPairs(&pairs, String(u"GHK")), 0);
    EXPECT_FALSE(map.HasCommand(String(u"NID_A")));
    EXPECT_FALSE(map.HasCommand(String(u"NID_BROKEN")));
    EXPECT_FALSE(map.HasCommand(String(u"NID_UNKNOWN")));
    EXPECT_EQ(Narrow(map.FindCommandForKey(KeyCode())), "");
    EXPECT_FALSE(map.HasCommand(String()));
    EXPECT_TRUE(map.GetKeysForCommand(String()).empty());
    EXPECT_TRUE(map.GetKeysForCommand(String(u"NID_NEVER")).empty());

    EXPECT_EQ(map.AddBinding(Press(0x41), String(u"NID_A")), S_OK);
    map.Clear();
    EXPECT_FALSE(map.HasCommand(String(u"NID_A")));
    EXPECT_EQ(Narrow(map.FindCommandForKey(Press(0x41))), "");
}

class RecordingReceiver : public LNotificationReceiver {
public:
    QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>&,
                                 const RCPtr<LNotification>& notification) override
    {
        names.push_back(Narrow(String(notification->GetID())));
        return S_OK;
    }
    QVResult UnregisterNotification(const RCPtr<LNotificationDistributor>&, const char16_t*) override { return S_OK; }
    std::vector<std::string> names;
};

// The root window's manager first, then the application's.
QVResult Route(LGlobalHotKeyManager* window, LGlobalHotKeyManager& application, const KeyCode& key)
{
    if (window && window->HandleKey(key) == S_OK) return S_OK;
    return application.HandleKey(key);
}

TEST(KeyMapTest, HotKeysGoToTheWindowThenTheApplication)
{
    RCPtr<RecordingReceiver> windowTarget(new RecordingReceiver);
    RCPtr<RecordingReceiver> appTarget(new RecordingReceiver);
    auto window = LGlobalHotKeyManager::Create(windowTarget);
    auto application = LGlobalHotKeyManager::Create(appTarget);
    EXPECT_GE(application->GetKeyMap().AddBinding(Press(0x43, KeyCode::kModCtrl), String(u"NID_EDIT_COPY_REQ")), 0);
    EXPECT_GE(application->GetKeyMap().AddBinding(Press(0x53, KeyCode::kModCtrl), String(u"NID_APP_SAVE")), 0);
    EXPECT_GE(window->GetKeyMap().AddBinding(Press(0x53, KeyCode::kModCtrl), String(u"NID_WINDOW_SAVE")), 0);

    EXPECT_EQ(Route(window.Get(), *application, Press(0x43, KeyCode::kModCtrl)), S_OK);
    EXPECT_EQ(Route(window.Get(), *application, Press(0x53, KeyCode::kModCtrl)), S_OK);
    EXPECT_EQ(Route(nullptr, *application, Press(0x53, KeyCode::kModCtrl)), S_OK);
    EXPECT_EQ(Route(window.Get(), *application, Press(0x58, KeyCode::kModCtrl)), kNotHandled);
    EXPECT_EQ(windowTarget->names, std::vector<std::string>({"NID_WINDOW_SAVE"}));
    EXPECT_EQ(appTarget->names, std::vector<std::string>({"NID_EDIT_COPY_REQ", "NID_APP_SAVE"}));
}

}  // namespace
