#pragma once
#include "LTaggableObject.h"
#include "StringT.h"

namespace QV {

// A counted text: what the clipboard hands out for text.
class LStringValue : public LTaggableObject {
    QV_TYPE_NAME("class QV::LStringValue")
public:
    explicit LStringValue(const String& text) : mText(text) {}
    const String& GetText() const { return mText; }

private:
    String mText;
};

}  // namespace QV
