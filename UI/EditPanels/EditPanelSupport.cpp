#include "EditPanelSupport.h"

#include <cstdio>

#include "LLabel.h"
#include "LNumberBoxTextSelector.h"

using namespace QV;

void ShowLabelStrings(LControl& panel)
{
    for (const RCPtr<LControl>& child : panel.GetChildren().Snapshot(ChildControlList::kInsertion)) {
        if (dynamic_cast<LNumberBoxTextSelector*>(child.Get())) continue;
        if (dynamic_cast<LLabel*>(child.Get()) && child->GetText().IsEmpty()) {
            const String text = ControlString(*child, u"LABEL");
            if (!text.IsEmpty() && text.Find(u"%") < 0) child->SetText(text);
        }
        ShowLabelStrings(*child);
    }
}

String ControlString(const LControl& control, const char16_t* id)
{
    String text;
    if (RCPtr<IControlStringTable> table = control.GetStringTable()) table->GetString(String(id), text);
    return text;
}

String ItemId(int32_t index)
{
    char id[24];
    std::snprintf(id, sizeof id, "ITEM.%02d", static_cast<int>(index));
    return String(id);
}
