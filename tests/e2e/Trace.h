// Trace: the per-frame trace a run writes with --trace, read back for checks. Each line is one flat JSON
// object whose values are numbers, booleans or [x, y, z] arrays.
#pragma once

#include "math/XVector3.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

class TraceFrame {
public:
    explicit TraceFrame(const std::string& line);

    bool Has(const std::string& key) const;
    double Number(const std::string& key) const;
    bool Bool(const std::string& key) const;
    XVector3 Vector(const std::string& key) const;
    int Int(const std::string& key) const { return static_cast<int>(Number(key)); }

private:
    std::map<std::string, std::string> values; // raw value text by key
};

// Reads a trace file; an empty list when it cannot be read.
std::vector<TraceFrame> ReadTrace(const std::filesystem::path& file);
