#include "LDeviceView.h"

#include <filesystem>

#include "AppStrings.h"
#include "EditPanelDirectory.h"
#include "HardwareButtonsInterface.h"
#include "IControlApplication.h"
#include "LControlFactory.h"
#include "LDialog.h"
#include "LFileDialog.h"
#include "LNotificationCenterManager.h"
#include "MessageBoxHost.h"
#include "NotificationNameTable.h"
#include "UserSettings.h"

using namespace QV;

namespace {

constexpr int32_t kErrorIcon = 0x10;
constexpr int32_t kInformationIcon = 0x40;

struct MenuCommand {
    const char16_t* notification;
    void (LDeviceView::*run)();
};

constexpr MenuCommand kCommands[] = {
    {u"NID_MENU_FILE_SEND_PRESET_TO_DEVICE", &LDeviceView::SendPresetToDevice},
    {u"NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE", &LDeviceView::GetPresetFromDevice},
    {u"NID_MENU_FILE_LOAD_PRESET_FROM_FILE", &LDeviceView::LoadPresetFromFile},
    {u"NID_MENU_FILE_SAVE_PRESET_TO_FILE", &LDeviceView::SavePresetToFile},
    {u"NID_MENU_FILE_EXIT_REQ", &LDeviceView::RequestExit},
    {u"NID_MENU_HELP_ABOUT_REQ", &LDeviceView::ShowAbout},
};

// A message box from two string IDs, the text's "%s" filled in by the
// file's name and the system's reason; nothing when the text is empty.
void ShowResult(const char16_t* captionId, const char16_t* textId, int32_t icon, const String& fileName = String(),
                const String& reason = String())
{
    const String format = FindAppString(textId);
    if (format.IsEmpty()) return;
    String text;
    text.Format(format.GetChars(), fileName.GetChars(), reason.GetChars());
    (void)ShowMessageBox(text, GetAppString(captionId), icon);
}

String FileNameOf(const String& path)
{
    return String(std::filesystem::path(path.ToUtf8()).filename().string().c_str());
}

// Load results 0..-4 and their texts; a file that could not be read at all
// says so apart from one whose content is damaged.
const char16_t* LoadResultText(int32_t result, bool unreadable)
{
    switch (result) {
    case 0: return u"SETTINGS_FILE_LOAD_SUCCESS_MESSAGE";
    case -1: return u"SETTINGS_FILE_LOAD_OLDER_MESSAGE";
    case -2: return u"SETTINGS_FILE_LOAD_NEWER_MESSAGE";
    case -4: return u"SETTINGS_FILE_LOAD_WRONG_DEVICE_MESSAGE";
    default: return unreadable ? u"SETTINGS_FILE_LOAD_OPEN_FAILED_MESSAGE" : u"SETTINGS_FILE_LOAD_CORRUPT_MESSAGE";
    }
}

}  // namespace

LDeviceView::LDeviceView(LControl* parent, const String& name) : LPanel(parent, name) {}

LDeviceView::~LDeviceView() = default;

QV_OWN_HANDLER_DEFINITIONS(LDeviceView, LPanel, mViewHandler)

QVResult LDeviceView::Initialize()
{
    const QVResult result = LPanel::Initialize();
    if (result < 0) return result;
    EditPanelDirectory(*this).ShowInstanceLabels();
    mPresetManager = LPresetManager::Create();
    mViewHandler = new LNotificationHandler<LDeviceView>(this);
    // Other windows and threads reach the view through the application's center.
    ListenForCommands(RCPtr<LNotificationDistributor>(GetDefaultNotificationCenter().Get()));
    return result;
}

void LDeviceView::ListenForCommands(const RCPtr<LNotificationDistributor>& source)
{
    if (!mViewHandler || !source) return;
    for (const MenuCommand& command : kCommands) {
        const QVResult registered =
            mViewHandler->RegisterHandler(&LDeviceView::OnMenuCommand, source, command.notification);
        if (registered < 0) ThrowFailedResult(registered, "LDeviceView::ListenForCommands", "UI\\DeviceView", 99);
    }
}

QVResult LDeviceView::ReleaseInternalReferences()
{
    mPresetManager = nullptr;
    mMidiManager = nullptr;
    return LPanel::ReleaseInternalReferences();
}

QVResult LDeviceView::OnMenuCommand(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    for (const MenuCommand& command : kCommands) {
        if (NotificationNameTable::GetNotificationID(command.notification) == notification->GetID()) {
            (this->*command.run)();
            return 1;
        }
    }
    return 0;
}

// The view reaches the keyboard through the MIDI manager and the preset
// manager; it keeps nothing of the engine or the configuration.
void LDeviceView::SetEngine(IParamEngine*, QVResult) {}

void LDeviceView::SetDeviceConfiguration(const Variant&) {}

void LDeviceView::GetPresetFromDevice()
{
    const int32_t result = mMidiManager ? mMidiManager->GetPresetFromMidiDevice(-1) : -1;
    const char16_t* caption = u"LABEL_GET_PRESET_FAILED_MSGBOX_CAPTION";
    if (result == -2) {
        ShowResult(caption, u"LABEL_GET_PRESET_FAILED_FW_COMPATIBILITY_ERROR_MSGBOX_TEXT", kErrorIcon);
    } else if (result < 0) {
        ShowResult(caption, u"LABEL_GET_PRESET_FAILED_MIDI_ERROR_MSGBOX_TEXT", kErrorIcon);
    } else {
        ShowResult(u"LABEL_GET_PRESET_SUCEESS_MSGBOX_CAPTION", u"LABEL_GET_PRESET_SUCEESS_MSGBOX_TEXT",
                   kInformationIcon);
    }
}

