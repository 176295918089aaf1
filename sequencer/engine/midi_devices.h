// The MIDI device layer: output ports with the logical port map, one long message in flight,
// and the input device feeding a byte queue that the frame routine drains.
// Implemented in: midi_devices.cpp, midi_in_queue.cpp.
#pragma once
#include <atomic>
#include <cstdint>

constexpr int MAX_OUT_PORTS = 9;  // the mapper and up to 8 devices
constexpr int LOGICAL_PORTS = 10; // port numbers the songs and menus use
constexpr int MAX_IN_DEVICES = 8;
constexpr uint32_t SYSEX_BUFFER_SIZE = 102400;
constexpr uint32_t IN_QUEUE_SIZE = 102404;
// A short message is queued only while fewer bytes than this are waiting.
constexpr uint32_t IN_QUEUE_SHORT_LIMIT = 102397;
constexpr int DEVICE_NAME_SIZE = 64;

// Frames only, and the window thread while stopped (opening and closing the devices); the
// long-message buffer is handed to the platform, which reports its end through the backend.
struct MidiDevices {
    int out_port_count = 0;
    int out_device[MAX_OUT_PORTS] = {}; // platform device of each port (the mapper is -1)
    char out_names[MAX_OUT_PORTS][DEVICE_NAME_SIZE] = {};
    uint8_t port_map[LOGICAL_PORTS] = {}; // logical port -> port used
    int current_out_port = 0;             // port of messages not from a track
    uint8_t* sysex_out_buffer = nullptr;  // SYSEX_BUFFER_SIZE bytes while the outputs are open
    bool sysex_out_busy = false;
    int sysex_out_port = 0; // port of the long message in flight
    int in_dev_count = 0;
    char in_names[MAX_IN_DEVICES][DEVICE_NAME_SIZE] = {};
    int in_device = 0;
    int in_status = 0; // 0: input open and started
    uint8_t* in_long_buffer = nullptr;
};

// Filled on the thread that delivers input, drained by the frame routine: a single-producer
// single-consumer ring whose counters only grow, so a reader catching up never races a writer.
struct MidiInQueue {
    uint8_t bytes[IN_QUEUE_SIZE] = {};
    std::atomic<uint32_t> written{}; // bytes ever appended
    std::atomic<uint32_t> read{};    // bytes ever taken
    uint8_t in_running_status = 0;   // producer side: sizes running-status messages
};

extern MidiDevices g_midi_devices;
extern MidiInQueue g_midi_in_queue;
// Frees the device buffers, then a fresh record.
void midi_devices_reset();
// Built afresh in place: the counters are atomics. Input must be closed.
void midi_in_queue_reset();

void midi_out_open_all();
void midi_out_close_all();
// 1 when the port does not exist (nothing sent), else 0.
int midi_out_send(int port, const uint8_t* bytes, uint32_t length);
void midi_out_long(int port, const uint8_t* bytes, uint32_t length);
bool midi_out_long_busy();
// After the outputs are open: a saved port the system does not have falls back to port 0.
void midi_out_check_settings();

void midi_in_open();
void midi_in_close();
// Makes `device` the input and opens it again.
void midi_in_device_choose(int device);
// The logical port's device moves on to the next port, round.
void out_port_map_step(int port);
// The port of messages not from a track.
void out_port_choose(int port);
void on_midi_in_data(uint32_t message);
void on_midi_in_longdata(const uint8_t* bytes, uint32_t length);
// 0 when a byte was taken, 1 when the queue is empty.
int midi_in_read_byte(uint8_t& byte);
