// XDebugText: per-frame collection of formatted debug lines.
#include "shell/XDebugText.h"

#include <cstdarg> // va_list
#include <cstdio>  // vsnprintf
#include <cstring> // strlen, memcpy

XDebugText::XDebugText()
{
    text.reserve(4096);
}

void XDebugText::AppendLine(const char* format, ...)
{
    char line[2048] = {};
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof(line), format, arguments);
    va_end(arguments);
    text += line;
    text += '\n';
}

void XDebugText::AppendCount(const char* label, long value)
{
    // The line is put together in place and appended at once.
    char line[96];
    size_t length = std::strlen(label);
    if (length > sizeof(line) - 24) {
        length = sizeof(line) - 24;
    }
    std::memcpy(line, label, length);
    char digits[24];
    int count = 0;
    // The magnitude as unsigned, so that the most negative long is written right too.
    unsigned long magnitude = value < 0 ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        line[length++] = '-';
    }
    while (count > 0) {
        line[length++] = digits[--count];
    }
    line[length++] = '\n';
    text.append(line, length);
}

const char* XDebugText::Text() const
{
    return text.c_str();
}

void XDebugText::Clear()
{
    text.clear(); // keeps the capacity: the frame after allocates nothing
}

XDebugText* GetDebugText()
{
    static XDebugText* const debugText = new XDebugText();
    return debugText;
}
