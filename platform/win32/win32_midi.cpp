// MIDI ports through winmm: output devices and the MIDI mapper, long messages with one
// prepared header per device, and input through a function callback whose messages a small
// thread hands to the program in arrival order.
#include "platform/midi_event_ring.h"
#include "platform/win32/win32_gui.h"
#include "songcore/midi_bytes.h"

#include <windows.h>

#include <atomic>
#include <mmsystem.h>
#include <shellapi.h>

namespace {

constexpr int MAX_DEVICES = 8;
constexpr int OUT_SLOTS = MAX_DEVICES + 1; // slot 0 is the mapper
constexpr uint32_t LONG_BUFFER_BYTES = 102400;
constexpr int IN_LONG_BUFFERS = 2; // one is filled while the other is handed over
constexpr const wchar_t* DEMO_SONG = L"zbdemo7.mid";
// A record in the input ring that stands for a filled exclusive buffer: the exclusive status
// and the buffer's index. Short input never starts with that status, so it cannot be mistaken.
constexpr uint32_t LONG_MARK_BYTES = 2;

struct OutSlot {
    HMIDIOUT handle = nullptr;
    MIDIHDR header{};
    uint8_t* buffer = nullptr; // LONG_BUFFER_BYTES, allocated on the first long message
    bool header_prepared = false;
};

// Threads: output is used by the frame routine (window or playback thread, never both at once);
// input's ring is filled on winmm's callback thread and emptied by `drain`; open and close run
// on the thread that picks the device, with the callback stopped.
struct WinmmMidi {
    OutSlot out[OUT_SLOTS];
    HMIDIIN in_handle = nullptr;
    MIDIHDR in_headers[IN_LONG_BUFFERS] = {};
    uint8_t* in_buffers[IN_LONG_BUFFERS] = {};
    MidiEventRing in_ring;
    HANDLE in_signal = nullptr; // set by the callback after each put
    HANDLE in_thread = nullptr;
    std::atomic<bool> in_closing{false};
    MidiInCallbacks callbacks{};
};

WinmmMidi g_winmm;

int slot_of(int device) {
    if (device == MIDI_MAPPER_DEVICE) {
        return 0;
    }
    return device >= 0 && device < MAX_DEVICES ? device + 1 : -1;
}

UINT_PTR system_device(int device) {
    return device == MIDI_MAPPER_DEVICE ? MIDI_MAPPER : static_cast<UINT_PTR>(device);
}

bool name_copy(const wchar_t* wide, char* out, size_t out_size) {
    if (out_size == 0) {
        return false;
    }
    std::string name = win32_sjis_from_wide(wide);
    size_t n = name.size() < out_size - 1 ? name.size() : out_size - 1;
    name.copy(out, n);
    out[n] = '\0';
    return true;
}

int out_count() {
    UINT count = midiOutGetNumDevs();
    return count > MAX_DEVICES ? MAX_DEVICES : static_cast<int>(count);
}

bool out_name(int device, char* out, size_t out_size) {
    if (slot_of(device) < 0) {
        return false;
    }
    MIDIOUTCAPSW caps{};
    if (midiOutGetDevCapsW(system_device(device), &caps, sizeof caps) != MMSYSERR_NOERROR) {
        return false;
    }
    return name_copy(caps.szPname, out, out_size);
}

bool file_present(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The element the sequencer device is probed with: the song named on the command line, else
// the demo song beside the program. Neither there: the device alone, so a missing song file
// does not pass for a missing sequencer.
std::wstring probe_element() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring song;
    for (int i = 1; arguments != nullptr && i < count; i++) {
        if (arguments[i][0] != L'-') {
            song = arguments[i];
            break;
        }
    }
    LocalFree(arguments);
    if (!song.empty() && file_present(song)) {
        return song;
    }
    wchar_t module[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::wstring();
    }
    std::wstring demo(module, length);
    size_t slash = demo.find_last_of(L"\\/");
    demo = (slash == std::wstring::npos ? std::wstring() : demo.substr(0, slash + 1)) + DEMO_SONG;
    return file_present(demo) ? demo : std::wstring();
}

// Port 0 is the mapper only when the system's sequencer device opens.
bool mapper_available() {
    std::wstring element = probe_element();
    MCI_OPEN_PARMSW open{};
    open.lpstrDeviceType = L"sequencer";
    DWORD_PTR flags = MCI_OPEN_TYPE;
    if (!element.empty()) {
        open.lpstrElementName = element.c_str();
        flags |= MCI_OPEN_ELEMENT;
    }
    MCIERROR error = mciSendCommandW(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&open));
    if (error != 0) {
        return false;
    }
    mciSendCommandW(MCI_ALL_DEVICE_ID, MCI_CLOSE, 0, 0);
    return true;
}

