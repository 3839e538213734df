#include "DebugDatagramSender.h"

#include <string>

namespace QV {

namespace {

constexpr const char* kFallbackAddress = "127.0.0.1";

std::string ChooseDestination(std::string_view hostName)
{
    if (auto given = Platform::ResolveHostIpv4(std::string(hostName))) {
        return *given;
    }
    if (auto own = Platform::ResolveHostIpv4(Platform::GetOwnHostName())) {
        return *own;
    }
    return kFallbackAddress;
}

}  // namespace

void DebugDatagramSender::Open(std::string_view hostName, uint16_t port)
{
    const std::string address = ChooseDestination(hostName);
    if (!mSocket.SetDestination(address, port) || !mSocket.Open()) {
        return;
    }
    mSocket.Send("*** APPLICATION Launched on ");
    mSocket.Send(address);
    mSocket.Send("***\n");
}

void DebugDatagramSender::Send(std::string_view hostName, int32_t port, std::string_view text)
{
    if (port <= 0 || port > 0xFFFF) {
        return;
    }
    if (!mSocket.IsOpen()) {
        Open(hostName, static_cast<uint16_t>(port));
    }
    if (!text.empty()) {
        mSocket.Send(text);
    }
}

DebugDatagramSender& GetDebugDatagramSender()
{
    static DebugDatagramSender* sender = new DebugDatagramSender;
    return *sender;
}

void SendDebugDatagram(const char* hostName, int32_t port, const char* text)
{
    GetDebugDatagramSender().Send(hostName ? hostName : "", port, text ? text : "");
}

}  // namespace QV
