#include "LMidiPort.h"

#include "LMidiCapturePort.h"
#include "LMidiComm.h"
#include "LMidiRenderPort.h"

namespace QV {

QVResult MidiCaptureDirection::Leave(LMidiComm& owner, const LMidiPort<MidiCaptureDirection>* port)
{
    return owner.RemoveCapturePort(static_cast<const LMidiCapturePort*>(port));
}

QVResult MidiRenderDirection::Leave(LMidiComm& owner, const LMidiPort<MidiRenderDirection>* port)
{
    return owner.RemoveRenderPort(static_cast<const LMidiRenderPort*>(port));
}

template <class Direction>
LMidiPort<Direction>::LMidiPort(const String& requestedName, const RCPtr<LMidiComm>& owner)
    : mOwner(owner), mRequestedName(requestedName)
{}

template <class Direction>
QVResult LMidiPort<Direction>::ReleaseInternalReferences()
{
    if (mOwner && GetInternalRefCount() > 0 && Succeeded(Direction::Leave(*mOwner, this))) {
        RemoveInternalReference();
    }
    return HeldOnlyByCaller();
}

template <class Direction>
bool LMidiPort<Direction>::IsDeviceAnswering()
{
    const Handle handle = GetHandle();
    typename Direction::Caps caps;
    return handle != nullptr && Direction::GetCaps(Services(), handle, caps) == Platform::Midi::MMSYSERR_NOERROR;
}

template <class Direction>
String LMidiPort<Direction>::GetSystemName() const
{
    Mutex::Lock lock(mOwner->GetLock());
    return mSystemName;
}

template <class Direction>
void LMidiPort<Direction>::SetSystemName(const char16_t* name)
{
    Mutex::Lock lock(mOwner->GetLock());
    mSystemName = String(name);
}

template <class Direction>
void LMidiPort<Direction>::SetHandle(Handle handle)
{
    Mutex::Lock lock(mOwner->GetLock());
    SetHandleLocked(handle);
}

template <class Direction>
Platform::Midi::MidiServices& LMidiPort<Direction>::Services() const
{
    return mOwner->GetServices();
}

template <class Direction>
bool LMidiPort<Direction>::FindDevice(uint32_t& id)
{
    const uint32_t count = Direction::Count(Services());
    for (id = 0; id < count; ++id) {
        typename Direction::Caps caps;
        Direction::GetCaps(Services(), id, caps);
        SetSystemName(caps.szPname);
        if (LMidiComm::IsNameMatch(String(caps.szPname), mRequestedName)) return true;
    }
    return false;
}

template class LMidiPort<MidiCaptureDirection>;
template class LMidiPort<MidiRenderDirection>;

}  // namespace QV
