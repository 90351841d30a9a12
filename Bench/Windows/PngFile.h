#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// Writes 8-bit RGB pixels, rows top to bottom, as a PNG file. The image data is stored without
// compression (deflate's stored blocks): the bench's pictures are few and small, and the writer
// needs no library. False, with the reason, when the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb,
              std::string& error);

} // namespace bench
