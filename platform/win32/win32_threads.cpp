// Threads, sleeping and the process priority class on Windows.
#include "platform/midi.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
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

namespace {

// Touched by the frame's thread (waiting) and any thread that wakes it.
struct Waiter {
    std::mutex lock;
    std::condition_variable woken;
    bool wake_pending = false;
};

Waiter g_waiter;

} // namespace

void platform_wait_ms(uint32_t ms) {
    std::unique_lock<std::mutex> guard(g_waiter.lock);
    g_waiter.woken.wait_for(guard, std::chrono::milliseconds(ms),
                            [] { return g_waiter.wake_pending; });
    g_waiter.wake_pending = false;
}

void platform_wake_waiter() {
    {
        std::lock_guard<std::mutex> guard(g_waiter.lock);
        g_waiter.wake_pending = true;
    }
    g_waiter.woken.notify_one();
}

void platform_priority_raise(bool raised) {
    SetPriorityClass(GetCurrentProcess(), raised ? HIGH_PRIORITY_CLASS : NORMAL_PRIORITY_CLASS);
}
