/* The stb_image decoder compiled inside the fuzz targets: the system's libstb is not instrumented, so
 * without this copy libFuzzer and AddressSanitizer would see nothing of what happens in the decoder.
 * The executable's definitions take precedence over the shared library's. */
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
