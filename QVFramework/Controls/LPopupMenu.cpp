#include "LPopupMenu.h"

namespace QV {

LPopupMenu::LPopupMenu(LControl* parent, const String& name) : LCheckedListBox(parent, name) {}

LPopupMenu::~LPopupMenu() = default;

QV_OWN_HANDLER_DEFINITIONS(LPopupMenu, LCheckedListBox, mPopupHandler)

}  // namespace QV
