#include "ContainerErrors.h"

#include <stdexcept>

#include "Exception.h"

namespace QV {

void ThrowConstRCPtrArrayRemoveItem(const std::string& instance)
{
    throw Exception<std::out_of_range>(FormatExceptionMessage(
        kOutOfRange, "", instance + "::RemoveItem", "Utilities\\Storage\\ConstRCPtrArray", 216));
}

void ThrowRCPtrArrayRemoveItem(const std::string& instance)
{
    throw Exception<std::out_of_range>(FormatExceptionMessage(
        kOutOfRange, "", instance + "::RemoveItem", "Utilities\\Storage\\RCPtrArray", 175));
}

void ThrowRCPtrQueueEmpty(const std::string& instance)
{
    throw Exception<std::runtime_error>(FormatExceptionMessage(
        kRuntimeError, "", instance + "::Dequeue", "Utilities\\Storage\\RCPtrQueue", 104));
}

void ThrowSortOutOfRange()
{
    throw Exception<std::out_of_range>(FormatExceptionMessage(
        kOutOfRange, "", "QV::ArrayUtils::Sort", "Utilities\\Storage\\ArrayUtils", 254));
}

void ThrowSortIndeciesOutOfRange()
{
    throw Exception<std::out_of_range>(FormatExceptionMessage(
        kOutOfRange, "", "QV::ArrayUtils::SortIndecies", "Utilities\\Storage\\ArrayUtils", 266));
}

}  // namespace QV
