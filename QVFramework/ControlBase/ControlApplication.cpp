#include "IControlApplication.h"

namespace QV {
namespace {
IControlApplication* gApplication = nullptr;
}

IControlApplication* GetControlApplication()
{
    return gApplication;
}

ScopedControlApplication::ScopedControlApplication(IControlApplication& application) : mPrevious(gApplication)
{
    gApplication = &application;
}

ScopedControlApplication::~ScopedControlApplication()
{
    gApplication = mPrevious;
}

}  // namespace QV
