// CRC-32 (IEEE) of firmware pieces as they arrive: the same result as fwmake::Crc32, folded with
// carry-less multiplication where the processor has it, so that checking an image costs the
// receiving loop little beside reading it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace devsim {

uint32_t FirmwareCrc32(uint32_t crc, const void* data, size_t n);

} // namespace devsim
