#include "Exception.h"

#include <cstdio>

namespace QV {

const char* ExceptionBase::What() const
{
    if (auto* e = dynamic_cast<const std::exception*>(this)) {
        return e->what();
    }
    return "";
}

std::string FormatExceptionMessage(std::string_view kind, std::string_view text,
                                   std::string_view method, std::string_view path, int line)
{
    std::string m;
    m.reserve(kind.size() + text.size() + method.size() + path.size() + 24);
    m += kind;
    if (!text.empty()) {
        m += text;
        m += " : ";
    }
    m += method;
    m += " : ";
    m += path;
    m += " : Line ";
    m += std::to_string(line);
    return m;
}

std::string FormatResultCode(QVResult code)
{
    char buffer[65];
    std::snprintf(buffer, sizeof buffer, "QVRESULT = %X", static_cast<uint32_t>(code));
    return buffer;
}

void ThrowFailedResult(QVResult code, std::string_view method, std::string_view path, int line)
{
    throw Exception<FailedResultException>(
        FormatExceptionMessage(kFailedResult, FormatResultCode(code), method, path, line));
}

}  // namespace QV
