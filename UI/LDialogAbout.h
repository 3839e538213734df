#pragma once
// Help > About: the product's name and version from the program's version
// record, and an OK button that ends the dialog.
#include "LDialog.h"

class LDialogAbout : public QV::LDialog {
    QV_TYPE_NAME("class LDialogAbout")
public:
    LDialogAbout(QV::LControl* parent, const QV::String& name);

    [[nodiscard]] QV::QVResult Initialize() override;
};
