#include "RequiredChild.h"

#include <stdexcept>

#include "Exception.h"

QV::RCPtr<QV::LControl> FindRequiredChild(const QV::LControl& parent, const QV::String& name, std::string_view method,
                                          std::string_view path, int line)
{
    QV::RCPtr<QV::LControl> child = parent.FindChildControl(name);
    if (child) return child;
    const std::string text = std::string(QV::kNullPointer) + "Cannot find child " + name.ToUtf8();
    throw QV::Exception<std::runtime_error>(QV::FormatExceptionMessage(QV::kRuntimeError, text, method, path, line));
}
