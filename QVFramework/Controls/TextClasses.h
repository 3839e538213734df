#pragma once
// Character classes under the UTF-8 C locale, whatever the process locale is.
namespace QV {

bool IsPrintableCharacter(char16_t c);
bool IsSpaceCharacter(char16_t c);

}  // namespace QV
