#include "LKnob.h"

namespace QV {

LKnob::LKnob(LControl* parent, const String& name) : LSlider(parent, name) {}

LKnob::~LKnob() = default;

}  // namespace QV
