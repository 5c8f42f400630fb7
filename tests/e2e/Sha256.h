// Sha256: the SHA-256 digest of a byte string, as 64 lower-case hex digits, for comparing whole outputs
// (demo traces) against digests recorded earlier without keeping the outputs themselves.
#pragma once

#include <string>

std::string Sha256Hex(const std::string& bytes);
