// FileContents: whole files read and written in one call, file names not used before, and counting in text.
//
// Needs neither GoogleTest nor OpenGL, so that every test group, the collision lab and the benchmarks can
// use it.
#pragma once

#include <cstddef> // size_t
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// The bytes of a file; empty when it cannot be read. Reads up to the end, so that files which report no
// size (those under /proc) come whole too.
std::string ReadWholeFile(const std::string& path);
Bytes ReadFileBytes(const std::string& path);

// Writes the bytes as the whole file, making its folder first; false when it cannot be written.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool WriteFileBytes(const std::string& path, const Bytes& bytes);

// "<stem>-<n><extension>" with an n not used before in this process, so that no test sees another's file.
std::string UniqueFileName(const char* stem, const char* extension);

// How many times part occurs in text, overlapping occurrences included.
size_t CountOf(const std::string& text, const std::string& part);
