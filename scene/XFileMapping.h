// XFileMapping: a whole file mapped read-only into memory.
//
// For tools and loaders that want a file's bytes without copying them. One file at a time: Open fails
// while a file is open, Close releases it (the destructor too).
// Depends on: POSIX open/mmap.
#pragma once

#include <cstddef> // size_t

class XFileMapping {
public:
    XFileMapping() = default;
    ~XFileMapping();
    XFileMapping(const XFileMapping&) = delete;
    XFileMapping& operator=(const XFileMapping&) = delete;

    // Maps the file and returns its first byte; null when a file is already open or this one cannot be
    // opened or mapped (a folder, a missing file). An empty file opens with a size of 0 and a pointer
    // that must not be read.
    const unsigned char* Open(const char* path);

    // Unmaps and closes the file; harmless when none is open.
    void Close();

    // Length of the open file in bytes, 0 when none is open.
    size_t GetSize() const;

    // The mapped bytes, null when no file is open.
    const unsigned char* GetData() const;

    bool IsOpen() const;

private:
    const unsigned char* data = nullptr;
    bool open = false;
    int fileDescriptor = -1;
    size_t mappedLength = 0;
    void* view = nullptr;
};
