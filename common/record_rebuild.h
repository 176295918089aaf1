// Building a state record afresh in place, for the records that hold atomics or a mutex and so
// cannot be assigned a fresh copy; every member then takes its default initialiser.
#pragma once

#include <memory>

// No other thread may touch the record meanwhile (the reset list runs with the others joined).
template <typename Record> void record_rebuild(Record& record) {
    std::destroy_at(&record);
    std::construct_at(&record);
}
