#include "ControlTestSupport.h"
#include "LButton.h"