bool out_open(int device) {
    int slot = slot_of(device);
    if (slot < 0) {
        return false;
    }
    OutSlot& s = g_winmm.out[slot];
    if (s.handle != nullptr) {
        return true;
    }
    HMIDIOUT handle = nullptr;
    if (midiOutOpen(&handle, static_cast<UINT>(system_device(device)), 0, 0, CALLBACK_NULL) !=
        MMSYSERR_NOERROR) {
        return false;
    }
    s = OutSlot{};
    s.handle = handle;
    return true;
}

void out_short(int device, const uint8_t* bytes, int length) {
    int slot = slot_of(device);
    if (slot < 0 || g_winmm.out[slot].handle == nullptr || length < 1 || length > 3) {
        return;
    }
    DWORD packed = 0;
    for (int i = 0; i < length; i++) {
        packed |= static_cast<DWORD>(bytes[i]) << (8 * i);
    }
    midiOutShortMsg(g_winmm.out[slot].handle, packed);
}

bool header_done(const MIDIHDR& header) {
    return (header.dwFlags & MHDR_DONE) != 0;
}

bool out_long(int device, const uint8_t* bytes, uint32_t length) {
    int slot = slot_of(device);
    if (slot < 0 || g_winmm.out[slot].handle == nullptr || length == 0 ||
        length > LONG_BUFFER_BYTES) {
        return false;
    }
    OutSlot& s = g_winmm.out[slot];
    // The buffer still belongs to the driver until it marks the last message done.
    if (s.header_prepared && !header_done(s.header)) {
        return false;
    }
    if (s.header_prepared) {
        midiOutUnprepareHeader(s.handle, &s.header, sizeof s.header);
        s.header_prepared = false;
    }
    if (s.buffer == nullptr) {
        s.buffer =
            static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, LONG_BUFFER_BYTES));
        if (s.buffer == nullptr) {
            return false;
        }
    }
    CopyMemory(s.buffer, bytes, length);
    s.header = MIDIHDR{};
    s.header.lpData = reinterpret_cast<LPSTR>(s.buffer);
    s.header.dwBufferLength = length;
    if (midiOutPrepareHeader(s.handle, &s.header, sizeof s.header) != MMSYSERR_NOERROR) {
        return false;
    }
    s.header_prepared = true;
    if (midiOutLongMsg(s.handle, &s.header, sizeof s.header) != MMSYSERR_NOERROR) {
        midiOutUnprepareHeader(s.handle, &s.header, sizeof s.header);
        s.header_prepared = false;
        return false;
    }
    return true;
}

bool out_long_done(int device) {
    int slot = slot_of(device);
    if (slot < 0) {
        return true;
    }
    const OutSlot& s = g_winmm.out[slot];
    return !s.header_prepared || header_done(s.header);
}