void LDeviceView::SendPresetToDevice()
{
    const int32_t result = mMidiManager ? mMidiManager->SendPresetToMidiDevice(-1) : -1;
    const char16_t* caption = u"LABEL_SEND_PRESET_FAILED_MSGBOX_CAPTION";
    if (result == -2) {
        ShowResult(caption, u"LABEL_SEND_PRESET_FAILED_FW_COMPATIBILITY_ERROR_MSGBOX_TEXT", kErrorIcon);
    } else if (result < 0) {
        ShowResult(caption, u"LABEL_SEND_PRESET_FAILED_MIDI_ERROR_MSGBOX_TEXT", kErrorIcon);
    } else {
        ShowResult(u"LABEL_SEND_PRESET_SUCEESS_MSGBOX_CAPTION", u"LABEL_SEND_PRESET_SUCEESS_MSGBOX_TEXT",
                   kInformationIcon);
    }
}

void LDeviceView::LoadPresetFromFile()
{
    RCPtr<LFileDialog> dialog(new LFileDialog(ReadUserSettingText(u"LastFolderPath")));
    if (dialog->ShowOpenDialog(GetAppString(u"PRESET_FILE_FILTER"), u"trs", GetAppString(u"LOAD_PRESET_DIALOG_TITLE"),
                               false) < 0) {
        return;
    }
    WriteUserSettingText(u"LastFolderPath", dialog->GetFolderPath());
    const String path = dialog->GetFilePath();
    const int32_t result = mPresetManager ? mPresetManager->LoadPresetFile(path) : -3;
    const String reason(mPresetManager ? mPresetManager->GetFileError().c_str() : "");
    ShowResult(u"SETTINGS_FILE_LOAD_CAPTION", LoadResultText(result, !reason.IsEmpty()),
               result == 0 ? kInformationIcon : kErrorIcon, FileNameOf(path), reason);
}

void LDeviceView::SavePresetToFile()
{
    RCPtr<LFileDialog> dialog(new LFileDialog(ReadUserSettingText(u"LastFolderPath")));
    if (dialog->ShowSaveDialog(GetAppString(u"PRESET_FILE_FILTER"), u"trs", GetAppString(u"SAVE_PRESET_DIALOG_TITLE")) <
        0) {
        return;
    }
    WriteUserSettingText(u"LastFolderPath", dialog->GetFolderPath());
    const String path = dialog->GetFilePath();
    const int32_t result = mPresetManager ? mPresetManager->SavePresetFile(path) : E_FAIL;
    const String reason(mPresetManager ? mPresetManager->GetFileError().c_str() : "");
    const char16_t* text = result >= 0         ? u"SETTINGS_FILE_SAVE_SUCCESS_MESSAGE"
                           : reason.IsEmpty() ? u"SETTINGS_FILE_SAVE_FAILED_MESSAGE"
                                              : u"SETTINGS_FILE_SAVE_WRITE_FAILED_MESSAGE";
    ShowResult(u"SETTINGS_FILE_SAVE_CAPTION", text, result >= 0 ? kInformationIcon : kErrorIcon, FileNameOf(path),
               reason);
}

void LDeviceView::ShowAbout()
{
    IControlApplication* application = GetControlApplication();
    IControlFactory* factory = application ? application->GetControlFactory() : nullptr;
    RCPtr<IControlDescriptor> descriptor = factory ? factory->FindControlDescriptor(u"dialogAbout") : nullptr;
    if (!descriptor) return;
    RCPtr<LControl> control = factory->CreateControl(descriptor, nullptr);
    auto* dialog = dynamic_cast<LDialog*>(control.Get());
    if (!dialog) return;
    // The window takes its title from the dialog's text.
    dialog->SetText(GetAppString(u"ABOUT_DIALOG_TITLE"));
    (void)dialog->DoModal();
}

void LDeviceView::RequestExit()
{
    if (RCPtr<LNotificationCenter> center = GetDefaultNotificationCenter()) {
        // A center that is shutting down already ends the program.
        (void)center->PostNamedNotification(u"NID_APP_EXIT_REQ", nullptr);
    }
}

RCPtr<IGlobalChannel> LDeviceView::GetGlobalChannel()
{
    return EditPanelDirectory(*this).GetGlobalChannel();
}

RCPtr<IKeybed> LDeviceView::GetKeybed()
{
    return EditPanelDirectory(*this).GetKeybed();
}

RCPtr<IZone> LDeviceView::GetZone(int32_t index)
{
    return EditPanelDirectory(*this).GetZone(index);
}

RCPtr<IAbsoluteController> LDeviceView::GetWheelController()
{
    return EditPanelDirectory(*this).GetWheelController();
}

RCPtr<IPitchWheel> LDeviceView::GetPitchWheel()
{
    return EditPanelDirectory(*this).GetPitchWheel();
}

RCPtr<IAbsoluteController> LDeviceView::GetAbsoluteController(int32_t index)
{
    return EditPanelDirectory(*this).GetAbsoluteController(index);
}

RCPtr<IHardwareButtons> LDeviceView::GetHardwareButtons()
{
    return EditPanelDirectory(*this).GetHardwareButtons();
}

RCPtr<IFootSwitch> LDeviceView::GetFootSwitch(int32_t index)
{
    return EditPanelDirectory(*this).GetFootSwitch(index);
}
