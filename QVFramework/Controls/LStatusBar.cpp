#include "LStatusBar.h"

namespace QV {

LStatusBar::LStatusBar(LControl* parent, const String& name) : LControl(parent, name), mQueue(new LNotificationQueue())
{}

LStatusBar::~LStatusBar() = default;

QV_OWN_HANDLER_DEFINITIONS(LStatusBar, LControl, mStatusHandler)

}  // namespace QV
