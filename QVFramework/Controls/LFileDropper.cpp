#include "LFileDropper.h"

namespace QV {

LFileDropper::LFileDropper(LControl* parent, const String& name) : LControl(parent, name) {}

LFileDropper::~LFileDropper() = default;

}  // namespace QV
