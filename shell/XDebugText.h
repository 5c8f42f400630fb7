// XDebugText: the debug lines of one frame, gathered while the frame runs (collision counters, the game's
// state) and printed by the text overlay when the debug display is on. Cleared at the start of every frame.
#pragma once

#include <string>

class XDebugText {
public:
    // The lines of a frame fit the room made here; a longer frame grows it once and keeps it.
    XDebugText();

    // Formats one line with printf rules and appends it with a trailing "\n". Lines longer than the
    // 2048-byte line buffer are cut.
    void AppendLine(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Appends label followed by the number and "\n", as AppendLine("<label>%ld", value) would, without the cost of
    // formatting: the collision code reports its counters this way every frame.
    void AppendCount(const char* label, long value);
    // The gathered lines as one zero-terminated string.
    const char* Text() const;
    void Clear();

private:
    std::string text;
};

// The process-wide collector, created on first use.
XDebugText* GetDebugText();
