#include "NumberText.h"

#include "StringT.h"

namespace QV {

namespace {

// Pads the digits with leading zeros to at least `decimals` and puts the
// point before the last `decimals`; a minus sign stays in front.
String SplitDecimals(const String& integer, int decimals)
{
    if (decimals <= 0) return integer;
    const bool negative = integer.GetChars()[0] == u'-';
    String digits = negative ? integer.Mid(1u) : integer;
    // Both indexes lie within the text, so the inserts cannot fail.
    while (digits.GetLength() < decimals) (void)digits.Insert(0, u"0");
    const int32_t point = digits.GetLength() - decimals;
    (void)digits.Insert(point, u".");
    return negative ? String(u'-') + digits : digits;
}

}  // namespace

String FixedPointToString(int value, int decimals)
{
    String integer;
    integer.Format(u"%d", value);
    return SplitDecimals(integer, decimals);
}

String FixedPointToString(unsigned value, int decimals)
{
    String integer;
    integer.Format(u"%u", value);
    return SplitDecimals(integer, decimals);
}

String DoubleToString(double value, int decimals)
{
    String text;
    if (decimals < 0) {
        text.Format(u"%lf", value);
        return text;
    }
    String format;
    format.Format(u"%%.%dlf", decimals);
    text.Format(format.GetChars(), value);
    return text;
}

}  // namespace QV
