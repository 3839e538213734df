#pragma once
// Help > About: the product's name and version from the program's version
// record, and an OK button that ends the dialog. The version line and the
// button take their texts from their string tables.
#include "LDialog.h"

class LDialogAbout : public QV::LDialog {
    QV_TYPE_NAME("class LDialogAbout")
public:
    LDialogAbout(QV::LControl* parent, const QV::String& name);

    [[nodiscard]] QV::QVResult Initialize() override;

    // The version in the place of the pattern's "%s"; after a pattern that
    // has none.
    static QV::String VersionLine(const QV::String& pattern, const QV::String& version);
};
