#include "BmpFile.h"

#include <cstdio>
#include <memory>

namespace {
void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t value)
{
    out[at] = static_cast<std::uint8_t>(value & 0xff);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xff);
}

std::uint32_t get32(const std::vector<std::uint8_t>& in, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | in[at + i];
    return value;
}

std::uint16_t get16(const std::vector<std::uint8_t>& in, std::size_t at)
{
    return static_cast<std::uint16_t>(in[at] | (in[at + 1] << 8));
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
} // namespace

std::vector<std::uint8_t> bmpHeader(std::uint32_t width, std::uint32_t height)
{
    std::vector<std::uint8_t> header(BmpHeaderSize, 0);
    const std::uint32_t imageSize = width * height * 4;
    put16(header, 0, 19778); // "BM"
    put32(header, 2, static_cast<std::uint32_t>(BmpHeaderSize) + imageSize);
    put32(header, 10, static_cast<std::uint32_t>(BmpHeaderSize));
    put32(header, 14, 40);
    put32(header, 18, width);
    put32(header, 22, static_cast<std::uint32_t>(-static_cast<std::int32_t>(height)));
    put16(header, 26, 1);
    put16(header, 28, 32);
    put32(header, 34, imageSize);
    return header;
}

bool writeBmpFile(const std::string& path, std::uint32_t width, std::uint32_t height, const std::uint8_t* pixels,
                  std::size_t stride)
{
    // Four bytes a pixel and a 32-bit size field: larger images cannot be described.
    if (width == 0 || height == 0 || pixels == nullptr || stride < std::size_t{width} * 4
        || std::uint64_t{width} * height * 4 > 0x7fffffffULL - BmpHeaderSize)
        return false;
    bool written = false;
    {
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
        if (!file)
            return false;
        const std::vector<std::uint8_t> header = bmpHeader(width, height);
        written = std::fwrite(header.data(), 1, header.size(), file.get()) == header.size();
        for (std::uint32_t row = 0; written && row < height; ++row)
            written = std::fwrite(pixels + row * stride, 4, width, file.get()) == width;
        written = std::fflush(file.get()) == 0 && written;
    }
    if (!written)
        std::remove(path.c_str());
    return written;
}

bool readBmpHeader(const std::vector<std::uint8_t>& bytes, BmpInfo& info)
{
    if (bytes.size() < BmpHeaderSize || get16(bytes, 0) != 19778 || get32(bytes, 14) != 40)
        return false;
    info.fileSize = get32(bytes, 2);
    info.pixelOffset = get32(bytes, 10);
    info.width = static_cast<std::int32_t>(get32(bytes, 18));
    info.height = static_cast<std::int32_t>(get32(bytes, 22));
    info.bitsPerPixel = get16(bytes, 28);
    info.imageSize = get32(bytes, 34);
    return info.bitsPerPixel == 32;
}
