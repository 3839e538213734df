#include "IControlApplication.h"

namespace QV {
namespace {
IControlApplication* gApplication = nullptr;
}

IControlApplication* GetControlApplication()
{
    return gApplication;
}

double Now(double withoutApplication)
{
    return gApplication ? gApplication->GetElapsedTime() : withoutApplication;
}

ScopedControlApplication::ScopedControlApplication(IControlApplication& application)
    : ScopedService(gApplication, application)
{}

}  // namespace QV
