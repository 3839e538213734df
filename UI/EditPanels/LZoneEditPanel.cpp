#include "LZoneEditPanel.h"

using namespace QV;

namespace {

enum Field { kEnable, kChannel, kOctave, kTranspose, kFirstNote, kLastNote };

const FieldRow kFields[] = {
    {{{u"zoneEnabledButton", 32}}, FieldKind::kButton, 0, 0.0, 0, 1, 33},
    {{{u"midiChannel", 36}, {u"comboBox", 38}}, FieldKind::kComboBox, 1, 0.0, 0, 0, 39},
    {{{u"octave", 42}, {u"numericUpDown", 44, true}}, FieldKind::kNumericUpDown, 4, 6.0, -6, 6, 45},
    {{{u"transpose", 50}, {u"numericUpDown", 52, true}}, FieldKind::kNumericUpDown, 5, 12.0, -12, 12, 53},
    {{{u"keyZoneStartEndNoteSelector", 57}, {u"startNote", 60}, {u"noteSelector", 63}},
     FieldKind::kNoteSelector,
     2,
     -1.0,
     1,
     88,
     65,
     0,
     9},
    {{{u"keyZoneStartEndNoteSelector", 57}, {u"endNote", 78}, {u"noteSelector", 82}},
     FieldKind::kNoteSelector,
     3,
     -1.0,
     1,
     88,
     83,
     0,
     9},
};
const int32_t kApplyOrder[] = {kOctave, kTranspose, kFirstNote, kLastNote, kChannel, kEnable};
const PanelTable kTable{"LZoneEditPanel", "UI\\ZoneEditPanel", 6, kFields, kApplyOrder};

// The groups a zone that is off hides.
const char16_t* const kGroups[] = {u"midiChannel", u"octave", u"transpose", u"keyZoneStartEndNoteSelector"};

struct NoteLabel {
    const char16_t* noteGroup;
    int32_t upDownLine;
    int32_t labelLine;
    const char16_t* stringId;
};
const NoteLabel kNoteLabels[] = {{u"startNote", 69, 74, u"START_NOTE_LABEL"}, {u"endNote", 87, 91, u"END_NOTE_LABEL"}};

}  // namespace

LZoneEditPanel::LZoneEditPanel(LControl* parent, const String& name) : LEditPanel(parent, name, kTable) {}

void LZoneEditPanel::InitializeParts()
{
    for (const NoteLabel& note : kNoteLabels) {
        const ChildStep group[] = {{u"keyZoneStartEndNoteSelector", 57}, {note.noteGroup, 60}};
        RCPtr<LControl> noteGroup = Fields().FindPath(*this, group);
        const ChildStep upDown[] = {{u"noteSelector", note.upDownLine},
                                    {u"numericUpDown", note.upDownLine, false, "noteSelector->numericUpDown"}};
        Fields().FindPath(*noteGroup, upDown);
        const ChildStep label[] = {{u"controlNameLabel", note.labelLine}};
        RCPtr<LControl> nameLabel = Fields().FindPath(*noteGroup, label);
        (void)nameLabel->SetText(ControlString(*nameLabel, note.stringId));  // only says whether the text changed
    }
}

QVResult LZoneEditPanel::AfterApply()
{
    return ShowGroupsByEnable();
}

void LZoneEditPanel::BeforeSend(LNotificationDistributor* sender)
{
    LControl* first = Field(kFirstNote);
    LControl* last = Field(kLastNote);
    const bool noteChanged = sender == static_cast<LNotificationDistributor*>(first) ||
                             sender == static_cast<LNotificationDistributor*>(last);
    if (noteChanged && EditPanelFields::ValueOf(*first, FieldKind::kNoteSelector) >
                           EditPanelFields::ValueOf(*last, FieldKind::kNoteSelector)) {
        first->SetValue(last->GetValue());
    }
    // Switching the zone on or off here shows it at once; the keyboard does not echo it.
    if (sender == static_cast<LNotificationDistributor*>(Field(kEnable))) (void)ShowGroupsByEnable();
}

QVResult LZoneEditPanel::ShowGroupsByEnable()
{
    std::vector<RCPtr<LControl>> groups;
    for (const char16_t* name : kGroups) {
        RCPtr<LControl> group = FindChildControl(name);
        if (!group) return E_FAIL;
        groups.push_back(group);
    }
    const bool on = Field(kEnable)->GetValue() == 1.0;
    for (const RCPtr<LControl>& group : groups) group->SetVisible(on);
    return S_OK;
}
