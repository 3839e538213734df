#pragma once
// A list box whose rows show several sorted columns; for now it behaves as a plain list box.
#include "LListBox.h"

namespace QV {

class LMultiColumnListBox : public LListBox {
    QV_TYPE_NAME("class QV::LMultiColumnListBox")
public:
    LMultiColumnListBox(LControl* parent, const String& name);
    ~LMultiColumnListBox() override;
};

}  // namespace QV
