#pragma once
// Result codes in the HRESULT style: 0 success, negative failure.
#include <cstdint>

namespace QV {

using QVResult = int32_t;

inline constexpr QVResult S_OK = 0;
inline constexpr QVResult E_FAIL = static_cast<QVResult>(0x80004005u);
inline constexpr QVResult E_INVALIDARG = static_cast<QVResult>(0x80070057u);
inline constexpr QVResult E_NOTIMPL = static_cast<QVResult>(0x80004001u);
inline constexpr QVResult E_OUTOFMEMORY = static_cast<QVResult>(0x8007000Eu);

// A success that changed nothing: the state was already so, or there was
// nothing to act on.
inline constexpr QVResult kNothingToDo = 1;
// What an input handler answers for an event it leaves alone: the event goes
// on to the next in line (a sibling, the parent, the hot keys).
inline constexpr QVResult kNotHandled = 1;

constexpr bool Failed(QVResult r) { return r < 0; }
constexpr bool Succeeded(QVResult r) { return r >= 0; }

}  // namespace QV
