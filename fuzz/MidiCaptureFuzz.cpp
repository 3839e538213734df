// Raw MIDI bytes from a keyboard, through the whole capture chain: the
// services' input device and its parser, the comm's System Exclusive
// assembly in 256-byte buffers, and delivery on the pool's worker. Every
// System Exclusive message that the bytes hold whole must arrive exactly
// as sent, and nothing else may arrive as one.
#include <sched.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "FuzzCheck.h"
#include "LMidiCaptureNotificationData.h"
#include "LMidiCapturePort.h"
#include "LMidiComm.h"
#include "LNotification.h"
#include "LNotificationClient.h"
#include "MidiDriver.h"
#include "MidiServices.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace Platform::Midi;

// One input port whose bytes the fuzzer hands over.
class FuzzDriver final : public MidiDriver {
public:
    std::vector<std::string> InputNames() override { return {"Tarsel Fuzz"}; }
    std::vector<std::string> OutputNames() override { return {}; }
    MMRESULT OpenInput(std::size_t, MidiInputSink& sink, std::unique_ptr<MidiDriverInput>& input) override
    {
        std::lock_guard lock(mMutex);
        mSink = &sink;
        input = std::make_unique<Input>(*this);
        return MMSYSERR_NOERROR;
    }
    MMRESULT OpenOutput(std::size_t, std::unique_ptr<MidiDriverOutput>&) override { return MMSYSERR_BADDEVICEID; }

    void Feed(const uint8_t* data, std::size_t size)
    {
        std::lock_guard lock(mMutex);
        if (mSink != nullptr) mSink->OnBytes(data, size);
    }

private:
    class Input final : public MidiDriverInput {
    public:
        explicit Input(FuzzDriver& driver) : mDriver(driver) {}
        ~Input() override
        {
            std::lock_guard lock(mDriver.mMutex);
            mDriver.mSink = nullptr;
        }
        bool IsPresent() const override { return true; }

    private:
        FuzzDriver& mDriver;
    };

    std::mutex mMutex;
    MidiInputSink* mSink = nullptr;
};

// Ends whatever the input left open, then a message that marks the end.
const Bytes kTail = {0xF6, 0xF0, 0x7D, 0x46, 0x55, 0x5A, 0xF7};
const Bytes kMarker = {0xF0, 0x7D, 0x46, 0x55, 0x5A, 0xF7};

class Recorder final : public QV::LNotificationClient {
    QV_TYPE_NAME("class Recorder")

public:
    QV::QVResult ReceiveNotification(const QV::RCPtr<QV::LNotificationDistributor>&,
                                     const QV::RCPtr<QV::LNotification>& notification) override
    {
        const auto data = QV::RCPtr<QV::LMidiCaptureNotificationData>::DynamicCast(notification->GetPayload());
        Check(data.Get() != nullptr);
        const auto* first = reinterpret_cast<const uint8_t*>(data->GetBytes().GetData());
        std::unique_lock lock(mMutex);
        mCaptured.emplace_back(first, first + data->GetBytes().GetCount());
        if (mCaptured.back() != kMarker || ++mMarkers != mAwaitedMarkers) return QV::S_OK;
        // Only the last marker wakes the input's thread: a wake for every
        // message cost it a switch each, and the chain's threads a processor.
        mParked = true;
        lock.unlock();
        mChanged.notify_one();
        lock.lock();
        // The worker waits here for the next input: what it then frees of
        // this delivery, and allocates to wait for more, counts to that input
        // like the rest of its work. Each input frees what it allocated, so
        // the fuzzer has no cause to run it again and search for a leak.
        mChanged.wait(lock, [&] { return !mParked; });
        return QV::S_OK;
    }

    // Before an input's bytes go in: how many markers it ends after. Lets
    // the worker go on from the last input's marker.
    void Expect(std::size_t markers)
    {
        {
            std::lock_guard lock(mMutex);
            mMarkers = 0;
            mAwaitedMarkers = markers;
            mParked = false;
        }
        mChanged.notify_all();
    }

    // Everything captured up to and including the last marker.
    std::vector<Bytes> Take()
    {
        std::unique_lock lock(mMutex);
        Check(mChanged.wait_for(lock, std::chrono::seconds(20), [&] { return mParked; }));
        return std::exchange(mCaptured, {});
    }

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::vector<Bytes> mCaptured;
    std::size_t mMarkers = 0;
    std::size_t mAwaitedMarkers = 0;
    bool mParked = false;
};

