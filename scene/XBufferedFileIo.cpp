// XBufferedFileIo: a buffered, read-only PhysicsFS stream whose duplicates share one descriptor.
#include "scene/XBufferedFileIo.h"

#include <algorithm> // std::min
#include <cerrno>    // errno, EINTR, ENOENT, ENOTDIR, EACCES, EPERM, ENOMEM
#include <cstdint>   // uint64_t
#include <cstring>   // std::memcpy
#include <memory>    // std::shared_ptr, std::make_shared
#include <new>       // std::nothrow
#include <utility>   // std::move
#include <vector>

#include <fcntl.h>    // open, O_RDONLY, O_CLOEXEC
#include <sys/stat.h> // fstat
#include <unistd.h>   // pread, close

namespace {

const size_t kBufferSize = 16 * 1024;

// The open file and its length when it was opened, closed when its last stream goes.
class FileDescriptor {
public:
    FileDescriptor(int descriptor, uint64_t length) : descriptor_(descriptor), length_(length) {}
    ~FileDescriptor() { close(descriptor_); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return descriptor_; }
    uint64_t GetLength() const { return length_; }

private:
    const int descriptor_;
    const uint64_t length_;
};

// One stream: its own position and buffer over the shared file.
struct Stream {
    std::shared_ptr<const FileDescriptor> file;
    uint64_t position = 0;
    std::vector<unsigned char> buffer; // bytes of the file from bufferStart on
    uint64_t bufferStart = 0;
};

// PhysicsFS keeps the error code per thread in memory of its own, which exists only while it is initialised.
void SetError(PHYSFS_ErrorCode code)
{
    if (PHYSFS_isInit() != 0) {
        PHYSFS_setErrorCode(code);
    }
}

Stream& StreamOf(PHYSFS_Io* io)
{
    return *static_cast<Stream*>(io->opaque);
}

PHYSFS_ErrorCode ErrorCodeOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return PHYSFS_ERR_NOT_FOUND;
    case EACCES:
    case EPERM:
        return PHYSFS_ERR_PERMISSION;
    case ENOMEM:
        return PHYSFS_ERR_OUT_OF_MEMORY;
    default:
        return PHYSFS_ERR_OS_ERROR;
    }
}

// Reads at the offset until `length` bytes or the end of the file; -1 on an error before any byte.
PHYSFS_sint64 ReadAt(int descriptor, unsigned char* destination, uint64_t length, uint64_t offset)
{
    uint64_t done = 0;
    while (done < length) {
        const ssize_t count = pread(descriptor, destination + done, length - done, static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            if (done == 0) {
                SetError(ErrorCodeOf(errno));
                return -1;
            }
            break;
        }
        if (count == 0) {
            break;
        }
        done += static_cast<uint64_t>(count);
    }
    return static_cast<PHYSFS_sint64>(done);
}

PHYSFS_sint64 Read(PHYSFS_Io* io, void* destination, PHYSFS_uint64 length)
{
    Stream& stream = StreamOf(io);
    unsigned char* out = static_cast<unsigned char*>(destination);
    uint64_t done = 0;
    while (done < length) {
        const uint64_t bufferEnd = stream.bufferStart + stream.buffer.size();
        if (stream.position >= stream.bufferStart && stream.position < bufferEnd) {
            const uint64_t count = std::min<uint64_t>(length - done, bufferEnd - stream.position);
            std::memcpy(out + done, stream.buffer.data() + (stream.position - stream.bufferStart), count);
            done += count;
            stream.position += count;
            continue;
        }
        const uint64_t wanted = length - done;
        if (wanted >= kBufferSize) { // a large read goes straight to its destination
            const PHYSFS_sint64 count = ReadAt(stream.file->Get(), out + done, wanted, stream.position);
            if (count < 0) {
                return done > 0 ? static_cast<PHYSFS_sint64>(done) : -1;
            }
            done += static_cast<uint64_t>(count);
            stream.position += static_cast<uint64_t>(count);
            break;
        }
        stream.buffer.resize(kBufferSize);
        const PHYSFS_sint64 count = ReadAt(stream.file->Get(), stream.buffer.data(), kBufferSize, stream.position);
        stream.buffer.resize(count > 0 ? static_cast<size_t>(count) : 0);
        stream.bufferStart = stream.position;
        if (count < 0) {
            return done > 0 ? static_cast<PHYSFS_sint64>(done) : -1;
        }
        if (count == 0) {
            break; // the end of the file
        }
    }
    return static_cast<PHYSFS_sint64>(done);
}

PHYSFS_sint64 Write(PHYSFS_Io* /*io*/, const void* /*buffer*/, PHYSFS_uint64 /*length*/)
{
    SetError(PHYSFS_ERR_READ_ONLY);
    return -1;
}

PHYSFS_sint64 Length(PHYSFS_Io* io)
{
    return static_cast<PHYSFS_sint64>(StreamOf(io).file->GetLength());
}

int Seek(PHYSFS_Io* io, PHYSFS_uint64 offset)
{
    if (offset > StreamOf(io).file->GetLength()) {
        SetError(PHYSFS_ERR_PAST_EOF);
        return 0;
    }
    StreamOf(io).position = offset;
    return 1;
}

PHYSFS_sint64 Tell(PHYSFS_Io* io)
{
    return static_cast<PHYSFS_sint64>(StreamOf(io).position);
}

PHYSFS_Io* NewIo(std::shared_ptr<const FileDescriptor> file, uint64_t position);

// A copy at the same position that shares the descriptor but not the buffer.
PHYSFS_Io* Duplicate(PHYSFS_Io* io)
{
    const Stream& stream = StreamOf(io);
    PHYSFS_Io* const copy = NewIo(stream.file, stream.position);
    if (copy == nullptr) {
        SetError(PHYSFS_ERR_OUT_OF_MEMORY);
    }
    return copy;
}

int Flush(PHYSFS_Io* /*io*/)
{
    return 1;
}

void Destroy(PHYSFS_Io* io)
{
    delete static_cast<Stream*>(io->opaque);
    delete io;
}

PHYSFS_Io* NewIo(std::shared_ptr<const FileDescriptor> file, uint64_t position)
{
    Stream* const stream = new (std::nothrow) Stream();
    PHYSFS_Io* const io = new (std::nothrow) PHYSFS_Io();
    if (stream == nullptr || io == nullptr) {
        delete stream;
        delete io;
        return nullptr;
    }
    stream->file = std::move(file);
    stream->position = position;
    io->version = 0;
    io->opaque = stream;
    io->read = Read;
    io->write = Write;
    io->seek = Seek;
    io->tell = Tell;
    io->length = Length;
    io->duplicate = Duplicate;
    io->flush = Flush;
    io->destroy = Destroy;
    return io;
}

} // namespace

PHYSFS_Io* OpenBufferedFileIo(const char* path, PHYSFS_ErrorCode& error)
{
    const int descriptor = open(path, O_RDONLY | O_CLOEXEC);
    struct stat status = {};
    if (descriptor < 0 || fstat(descriptor, &status) != 0) {
        error = ErrorCodeOf(errno);
        if (descriptor >= 0) {
            close(descriptor);
        }
        return nullptr;
    }
    const uint64_t length = status.st_size > 0 ? static_cast<uint64_t>(status.st_size) : 0;
    PHYSFS_Io* const io = NewIo(std::make_shared<const FileDescriptor>(descriptor, length), 0);
    if (io == nullptr) {
        error = PHYSFS_ERR_OUT_OF_MEMORY;
    }
    return io;
}
