// MIDI ports and the playback thread's primitives. Output devices are numbered 0..count-1 in
// the system's order; the mapper, where a system has one, is device MIDI_MAPPER_DEVICE.
// Implemented in: platform.cpp (the ports, through the chosen backend's table), posix_threads.cpp
// or win32/win32_threads.cpp (threads, sleeping and priority), frame_wait.cpp (the loop's wait).
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int MIDI_MAPPER_DEVICE = -1;

// Received input; both run on the thread the system delivers input on.
struct MidiInCallbacks {
    void (*short_message)(uint32_t packed); // status, data 1, data 2 in the low three bytes
    void (*long_message)(const uint8_t* bytes, uint32_t length);
};

int platform_midi_out_count();
bool platform_midi_out_name(int device, char* out, size_t out_size);
bool platform_midi_mapper_available();
bool platform_midi_out_open(int device);
void platform_midi_out_short(int device, const uint8_t* bytes, int length);
// Hands a system-exclusive message to the driver; false when it was refused.
bool platform_midi_out_long(int device, const uint8_t* bytes, uint32_t length);
// The driver has finished the last long message of the device.
bool platform_midi_out_long_done(int device);
// Ends every sounding note of the device and closes it.
void platform_midi_out_close(int device);

int platform_midi_in_count();
bool platform_midi_in_name(int device, char* out, size_t out_size);
// 0 when the device is open and started, else a non-zero error code.
int platform_midi_in_open(int device, const MidiInCallbacks& callbacks);
void platform_midi_in_close();

// Threads and timing of the playback loop.
struct PlatformThread;
// Starts a thread; with `realtime` it asks for real-time scheduling and starts as a normal
// thread when that is refused. Null when no thread could be started.
PlatformThread* platform_thread_start(void (*entry)(void*), void* arg, bool realtime);
void platform_thread_join(PlatformThread* thread);
void platform_sleep_ms(uint32_t ms);
// Waits until the tick count has moved on by `ms`; returns early once platform_wake_waiter is
// called (from any thread). A wake with nobody waiting makes the next wait return at once.
void platform_wait_ms(uint32_t ms);
void platform_wake_waiter();
// Raises the process's priority while music plays and lowers it again; ignored when refused.
void platform_priority_raise(bool raised);
