// Threads, sleeping and priority on POSIX systems, shared by every backend built for them.
#include "platform/midi.h"

#include <cerrno>
#include <ctime>
#include <new>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

struct PlatformThread {
    pthread_t handle;
    void (*entry)(void*);
    void* arg;
};

namespace {

void* thread_main(void* raw) {
    auto* thread = static_cast<PlatformThread*>(raw);
    thread->entry(thread->arg);
    return nullptr;
}

bool start_with_policy(PlatformThread* thread, bool realtime) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    if (realtime) {
        sched_param param{};
        param.sched_priority = sched_get_priority_min(SCHED_FIFO) + 10;
        pthread_attr_setinheritsched(&attr, PTHREAD_EXPLICIT_SCHED);
        pthread_attr_setschedpolicy(&attr, SCHED_FIFO);
        pthread_attr_setschedparam(&attr, &param);
    }
    int result = pthread_create(&thread->handle, &attr, thread_main, thread);
    pthread_attr_destroy(&attr);
    return result == 0;
}

} // namespace

PlatformThread* platform_thread_start(void (*entry)(void*), void* arg, bool realtime) {
    auto* thread = new (std::nothrow) PlatformThread{};
    if (!thread) {
        return nullptr;
    }
    thread->entry = entry;
    thread->arg = arg;
    // Real-time scheduling needs a privilege most users lack: fall back to a normal thread.
    if ((realtime && start_with_policy(thread, true)) || start_with_policy(thread, false)) {
        return thread;
    }
    delete thread;
    return nullptr;
}

void platform_thread_join(PlatformThread* thread) {
    if (thread) {
        pthread_join(thread->handle, nullptr);
        delete thread;
    }
}

void platform_sleep_ms(uint32_t ms) {
    timespec wait{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
}

void platform_priority_raise(bool raised) {
    // A lower nice value needs privilege; when refused the process simply keeps its own.
    setpriority(PRIO_PROCESS, 0, raised ? -10 : 0);
}
