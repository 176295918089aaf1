// The whole image of a state record, for tests that check a record came back exactly.
#pragma once

#include "tests/support/smf_builder.h"

#include <type_traits>

template <typename Record> Bytes record_bytes(const Record& record) {
    static_assert(std::is_trivially_copyable_v<Record>);
    const auto* first = reinterpret_cast<const uint8_t*>(&record);
    return Bytes(first, first + sizeof record);
}
