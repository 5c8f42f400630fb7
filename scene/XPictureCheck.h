// XPictureCheck: tells whether a BMP or TGA file holds all the pixel data its header promises.
//
// The picture decoder reads missing bytes of a truncated BMP or TGA as zeros and reports success, so a
// damaged file would turn into a half-black texture without a word. This check runs before decoding and
// refuses such files. Other formats (JPEG, PNG) detect truncation themselves and pass unchecked.
// Depends on: nothing.
#pragma once

#include <cstddef> // size_t

// True unless the bytes are a BMP or TGA file that is shorter than its header requires.
bool IsPictureComplete(const unsigned char* bytes, size_t length);

// Whether the bytes could be a TGA file as the decoder recognises one (TGA has no signature: the header's
// colour-map flag, image type and pixel depth must be values it knows).
bool LooksLikeTga(const unsigned char* bytes, size_t length);
