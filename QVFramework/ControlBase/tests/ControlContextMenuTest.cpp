#include "ControlTestSupport.h"
#include "LMenuItemDescriptor.h"

namespace control_test {
namespace {

// "NID=label" per entry, "-" for a separator, "label>[...]" for a submenu.
std::vector<std::string> Entries(const LMenuDescriptor& menu)
{
    std::vector<std::string> out;
    for (uint32_t i = 0; i < menu.GetItemCount(); ++i) {
        RCPtr<LMenuItemDescriptor> e = menu.GetItem(i);
        const std::string label = Narrow(e->GetText().GetChars());
        if (e->IsSeparator()) {
            out.push_back("-");
        } else if (e->GetItemCount() > 0) {
            std::string inner;
            for (const std::string& sub : Entries(*e)) inner += (inner.empty() ? "" : ",") + sub;
            out.push_back(label + ">[" + inner + "]");
        } else {
            out.push_back(Narrow(e->GetKey().GetChars()) + "=" + label);
        }
    }
    return out;
}

TEST(BuildContextMenuTest, SingleAndSeveralMenusTable)
{
    struct Row {
        const char* what;
        std::vector<std::pair<String, String>> strings;
        std::vector<std::vector<std::string>> menus;
    };
    const Row rows[] = {
        {"single menu",
         {{u"CONTEXT_MENU.01.-", u"-"},
          {u"CONTEXT_MENU.02.NID_PASTE", u"Paste|Pastes"},
          {u"CONTEXT_MENU.00.NID_COPY", u"Copy|Copies"}},
         {{"NID_COPY=Copy", "-", "NID_PASTE=Paste"}}},
        {"single menu entries win over numbered ones",
         {{u"CONTEXT_MENU0.00.NID_A", u"a"}, {u"CONTEXT_MENU.00.NID_COPY", u"Copy"}},
         {{"NID_COPY=Copy"}}},
        {"menu 1 listed before menu 0",
         {{u"CONTEXT_MENU1.00.NID_MENU_HELP_ABOUT_REQ", u"About"},
          {u"CONTEXT_MENU0.01.NID_MENU_FILE_EXIT_REQ", u"Exit"},
          {u"CONTEXT_MENU0.00.NID_MENU_FILE_SEND", u"Send"}},
         {{"NID_MENU_FILE_SEND=Send", "NID_MENU_FILE_EXIT_REQ=Exit"}, {"NID_MENU_HELP_ABOUT_REQ=About"}}},
        {"a missing menu number keeps the other menus",
         {{u"CONTEXT_MENU0.00.NID_A", u"a"}, {u"CONTEXT_MENU2.00.NID_C", u"c"}},
         {{"NID_A=a"}, {"NID_C=c"}}},
        {"menus follow their names as strings: 10 comes before 2, and 1 keeps to its own",
         {{u"CONTEXT_MENU2.00.NID_C", u"c"}, {u"CONTEXT_MENU10.00.NID_K", u"k"}, {u"CONTEXT_MENU1.00.NID_B", u"b"}},
         {{"NID_B=b"}, {"NID_K=k"}, {"NID_C=c"}}},
        {"nested entries, a submenu opening another",
         {{u"CONTEXT_MENU0.00.NID_A", u"a"},
          {u"CONTEXT_MENU0.01.MORE.", u"More|Further commands"},
          {u"CONTEXT_MENU0.MORE.00.NID_B", u"b"},
          {u"CONTEXT_MENU0.MORE.01.DEEP.", u"Deep"},
          {u"CONTEXT_MENU0.DEEP.00.NID_C", u"c"},
          {u"CONTEXT_MENU1.00.MORE.", u"Other more"},
          {u"CONTEXT_MENU1.MORE.00.NID_D", u"d"}},
         {{"NID_A=a", "More>[NID_B=b,Deep>[NID_C=c]]"}, {"Other more>[NID_D=d]"}}},
        {"a submenu nobody defines is left out",
         {{u"CONTEXT_MENU0.00.GONE.", u"Gone"}, {u"CONTEXT_MENU0.01.NID_A", u"a"}},
         {{"NID_A=a"}}},
        {"positions count from 0: an entry after a gap is not read",
         {{u"CONTEXT_MENU0.00.NID_A", u"a"}, {u"CONTEXT_MENU0.02.NID_C", u"c"}, {u"CONTEXT_MENU1.00.NID_D", u"d"}},
         {{"NID_A=a"}, {"NID_D=d"}}},
        {"a menu with no entry read keeps its place",
         {{u"CONTEXT_MENU0.05.NID_A", u"a"}, {u"CONTEXT_MENU1.00.NID_B", u"b"}},
         {{}, {"NID_B=b"}}},
        {"names without a dot are no entries", {{u"CONTEXT_MENU0", u"x"}, {u"CONTEXT_MENUS", u"y"}}, {}},
        {"no entries", {{u"MENU_LABEL.00", u"File"}}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        FakeStringTable table;
        table.strings = row.strings;
        std::vector<RCPtr<LMenuDescriptor>> menus;
        EXPECT_EQ(LControl::BuildContextMenu(table, menus), S_OK);
        std::vector<std::vector<std::string>> got;
        for (const RCPtr<LMenuDescriptor>& menu : menus) {
            ASSERT_TRUE(menu);
            got.push_back(Entries(*menu));
        }
        EXPECT_EQ(got, row.menus);
    }
}

// Knows its strings but cannot list them.
class UnlistableTable : public IControlStringTable {
    QV_TYPE_NAME("class UnlistableTable")
public:
    bool GetString(const String&, String&) const override { return false; }
};

TEST(BuildContextMenuTest, ATableThatCannotListAddsNothingAndSaysSo)
{
    UnlistableTable table;
    std::vector<RCPtr<LMenuDescriptor>> menus{RCPtr<LMenuDescriptor>(new LMenuDescriptor())};
    EXPECT_EQ(LControl::BuildContextMenu(table, menus), E_NOTIMPL);
    EXPECT_EQ(menus.size(), 1u) << "what was there stays";
}

}  // namespace
}  // namespace control_test
