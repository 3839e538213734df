#pragma once
// What a capture port and a render port share: their requested and system
// names, the open handle, the comm that owns them, finding their device by
// name and leaving the comm's list. Direction holds the services' calls of
// one direction; the two directions are instantiated in LMidiPort.cpp.
#include <atomic>
#include <cstdint>

#include "MidiServices.h"
#include "RCPtr.h"
#include "RefCountedObject.h"
#include "StringT.h"

namespace QV {

class LMidiComm;
template <class Direction>
class LMidiPort;

struct MidiCaptureDirection {
    using Handle = Platform::Midi::HMIDIIN;
    using Caps = Platform::Midi::MidiInCaps;
    static uint32_t Count(Platform::Midi::MidiServices& services) { return services.InGetNumDevs(); }
    static uint32_t GetCaps(Platform::Midi::MidiServices& services, uint32_t id, Caps& caps)
    {
        return services.InGetDevCaps(id, caps);
    }
    static uint32_t GetCaps(Platform::Midi::MidiServices& services, Handle handle, Caps& caps)
    {
        return services.InGetDevCaps(handle, caps);
    }
    [[nodiscard]] static QVResult Leave(LMidiComm& owner, const LMidiPort<MidiCaptureDirection>* port);
};

struct MidiRenderDirection {
    using Handle = Platform::Midi::HMIDIOUT;
    using Caps = Platform::Midi::MidiOutCaps;
    static uint32_t Count(Platform::Midi::MidiServices& services) { return services.OutGetNumDevs(); }
    static uint32_t GetCaps(Platform::Midi::MidiServices& services, uint32_t id, Caps& caps)
    {
        return services.OutGetDevCaps(id, caps);
    }
    static uint32_t GetCaps(Platform::Midi::MidiServices& services, Handle handle, Caps& caps)
    {
        return services.OutGetDevCaps(handle, caps);
    }
    [[nodiscard]] static QVResult Leave(LMidiComm& owner, const LMidiPort<MidiRenderDirection>* port);
};

template <class Direction>
class LMidiPort : public virtual LRefCountedObject {
public:
    using Handle = typename Direction::Handle;

    LMidiPort(const LMidiPort&) = delete;
    LMidiPort& operator=(const LMidiPort&) = delete;

    // Leaves the comm's list.
    [[nodiscard]] QVResult ReleaseInternalReferences() override;

    // Whether the open device still answers.
    bool IsDeviceAnswering();

    bool IsOpen() const { return GetHandle() != nullptr; }
    Handle GetHandle() const { return mHandle.load(std::memory_order_acquire); }
    const String& GetRequestedName() const { return mRequestedName; }
    String GetSystemName() const;
    // Under the comm's lock.
    const String& GetSystemNameLocked() const { return mSystemName; }

protected:
    LMidiPort(const String& requestedName, const RCPtr<LMidiComm>& owner);
    ~LMidiPort() override = default;

    // The first device whose name matches the requested name; each name
    // looked at becomes the system name. False when none matches.
    bool FindDevice(uint32_t& id);
    // Under the comm's lock.
    void SetHandleLocked(Handle handle) { mHandle.store(handle, std::memory_order_release); }
    void SetHandle(Handle handle);
    Platform::Midi::MidiServices& Services() const;
    uintptr_t CallbackInstance() const { return reinterpret_cast<uintptr_t>(mOwner.Get()); }

    RCPtr<LMidiComm> mOwner;

private:
    void SetSystemName(const char16_t* name);

    const String mRequestedName;
    String mSystemName;
    std::atomic<Handle> mHandle{nullptr};
};

extern template class LMidiPort<MidiCaptureDirection>;
extern template class LMidiPort<MidiRenderDirection>;

}  // namespace QV
