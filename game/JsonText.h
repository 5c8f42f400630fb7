// JsonText: the few pieces of JSON the game writes (the per-frame trace and the scene dump), appended to a
// string that the caller reuses.
#pragma once

#include "math/XVector3.h"

#include <string>

// A number that reads back as the same float; null for non-finite values (JSON has no NaN).
void AppendJsonNumber(std::string& out, double value);
// An integer.
void AppendJsonInteger(std::string& out, long long value);
// A quoted, escaped string.
void AppendJsonString(std::string& out, const std::string& text);
// [x, y, z]
void AppendJsonVector(std::string& out, const XVector3& v);
// true or false
void AppendJsonBool(std::string& out, bool value);
