#pragma once
// The strip decoders of the TIFF reader: uncompressed, LZW and PackBits
// strips decoded into the rows of a window's bitmap. Each reads only the
// strips that hold the rows it takes (as many as the bitmap is tall, spread
// over the window), and of the last strip only as far as those rows reach.

#include "raster/Dib.h"

#include <cstdint>
#include <vector>

namespace raster {

class TTIFFIFD;

// The window of a page and the bitmap it is decoded into (as wide as the
// window, at most as tall).
struct DecodeWindow {
    std::int64_t left = 0, top = 0, width = 0, height = 0;
};

// Whether window row i is taken while j rows have been taken, of a window of
// windowHeight rows going into bitmapHeight: the first row, and a row where
// j / i <= bitmapHeight / windowHeight.
bool rowTaken(std::int64_t i, std::int64_t j, std::int64_t windowHeight, std::int64_t bitmapHeight);
// The window rows taken, in order.
std::vector<std::int64_t> takenRows(std::int64_t windowHeight, std::int64_t bitmapHeight);

// The decoders of Compression 1 (and 2), 5 and 32773. Raise TiffError:
// "Ошибка структуры файла." for strip tags missing or malformed,
// "Неподдерживаемый формат изображения." for sample sizes the decoder does
// not take, and (LZW) "Неподдерживаемый формат сжатия." for a broken code
// stream. The uncompressed decoder ends at an error inside its row loop,
// the rows already decoded kept. False when the file does not hold every
// row taken (a strip table that ends first, strips past the file's end or
// cut short): those rows stay zero, and the caller tells the user.
bool DecodeUncompressedRegion(const TTIFFIFD &page, Dib &bitmap, const DecodeWindow &window);
bool DecodeLzwRegion(const TTIFFIFD &page, Dib &bitmap, const DecodeWindow &window);
bool DecodePackBitsRegion(const TTIFFIFD &page, Dib &bitmap, const DecodeWindow &window);

// One strip into out, at most `capacity` bytes; the bytes written. LZW
// raises "Неподдерживаемый формат сжатия." for a code stream no encoder
// makes.
std::int64_t LzwDecodeStrip(const std::uint8_t *in, std::int64_t inLength, std::uint8_t *out,
                            std::int64_t capacity);
std::int64_t PackBitsDecodeStrip(const std::uint8_t *in, std::int64_t inLength, std::uint8_t *out,
                                 std::int64_t capacity);

} // namespace raster
