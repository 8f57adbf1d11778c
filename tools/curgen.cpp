// Writes Windows cursor files (".cur") from cursor drawings in text form:
//   hotspot <x> <y>
//   32 rows of 32 characters: "X" black, "o" white, "." transparent
// Lines starting with "#" are comments. Usage: curgen <drawing.txt> <out.cur>
// The cursor is one 32x32 image of 32 bits per pixel with its AND mask.

#include "tools/ToolUsage.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr char Usage[] = "usage: curgen <drawing.txt> <out.cur>\n"
                         "  Writes a cursor file from its drawing in text form.\n";

constexpr int kSize = 32;

void put16(std::vector<unsigned char> &b, std::uint16_t v)
{
    b.push_back(v & 0xFF);
    b.push_back(v >> 8);
}

void put32(std::vector<unsigned char> &b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back((v >> (8 * i)) & 0xFF);
}

} // namespace

int main(int argc, char **argv)
{
    if (tools::asksForHelp(argc, argv))
        return tools::showUsage(Usage);
    if (argc != 3)
        return tools::wrongArguments("curgen", "two file names are needed", Usage);
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "curgen: cannot read " << argv[1] << "\n";
        return 1;
    }
    int hotX = 0, hotY = 0;
    std::vector<std::string> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        if (line.rfind("hotspot", 0) == 0) {
            std::istringstream(line.substr(7)) >> hotX >> hotY;
            continue;
        }
        rows.push_back(line);
    }
    if (rows.size() != kSize) {
        std::cerr << "curgen: " << argv[1] << ": expected " << kSize << " rows, found " << rows.size() << "\n";
        return 1;
    }
    for (const std::string &r : rows)
        if (r.size() != kSize || r.find_first_not_of("Xo.") != std::string::npos) {
            std::cerr << "curgen: " << argv[1] << ": bad row \"" << r << "\"\n";
            return 1;
        }

    const std::uint32_t pixelBytes = kSize * kSize * 4;
    const std::uint32_t maskBytes = kSize * (kSize / 8);
    const std::uint32_t imageBytes = 40 + pixelBytes + maskBytes;

    std::vector<unsigned char> out;
    // Directory: reserved, type 2 (cursor), one image.
    put16(out, 0);
    put16(out, 2);
    put16(out, 1);
    // Directory entry: width, height, colours, reserved, hotspot, size, offset.
    out.push_back(kSize);
    out.push_back(kSize);
    out.push_back(0);
    out.push_back(0);
    put16(out, static_cast<std::uint16_t>(hotX));
    put16(out, static_cast<std::uint16_t>(hotY));
    put32(out, imageBytes);
    put32(out, 22);
    // Bitmap header: the height counts the colour image and the mask.
    put32(out, 40);
    put32(out, kSize);
    put32(out, kSize * 2);
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);
    put32(out, pixelBytes + maskBytes);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    // Pixels bottom-up, blue-green-red-alpha.
    for (int y = kSize - 1; y >= 0; --y)
        for (int x = 0; x < kSize; ++x) {
            const char c = rows[y][x];
            const unsigned char v = c == 'o' ? 0xFF : 0x00;
            out.push_back(v);
            out.push_back(v);
            out.push_back(v);
            out.push_back(c == '.' ? 0x00 : 0xFF);
        }
    // AND mask bottom-up: 1 where the screen shows through.
    for (int y = kSize - 1; y >= 0; --y)
        for (int byte = 0; byte < kSize / 8; ++byte) {
            unsigned char bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (rows[y][byte * 8 + bit] == '.')
                    bits |= 0x80 >> bit;
            out.push_back(bits);
        }

    std::ofstream f(argv[2], std::ios::binary);
    f.write(reinterpret_cast<const char *>(out.data()), static_cast<std::streamsize>(out.size()));
    if (!f) {
        std::cerr << "curgen: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
