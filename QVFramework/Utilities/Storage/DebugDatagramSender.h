#pragma once
// The debug log's UDP transport: every flushed chunk of log text becomes one
// datagram to the endpoint given on the command line.
#include <cstdint>
#include <string_view>

#include "UdpSocket.h"

namespace QV {

class DebugDatagramSender {
public:
    // While no socket is open, each call first picks the destination (the
    // host, else the machine's own name, else "127.0.0.1"), opens the socket
    // and announces itself with "*** APPLICATION Launched on ", the dotted
    // address and "***\n". Then text, when not empty, goes out as one
    // datagram. An empty host means none; a port outside 1..65535 sends
    // nothing. Failures are dropped: the log never reports.
    void Send(std::string_view hostName, int32_t port, std::string_view text);

    bool HasSocket() const { return mSocket.IsOpen(); }

private:
    void Open(std::string_view hostName, uint16_t port);

    Platform::UdpSocket mSocket;
};

// The process-wide sender: made on first use, never closed, so that log text
// flushed while static objects are destroyed still goes out.
DebugDatagramSender& GetDebugDatagramSender();

// Sends through the process-wide sender. Null host or text mean none.
void SendDebugDatagram(const char* hostName, int32_t port, const char* text);

}  // namespace QV
