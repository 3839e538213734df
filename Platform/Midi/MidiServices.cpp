#include "MidiServices.h"

#include "AlsaMidiDriver.h"
#include "LoopbackMidiDriver.h"
#include "MidiInputDevice.h"
#include "MidiOutputDevice.h"
#include "TarselKeyboard.h"
#include "UtfConversion.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace Platform::Midi {
namespace {

std::atomic<MidiServices*> overrideServices{nullptr};

MMRESULT CheckOpenFlags(std::uint32_t flags, bool hasCallback)
{
    const std::uint32_t kind = flags & 0x70000;
    if ((flags & ~(0x70000u | MIDI_IO_STATUS)) != 0 || (kind != CALLBACK_NULL && kind != CALLBACK_FUNCTION)) {
        return MMSYSERR_INVALFLAG;
    }
    if (kind == CALLBACK_FUNCTION && !hasCallback) {
        return MMSYSERR_INVALPARAM;
    }
    return MMSYSERR_NOERROR;
}

std::vector<std::string> Names(MidiDriver& driver, bool input)
{
    return input ? driver.InputNames() : driver.OutputNames();
}

// A header call on an open handle's device; a header size other than the
// services' own is refused.
template <typename Device, typename Call>
MMRESULT CallWithHeader(const std::shared_ptr<Device>& device, Call call, MidiHeader* header,
                        std::uint32_t headerSize)
{
    if (!device) {
        return MMSYSERR_INVALHANDLE;
    }
    return headerSize == sizeof(MidiHeader) ? ((*device).*call)(header) : MMSYSERR_INVALPARAM;
}

// A call on an open handle's device.
template <class Device, class Call>
MMRESULT CallOn(const std::shared_ptr<Device>& device, Call call)
{
    return device ? ((*device).*call)() : MMSYSERR_INVALHANDLE;
}

}  // namespace

void CopyPortName(const std::string& utf8, char16_t (&name)[MAXPNAMELEN])
{
    const std::u16string wide = QV::Utf8ToUtf16(utf8);
    std::size_t length = std::min(wide.size(), MAXPNAMELEN - 1);
    if (length > 0 && length < wide.size() && wide[length - 1] >= 0xD800 && wide[length - 1] <= 0xDBFF) {
        --length;
    }
    std::fill(std::begin(name), std::end(name), u'\0');
    std::copy(wide.begin(), wide.begin() + static_cast<std::ptrdiff_t>(length), name);
}

MidiServices::MidiServices(std::vector<std::shared_ptr<MidiDriver>> drivers) : mDrivers(std::move(drivers)) {}

MidiServices::~MidiServices()
{
    mInputs.Clear();
    mOutputs.Clear();
}

bool MidiServices::FindPort(bool input, std::uint32_t deviceId, Port& port)
{
    std::size_t first = 0;
    for (const auto& driver : mDrivers) {
        const auto names = Names(*driver, input);
        if (deviceId < first + names.size()) {
            port = {driver.get(), deviceId - first, names[deviceId - first]};
            return true;
        }
        first += names.size();
    }
    return false;
}

std::uint32_t MidiServices::CountPorts(bool input)
{
    std::size_t count = 0;
    for (const auto& driver : mDrivers) {
        count += Names(*driver, input).size();
    }
    return static_cast<std::uint32_t>(count);
}

template <class Caps>
MMRESULT MidiServices::GetDevCaps(bool input, std::uint32_t deviceId, Caps& caps)
{
    Port port;
    if (!FindPort(input, deviceId, port)) {
        return MMSYSERR_BADDEVICEID;
    }
    CopyPortName(port.name, caps.szPname);
    return MMSYSERR_NOERROR;
}

template <class Device, class Caps>
MMRESULT MidiServices::GetDevCaps(const OpenDevices<Device>& devices, Device* handle, Caps& caps)
{
    const auto device = devices.Find(handle);
    if (!device) {
        return MMSYSERR_INVALHANDLE;
    }
    if (!device->IsPresent()) {
        return MMSYSERR_NODRIVER;
    }
    std::string name;
    if (!devices.FindName(handle, name)) {
        return MMSYSERR_INVALHANDLE;
    }
    CopyPortName(name, caps.szPname);
    return MMSYSERR_NOERROR;
}

template <class Device, class Proc>
MMRESULT MidiServices::Open(OpenDevices<Device>& devices, bool input, Device** handle, std::uint32_t deviceId,
                            Proc callback, std::uintptr_t instance, std::uint32_t flags)
{
    Port port;
    if (!FindPort(input, deviceId, port)) {
        return MMSYSERR_BADDEVICEID;
    }
    auto device = std::make_shared<Device>((flags & CALLBACK_FUNCTION) ? callback : nullptr, instance);
    devices.Add(device, port.name);
    // The handle is valid before the open message reaches the callback.
    *handle = device.get();
    const MMRESULT result = device->Open(*port.driver, port.index);
    if (result != MMSYSERR_NOERROR) {
        devices.Remove(device.get());
        *handle = nullptr;
    }
    return result;
}

template <class Device>
MMRESULT MidiServices::Close(OpenDevices<Device>& devices, Device* handle)
{
    const auto device = devices.Find(handle);
    if (!device) {
        return MMSYSERR_INVALHANDLE;
    }
    const MMRESULT result = device->Close();
    if (result == MMSYSERR_NOERROR) {
        devices.Remove(handle);
    }
    return result;
}

std::uint32_t MidiServices::InGetNumDevs()
{
    return CountPorts(true);
}

MMRESULT MidiServices::InGetDevCaps(std::uint32_t deviceId, MidiInCaps& caps)
{
    return GetDevCaps(true, deviceId, caps);
}

