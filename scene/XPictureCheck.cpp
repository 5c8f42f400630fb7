// XPictureCheck: length checks for BMP and TGA files against their headers; the JPEG Huffman table screen.
#include "scene/XPictureCheck.h"

#include <cstdint> // uint32_t, uint64_t, int32_t

namespace {

uint32_t ReadU16(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
}

uint32_t ReadU32(const unsigned char* p)
{
    return ReadU16(p) | (ReadU16(p + 2) << 16);
}

// Width or height of a BMP as a count: negative heights mark top-down files.
uint64_t Magnitude(int32_t value)
{
    return value < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(value)) : static_cast<uint64_t>(value);
}

// BMP: uncompressed rows, each padded to 4 bytes, start at the pixel offset of the file header.
bool IsBmpComplete(const unsigned char* bytes, size_t length)
{
    const size_t kFileHeader = 14;
    if (length < kFileHeader + 12) {
        return false;
    }
    const uint64_t pixelOffset = ReadU32(bytes + 10);
    const uint32_t infoSize = ReadU32(bytes + 14);
    uint64_t width = 0;
    uint64_t height = 0;
    uint32_t bitsPerPixel = 0;
    uint32_t compression = 0;
    if (infoSize == 12) {
        width = ReadU16(bytes + 18);
        height = ReadU16(bytes + 20);
        bitsPerPixel = ReadU16(bytes + 24);
    } else {
        if (length < kFileHeader + 40) {
            return false;
        }
        width = Magnitude(static_cast<int32_t>(ReadU32(bytes + 18)));
        height = Magnitude(static_cast<int32_t>(ReadU32(bytes + 22)));
        bitsPerPixel = ReadU16(bytes + 28);
        compression = ReadU32(bytes + 30);
    }
    const uint32_t kRgb = 0;
    const uint32_t kBitFields = 3;
    if (compression != kRgb && compression != kBitFields) {
        return true; // run-length files are refused by the decoder itself
    }
    const uint64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return pixelOffset + rowBytes * height <= length;
}

// TGA: header, image id, colour map, then raw or run-length pixels. Run-length data is walked packet by
// packet, which costs one step per packet and reads nothing beyond the file.
bool IsTgaComplete(const unsigned char* bytes, size_t length)
{
    const size_t kHeader = 18;
    if (length < kHeader) {
        return false;
    }
    const uint64_t idLength = bytes[0];
    const uint32_t imageType = bytes[2];
    const uint64_t mapLength = ReadU16(bytes + 5);
    const uint64_t mapEntryBytes = (static_cast<uint64_t>(bytes[7]) + 7) / 8;
    const uint64_t width = ReadU16(bytes + 12);
    const uint64_t height = ReadU16(bytes + 14);
    const uint64_t pixelBytes = (static_cast<uint64_t>(bytes[16]) + 7) / 8;
    const uint64_t colourMapBytes = bytes[1] != 0 ? mapLength * mapEntryBytes : 0;
    uint64_t position = kHeader + idLength + colourMapBytes;
    const uint64_t pixelCount = width * height;
    if (imageType >= 1 && imageType <= 3) {
        return position + pixelCount * pixelBytes <= length;
    }
    if (imageType >= 9 && imageType <= 11) {
        uint64_t pixelsSeen = 0;
        while (pixelsSeen < pixelCount) {
            if (position >= length) {
                return false;
            }
            const unsigned char packet = bytes[position];
            const uint64_t count = static_cast<uint64_t>(packet & 0x7f) + 1;
            const bool repeated = (packet & 0x80) != 0;
            position += 1 + (repeated ? pixelBytes : count * pixelBytes);
            pixelsSeen += count;
        }
        return position <= length;
    }
    return true;
}

} // namespace

bool IsPictureComplete(const unsigned char* bytes, size_t length)
{
    if (bytes == nullptr) {
        return false;
    }
    if (length >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        return IsBmpComplete(bytes, length);
    }
    const bool isJpeg = length >= 2 && bytes[0] == 0xff && bytes[1] == 0xd8;
    if (!isJpeg && LooksLikeTga(bytes, length)) {
        return IsTgaComplete(bytes, length);
    }
    return true;
}

