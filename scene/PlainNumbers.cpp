// PlainNumbers: std::from_chars over the plain forms of the scene file's numbers.
// Depends on: nothing.
#include "scene/PlainNumbers.h"

#include <cctype>       // std::isspace
#include <charconv>     // std::from_chars
#include <cstring>      // std::strlen
#include <system_error> // std::errc

namespace {

bool IsBlankChar(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

const char* SkipBlanks(const char* at)
{
    while (IsBlankChar(*at)) {
        ++at;
    }
    return at;
}

// The end of "-?digits" at `at`, or null when there are no digits.
const char* EndOfWhole(const char* at)
{
    if (*at == '-') {
        ++at;
    }
    const char* const digits = at;
    while (IsDigit(*at)) {
        ++at;
    }
    return at != digits ? at : nullptr;
}

// The end of "-?digits(.digits)?" at `at`, or null when it is not in that form.
const char* EndOfDecimal(const char* at)
{
    at = EndOfWhole(at);
    if (at == nullptr || *at != '.') {
        return at;
    }
    const char* const fraction = ++at;
    while (IsDigit(*at)) {
        ++at;
    }
    return at != fraction ? at : nullptr;
}

} // namespace

bool ReadPlainFloats(const char* line, int count, float* values)
{
    const char* at = line;
    for (int i = 0; i < count; ++i) {
        at = SkipBlanks(at);
        const char* const end = EndOfDecimal(at);
        // Anything else right after the number ("e", "x", ",") might continue it for sscanf: leave it to sscanf.
        if (end == nullptr || (*end != '\0' && !IsBlankChar(*end))) {
            return false;
        }
        const std::from_chars_result result = std::from_chars(at, end, values[i]);
        if (result.ec != std::errc() || result.ptr != end) {
            return false;
        }
        at = end;
    }
    return true;
}

bool ReadPlainCorners(const char* line, long* values)
{
    const char* at = line;
    for (int i = 0; i < 12; ++i) {
        if (i % 4 == 0) {
            at = SkipBlanks(at);
        } else if (*at++ != '/') {
            return false;
        }
        const char* const end = EndOfWhole(at);
        if (end == nullptr) {
            return false;
        }
        const std::from_chars_result result = std::from_chars(at, end, values[i]);
        if (result.ec != std::errc() || result.ptr != end) {
            return false;
        }
        at = end;
    }
    return true;
}
