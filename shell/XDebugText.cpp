// XDebugText: per-frame collection of formatted debug lines.
#include "shell/XDebugText.h"

#include <cstdarg> // va_list
#include <cstdio>  // vsnprintf

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
