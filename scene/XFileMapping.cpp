// XFileMapping: read-only memory mapping of one file.
#include "scene/XFileMapping.h"

#include <fcntl.h>    // open, O_RDONLY
#include <sys/mman.h> // mmap, munmap
#include <sys/stat.h> // fstat, S_ISREG
#include <unistd.h>   // close

namespace {
// The data pointer of an empty file: mmap refuses a length of 0, yet an empty file is a valid file.
const unsigned char kEmptyFile[1] = {0};
} // namespace

XFileMapping::~XFileMapping()
{
    Close();
}

const unsigned char* XFileMapping::Open(const char* path)
{
    if (open || path == nullptr) {
        return nullptr;
    }
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat info = {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        return nullptr;
    }
    const size_t length = static_cast<size_t>(info.st_size);
    void* mapped = nullptr;
    if (length > 0) {
        mapped = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, descriptor, 0);
        if (mapped == MAP_FAILED) {
            ::close(descriptor);
            return nullptr;
        }
    }
    fileDescriptor = descriptor;
    mappedLength = length;
    view = mapped;
    data = mapped != nullptr ? static_cast<const unsigned char*>(mapped) : kEmptyFile;
    open = true;
    return data;
}

void XFileMapping::Close()
{
    if (!open) {
        return;
    }
    open = false;
    if (view != nullptr) {
        ::munmap(view, mappedLength);
    }
    ::close(fileDescriptor);
    data = nullptr;
    view = nullptr;
    mappedLength = 0;
    fileDescriptor = -1;
}

size_t XFileMapping::GetSize() const
{
    return open ? mappedLength : 0;
}

const unsigned char* XFileMapping::GetData() const
{
    return data;
}

bool XFileMapping::IsOpen() const
{
    return open;
}
