#pragma once
// The framework's exception family and its message format:
//   "<Kind> : [sub-kind : ][text : ]<method> : <source path> : Line <n>"
#include <cstdint>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

#include "Result.h"

namespace QV {

class ExceptionBase {
public:
    virtual ~ExceptionBase() = default;
    // The standard part's what(), found by a run-time cast.
    const char* What() const;
};

class FailedResultException : public std::exception {
public:
    explicit FailedResultException(std::string message) : mMessage(std::move(message)) {}
    const char* what() const noexcept override { return mMessage.c_str(); }

private:
    std::string mMessage;
};

template <class E>
class Exception : public E, public ExceptionBase {
public:
    explicit Exception(const std::string& message) : E(message) {}
    explicit Exception(const char* message) : E(message) {}
};

template <>
class Exception<std::bad_alloc> : public std::bad_alloc, public ExceptionBase {
public:
    Exception() = default;
    const char* what() const noexcept override { return "bad allocation"; }
};

template <>
class Exception<FailedResultException> : public FailedResultException, public ExceptionBase {
public:
    explicit Exception(std::string message) : FailedResultException(std::move(message)) {}
};

// Kind texts that open every message.
inline constexpr std::string_view kLogicError = "Logic Error : ";
inline constexpr std::string_view kRuntimeError = "Runtime Error : ";
inline constexpr std::string_view kOutOfRange = "Out of Range : ";
inline constexpr std::string_view kDomainError = "Domain Error : ";
inline constexpr std::string_view kInvalidArgument = "Invalid Argument : ";
inline constexpr std::string_view kFailedResult = "Failed Result : ";
inline constexpr std::string_view kNullPointer = "Null Pointer : ";

// Joins kind, optional text, method, path and line in the framework format.
// An empty text is left out.
std::string FormatExceptionMessage(std::string_view kind, std::string_view text,
                                   std::string_view method, std::string_view path, int line);

// "QVRESULT = " and the code in upper-case hexadecimal.
std::string FormatResultCode(QVResult code);

// Builds the failed-result message for code and throws it.
[[noreturn]] void ThrowFailedResult(QVResult code, std::string_view method,
                                    std::string_view path, int line);

[[noreturn]] inline void ThrowBadAlloc() { throw Exception<std::bad_alloc>(); }

}  // namespace QV
