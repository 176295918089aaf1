// The check sum that closes every MMF file: CRC-16 with polynomial 0x1021, initial value
// 0xFFFF, each byte entering at the high end, the result inverted.
#pragma once

#include <cstddef>
#include <cstdint>

uint16_t mmf_crc16(const uint8_t* data, size_t length);
