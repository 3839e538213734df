#pragma once
// A combo box whose list rows carry check boxes; for now it behaves as a plain combo box.
#include "LComboBox.h"

namespace QV {

class LCheckedComboBox : public LComboBox {
    QV_TYPE_NAME("class QV::LCheckedComboBox")
public:
    LCheckedComboBox(LControl* parent, const String& name);
    ~LCheckedComboBox() override;
};

}  // namespace QV
