// Threads, sleeping and the process priority class on Windows.
#include "platform/midi.h"

#include <new>
#include <windows.h>

struct PlatformThread {
    HANDLE handle;
    void (*entry)(void*);
    void* arg;
};

namespace {

DWORD WINAPI thread_main(LPVOID raw) {
    auto* thread = static_cast<PlatformThread*>(raw);
    thread->entry(thread->arg);
    return 0;
}

} // namespace

// Playback timing comes from the raised process priority class (platform_priority_raise); the
// thread itself keeps the normal priority within it, so `realtime` asks for nothing more.
PlatformThread* platform_thread_start(void (*entry)(void*), void* arg, bool /*realtime*/) {
    auto* thread = new (std::nothrow) PlatformThread{};
    if (!thread) {
        return nullptr;
    }
    thread->entry = entry;
    thread->arg = arg;
    thread->handle = CreateThread(nullptr, 0, thread_main, thread, 0, nullptr);
    if (thread->handle == nullptr) {
        delete thread;
        return nullptr;
    }
    return thread;
}

void platform_thread_join(PlatformThread* thread) {
    if (thread) {
        WaitForSingleObject(thread->handle, INFINITE);
        CloseHandle(thread->handle);
        delete thread;
    }
}

void platform_sleep_ms(uint32_t ms) {
    Sleep(ms);
}

void platform_priority_raise(bool raised) {
    SetPriorityClass(GetCurrentProcess(), raised ? HIGH_PRIORITY_CLASS : NORMAL_PRIORITY_CLASS);
}
