#pragma once
// A note chosen by number in its "numericUpDown" child, named in
// "noteNameLabel" ("C" .. "B") and "octaveNameLabel" ("(0)" .. "(10)"), the
// texts "ITEM.nn" of each label's table. The note offset is the position in
// the octave of the lowest value: 9 makes value 1 an A (the keybed's first
// key), 0 makes the lowest value a C (MIDI notes). UI thread only.
#include "LNumberBoxTextSelector.h"

class LNoteSelector : public LNumberBoxTextSelector {
    QV_TYPE_NAME("class LNoteSelector")
public:
    LNoteSelector(QV::LControl* parent, const QV::String& name);

    void SetNoteOffset(int32_t offset);
    int32_t GetNoteOffset() const { return mNoteOffset; }

protected:
    void UpdateText(int32_t number) override;

private:
    int32_t mNoteOffset = 0;
};
