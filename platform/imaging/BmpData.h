#pragma once
// Whether a BMP file holds the pixels its headers describe. Qt's reader
// draws a file cut short, or one whose pixels are said to start past its
// end, as black rows without a word; the imaging library refuses it as a
// file that cannot be read in full.

class QIODevice;

namespace platform::imaging {

// False for a BMP file whose pixel data (from the offset of its file
// header) ends beyond the file: uncompressed rows of the size its bitmap
// header gives, or, compressed, at least the image size it states and one
// byte. True for any file that is no BMP, or whose headers the reader
// refuses by itself.
bool bmpDataHeld(QIODevice &file);

} // namespace platform::imaging
