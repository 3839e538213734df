#pragma once
// The framework's control classes in registration order: skin class name,
// creator, and the line that names a failed registration.
#include <functional>
#include <span>

#include "LControlFactory.h"

namespace QV {

struct FrameworkControlClass {
    const char16_t* className;
    ControlCreateFunction create;
    int line;
};

std::span<const FrameworkControlClass> GetFrameworkControlClasses();

using ControlClassRegistrar = std::function<QVResult(const String& className, ControlCreateFunction create)>;

// Registers every class in order; the first negative result raises the
// failed-result exception with that class's line.
void RegisterFrameworkControlClasses(const ControlClassRegistrar& registrar);

}  // namespace QV
