#pragma once
// Numbers as text for displays and settings files.
#include <cstdint>

namespace QV {

template <class T, class U>
class StringT;
using String = StringT<char16_t, char>;

// The value with the last `decimals` digits after a point and no zero before
// it: (5, 2) gives ".05", (-123, 2) "-1.23"; decimals <= 0 gives the integer.
String FixedPointToString(int value, int decimals);
String FixedPointToString(unsigned value, int decimals);
// "%lf" for negative decimals ("1.500000"), else that many decimals.
String DoubleToString(double value, int decimals);

}  // namespace QV
