// XPictureCheck: tells whether a BMP or TGA file holds all the pixel data its header promises, and whether a
// JPEG's Huffman tables are ones the decoder can use safely.
//
// The picture decoder reads missing bytes of a truncated BMP or TGA as zeros and reports success, so a
// damaged file would turn into a half-black texture without a word. This check runs before decoding and
// refuses such files. Other formats (JPEG, PNG) detect truncation themselves and pass unchecked.
//
// The JPEG decoder trusts two things a damaged file can break: that a scan only uses Huffman tables defined
// before it (it decodes with whatever memory an undefined table holds, reading far outside its own), and that
// a table has no more than 256 codes (it writes the rest past its arrays).
// Depends on: nothing.
#pragma once

#include <cstddef> // size_t

// True unless the bytes are a BMP or TGA file that is shorter than its header requires.
bool IsPictureComplete(const unsigned char* bytes, size_t length);

// Whether the bytes could be a TGA file as the decoder recognises one (TGA has no signature: the header's
// colour-map flag, image type and pixel depth must be values it knows).
bool LooksLikeTga(const unsigned char* bytes, size_t length);

// False when the bytes are a JPEG that uses a Huffman table it never defined or defines one of more than
// 256 codes; true for anything else (other formats, and JPEG damage the decoder finds by itself).
bool HasUsableJpegTables(const unsigned char* bytes, size_t length);
