#include "LLevelMeter.h"

namespace QV {

LLevelMeter::LLevelMeter(LControl* parent, const String& name) : LControl(parent, name) {}

LLevelMeter::~LLevelMeter() = default;

}  // namespace QV
