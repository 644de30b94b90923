#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A 32-bit uncompressed bitmap file: the 14-byte file header and the 40-byte information header
// (height stored negative, rows top-down), then 4 bytes per pixel in blue, green, red, fourth
// byte order, exactly as the captured image holds them.

inline constexpr std::size_t BmpHeaderSize = 54;

// The 54 header bytes for an image of width x height pixels.
std::vector<std::uint8_t> bmpHeader(std::uint32_t width, std::uint32_t height);

// Writes the header and `height` rows of width x 4 bytes, row r starting at pixels + r x stride.
// False when the file cannot be created or written; a partly written file is removed.
bool writeBmpFile(const std::string& path, std::uint32_t width, std::uint32_t height, const std::uint8_t* pixels,
                  std::size_t stride);

// A file's header as read back; nothing when it is not a 32-bit top-down bitmap of this kind.
struct BmpInfo {
    std::uint32_t fileSize = 0;
    std::uint32_t pixelOffset = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t imageSize = 0;
};
bool readBmpHeader(const std::vector<std::uint8_t>& bytes, BmpInfo& info);
