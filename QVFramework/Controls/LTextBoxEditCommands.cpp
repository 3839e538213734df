// Cut, copy, paste and delete: the edit menu, the commands' state and
// running them through the clipboard.
#include <string>

#include "IControlApplication.h"
#include "LClipboard.h"
#include "LMenuItemDescriptor.h"
#include "LNotificationQueue.h"
#include "LPopupMenu.h"
#include "LTextBox.h"

namespace QV {

namespace {

LClipboard* Clipboard()
{
    IControlApplication* app = GetControlApplication();
    return app ? app->GetClipboard() : nullptr;
}

String ClipboardText()
{
    LClipboard* clipboard = Clipboard();
    if (!clipboard) return String();
    RCPtr<LRefCountedObject> value = clipboard->GetText();
    auto* text = dynamic_cast<LStringValue*>(value.Get());
    return text ? text->GetText() : String();
}

// What a paste inserts: the clipboard's text without the line breaks that
// end it, as a copied line usually brings one along.
String PasteText()
{
    const String text = ClipboardText();
    std::u16string_view view = text.View();
    while (!view.empty() && (view.back() == u'\n' || view.back() == u'\r')) view.remove_suffix(1);
    return view.size() == text.View().size() ? text : String(std::u16string(view).c_str());
}

// The edit menu in its order: label string ID, request, command.
struct EditEntry {
    const char16_t* label;
    const char16_t* request;
    int32_t command;
};
constexpr EditEntry kEditEntries[] = {{u"EDIT_CUT", u"NID_EDIT_CUT_REQ", LClipboard::kCut},
                                      {u"EDIT_COPY", u"NID_EDIT_COPY_REQ", LClipboard::kCopy},
                                      {u"EDIT_PASTE", u"NID_EDIT_PASTE_REQ", LClipboard::kPaste},
                                      {u"EDIT_DELETE", u"NID_EDIT_DELETE_REQ", LClipboard::kDelete}};

// Whether a paste may insert the text: pasted text passes the same checks as
// typed text.
bool CanPaste(const LTextBox& box, const String& text)
{
    if (text.IsEmpty()) return false;
    for (char16_t c : text.View()) {
        if (!box.AcceptsCharacter(c)) return false;
    }
    return true;
}

}  // namespace

// ---- edit commands ----

bool LTextBox::CanPerformEdit(int32_t command) const
{
    if (command >= LClipboard::kDelete && command <= LClipboard::kCopy) return mSelectionLength > 0;
    if (command != LClipboard::kPaste) return false;
    const String text = PasteText();
    if (!CanPaste(*this, text)) return false;
    return mMaxLength <= 0 || GetTextLength() - mSelectionLength + text.GetLength() <= mMaxLength;
}

QVResult LTextBox::PerformEdit(int32_t command)
{
    switch (command) {
    case LClipboard::kCopy:
    case LClipboard::kCut: {
        if (mSelectionLength <= 0) return E_FAIL;
        LClipboard* clipboard = Clipboard();
        if (!clipboard) return E_FAIL;
        const QVResult written = clipboard->SetText(
            RCPtr<LRefCountedObject>(new LStringValue(GetText().Mid(mSelectionStart, mSelectionLength))));
        // A cut the clipboard refused keeps its text.
        if (Failed(written)) return written;
        if (command == LClipboard::kCut) {
            // The copy stands; a cut whose delete failed reports it.
            const QVResult deleted = DeleteSelection();
            if (Failed(deleted)) return deleted;
        }
        return S_OK;
    }
    case LClipboard::kDelete:
        if (mSelectionLength <= 0) return E_FAIL;
        return Failed(DeleteSelection()) ? E_FAIL : S_OK;
    case LClipboard::kPaste: {
        const String text = PasteText();
        if (!CanPaste(*this, text)) return E_FAIL;
        if (mSelectionLength > 0) return ReplaceSelection(text);
        if (mMaxLength > 0 && GetTextLength() + text.GetLength() > mMaxLength) return E_FAIL;
        return InsertText(text) == S_OK ? S_OK : E_FAIL;
    }
    default: return E_FAIL;
    }
}

// ---- edit menu ----

RCPtr<LMenuDescriptor> LTextBox::CreateEditMenu()
{
    IControlApplication* app = GetControlApplication();
    if (!app) return nullptr;
    const RCPtr<IControlStringTable> strings = app->GetApplicationStrings();
    // The four labels ship with the framework's strings in every language;
    // the application's table may override them.
    const RCPtr<IControlStringTable> framework = app->GetFrameworkStrings();
    if (!strings && !framework) return nullptr;
    const auto find = [](const RCPtr<IControlStringTable>& table, const char16_t* id, String& text) {
        return table && table->GetString(id, text);
    };
    RCPtr<LMenuDescriptor> menu(new LMenuDescriptor());
    for (const EditEntry& entry : kEditEntries) {
        String label;
        if (!find(strings, entry.label, label) && !find(framework, entry.label, label)) label = entry.label;
        // Appending to a new menu cannot fail.
        (void)menu->InsertItem(menu->GetItemCount(), label, entry.request, true, false);
    }
    return menu;
}

int32_t LTextBox::EditCommandOf(const String& request)
{
    for (const EditEntry& entry : kEditEntries) {
        if (request == entry.request) return entry.command;
    }
    return -1;
}

void LTextBox::ConnectNotifications()
{
    if (RCPtr<LMenuDescriptor> menu = CreateEditMenu()) SetContextMenu(RCPtr<LRefCountedObject>(menu.Get()));
    LScrollView::ConnectNotifications();
}

QVResult LTextBox::QueryCommandState(const RCPtr<LNotification>& command, bool& enabled)
{
    const int32_t edit = command ? EditCommandOf(String(command->GetID())) : -1;
    if (edit < 0) return kNotHandled;
    LClipboard* clipboard = Clipboard();
    enabled = clipboard && clipboard->CanPerformEditCommand(edit);
    return S_OK;
}

// Entries that cannot run now are shown disabled; the popup takes them from
// the menu it is given.
QVResult LTextBox::ShowContextMenu(const RCPtr<LRefCountedObject>& menu)
{
    if (auto* descriptor = dynamic_cast<LMenuDescriptor*>(menu.Get())) {
        for (uint32_t i = 0; i < descriptor->GetItemCount(); ++i) {
            const RCPtr<LMenuItemDescriptor> entry = descriptor->GetItem(i);
            if (entry->IsSeparator() || entry->GetKey().IsEmpty()) continue;
            bool enabled = true;
            if (QueryCommandState(LNotification::Create(entry->GetKey().GetChars()), enabled) == S_OK)
                entry->SetEnabled(enabled);
        }
    }
    return LScrollView::ShowContextMenu(menu);
}

// The chosen entry posts its request to the application's center, where the
// clipboard bridge runs it on the focused box, as the shortcut keys do.
void LTextBox::OnPrepareContextMenu(LControl* popup)
{
    auto* menu = dynamic_cast<LPopupMenu*>(popup);
    IControlApplication* app = GetControlApplication();
    if (!menu || !app || menu->HasNotificationTarget()) return;
    RCPtr<LNotificationDistributor> center = app->GetDefaultNotificationCenter();
    if (auto* queue = dynamic_cast<LNotificationQueue*>(center.Get())) {
        (void)menu->SetNotificationTarget(RCPtr<LNotificationQueue>(queue));
    }
}

}  // namespace QV
