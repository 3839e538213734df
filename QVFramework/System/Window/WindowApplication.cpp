#include "IWindowApplication.h"

namespace QV {
namespace {
IWindowApplication* gApplication = nullptr;
}

IWindowApplication* GetWindowApplication()
{
    return gApplication;
}

ScopedWindowApplication::ScopedWindowApplication(IWindowApplication& application) : mPrevious(gApplication)
{
    gApplication = &application;
}

ScopedWindowApplication::~ScopedWindowApplication()
{
    gApplication = mPrevious;
}

}  // namespace QV
