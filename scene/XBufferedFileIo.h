// XBufferedFileIo: a PhysicsFS stream over a file, read through a buffer of its own.
//
// PhysicsFS's own file streams read unbuffered: its ZIP reader fetches a directory field at a time (one
// `read` each), and every entry opened duplicates the stream by opening the file again. Mounting the archive
// through this stream turns those into reads of 16 KiB from a descriptor that every duplicate shares
// (`pread`, so no duplicate moves another's position).
//
// The stream is read-only, and its length is the file's when it was opened: nothing rewrites an archive
// while it is mounted (the level watch mode serves its new builds from a folder in front of it).
// Depends on: PhysicsFS (the stream's interface only).
#pragma once

#include <physfs.h> // PHYSFS_Io, PHYSFS_ErrorCode

// Opens the file for reading as a stream, for PHYSFS_mountIo (which takes it over: unmounting destroys it).
// Null, with the reason as a PhysicsFS error code (PHYSFS_ERR_NOT_FOUND, PHYSFS_ERR_PERMISSION, ...), when
// the file cannot be opened. A stream that PHYSFS_mountIo refused is the caller's to destroy
// (`io->destroy(io)`).
PHYSFS_Io* OpenBufferedFileIo(const char* path, PHYSFS_ErrorCode& error);
