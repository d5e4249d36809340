// The pictures compiled into the resource library, read through its C interface and checked
// from their bytes alone (no image library): the PNG structure, the size in IHDR, and which
// ids have one.
#include "kvdres.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

std::uint32_t bigEndian32(const unsigned char* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
           std::uint32_t{p[3]};
}

std::uint32_t crc32(const unsigned char* p, std::size_t n) {
    std::uint32_t c = 0xffffffffu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
    }
    return c ^ 0xffffffffu;
}

// The bytes are a whole PNG file: signature, IHDR first, at least one IDAT, every chunk
// inside the data with a matching CRC, and IEND ending exactly at the last byte. Sets the
// size IHDR gives.
testing::AssertionResult isPng(const unsigned char* data, std::size_t size, std::uint32_t* width,
                               std::uint32_t* height) {
    if (!data)
        return testing::AssertionFailure() << "no data";
    if (size < sizeof kSignature || !std::equal(kSignature, kSignature + 8, data))
        return testing::AssertionFailure() << "no PNG signature";
    std::size_t pos = sizeof kSignature;
    int dataChunks = 0;
    while (size - pos >= 12) {
        const std::uint32_t length = bigEndian32(data + pos);
        const std::string type(reinterpret_cast<const char*>(data + pos + 4), 4);
        if (length > size - pos - 12)
            return testing::AssertionFailure() << type << " at " << pos << " runs past the end";
        if (crc32(data + pos + 4, length + 4) != bigEndian32(data + pos + 8 + length))
            return testing::AssertionFailure() << type << " at " << pos << ": CRC mismatch";
        if (pos == sizeof kSignature) {
            if (type != "IHDR" || length != 13)
                return testing::AssertionFailure() << "first chunk is " << type << ", not IHDR";
            *width = bigEndian32(data + pos + 8);
            *height = bigEndian32(data + pos + 12);
        }
        dataChunks += type == "IDAT";
        pos += 12 + length;
        if (type == "IEND") {
            if (pos != size)
                return testing::AssertionFailure() << size - pos << " bytes after IEND";
            if (dataChunks == 0)
                return testing::AssertionFailure() << "no IDAT";
            return testing::AssertionSuccess();
        }
    }
    return testing::AssertionFailure() << "no IEND";
}

std::vector<unsigned char> imageBytes(unsigned id) {
    std::size_t size = 0;
    const unsigned char* data = kvdres_image(id, &size);
    return data ? std::vector<unsigned char>(data, data + size) : std::vector<unsigned char>{};
}

testing::AssertionResult pictureOfSize(unsigned id, std::uint32_t w, std::uint32_t h) {
    const auto bytes = imageBytes(id);
    if (bytes.empty())
        return testing::AssertionFailure() << "no image " << id;
    std::uint32_t width = 0, height = 0;
    if (auto png = isPng(bytes.data(), bytes.size(), &width, &height); !png)
        return png << " (image " << id << ")";
    if (width != w || height != h)
        return testing::AssertionFailure()
               << "image " << id << " is " << width << "x" << height << ", not " << w << "x" << h;
    return testing::AssertionSuccess();
}

std::vector<unsigned> mainToolBarButtons() {
    const unsigned* commands = nullptr;
    const int n = kvdres_toolbar(128, &commands);
    std::vector<unsigned> buttons;
    for (int i = 0; i < n; ++i)
        if (commands[i] != 0)
            buttons.push_back(commands[i]);
    return buttons;
}

} // namespace

// The main frame shows image <command> on the tool bar button of each command, at 21 x 22.
TEST(ResourceImages, EveryMainToolBarButtonHasAPictureOfButtonSize) {
    const auto buttons = mainToolBarButtons();
    ASSERT_EQ(buttons.size(), 14u);
    for (unsigned command : buttons)
        EXPECT_TRUE(pictureOfSize(command, 21, 22));
}

TEST(ResourceImages, ButtonsDoNotShareAPicture) {
    std::set<std::vector<unsigned char>> distinct;
    for (unsigned command : mainToolBarButtons())
        EXPECT_TRUE(distinct.insert(imageBytes(command)).second) << command;
}

TEST(ResourceImages, RowMarkerOfTheParameterPages) {
    EXPECT_TRUE(pictureOfSize(152, 16, 16));
}

TEST(ResourceImages, UnknownIdGivesNoBytes) {
    // Neighbours of real ids as well as the ends of the range: the lookup must match exactly.
    for (unsigned id : {0u, 151u, 153u, 32771u, 32773u, 57602u, 57665u, 65535u, UINT_MAX}) {
        std::size_t size = 12345;
        EXPECT_EQ(kvdres_image(id, &size), nullptr) << id;
        EXPECT_EQ(size, 0u) << id;
    }
}

TEST(ResourceImages, SizePointerIsOptional) {
    std::size_t size = 0;
    const unsigned char* withSize = kvdres_image(57600, &size);
    ASSERT_NE(withSize, nullptr);
    EXPECT_EQ(kvdres_image(57600, nullptr), withSize);
    EXPECT_EQ(kvdres_image(1, nullptr), nullptr);
}

// The structure check above must itself notice damage such as a cut-off or altered copy.
TEST(ResourceImages, StructureCheckRejectsDamagedBytes) {
    const auto good = imageBytes(57600);
    ASSERT_FALSE(good.empty());
    std::uint32_t w = 0, h = 0;
    ASSERT_TRUE(isPng(good.data(), good.size(), &w, &h));

    const struct {
        const char* what;
        std::size_t offset; // byte to alter; SIZE_MAX: none
        std::size_t cut;    // bytes dropped from the end
        std::size_t extra;  // zero bytes appended
    } cases[] = {
        {"signature", 1, 0, 0},
        {"IHDR width", 19, 0, 0},
        {"middle byte", good.size() / 2, 0, 0},
        {"cut short", SIZE_MAX, 1, 0},
        {"cut in IHDR", SIZE_MAX, good.size() - 20, 0},
        {"trailing bytes", SIZE_MAX, 0, 1},
    };
    for (const auto& c : cases) {
        auto bad = good;
        if (c.offset != SIZE_MAX)
            bad[c.offset] ^= 0x01;
        bad.resize(bad.size() - c.cut + c.extra);
        EXPECT_FALSE(isPng(bad.data(), bad.size(), &w, &h)) << c.what;
    }
}
