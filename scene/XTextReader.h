// XTextReader: hands out the lines of a text held in memory, one at a time.
//
// The text is not owned and need not end with a zero byte or a newline: nothing past size bytes is ever
// read. A line ends at '\n' (a '\r' before it stays in the line) or at the end of the data; a text that
// ends with '\n' yields one more, empty, line before the reader reports its end. Lines longer than the
// caller's buffer are cut: the buffer gets what fits, the rest of that line is passed over.
// Depends on: nothing.
#pragma once

#include <cstddef> // size_t
#include <cstdint> // uint32_t

class XTextReader {
public:
    // Reads from the given bytes, starting at the first line.
    void Attach(const unsigned char* bytes, uint32_t byteCount);

    // Back to the first line.
    void Rewind();

    // Copies the next line into buffer (capacity bytes, at least 1) as a zero-terminated string and
    // returns true; returns false, leaving buffer untouched, when every line has been handed out.
    bool ReadLine(char* buffer, size_t capacity);

    // True once every line has been handed out (the next ReadLine fails).
    bool AtEnd() const { return finished; }

    // 1-based number of the last line handed out since the last Attach or Rewind; 0 before the first.
    int GetLineNumber() const { return lineNumber; }

    // True when the last line handed out did not fit its buffer and was cut.
    bool LastLineCut() const { return lastLineCut; }

    // Bytes of the last line copied into the buffer, before its terminating zero. A zero byte inside the line
    // makes the string in the buffer shorter than this.
    size_t LastLineLength() const { return lastLineLength; }

    // Bytes after the last line handed out. The lines still to come are at most this many plus one.
    size_t RemainingBytes() const { return size - pos; }

    // True when nothing but blanks (spaces, tabs, carriage returns, line feeds) follows the last line handed
    // out.
    bool RestIsBlank() const;

private:
    const unsigned char* data = nullptr;
    size_t pos = 0;
    size_t size = 0;
    bool finished = false;
    int lineNumber = 0;
    bool lastLineCut = false;
    size_t lastLineLength = 0;
};
