// XPictureDecoder: format screening, size checks, stb_image decoding and the bottom-up row order.
#include "scene/XPictureDecoder.h"

#include "scene/XPictureCheck.h"

#include <stb_image.h> // stbi_info_from_memory, stbi_load_from_memory, stbi_image_free, stbi_failure_reason

#include <climits> // INT_MAX

namespace {

// Whether the bytes start like a BMP, a JPEG or a TGA. The decoder would otherwise also try PNG, GIF, PSD,
// PIC, PNM and HDR; a TGA has no signature, but its header rules out each of those (their second byte is
// never 0 or 1, a TGA's colour-map flag).
bool IsKnownFormat(const unsigned char* bytes, size_t length)
{
    const bool bmp = length >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    const bool jpeg = length >= 3 && bytes[0] == 0xff && bytes[1] == 0xd8 && bytes[2] == 0xff;
    return bmp || jpeg || LooksLikeTga(bytes, length);
}

// Copies decoded rows (top row first, as stb_image delivers them) bottom row first.
void CopyRowsBottomUp(const unsigned char* topFirst, int width, int height, int channels,
                      std::vector<unsigned char>& out)
{
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(channels);
    // Appended row by row rather than resized and overwritten: a picture of up to 256 MB is not zeroed first.
    out.clear();
    out.reserve(rowBytes * static_cast<size_t>(height));
    for (int row = height - 1; row >= 0; --row) {
        const unsigned char* const source = topFirst + rowBytes * static_cast<size_t>(row);
        out.insert(out.end(), source, source + rowBytes);
    }
}

void Clear(XPicturePixels& out)
{
    out.bytes.clear();
    out.width = 0;
    out.height = 0;
    out.channels = 0;
}

} // namespace

bool DecodePicture(const unsigned char* bytes, size_t length, int channels, XPicturePixels& out,
                   std::string& problem)
{
    Clear(out);
    problem.clear();
    if (channels != 3 && channels != 4) {
        problem = "3 or 4 channels, not " + std::to_string(channels);
        return false;
    }
    if (bytes == nullptr || length == 0) {
        problem = "the file is empty";
        return false;
    }
    if (length > static_cast<size_t>(INT_MAX)) {
        problem = "the file is too large";
        return false;
    }
    if (!IsKnownFormat(bytes, length)) {
        problem = "not a BMP, JPEG or TGA picture";
        return false;
    }
    const int encodedLength = static_cast<int>(length);
    int width = 0;
    int height = 0;
    int channelsInFile = 0;
    if (stbi_info_from_memory(bytes, encodedLength, &width, &height, &channelsInFile) == 0) {
        problem = std::string("unreadable header (") + stbi_failure_reason() + ")";
        return false;
    }
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) {
        problem = std::to_string(width) + " x " + std::to_string(height) + " pixels is outside 1 .. " +
                  std::to_string(kMaxPictureSide) + " on a side";
        return false;
    }
    if (!IsPictureComplete(bytes, length)) {
        problem = "truncated: shorter than its header says";
        return false;
    }
    if (!HasUsableJpegTables(bytes, length)) {
        problem = "damaged: a Huffman table is missing or has more than 256 codes";
        return false;
    }
    int decodedWidth = 0;
    int decodedHeight = 0;
    unsigned char* const decoded =
        stbi_load_from_memory(bytes, encodedLength, &decodedWidth, &decodedHeight, &channelsInFile, channels);
    if (decoded == nullptr) {
        problem = std::string("damaged (") + stbi_failure_reason() + ")";
        return false;
    }
    // The header was checked above; the decoder must agree with it before its rows are trusted.
    const bool sizeAgrees = decodedWidth == width && decodedHeight == height;
    if (sizeAgrees) {
        CopyRowsBottomUp(decoded, width, height, channels, out.bytes);
        out.width = static_cast<uint32_t>(width);
        out.height = static_cast<uint32_t>(height);
        out.channels = channels;
    } else {
        problem = "damaged: the pixels do not match the header's size";
    }
    stbi_image_free(decoded);
    return sizeAgrees;
}
