#include "LDialogAbout.h"

#include "EditPanelSupport.h"
#include "RequiredChild.h"
#include "Version.h"

using namespace QV;

namespace {

// A child's text from its string table, where a translation lives; else
// the text the skin gave it.
String TableLabel(const LControl& child)
{
    const String text = ControlString(child, u"LABEL");
    return text.IsEmpty() ? child.GetText() : text;
}

}  // namespace

String LDialogAbout::VersionLine(const String& pattern, const String& version)
{
    // Not a printf format: a translated pattern cannot make it read past
    // the one argument.
    const int32_t at = pattern.Find(u"%s");
    if (at >= 0) return pattern.Left(at) + version + pattern.Mid(uint32_t(at + 2));
    return pattern.IsEmpty() ? version : pattern + String(u" ") + version;
}

LDialogAbout::LDialogAbout(LControl* parent, const String& name) : LDialog(parent, name) {}

QVResult LDialogAbout::Initialize()
{
    const QVResult result = LDialog::Initialize();
    if (result < 0) return result;
    RCPtr<LControl> product =
        FindRequiredChild(*this, u"labelProduct", "LDialogAbout::Initialize", "UI\\DialogAbout", 15);
    RCPtr<LControl> version =
        FindRequiredChild(*this, u"labelVersion", "LDialogAbout::Initialize", "UI\\DialogAbout", 16);
    const Version info;
    product->SetText(info.GetProductName());
    version->SetText(VersionLine(TableLabel(*version), info.GetProductVersion()));
    if (RCPtr<LControl> ok = FindChildControl(u"buttonOK")) ok->SetText(TableLabel(*ok));
    return result;
}
