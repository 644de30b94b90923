#include "TestDatabases.h"
#include "custom/BmpFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {
std::vector<std::uint8_t> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
} // namespace

TEST(BmpFile, A640By480CaptureIsTopDownWithItsPixelsInOrder)
{
    TemporaryFolder folder;
    const std::uint32_t width = 640, height = 480;
    // Rows wider than the image (as a screen image's stride may be) are cut to the width.
    const std::size_t stride = width * 4 + 16;
    std::vector<std::uint8_t> pixels(stride * height, 0xee);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint8_t* p = &pixels[y * stride + x * 4];
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>(x ^ y);
            p[3] = 0xff;
        }
    const std::string path = folder.file("capture.bmp");
    ASSERT_TRUE(writeBmpFile(path, width, height, pixels.data(), stride));

    const auto bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), 54u + 1228800u);
    BmpInfo info;
    ASSERT_TRUE(readBmpHeader(bytes, info));
    EXPECT_EQ(info.fileSize, 54u + 1228800u);
    EXPECT_EQ(info.pixelOffset, 54u);
    EXPECT_EQ(info.width, 640);
    EXPECT_EQ(info.height, -480);
    EXPECT_EQ(info.imageSize, 1228800u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(bytes[26], 1) << "one plane";
    for (std::size_t at = 38; at < 54; ++at)
        EXPECT_EQ(bytes[at], 0) << "resolution and palette counts at " << at;

    // Row 0 of the file is the top row of the image.
    for (auto [x, y] : {std::pair{0u, 0u}, {639u, 0u}, {17u, 300u}, {639u, 479u}}) {
        const std::size_t at = 54 + (std::size_t{y} * width + x) * 4;
        EXPECT_EQ(bytes[at], static_cast<std::uint8_t>(x));
        EXPECT_EQ(bytes[at + 1], static_cast<std::uint8_t>(y));
        EXPECT_EQ(bytes[at + 2], static_cast<std::uint8_t>(x ^ y));
    }
}

TEST(BmpFile, AFileThatCannotBeWrittenIsReportedAndNotLeftBehind)
{
    TemporaryFolder folder;
    std::vector<std::uint8_t> pixels(4 * 4 * 4, 1);
    EXPECT_FALSE(writeBmpFile(folder.file("missing/capture.bmp"), 4, 4, pixels.data(), 16));
    EXPECT_FALSE(writeBmpFile(folder.file("zero.bmp"), 0, 4, pixels.data(), 16));
    EXPECT_FALSE(writeBmpFile(folder.file("short.bmp"), 4, 4, pixels.data(), 8)) << "stride below the width";
    BmpInfo info;
    EXPECT_FALSE(readBmpHeader(std::vector<std::uint8_t>(53, 0), info));
}
