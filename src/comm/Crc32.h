// The CRC-32 that zlib and zip files use (reflected polynomial 0xEDB88320): the check of the program's
// own binary files.
#pragma once
#include <cstdint>
#include <string_view>

namespace comm {

uint32_t Crc32(std::string_view bytes);

}  // namespace comm
