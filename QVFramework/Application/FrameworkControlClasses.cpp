#include "FrameworkControlClasses.h"

#include <array>

#include "Exception.h"
#include "LButton.h"
#include "LCheckedComboBox.h"
#include "LCheckedListBox.h"
#include "LCheckedListBoxItem.h"
#include "LComboBox.h"
#include "LComboMenu.h"
#include "LComboSlider.h"
#include "LFileDropper.h"
#include "LKnob.h"
#include "LLabel.h"
#include "LLevelMeter.h"
#include "LListBox.h"
#include "LListBoxItem.h"
#include "LMainMenu.h"
#include "LMenuListBoxItem.h"
#include "LMultiColumnListBox.h"
#include "LNumericUpDown.h"
#include "LPanel.h"
#include "LPopupMenu.h"
#include "LProgressBar.h"
#include "LScrollbar.h"
#include "LSlider.h"
#include "LSplitter.h"
#include "LStatusBar.h"
#include "LTabControl.h"
#include "LTextBox.h"
#include "LToolTip.h"
#include "LTreeView.h"
#include "LTreeViewItem.h"

namespace QV {
namespace {

template <class T>
constexpr FrameworkControlClass Row(const char16_t* name, int line)
{
    return {name, &CreateControlOfClass<T>, line};
}

// The overlay button is built as a list row, as the skins expect.
const std::array kClasses{
    Row<LButton>(u"Framework.Button", 93),
    Row<LListBoxItem>(u"Framework.OverlayButton", 96),
    Row<LListBox>(u"Framework.ListBox", 98),
    Row<LListBox>(u"Framework.listboxNoScroll", 99),
    Row<LListBoxItem>(u"Framework.ListBoxItem", 100),
    Row<LCheckedListBox>(u"Framework.CheckedListBox", 101),
    Row<LCheckedListBoxItem>(u"Framework.CheckedListBoxItem", 102),
    Row<LCheckedListBox>(u"Framework.ListBoxWithIcons", 103),
    Row<LMultiColumnListBox>(u"Framework.listbox2ColumnSortable", 104),
    Row<LScrollbar>(u"Framework.ScrollBar", 105),
    Row<LPanel>(u"Framework.ScrollChannel", 106),
    Row<LComboBox>(u"Framework.ComboBox", 107),
    Row<LComboBox>(u"Framework.ComboTextBox", 108),
    Row<LCheckedComboBox>(u"Framework.CheckedComboBox", 109),
    Row<LCheckedComboBox>(u"Framework.ComboBoxWithIcons", 110),
    Row<LComboSlider>(u"Framework.ComboSlider", 111),
    Row<LPanel>(u"Framework.ComboSlider.DropDownPanel", 112),
    Row<LSlider>(u"Framework.Slider", 113),
    Row<LKnob>(u"Framework.Knob", 114),
    Row<LTabControl>(u"Framework.TabControl", 115),
    Row<LLabel>(u"Framework.Label", 116),
    Row<LTextBox>(u"Framework.TextBox", 117),
    Row<LNumericUpDown>(u"Framework.NumericUpDown", 118),
    Row<LPanel>(u"Framework.Panel", 119),
    Row<LToolTip>(u"Framework.ToolTip", 120),
    Row<LPopupMenu>(u"Framework.PopupMenu", 121),
    Row<LMenuListBoxItem>(u"Framework.MenuItem", 122),
    Row<LComboMenu>(u"Framework.ComboMenu", 123),
    Row<LMainMenu>(u"Framework.MainMenu", 124),
    Row<LFileDropper>(u"Framework.FileDropper", 125),
    Row<LStatusBar>(u"Framework.StatusBar", 126),
    Row<LSplitterH>(u"Framework.SplitterH", 127),
    Row<LSplitterV>(u"Framework.SplitterV", 128),
    Row<LLevelMeter>(u"Framework.LevelMeter", 129),
    Row<LProgressBar>(u"Framework.ProgressBar", 130),
    Row<LTreeView>(u"Framework.TreeView", 131),
    Row<LTreeViewItem>(u"Framework.TreeViewItem", 132),
};

}  // namespace

std::span<const FrameworkControlClass> GetFrameworkControlClasses()
{
    return kClasses;
}

void RegisterFrameworkControlClasses(const ControlClassRegistrar& registrar)
{
    for (const FrameworkControlClass& row : kClasses) {
        const QVResult result = registrar(String(row.className), row.create);
        if (Failed(result))
            ThrowFailedResult(result, "QV::LFrameworkApp::RunApplicationStartup", "Application\\FrameworkApp",
                              row.line);
    }
}

}  // namespace QV
