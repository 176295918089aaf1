// The bounds-checked byte cursor of the binary readers.
#include "common/byte_cursor.h"

#include <cstring>

namespace {

void mark_overrun(ByteCursor& cursor) {
    cursor.overrun = true;
    cursor.pos = cursor.size;
}

uint32_t read_number(ByteCursor& cursor, int width, bool big_endian) {
    if (width < 1 || width > 4 || !cursor_has(cursor, static_cast<size_t>(width))) {
        mark_overrun(cursor);
        return 0;
    }
    size_t count = static_cast<size_t>(width);
    uint32_t value = 0;
    for (size_t i = 0; i < count; i++) {
        value = (value << 8) | cursor.data[cursor.pos + (big_endian ? i : count - 1 - i)];
    }
    cursor.pos += count;
    return value;
}

} // namespace

bool cursor_at_tag(const ByteCursor& cursor, const char* tag, size_t length) {
    return cursor_has(cursor, length) && memcmp(cursor.data + cursor.pos, tag, length) == 0;
}

uint8_t cursor_u8(ByteCursor& cursor) {
    return static_cast<uint8_t>(read_number(cursor, 1, true));
}

uint32_t cursor_be(ByteCursor& cursor, int width) {
    return read_number(cursor, width, true);
}

uint32_t cursor_le(ByteCursor& cursor, int width) {
    return read_number(cursor, width, false);
}

bool cursor_vlq(ByteCursor& cursor, uint32_t& value) {
    int used = vlq_decode(cursor.data + cursor.pos, cursor_remaining(cursor), value);
    if (used == VLQ_SHORT) {
        mark_overrun(cursor);
    }
    if (used <= 0) {
        return false;
    }
    cursor.pos += static_cast<size_t>(used);
    return true;
}

void cursor_skip(ByteCursor& cursor, size_t count) {
    if (!cursor_has(cursor, count)) {
        mark_overrun(cursor);
        return;
    }
    cursor.pos += count;
}

void cursor_seek(ByteCursor& cursor, size_t pos) {
    if (cursor.overrun || pos > cursor.size) {
        mark_overrun(cursor);
        return;
    }
    cursor.pos = pos;
}

const uint8_t* cursor_take(ByteCursor& cursor, size_t count) {
    if (!cursor_has(cursor, count)) {
        mark_overrun(cursor);
        return nullptr;
    }
    const uint8_t* start = cursor.data + cursor.pos;
    cursor.pos += count;
    return start;
}

ByteCursor cursor_sub(ByteCursor& cursor, size_t count) {
    size_t taken = count < cursor_remaining(cursor) ? count : cursor_remaining(cursor);
    ByteCursor sub = byte_cursor(cursor.data + cursor.pos, taken);
    if (taken < count) {
        mark_overrun(cursor);
    } else {
        cursor.pos += taken;
    }
    return sub;
}
