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
template <typename Device>
MMRESULT CallWithHeader(const std::shared_ptr<Device>& device, MMRESULT (Device::*call)(MidiHeader*),
                        MidiHeader* header, std::uint32_t headerSize)
{
    if (!device) {
        return MMSYSERR_INVALHANDLE;
    }
    return headerSize == sizeof(MidiHeader) ? ((*device).*call)(header) : MMSYSERR_INVALPARAM;
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
    // Destroyed outside the lock: a callback still running may look a handle up.
    std::map<HMIDIIN, std::shared_ptr<MidiInputDevice>> inputs;
    std::map<HMIDIOUT, std::shared_ptr<MidiOutputDevice>> outputs;
    {
        std::lock_guard lock(mMutex);
        inputs.swap(mInputs);
        outputs.swap(mOutputs);
    }
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

std::shared_ptr<MidiInputDevice> MidiServices::FindInput(HMIDIIN handle)
{
    std::lock_guard lock(mMutex);
    const auto it = mInputs.find(handle);
    return it == mInputs.end() ? nullptr : it->second;
}

std::shared_ptr<MidiOutputDevice> MidiServices::FindOutput(HMIDIOUT handle)
{
    std::lock_guard lock(mMutex);
    const auto it = mOutputs.find(handle);
    return it == mOutputs.end() ? nullptr : it->second;
}

std::uint32_t MidiServices::InGetNumDevs()
{
    std::size_t count = 0;
    for (const auto& driver : mDrivers) {
        count += driver->InputNames().size();
    }
    return static_cast<std::uint32_t>(count);
}

MMRESULT MidiServices::InGetDevCaps(std::uint32_t deviceId, MidiInCaps& caps)
{
    Port port;
    if (!FindPort(true, deviceId, port)) {
        return MMSYSERR_BADDEVICEID;
    }
    CopyPortName(port.name, caps.szPname);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiServices::InGetDevCaps(HMIDIIN handle, MidiInCaps& caps)
{
    const auto device = FindInput(handle);
    if (!device) {
        return MMSYSERR_INVALHANDLE;
    }
    if (!device->IsPresent()) {
        return MMSYSERR_NODRIVER;
    }
    std::lock_guard lock(mMutex);
    const auto name = mInputNames.find(handle);
    if (name == mInputNames.end()) {
        return MMSYSERR_INVALHANDLE;
    }
    CopyPortName(name->second, caps.szPname);
    return MMSYSERR_NOERROR;
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
    Port port;
    if (!FindPort(true, deviceId, port)) {
        return MMSYSERR_BADDEVICEID;
    }
    auto device = std::make_shared<MidiInputDevice>((flags & CALLBACK_FUNCTION) ? callback : nullptr, instance);
    {
        std::lock_guard lock(mMutex);
        mInputs[device.get()] = device;
        mInputNames[device.get()] = port.name;
    }
    // The handle is valid before MIM_OPEN reaches the callback.
    *handle = device.get();
    const MMRESULT result = device->Open(*port.driver, port.index);
    if (result != MMSYSERR_NOERROR) {
        std::lock_guard lock(mMutex);
        mInputs.erase(device.get());
        mInputNames.erase(device.get());
        *handle = nullptr;
    }
    return result;
}

MMRESULT MidiServices::InPrepareHeader(HMIDIIN handle, MidiHeader* header, std::uint32_t headerSize)
{
    return CallWithHeader(FindInput(handle), &MidiInputDevice::PrepareHeader, header, headerSize);
}

MMRESULT MidiServices::InUnprepareHeader(HMIDIIN handle, MidiHeader* header, std::uint32_t headerSize)
{
    return CallWithHeader(FindInput(handle), &MidiInputDevice::UnprepareHeader, header, headerSize);
}

MMRESULT MidiServices::InAddBuffer(HMIDIIN handle, MidiHeader* header, std::uint32_t headerSize)
{
    return CallWithHeader(FindInput(handle), &MidiInputDevice::AddBuffer, header, headerSize);
}

MMRESULT MidiServices::InStart(HMIDIIN handle)
{
    const auto device = FindInput(handle);
    return device ? device->Start() : MMSYSERR_INVALHANDLE;
}

MMRESULT MidiServices::InStop(HMIDIIN handle)
{
    const auto device = FindInput(handle);
    return device ? device->Stop() : MMSYSERR_INVALHANDLE;
}

MMRESULT MidiServices::InReset(HMIDIIN handle)
{
    const auto device = FindInput(handle);
    return device ? device->Reset() : MMSYSERR_INVALHANDLE;
}

MMRESULT MidiServices::InClose(HMIDIIN handle)
{
    const auto device = FindInput(handle);
    if (!device) {
        return MMSYSERR_INVALHANDLE;
    }
    const MMRESULT result = device->Close();
    if (result == MMSYSERR_NOERROR) {
        std::lock_guard lock(mMutex);
        mInputs.erase(handle);
        mInputNames.erase(handle);
    }
    return result;
}

std::uint32_t MidiServices::OutGetNumDevs()
{
    std::size_t count = 0;
    for (const auto& driver : mDrivers) {
        count += driver->OutputNames().size();
    }
    return static_cast<std::uint32_t>(count);
}

MMRESULT MidiServices::OutGetDevCaps(std::uint32_t deviceId, MidiOutCaps& caps)
{
    Port port;
    if (!FindPort(false, deviceId, port)) {
        return MMSYSERR_BADDEVICEID;
    }
    CopyPortName(port.name, caps.szPname);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiServices::OutGetDevCaps(HMIDIOUT handle, MidiOutCaps& caps)
{
    const auto device = FindOutput(handle);
    if (!device) {
        return MMSYSERR_INVALHANDLE;
    }
    if (!device->IsPresent()) {
        return MMSYSERR_NODRIVER;
    }
    std::lock_guard lock(mMutex);
    const auto name = mOutputNames.find(handle);
    if (name == mOutputNames.end()) {
        return MMSYSERR_INVALHANDLE;
    }
    CopyPortName(name->second, caps.szPname);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiServices::OutOpen(HMIDIOUT* handle, std::uint32_t deviceId, MidiOutProc callback, std::uintptr_t instance,
                               std::uint32_t flags)
{
    if (handle == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    *handle = nullptr;
    if (const MMRESULT result = CheckOpenFlags(flags & ~MIDI_IO_STATUS, callback != nullptr);
        result != MMSYSERR_NOERROR || (flags & MIDI_IO_STATUS)) {
        return result != MMSYSERR_NOERROR ? result : MMSYSERR_INVALFLAG;
    }
    Port port;
    if (!FindPort(false, deviceId, port)) {
        return MMSYSERR_BADDEVICEID;
    }
    auto device = std::make_shared<MidiOutputDevice>((flags & CALLBACK_FUNCTION) ? callback : nullptr, instance);
    {
        std::lock_guard lock(mMutex);
        mOutputs[device.get()] = device;
        mOutputNames[device.get()] = port.name;
    }
    *handle = device.get();
    const MMRESULT result = device->Open(*port.driver, port.index);
    if (result != MMSYSERR_NOERROR) {
        std::lock_guard lock(mMutex);
        mOutputs.erase(device.get());
        mOutputNames.erase(device.get());
        *handle = nullptr;
    }
    return result;
}

MMRESULT MidiServices::OutShortMsg(HMIDIOUT handle, std::uint32_t message)
{
    const auto device = FindOutput(handle);
    return device ? device->ShortMsg(message) : MMSYSERR_INVALHANDLE;
}

MMRESULT MidiServices::OutPrepareHeader(HMIDIOUT handle, MidiHeader* header, std::uint32_t headerSize)
{
    return CallWithHeader(FindOutput(handle), &MidiOutputDevice::PrepareHeader, header, headerSize);
}

MMRESULT MidiServices::OutUnprepareHeader(HMIDIOUT handle, MidiHeader* header, std::uint32_t headerSize)
{
    return CallWithHeader(FindOutput(handle), &MidiOutputDevice::UnprepareHeader, header, headerSize);
}

MMRESULT MidiServices::OutLongMsg(HMIDIOUT handle, MidiHeader* header, std::uint32_t headerSize)
{
    return CallWithHeader(FindOutput(handle), &MidiOutputDevice::LongMsg, header, headerSize);
}

MMRESULT MidiServices::OutReset(HMIDIOUT handle)
{
    const auto device = FindOutput(handle);
    return device ? device->Reset() : MMSYSERR_INVALHANDLE;
}

MMRESULT MidiServices::OutClose(HMIDIOUT handle)
{
    const auto device = FindOutput(handle);
    if (!device) {
        return MMSYSERR_INVALHANDLE;
    }
    const MMRESULT result = device->Close();
    if (result == MMSYSERR_NOERROR) {
        std::lock_guard lock(mMutex);
        mOutputs.erase(handle);
        mOutputNames.erase(handle);
    }
    return result;
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
        const char* simulator = std::getenv("TARSEL_SIMULATOR");
        if (simulator == nullptr || std::strcmp(simulator, "0") != 0) {
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
