#include "LDialogAbout.h"

#include "RequiredChild.h"
#include "Version.h"

using namespace QV;

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
    String text = version->GetText();
    // The skin's text is the format; the version fills its "%s".
    String filled;
    filled.Format((text.IsEmpty() ? String(u"%s") : text).GetChars(), info.GetProductVersion().GetChars());
    version->SetText(filled);
    return result;
}