void out_close(int device) {
    int slot = slot_of(device);
    if (slot < 0 || g_winmm.out[slot].handle == nullptr) {
        return;
    }
    OutSlot& s = g_winmm.out[slot];
    // A reset ends every sounding note and hands back a long message still in flight.
    midiOutReset(s.handle);
    if (s.header_prepared) {
        midiOutUnprepareHeader(s.handle, &s.header, sizeof s.header);
    }
    midiOutClose(s.handle);
    if (s.buffer != nullptr) {
        HeapFree(GetProcessHeap(), 0, s.buffer);
    }
    s = OutSlot{};
}

int in_count() {
    UINT count = midiInGetNumDevs();
    return count > MAX_DEVICES ? MAX_DEVICES : static_cast<int>(count);
}

bool in_name(int device, char* out, size_t out_size) {
    if (device < 0 || device >= MAX_DEVICES) {
        return false;
    }
    MIDIINCAPSW caps{};
    if (midiInGetDevCapsW(static_cast<UINT>(device), &caps, sizeof caps) != MMSYSERR_NOERROR) {
        return false;
    }
    return name_copy(caps.szPname, out, out_size);
}

// winmm's callback thread: only the ring and SetEvent here, as winmm asks of callbacks.
void CALLBACK on_input(HMIDIIN, UINT message, DWORD_PTR, DWORD_PTR param1, DWORD_PTR) {
    if (message == MIM_DATA) {
        uint8_t bytes[3] = {static_cast<uint8_t>(param1), static_cast<uint8_t>(param1 >> 8),
                            static_cast<uint8_t>(param1 >> 16)};
        midi_event_ring_put(g_winmm.in_ring, bytes, 3);
        SetEvent(g_winmm.in_signal);
    } else if (message == MIM_LONGDATA) {
        auto* header = reinterpret_cast<MIDIHDR*>(param1);
        uint8_t mark[LONG_MARK_BYTES] = {STATUS_EXCLUSIVE, static_cast<uint8_t>(header->dwUser)};
        midi_event_ring_put(g_winmm.in_ring, mark, LONG_MARK_BYTES);
        SetEvent(g_winmm.in_signal);
    }
}

void long_buffer_hand_over(uint8_t index) {
    if (index >= IN_LONG_BUFFERS) {
        return;
    }
    MIDIHDR& header = g_winmm.in_headers[index];
    bool closing = g_winmm.in_closing.load();
    if (!closing && header.dwBytesRecorded > 0 && g_winmm.callbacks.long_message) {
        g_winmm.callbacks.long_message(reinterpret_cast<const uint8_t*>(header.lpData),
                                       header.dwBytesRecorded);
    }
    // Back to the device for the next message, unless input is being closed.
    if (!closing) {
        midiInAddBuffer(g_winmm.in_handle, &header, sizeof header);
    }
}

void drain() {
    uint8_t message[MIDI_EVENT_MAX_BYTES];
    while (uint32_t length = midi_event_ring_take(g_winmm.in_ring, message)) {
        if (length == LONG_MARK_BYTES && message[0] == STATUS_EXCLUSIVE) {
            long_buffer_hand_over(message[1]);
        } else if (!g_winmm.in_closing.load() && g_winmm.callbacks.short_message) {
            g_winmm.callbacks.short_message(message[0] | (message[1] << 8) | (message[2] << 16));
        }
    }
}

DWORD WINAPI input_thread(LPVOID) {
    for (;;) {
        WaitForSingleObject(g_winmm.in_signal, INFINITE);
        drain();
        if (g_winmm.in_closing.load()) {
            return 0;
        }
    }
}

