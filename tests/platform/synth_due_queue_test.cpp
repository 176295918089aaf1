// The offline synthesizer's waiting messages against a plain model: taken in due order, equal
// dues in the order added, bytes intact across the compaction a long render goes through.
#include "platform/synth_due_queue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

struct Model {
    int64_t due;
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> taken_bytes(const DueQueue& queue, const DueMessage& m) {
    return {queue.bytes.begin() + m.at, queue.bytes.begin() + m.at + m.length};
}

TEST(SynthDueQueue, TakesInDueOrderAndEqualDuesInTheOrderAdded) {
    DueQueue queue;
    const uint8_t a[] = {0x90, 60, 100};
    const uint8_t b[] = {0x80, 60, 0};
    const uint8_t c[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
    due_queue_add(queue, 500, a, 3);
    due_queue_add(queue, 100, c, sizeof c);
    due_queue_add(queue, 500, b, 3);
    EXPECT_EQ(due_queue_take(queue, 100), nullptr); // due at 100 is not before 100
    const DueMessage* m = due_queue_take(queue, 101);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(taken_bytes(queue, *m), std::vector<uint8_t>(c, c + sizeof c));
    EXPECT_EQ(due_queue_take(queue, 500), nullptr);
    m = due_queue_take(queue, 501);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(taken_bytes(queue, *m), std::vector<uint8_t>(a, a + 3));
    m = due_queue_take(queue, 501);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(taken_bytes(queue, *m), std::vector<uint8_t>(b, b + 3));
    EXPECT_EQ(due_queue_take(queue, INT64_MAX), nullptr);
    EXPECT_EQ(due_queue_waiting(queue), 0u);
}

// Adds nearly in order, as a render does, and takes up to a moving boundary; the model is a
// stable sort of everything waiting.
TEST(SynthDueQueue, ALongRunMatchesAStableSortOfWhatWaits) {
    DueQueue queue;
    std::vector<Model> model;
    std::mt19937 random(47);
    int64_t now = 0;
    size_t most_bytes = 0;
    for (int step = 0; step < 20000; step++) {
        int adds = static_cast<int>(random() % 4);
        for (int i = 0; i < adds; i++) {
            int64_t due = now + static_cast<int64_t>(random() % 300) - 100;
            std::vector<uint8_t> bytes(1 + random() % 12);
            for (uint8_t& byte : bytes) {
                byte = static_cast<uint8_t>(random());
            }
            due_queue_add(queue, due, bytes.data(), static_cast<uint32_t>(bytes.size()));
            model.push_back({due, bytes});
        }
        now += 64;
        std::stable_sort(model.begin(), model.end(),
                         [](const Model& x, const Model& y) { return x.due < y.due; });
        size_t due_now = 0;
        while (due_now < model.size() && model[due_now].due < now) {
            due_now++;
        }
        for (size_t i = 0; i < due_now; i++) {
            const DueMessage* m = due_queue_take(queue, now);
            ASSERT_NE(m, nullptr) << "step " << step;
            ASSERT_EQ(m->due, model[i].due);
            ASSERT_EQ(taken_bytes(queue, *m), model[i].bytes) << "step " << step;
        }
        ASSERT_EQ(due_queue_take(queue, now), nullptr);
        model.erase(model.begin(), model.begin() + static_cast<ptrdiff_t>(due_now));
        ASSERT_EQ(due_queue_waiting(queue), model.size());
        most_bytes = std::max(most_bytes, queue.bytes.size());
    }
    // What was taken does not pile up: a few hundred messages of at most 12 bytes wait at once.
    EXPECT_LT(most_bytes, 20000u);
}

} // namespace
