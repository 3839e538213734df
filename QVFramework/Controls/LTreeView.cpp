#include "LTreeView.h"

namespace QV {

LTreeView::LTreeView(LControl* parent, const String& name) : LListBox(parent, name) {}

LTreeView::~LTreeView() = default;

}  // namespace QV
