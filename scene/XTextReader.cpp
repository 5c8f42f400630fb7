// XTextReader: bounded line reading over bytes in memory.
// Depends on: nothing.
#include "scene/XTextReader.h"

#include <cstring> // std::memchr, std::memcpy

void XTextReader::Attach(const unsigned char* bytes, uint32_t byteCount)
{
    data = bytes;
    size = bytes != nullptr ? byteCount : 0u;
    Rewind();
}

void XTextReader::Rewind()
{
    pos = 0;
    finished = false;
    lineNumber = 0;
    lastLineCut = false;
    lastLineLength = 0;
}

bool XTextReader::ReadLine(char* buffer, size_t capacity)
{
    if (finished || capacity == 0) {
        return false;
    }
    const size_t remaining = size - pos;
    const unsigned char* const start = remaining > 0 ? data + pos : nullptr;
    const void* const newline = remaining > 0 ? std::memchr(start, '\n', remaining) : nullptr;
    const size_t length =
        newline != nullptr ? static_cast<size_t>(static_cast<const unsigned char*>(newline) - start) : remaining;

    const size_t kept = length < capacity - 1 ? length : capacity - 1;
    if (kept > 0) {
        std::memcpy(buffer, start, kept);
    }
    buffer[kept] = '\0';
    lastLineCut = kept < length;
    lastLineLength = kept;
    ++lineNumber;

    if (newline != nullptr) {
        pos += length + 1;
    } else {
        pos = size;
        finished = true;
    }
    return true;
}

bool XTextReader::RestIsBlank() const
{
    for (size_t i = pos; i < size; ++i) {
        const unsigned char c = data[i];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            return false;
        }
    }
    return true;
}
