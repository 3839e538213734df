#pragma once
// Debug builds keep a register of the counted objects that are alive: each
// enters at its first acquisition and leaves at the release that ends it.
// Tests read it to see that nothing they made outlives them. Release builds
// keep nothing and answer empty.
#include <cstdint>
#include <map>
#include <string>

namespace QV {

class LRefCountedObject;

namespace LiveObjects {

#ifdef NDEBUG
inline constexpr bool kTracked = false;
inline void Add(const LRefCountedObject*) {}
inline void Remove(const LRefCountedObject*) {}
#else
inline constexpr bool kTracked = true;
void Add(const LRefCountedObject* object);
void Remove(const LRefCountedObject* object);
#endif
// For an object that is made on first use and kept until the process ends
// by design: it leaves the register, as it outlives every test.
inline void KeepForProcess(const LRefCountedObject* object)
{
    Remove(object);
}

// The serial of the newest object registered so far.
uint64_t Mark();
// Objects registered after `mark` and still alive, counted by class name.
std::map<std::string, int> CountByClass(uint64_t mark = 0);

}  // namespace LiveObjects
}  // namespace QV
