// Fuzz target: picture files (BMP, JPEG, TGA and whatever else the decoder recognises) through the archive
// layer's decoding path with its size and length checks. The first byte chooses 3 or 4 channels, as the
// archive does from the entry's name; the rest is the file.
#include "FuzzSupport.h"

#include "scene/XPictureCheck.h"
#include "scene/XPictureDecoder.h"

#include <stb_image.h> // stbi_info_from_memory

#include <climits> // INT_MAX
#include <cstddef> // size_t
#include <cstdint> // uint8_t, int64_t
#include <string>

namespace {
constexpr int64_t kLargestDecodedPixels = 1 << 20;
} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    PrepareFuzzEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) {
        return 0;
    }
    const int channels = (data[0] & 1) != 0 ? 4 : 3;
    const unsigned char* const file = data + 1;
    const size_t length = size - 1;
    // A header of millions of pixels within the limits sends the decoder through the same loops as a small
    // one, for up to a second under AddressSanitizer (a 4104 x 2069 progressive JPEG of 42 bytes): such inputs
    // would drag the whole run down to a few thousand inputs a second and are left to the small ones.
    int width = 0;
    int height = 0;
    int channelsInFile = 0;
    if (length <= static_cast<size_t>(INT_MAX) &&
        stbi_info_from_memory(file, static_cast<int>(length), &width, &height, &channelsInFile) != 0 &&
        width <= kMaxPictureSide && height <= kMaxPictureSide &&
        static_cast<int64_t>(width) * height > kLargestDecodedPixels) {
        return 0;
    }
    XPicturePixels picture;
    std::string problem;
    if (!DecodePicture(file, length, channels, picture, problem)) {
        FuzzCheck(picture.bytes.empty() && picture.width == 0 && picture.height == 0, "a refused picture leaves nothing");
        FuzzCheck(!problem.empty(), "a refusal says why");
        return 0;
    }
    FuzzCheck(problem.empty(), "no problem beside a picture");
    FuzzCheck(picture.width >= 1 && picture.width <= kMaxPictureSide, "width within the limit");
    FuzzCheck(picture.height >= 1 && picture.height <= kMaxPictureSide, "height within the limit");
    FuzzCheck(picture.channels == channels, "the channels asked for");
    FuzzCheck(picture.bytes.size() ==
                  static_cast<size_t>(picture.width) * picture.height * static_cast<size_t>(channels),
              "exactly width x height pixels");
    FuzzCheck(IsPictureComplete(file, length), "only complete files decode");
    // Reads both ends of the pixels, so that a buffer shorter than it claims shows up under AddressSanitizer.
    volatile unsigned char ends = static_cast<unsigned char>(picture.bytes.front() ^ picture.bytes.back());
    (void)ends;
    return 0;
}
