#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "LNoteSelector.h"
#include "LTextBox.h"

namespace {

using namespace QV;
using namespace control_test;

// Note names and octaves "ITEM.nn" for the two labels.
RCPtr<FakeStringTable> Items(int count, const std::function<std::string(int)>& text)
{
    RCPtr<FakeStringTable> table(new FakeStringTable());
    for (int i = 0; i < count; ++i) {
        char id[16];
        std::snprintf(id, sizeof id, "ITEM.%02d", i);
        table->strings.push_back({String(id), String(text(i).c_str())});
    }
    return table;
}

class NoteSelectorTest : public ControlFixture {
protected:
    void SetUp() override
    {
        static const char* kNotes[] = {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"};
        app.factory.tables = {{u"noteNameLabel", Items(12, [](int i) { return std::string(kNotes[i]); })},
                              {u"octaveNameLabel", Items(11, [](int i) { return "(" + std::to_string(i) + ")"; })}};
        MakeTop();
        selector = new LNoteSelector(top.Get(), u"noteSelector");
        upDown = new LNumericUpDown(selector.Get(), u"numericUpDown");
        new LTextBox(upDown.Get(), u"textBox");
        noteName = new LControl(selector.Get(), u"noteNameLabel");
        octaveName = new LControl(selector.Get(), u"octaveNameLabel");
        for (LControl* c : {static_cast<LControl*>(upDown.Get()), static_cast<LControl*>(selector.Get())}) {
            ASSERT_EQ(S_OK, c->Initialize());
            c->OnInitialized();
            c->SetInitialized(true);
        }
        log = new NotificationLog();
        log->Listen(selector.Get(), {u"NID_VALUE_CHANGE"});
    }
    void TearDown() override { log->UnregisterAllNotifications(); }
    std::string Name() const { return noteName->GetText().ToUtf8() + " " + octaveName->GetText().ToUtf8(); }

    RCPtr<LNoteSelector> selector;
    RCPtr<LNumericUpDown> upDown;
    RCPtr<LControl> noteName, octaveName;
    RCPtr<NotificationLog> log;
};

TEST_F(NoteSelectorTest, NamesTheNoteByItsPlaceInTheOctave)
{
    const struct {
        double minimum, maximum;
        int32_t offset;
        double number;
        const char* name;
    } rows[] = {
        {1, 88, 9, 1, "A (0)"},  {1, 88, 9, 4, "C (1)"},    {1, 88, 9, 88, "C (8)"},
        {0, 127, 0, 0, "C (0)"}, {0, 127, 0, 61, "Db (5)"}, {0, 127, 0, 127, "G (10)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.number);
        selector->SetValueRange(row.minimum, row.maximum, 0);
        selector->SetNoteOffset(row.offset);
        upDown->SetNumber(row.number);
        EXPECT_EQ(row.number, selector->GetNumber());
        EXPECT_EQ(row.name, Name());
    }
}

TEST_F(NoteSelectorTest, SelectorAndUpDownFollowEachOtherWithOneAnnouncementEach)
{
    selector->SetValueRange(1, 88, 0);
    selector->SetNoteOffset(9);
    log->Clear();
    upDown->SetNumber(52);
    EXPECT_EQ(52, selector->GetNumber());
    EXPECT_EQ(1u, log->names.size());

    log->Clear();
    selector->SetValue(selector->ValueToNormalized(60));
    EXPECT_NEAR(60, upDown->GetNumber(), 1e-9);
    EXPECT_EQ("Ab (5)", Name());  // key 60 of the keybed
    EXPECT_EQ(1u, log->names.size());

    // A range set on the up-down alone is taken over at its next change.
    upDown->SetValueRange(0, 127, 0);
    upDown->SetNumber(100);
    EXPECT_EQ(100, selector->GetNumber());
}

}  // namespace
