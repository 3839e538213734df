#pragma once
// Menus defined as (key, text) pairs from a string table. A key reads
// "NN.COMMAND" (an entry of the menu), "NN.NAME." (an entry opening submenu
// NAME) or "NAME.NN.COMMAND" (an entry of submenu NAME); "-" is a separator.
// A text "Label|Help" gives the label and the help text.
#include <map>
#include <utility>

#include "Array.h"
#include "LMenuDescriptor.h"

namespace QV {

using MenuPair = std::pair<String, String>;
using MenuPairs = Array<MenuPair>;
using SubmenuPairs = std::map<String, MenuPairs>;

// Null when no entry could be built.
RCPtr<LMenuDescriptor> CreateMenuDescriptorFromPairs(const MenuPairs& pairs);

// Fills target (emptied first; created when null) from (command, text)
// pairs. A submenu that is already being built above is skipped, so a
// definition naming itself cannot recurse without end. 0.
[[nodiscard]] QVResult BuildMenuFromPairs(const MenuPairs& pairs, const SubmenuPairs& submenus, RCPtr<LMenuDescriptor>& target);

// The parts between separators; empty parts are kept except a last one.
Array<String> SplitString(const String& text, const char16_t* separators);

}  // namespace QV
