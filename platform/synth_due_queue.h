// Messages the offline synthesizer holds until the sample frame they are due at, kept in due
// order (equal dues in the order sent), so each can be applied at the block nearest its time.
// Implemented in: synth_due_queue.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct DueMessage {
    int64_t due = 0; // sample frame
    uint32_t at = 0; // first byte in DueQueue::bytes
    uint32_t length = 0;
};

// Owned by the one thread that renders (it alone adds and takes).
struct DueQueue {
    std::vector<DueMessage> list; // from `head` on: waiting, in due order
    std::vector<uint8_t> bytes;
    size_t head = 0;
};

void due_queue_reset(DueQueue& queue);
void due_queue_add(DueQueue& queue, int64_t due, const uint8_t* bytes, uint32_t length);
// The earliest waiting message if it is due before `before` (its bytes stay valid until the
// next add or take), or null; taken off the queue.
const DueMessage* due_queue_take(DueQueue& queue, int64_t before);
size_t due_queue_waiting(const DueQueue& queue);
