// The offline synthesizer's waiting messages: a sorted list over one byte store, compacted once
// most of it has been taken, so a long render does not keep every message it ever played.
#include "platform/synth_due_queue.h"

namespace {

// Drops what was taken; the byte store keeps only the waiting messages' bytes.
void compact(DueQueue& queue) {
    if (queue.head == 0) {
        return;
    }
    if (queue.head == queue.list.size()) {
        queue.list.clear();
        queue.bytes.clear();
        queue.head = 0;
        return;
    }
    std::vector<uint8_t> kept;
    kept.reserve(queue.bytes.size());
    std::vector<DueMessage> waiting(queue.list.begin() + static_cast<ptrdiff_t>(queue.head),
                                    queue.list.end());
    for (DueMessage& message : waiting) {
        uint32_t at = static_cast<uint32_t>(kept.size());
        kept.insert(kept.end(), queue.bytes.begin() + message.at,
                    queue.bytes.begin() + message.at + message.length);
        message.at = at;
    }
    queue.list.swap(waiting);
    queue.bytes.swap(kept);
    queue.head = 0;
}

} // namespace

void due_queue_reset(DueQueue& queue) {
    queue.list.clear();
    queue.bytes.clear();
    queue.head = 0;
}

void due_queue_add(DueQueue& queue, int64_t due, const uint8_t* bytes, uint32_t length) {
    if (queue.head > 0 && queue.head * 2 >= queue.list.size()) {
        compact(queue);
    }
    DueMessage message;
    message.due = due;
    message.at = static_cast<uint32_t>(queue.bytes.size());
    message.length = length;
    queue.bytes.insert(queue.bytes.end(), bytes, bytes + length);
    // Messages come nearly in due order, so the place is found from the back.
    size_t place = queue.list.size();
    while (place > queue.head && queue.list[place - 1].due > due) {
        place--;
    }
    queue.list.insert(queue.list.begin() + static_cast<ptrdiff_t>(place), message);
}

const DueMessage* due_queue_take(DueQueue& queue, int64_t before) {
    if (queue.head == queue.list.size() || queue.list[queue.head].due >= before) {
        return nullptr;
    }
    return &queue.list[queue.head++];
}

size_t due_queue_waiting(const DueQueue& queue) {
    return queue.list.size() - queue.head;
}
