// The playback loop's wait and its early wake, over the standard library's condition variable
// on every system.
#include "platform/midi.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

// Any thread wakes, the waiting thread waits; `wake_pending` is read and written under `lock`
// only.
struct Waiter {
    std::mutex lock;
    std::condition_variable woken;
    bool wake_pending = false;
};

Waiter g_waiter;

} // namespace

// The tick count turns over on whole milliseconds, so the wait ends on such a boundary of the
// monotonic clock: the frame then sees the new tick at once instead of up to 1 ms later.
void platform_wait_ms(uint32_t ms) {
    using namespace std::chrono;
    auto tick_start = floor<milliseconds>(steady_clock::now());
    std::unique_lock<std::mutex> guard(g_waiter.lock);
    g_waiter.woken.wait_until(guard, tick_start + milliseconds(ms),
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
