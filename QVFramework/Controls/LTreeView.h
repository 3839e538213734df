#pragma once
// A list of tree rows; for now the rows are not nested.
#include "LListBox.h"

namespace QV {

class LTreeView : public LListBox {
    QV_TYPE_NAME("class QV::LTreeView")
public:
    LTreeView(LControl* parent, const String& name);
    ~LTreeView() override;
};

}  // namespace QV
