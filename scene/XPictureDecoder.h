// XPictureDecoder: turns the bytes of a picture file (BMP, JPEG, TGA) into pixel rows for the archive layer.
//
// The archive layer reads a picture entry and hands its bytes here; keeping the decoding apart lets it be
// exercised on bytes alone (tests, fuzzing) without an archive. Nothing here trusts the file: only the three
// formats the game uses are decoded (the decoder knows more, but nothing the game ships needs them), and
// headers that claim more than 8192 pixels on a side, files shorter than their header promises and decoder
// results that disagree with the header are all refused.
// Depends on: stb_image, XPictureCheck.
#pragma once

#include <cstddef> // size_t
#include <cstdint> // uint32_t
#include <string>
#include <vector>

// Larger pictures are refused before decoding: a damaged or hostile header could otherwise ask for
// gigabytes. No engine texture comes near this.
constexpr int kMaxPictureSide = 8192;

// Decoded pixels: width x height pixels of `channels` bytes, rows tightly packed, the BOTTOM row of the
// picture as a viewer sees it first.
struct XPicturePixels {
    std::vector<unsigned char> bytes;
    uint32_t width = 0;
    uint32_t height = 0;
    int channels = 0;
};

// Decodes a picture file into out with 3 (R,G,B) or 4 (R,G,B,A) channels. False, with out emptied and
// problem saying why (for the user: "truncated: shorter than its header says", ...), when the bytes are not
// a BMP, JPEG or TGA picture, are damaged or truncated, or exceed the size limit.
bool DecodePicture(const unsigned char* bytes, size_t length, int channels, XPicturePixels& out,
                   std::string& problem);
