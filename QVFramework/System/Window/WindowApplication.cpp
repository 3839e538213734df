#include "IWindowApplication.h"

namespace QV {
namespace {
IWindowApplication* gApplication = nullptr;
}

IWindowApplication* GetWindowApplication()
{
    return gApplication;
}

ScopedWindowApplication::ScopedWindowApplication(IWindowApplication& application)
    : ScopedService(gApplication, application)
{}

}  // namespace QV