void in_release() {
    for (int i = 0; i < IN_LONG_BUFFERS; i++) {
        if (g_winmm.in_handle != nullptr && (g_winmm.in_headers[i].dwFlags & MHDR_PREPARED)) {
            midiInUnprepareHeader(g_winmm.in_handle, &g_winmm.in_headers[i], sizeof(MIDIHDR));
        }
        if (g_winmm.in_buffers[i] != nullptr) {
            HeapFree(GetProcessHeap(), 0, g_winmm.in_buffers[i]);
        }
        g_winmm.in_buffers[i] = nullptr;
        g_winmm.in_headers[i] = MIDIHDR{};
    }
    if (g_winmm.in_handle != nullptr) {
        midiInClose(g_winmm.in_handle);
        g_winmm.in_handle = nullptr;
    }
    if (g_winmm.in_signal != nullptr) {
        CloseHandle(g_winmm.in_signal);
        g_winmm.in_signal = nullptr;
    }
    g_winmm.callbacks = {};
}

void in_close() {
    if (g_winmm.in_handle == nullptr) {
        return;
    }
    g_winmm.in_closing.store(true);
    midiInStop(g_winmm.in_handle);
    midiInReset(g_winmm.in_handle); // hands every exclusive buffer back, marked done
    if (g_winmm.in_thread != nullptr) {
        SetEvent(g_winmm.in_signal);
        WaitForSingleObject(g_winmm.in_thread, INFINITE);
        CloseHandle(g_winmm.in_thread);
        g_winmm.in_thread = nullptr;
    }
    in_release();
}

// The first failing step's code, or 0 when the device is open and started.
int in_open(int device, const MidiInCallbacks& callbacks) {
    in_close();
    if (device < 0 || device >= in_count()) {
        return MMSYSERR_BADDEVICEID;
    }
    midi_event_ring_reset(g_winmm.in_ring);
    g_winmm.in_closing.store(false);
    g_winmm.callbacks = callbacks;
    g_winmm.in_signal = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (g_winmm.in_signal == nullptr) {
        in_release();
        return MMSYSERR_NOMEM;
    }
    MMRESULT result = midiInOpen(&g_winmm.in_handle, static_cast<UINT>(device),
                                 reinterpret_cast<DWORD_PTR>(on_input), 0, CALLBACK_FUNCTION);
    if (result != MMSYSERR_NOERROR) {
        g_winmm.in_handle = nullptr;
        in_release();
        return static_cast<int>(result);
    }
    midiInReset(g_winmm.in_handle);
    for (int i = 0; i < IN_LONG_BUFFERS && result == MMSYSERR_NOERROR; i++) {
        g_winmm.in_buffers[i] =
            static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, LONG_BUFFER_BYTES));
        if (g_winmm.in_buffers[i] == nullptr) {
            result = MMSYSERR_NOMEM;
            break;
        }
        MIDIHDR& header = g_winmm.in_headers[i];
        header.lpData = reinterpret_cast<LPSTR>(g_winmm.in_buffers[i]);
        header.dwBufferLength = LONG_BUFFER_BYTES;
        header.dwUser = static_cast<DWORD_PTR>(i);
        result = midiInPrepareHeader(g_winmm.in_handle, &header, sizeof header);
        if (result == MMSYSERR_NOERROR) {
            result = midiInAddBuffer(g_winmm.in_handle, &header, sizeof header);
        }
    }
    if (result == MMSYSERR_NOERROR) {
        g_winmm.in_thread = CreateThread(nullptr, 0, input_thread, nullptr, 0, nullptr);
        if (g_winmm.in_thread == nullptr) {
            result = MMSYSERR_NOMEM;
        }
    }
    if (result == MMSYSERR_NOERROR) {
        result = midiInStart(g_winmm.in_handle);
    }
    if (result != MMSYSERR_NOERROR) {
        in_close();
        in_release();
        return static_cast<int>(result);
    }
    return 0;
}

} // namespace

const PlatformMidiBackend WINMM_MIDI_BACKEND = {
    .out_count = out_count,
    .out_name = out_name,
    .mapper_available = mapper_available,
    .out_open = out_open,
    .out_short = out_short,
    .out_long = out_long,
    .out_long_done = out_long_done,
    .out_close = out_close,
    .in_count = in_count,
    .in_name = in_name,
    .in_open = in_open,
    .in_close = in_close,
};