// The decoder's own recognition of TGA: no magic number, so the header fields must make sense together.
bool LooksLikeTga(const unsigned char* bytes, size_t length)
{
    if (length < 18) {
        return false;
    }
    const unsigned mapType = bytes[1];
    const unsigned imageType = bytes[2];
    const unsigned bits = bytes[16];
    const bool knownType = imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9 ||
                           imageType == 10 || imageType == 11;
    const bool knownDepth = bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
    return mapType <= 1 && knownType && knownDepth;
}

namespace {

// A byte of the file the way the JPEG decoder reads it: 0 past the end.
unsigned JpegByte(const unsigned char* bytes, size_t length, size_t at)
{
    return at < length ? bytes[at] : 0u;
}

// Which Huffman tables (DC, AC; 0..3) the file has defined so far.
struct JpegTables {
    bool dc[4] = {false, false, false, false};
    bool ac[4] = {false, false, false, false};
};

// Notes the tables of one DHT segment; false when one has more than 256 codes.
bool ReadHuffmanTables(const unsigned char* bytes, size_t length, size_t start, size_t end, JpegTables& tables)
{
    // Like the decoder, a table's header is read even where it runs past the segment (which the decoder
    // notices only after building the table).
    size_t at = start;
    while (at < end) {
        const unsigned kind = JpegByte(bytes, length, at) >> 4;
        const unsigned slot = JpegByte(bytes, length, at) & 15u;
        if (kind > 1 || slot > 3) {
            return true; // the decoder refuses this segment itself
        }
        unsigned codes = 0;
        for (size_t i = 1; i <= 16; ++i) {
            codes += JpegByte(bytes, length, at + i);
        }
        if (codes > 256) {
            return false;
        }
        (kind == 0 ? tables.dc : tables.ac)[slot] = true;
        at += 17 + codes;
    }
    return true;
}

// Whether every table the scan header at `start` decodes with has been defined. A progressive file's DC
// scans use no AC table and its AC scans no DC table; refining DC scans use none.
bool ScanTablesDefined(const unsigned char* bytes, size_t length, size_t start, bool progressive,
                       const JpegTables& tables)
{
    const unsigned components = JpegByte(bytes, length, start);
    if (components < 1 || components > 4) {
        return true; // refused by the decoder itself
    }
    const size_t spectrum = start + 1 + 2 * components;
    const bool dcScan = JpegByte(bytes, length, spectrum) == 0;
    const bool refining = (JpegByte(bytes, length, spectrum + 2) >> 4) != 0;
    const bool usesDc = !progressive || (dcScan && !refining);
    const bool usesAc = !progressive || !dcScan;
    for (unsigned c = 0; c < components; ++c) {
        const unsigned selectors = JpegByte(bytes, length, start + 2 + 2 * c);
        const unsigned dc = selectors >> 4;
        const unsigned ac = selectors & 15u;
        if (dc > 3 || ac > 3) {
            return true; // refused by the decoder itself
        }
        if ((usesDc && !tables.dc[dc]) || (usesAc && !tables.ac[ac])) {
            return false;
        }
    }
    return true;
}

} // namespace

bool HasUsableJpegTables(const unsigned char* bytes, size_t length)
{
    if (bytes == nullptr || length < 3 || bytes[0] != 0xff || bytes[1] != 0xd8) {
        return true;
    }
    JpegTables tables;
    bool progressive = false;
    size_t at = 2;
    // Markers in order, as the decoder meets them: it skips bytes between segments, and a scan's coded data
    // holds no marker but stuffed zeros and restarts.
    while (at + 1 < length) {
        if (bytes[at] != 0xff) {
            ++at;
            continue;
        }
        const unsigned marker = bytes[at + 1];
        if (marker == 0xff) {
            ++at;
            continue;
        }
        if (marker == 0x00 || marker == 0x01 || marker == 0xd8 || (marker >= 0xd0 && marker <= 0xd7)) {
            at += 2;
            continue;
        }
        if (marker == 0xd9) {
            break;
        }
        const size_t segmentLength = (JpegByte(bytes, length, at + 2) << 8) | JpegByte(bytes, length, at + 3);
        if (segmentLength < 2) {
            break; // the decoder refuses it
        }
        const size_t start = at + 4;
        const size_t end = at + 2 + segmentLength;
        if (marker == 0xc2) {
            progressive = true;
        } else if (marker == 0xc4 && !ReadHuffmanTables(bytes, length, start, end, tables)) {
            return false;
        } else if (marker == 0xda && !ScanTablesDefined(bytes, length, start, progressive, tables)) {
            return false;
        }
        at = end;
    }
    return true;
}
