#include "LZoneEditPanel.h"

using namespace QV;

namespace {

enum Field { kEnable, kChannel, kOctave, kTranspose, kFirstNote, kLastNote };

const FieldRow kFields[] = {
    {.path = {{.name = u"zoneEnabledButton", .messageLine = 32}},
     .kind = FieldKind::kButton, .byte = 0, .messageLine = 33},
    {.path = {{.name = u"midiChannel", .messageLine = 36}, {.name = u"comboBox", .messageLine = 38}},
     .kind = FieldKind::kComboBox, .byte = 1, .messageLine = 39},
    {.path = {{.name = u"octave", .messageLine = 42},
              {.name = u"numericUpDown", .messageLine = 44, .spacedCannot = true}},
     .kind = FieldKind::kNumericUpDown, .byte = 4, .offset = 6.0, .minimum = -6, .maximum = 6, .messageLine = 45},
    {.path = {{.name = u"transpose", .messageLine = 50},
              {.name = u"numericUpDown", .messageLine = 52, .spacedCannot = true}},
     .kind = FieldKind::kNumericUpDown, .byte = 5, .offset = 12.0, .minimum = -12, .maximum = 12, .messageLine = 53},
    {.path = {{.name = u"keyZoneStartEndNoteSelector", .messageLine = 57},
              {.name = u"startNote", .messageLine = 60},
              {.name = u"noteSelector", .messageLine = 63}},
     .kind = FieldKind::kNoteSelector, .byte = 2, .offset = -1.0, .minimum = 1, .maximum = 88, .messageLine = 65,
     .noteOffset = 9},
    {.path = {{.name = u"keyZoneStartEndNoteSelector", .messageLine = 57},
              {.name = u"endNote", .messageLine = 78},
              {.name = u"noteSelector", .messageLine = 82}},
     .kind = FieldKind::kNoteSelector, .byte = 3, .offset = -1.0, .minimum = 1, .maximum = 88, .messageLine = 83,
     .noteOffset = 9},
};
const int32_t kApplyOrder[] = {kOctave, kTranspose, kFirstNote, kLastNote, kChannel, kEnable};
const PanelTable kTable{"LZoneEditPanel", "UI\\ZoneEditPanel", 6, kFields, kApplyOrder};

// The groups a zone that is off hides.
const char16_t* const kGroups[] = {u"midiChannel", u"octave", u"transpose", u"keyZoneStartEndNoteSelector"};

struct NoteLabel {
    const char16_t* noteGroup;
    int32_t upDownMessageLine;
    int32_t labelMessageLine;
    const char16_t* stringId;
};
const NoteLabel kNoteLabels[] = {
    {.noteGroup = u"startNote", .upDownMessageLine = 69, .labelMessageLine = 74, .stringId = u"START_NOTE_LABEL"},
    {.noteGroup = u"endNote", .upDownMessageLine = 87, .labelMessageLine = 91, .stringId = u"END_NOTE_LABEL"}};

}  // namespace

LZoneEditPanel::LZoneEditPanel(LControl* parent, const String& name) : LEditPanel(parent, name, kTable) {}

void LZoneEditPanel::InitializeParts()
{
    for (const NoteLabel& note : kNoteLabels) {
        const ChildStep group[] = {{.name = u"keyZoneStartEndNoteSelector", .messageLine = 57},
                                   {.name = note.noteGroup, .messageLine = 60}};
        RCPtr<LControl> noteGroup = Fields().FindPath(*this, group);
        const ChildStep upDown[] = {{.name = u"noteSelector", .messageLine = note.upDownMessageLine},
                                    {.name = u"numericUpDown",
                                     .messageLine = note.upDownMessageLine,
                                     .shownName = "noteSelector->numericUpDown"}};
        Fields().FindPath(*noteGroup, upDown);
        const ChildStep label[] = {{.name = u"controlNameLabel", .messageLine = note.labelMessageLine}};
        RCPtr<LControl> nameLabel = Fields().FindPath(*noteGroup, label);
        nameLabel->SetText(ControlString(*nameLabel, note.stringId));
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
