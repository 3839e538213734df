#pragma once
// What a text box offers its validation handlers: they may refuse the text
// or change what it becomes.
#include "RefCountedObject.h"
#include "StringT.h"

namespace QV {

class LTextValidationParams : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LTextValidationParams")
public:
    static RCPtr<LTextValidationParams> Create(const String& text);

    String text;
    String original;
    bool accepted = true;

private:
    explicit LTextValidationParams(const String& t) : text(t), original(t) {}
};

}  // namespace QV
