// The one bounds-checked cursor every binary reader reads through: fixed-width numbers in
// either byte order, variable-length quantities, skips and sub-cursors over chunk bodies.
#pragma once

#include <cstddef>
#include <cstdint>

// A window of bytes and the next position in it. Plain data: a reader may keep one in its
// state record and look at `pos` to say where something stood.
//
// Once a read, skip or seek passes the end, `overrun` is set for good: the cursor stands at
// the end and every later read gives 0, so a reader may read a whole record and test the
// flag once afterwards.
struct ByteCursor {
    const uint8_t* data = nullptr; // first byte of the window
    size_t size = 0;               // bytes in the window
    size_t pos = 0;                // next byte to read, 0..size
    bool overrun = false;
};

// These three run for every event a track walk reads, so they are inline.
inline ByteCursor byte_cursor(const uint8_t* data, size_t size) {
    return ByteCursor{data, data == nullptr ? 0 : size, 0, false};
}

inline size_t cursor_remaining(const ByteCursor& cursor) {
    return cursor.overrun || cursor.pos >= cursor.size ? 0 : cursor.size - cursor.pos;
}

// True when the next `count` bytes are there (false after an overrun).
inline bool cursor_has(const ByteCursor& cursor, size_t count) {
    return !cursor.overrun && count <= cursor_remaining(cursor);
}
// True when the bytes at the position are `tag`; never moves and never sets the flag.
bool cursor_at_tag(const ByteCursor& cursor, const char* tag, size_t length);

uint8_t cursor_u8(ByteCursor& cursor);
// A number of `width` bytes (1 to 4), most significant byte first (be) or last (le). A width
// outside 1..4 reads nothing and counts as an overrun.
uint32_t cursor_be(ByteCursor& cursor, int width);
uint32_t cursor_le(ByteCursor& cursor, int width);

// Longest variable-length quantity taken: 28 bits, the most SMF allows.
constexpr size_t VLQ_MAX_BYTES = 4;
constexpr int VLQ_SHORT = 0;     // the quantity runs past the bytes there are
constexpr int VLQ_TOO_LONG = -1; // a fourth byte still asks for more: the data is wrong

// The decoding of a variable-length quantity at `bytes`, `left` of them readable: the bytes it
// takes (1 to 4) with its value, or VLQ_SHORT / VLQ_TOO_LONG with value 0. Inline because a
// track walk decodes one for every event.
inline int vlq_decode(const uint8_t* bytes, size_t left, uint32_t& value) {
    uint32_t sum = 0;
    for (size_t i = 0; i < VLQ_MAX_BYTES; i++) {
        if (i >= left) {
            value = 0;
            return VLQ_SHORT;
        }
        uint8_t byte = bytes[i];
        sum = (sum << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0) {
            value = sum;
            return static_cast<int>(i) + 1;
        }
    }
    value = 0;
    return VLQ_TOO_LONG;
}

// A variable-length quantity of one to four bytes, seven bits each, high group first. False,
// with value 0, when it runs past the end (an overrun) or when a fourth byte still asks for
// more: then the data is wrong, not short, so the flag stays clear and the cursor stays put.
bool cursor_vlq(ByteCursor& cursor, uint32_t& value);

void cursor_skip(ByteCursor& cursor, size_t count);
// Moves to an absolute position in the window.
void cursor_seek(ByteCursor& cursor, size_t pos);
// The next `count` bytes as a pointer, moving past them; null when they are not all there.
const uint8_t* cursor_take(ByteCursor& cursor, size_t count);
// A cursor over the next `count` bytes (a chunk body), moving this one past them. When fewer
// are left, the sub-cursor holds what is there and this cursor overruns.
ByteCursor cursor_sub(ByteCursor& cursor, size_t count);
