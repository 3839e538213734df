// The other process of the two-process tests, acting as the editor's start:
//   single_instance_probe <folder> <name> listen <ready-file>
//     must be the first instance; creates ready-file once it listens, prints
//     the first text handed over and exits 0 (2 when none comes in 20 s).
//   single_instance_probe <folder> <name> send <text>
//     exits -1 after a running instance took the text, 2 when one runs but
//     did not take it, 1 when it would run as a full instance.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>

#include "InstanceGuard.h"

using Platform::SingleInstance::InstanceGuard;

namespace {

int Listen(const char* folder, const char* name, const char* readyFile)
{
    std::mutex lock;
    std::condition_variable woken;
    bool wake = false;
    InstanceGuard guard(
        name,
        [&] {
            std::lock_guard hold(lock);
            wake = true;
            woken.notify_one();
        },
        std::string(folder));
    if (guard.Acquire() != InstanceGuard::Role::kFirst || !guard.IsListening()) return 3;
    std::ofstream(readyFile) << "ready\n";
    std::unique_lock hold(lock);
    if (!woken.wait_for(hold, std::chrono::seconds(20), [&] { return wake; })) return 2;
    for (const std::string& text : guard.TakeReceived()) std::cout << text << '\n';
    return 0;
}

int Send(const char* folder, const char* name, const char* text)
{
    InstanceGuard guard(name, nullptr, std::string(folder));
    if (guard.Acquire() == InstanceGuard::Role::kFirst) return 1;
    return guard.SendToRunning(text) ? -1 : 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[3], "listen") == 0) return Listen(argv[1], argv[2], argv[4]);
    if (argc == 5 && std::strcmp(argv[3], "send") == 0) return Send(argv[1], argv[2], argv[4]);
    std::fprintf(stderr, "usage: %s <folder> <name> listen <ready-file> | send <text>\n", argv[0]);
    return 64;
}