// The System Exclusive messages a stream holds whole: F0, data bytes with
// real-time bytes anywhere among them, F7. Any other status byte cuts one.
std::vector<Bytes> WholeSysEx(const Bytes& stream)
{
    std::vector<Bytes> messages;
    Bytes current;
    bool inside = false;
    for (const uint8_t byte : stream) {
        if (byte >= 0xF8) continue;
        if (byte == 0xF0) {
            current.assign(1, byte);
            inside = true;
        } else if (inside && (byte < 0x80 || byte == 0xF7)) {
            current.push_back(byte);
            if (byte == 0xF7) {
                messages.push_back(current);
                inside = false;
            }
        } else {
            inside = false;
        }
    }
    return messages;
}

// The chain hands every message from thread to thread. On processors of
// their own each hand-over waits for a sleeping processor to wake, which
// cost more than the work; on one processor a thread takes over at once.
// The chain's threads start later and keep the calling thread's processor.
bool KeepToOneProcessor()
{
    const int current = sched_getcpu();
    if (current < 0) return false;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(current, &one);
    return sched_setaffinity(0, sizeof(one), &one) == 0;
}

struct Chain {
    Chain()
    {
        comm = QV::LMidiComm::Create();
        Check(comm->OpenCapturePort(u"tarsel fuzz", port) == QV::S_OK);
        recorder = QV::RCPtr<Recorder>(new Recorder);
        recorder->RegisterNotification(QV::RCPtr<QV::LNotificationDistributor>(comm),
                                       QV::LMidiComm::kDataCapturedNotification);
    }

    // First: no thread of the chain may start before.
    const bool oneProcessor = KeepToOneProcessor();
    std::shared_ptr<FuzzDriver> driver = std::make_shared<FuzzDriver>();
    MidiServices services{{driver}};
    ScopedMidiServices scope{services};
    QV::RCPtr<QV::LMidiComm> comm;
    QV::RCPtr<QV::LMidiCapturePort> port;
    QV::RCPtr<Recorder> recorder;
};

// Messages per input at most; the stream ends before the next.
constexpr std::size_t kMaxMessagesPerInput = 6;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Kept for the whole run: the chain lives as long as the process.
    static Chain* const chain = new Chain;
    if (size == 0 || size > 4096) return 0;

    // The first byte picks how the driver cuts the stream into runs.
    const std::size_t run = 1 + data[0] % 64;
    Bytes stream(data + 1, data + size);
    // Each message costs thread hand-overs on the pool; a few per input keep
    // the run fast, and any length of System Exclusive data is still fed.
    std::size_t messages = 0;
    bool inSysEx = false;
    const auto cut = std::find_if(stream.begin(), stream.end(), [&](uint8_t byte) {
        if (byte == 0xF0) inSysEx = true;
        else if (byte >= 0x80 && byte < 0xF8) inSysEx = false;
        // Counted high: any byte that may start or finish a message outside System Exclusive.
        const bool counts = byte >= 0xF8 || (!inSysEx && byte != 0xF7) || byte == 0xF0;
        return counts && ++messages > kMaxMessagesPerInput;
    });
    stream.erase(cut, stream.end());
    stream.insert(stream.end(), kTail.begin(), kTail.end());

    const std::vector<Bytes> expected = WholeSysEx(stream);
    std::size_t markers = 0;
    for (const Bytes& m : expected) markers += m == kMarker;
    chain->recorder->Expect(markers);
    for (std::size_t at = 0; at < stream.size(); at += run) {
        chain->driver->Feed(stream.data() + at, std::min(run, stream.size() - at));
    }

    std::vector<Bytes> captured;
    for (const Bytes& message : chain->recorder->Take()) {
        Check(!message.empty());
        if (message[0] == 0xF0) {
            captured.push_back(message);
        } else {
            // A short message: its status byte and at most two data bytes.
            Check(message[0] >= 0x80 && message.size() <= 3);
            for (std::size_t i = 1; i < message.size(); ++i) Check(message[i] < 0x80);
        }
    }
    Check(captured == expected);
    return 0;
}