MMRESULT MidiServices::InGetDevCaps(HMIDIIN handle, MidiInCaps& caps)
{
    return GetDevCaps(mInputs, handle, caps);
}

MMRESULT MidiServices::InOpen(HMIDIIN* handle, std::uint32_t deviceId, MidiInProc callback, std::uintptr_t instance,
                              std::uint32_t flags)
{
    if (handle == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    *handle = nullptr;
    if (const MMRESULT result = CheckOpenFlags(flags, callback != nullptr); result != MMSYSERR_NOERROR) {
        return result;
    }
    return Open(mInputs, true, handle, deviceId, callback, instance, flags);
}

MMRESULT MidiServices::InPrepareHeader(HMIDIIN handle, MidiHeader* header, std::uint32_t headerSize)
{
    return CallWithHeader(mInputs.Find(handle), &MidiInputDevice::PrepareHeader, header, headerSize);
}

MMRESULT MidiServices::InUnprepareHeader(HMIDIIN handle, MidiHeader* header, std::uint32_t headerSize)
{
    return CallWithHeader(mInputs.Find(handle), &MidiInputDevice::UnprepareHeader, header, headerSize);
}

MMRESULT MidiServices::InAddBuffer(HMIDIIN handle, MidiHeader* header, std::uint32_t headerSize)
{
    return CallWithHeader(mInputs.Find(handle), &MidiInputDevice::AddBuffer, header, headerSize);
}

MMRESULT MidiServices::InStart(HMIDIIN handle)
{
    return CallOn(mInputs.Find(handle), &MidiInputDevice::Start);
}

MMRESULT MidiServices::InStop(HMIDIIN handle)
{
    return CallOn(mInputs.Find(handle), &MidiInputDevice::Stop);
}

MMRESULT MidiServices::InReset(HMIDIIN handle)
{
    return CallOn(mInputs.Find(handle), &MidiInputDevice::Reset);
}

MMRESULT MidiServices::InClose(HMIDIIN handle)
{
    return Close(mInputs, handle);
}

std::uint32_t MidiServices::OutGetNumDevs()
{
    return CountPorts(false);
}

MMRESULT MidiServices::OutGetDevCaps(std::uint32_t deviceId, MidiOutCaps& caps)
{
    return GetDevCaps(false, deviceId, caps);
}

MMRESULT MidiServices::OutGetDevCaps(HMIDIOUT handle, MidiOutCaps& caps)
{
    return GetDevCaps(mOutputs, handle, caps);
}

MMRESULT MidiServices::OutOpen(HMIDIOUT* handle, std::uint32_t deviceId, MidiOutProc callback, std::uintptr_t instance,
                               std::uint32_t flags)
{
    if (handle == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    *handle = nullptr;
    // An output has no status messages to ask for.
    if (const MMRESULT result = CheckOpenFlags(flags & ~MIDI_IO_STATUS, callback != nullptr);
        result != MMSYSERR_NOERROR || (flags & MIDI_IO_STATUS)) {
        return result != MMSYSERR_NOERROR ? result : MMSYSERR_INVALFLAG;
    }
    return Open(mOutputs, false, handle, deviceId, callback, instance, flags);
}

MMRESULT MidiServices::OutShortMsg(HMIDIOUT handle, std::uint32_t message)
{
    const auto device = mOutputs.Find(handle);
    return device ? device->ShortMsg(message) : MMSYSERR_INVALHANDLE;
}

MMRESULT MidiServices::OutPrepareHeader(HMIDIOUT handle, MidiHeader* header, std::uint32_t headerSize)
{
    return CallWithHeader(mOutputs.Find(handle), &MidiOutputDevice::PrepareHeader, header, headerSize);
}

MMRESULT MidiServices::OutUnprepareHeader(HMIDIOUT handle, MidiHeader* header, std::uint32_t headerSize)
{
    return CallWithHeader(mOutputs.Find(handle), &MidiOutputDevice::UnprepareHeader, header, headerSize);
}

MMRESULT MidiServices::OutLongMsg(HMIDIOUT handle, MidiHeader* header, std::uint32_t headerSize)
{
    return CallWithHeader(mOutputs.Find(handle), &MidiOutputDevice::LongMsg, header, headerSize);
}

MMRESULT MidiServices::OutReset(HMIDIOUT handle)
{
    return CallOn(mOutputs.Find(handle), &MidiOutputDevice::Reset);
}

MMRESULT MidiServices::OutClose(HMIDIOUT handle)
{
    return Close(mOutputs, handle);
}

LoopbackMidiDriver* MidiServices::GetLoopback() const
{
    for (const auto& driver : mDrivers) {
        if (auto* loopback = dynamic_cast<LoopbackMidiDriver*>(driver.get())) {
            return loopback;
        }
    }
    return nullptr;
}

MidiServices& GetMidiServices()
{
    if (MidiServices* replaced = overrideServices.load()) {
        return *replaced;
    }
    // Never destroyed: ports may still be open while the process ends.
    static MidiServices* const services = [] {
        std::vector<std::shared_ptr<MidiDriver>> drivers{std::make_shared<AlsaMidiDriver>()};
        if (IsTarselSimulatorSwitchedOn()) {
            drivers.push_back(std::make_shared<LoopbackMidiDriver>(GetTarselKeyboard()));
        }
        return new MidiServices(std::move(drivers));
    }();
    return *services;
}

ScopedMidiServices::ScopedMidiServices(MidiServices& services) : mPrevious(overrideServices.exchange(&services)) {}

ScopedMidiServices::~ScopedMidiServices()
{
    overrideServices.store(mPrevious);
}

}  // namespace Platform::Midi
