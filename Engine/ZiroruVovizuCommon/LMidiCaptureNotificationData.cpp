#include "LMidiCaptureNotificationData.h"

#include <cstring>

#include "ReuseAllocator.h"

namespace QV {
namespace {

// Shared by every input callback thread, hence its own lock. Never
// destroyed: a comm's pool may still release captured data while the
// process ends.
ReuseAllocator<LMidiCaptureNotificationData, 4>& CaptureDataAllocator()
{
    static auto* const allocator = new ReuseAllocator<LMidiCaptureNotificationData, 4>(true);
    return *allocator;
}

}  // namespace

RCPtr<LMidiCaptureNotificationData> LMidiCaptureNotificationData::Create(const String& portName)
{
    return RCPtr<LMidiCaptureNotificationData>(new LMidiCaptureNotificationData(portName));
}

void* LMidiCaptureNotificationData::operator new(std::size_t size) { return CaptureDataAllocator().Allocate(size); }

void LMidiCaptureNotificationData::operator delete(void* block) { CaptureDataAllocator().Free(block); }

void LMidiCaptureNotificationData::AppendBytes(const uint8_t* bytes, uint32_t count)
{
    if (bytes == nullptr || count == 0) return;
    const uint32_t old = mBytes.GetCount();
    if (Failed(mBytes.SetCount(old + count))) return;
    std::memcpy(mBytes.GetData() + old, bytes, count);
}

}  // namespace QV
