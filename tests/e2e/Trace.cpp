// Trace: parsing of the trace's flat JSON lines.
#include "Trace.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

TraceFrame::TraceFrame(const std::string& line)
{
    size_t at = 0;
    while ((at = line.find('"', at)) != std::string::npos) {
        const size_t keyEnd = line.find('"', at + 1);
        if (keyEnd == std::string::npos) {
            break;
        }
        const std::string key = line.substr(at + 1, keyEnd - at - 1);
        size_t valueStart = line.find(':', keyEnd) + 1;
        while (valueStart < line.size() && line[valueStart] == ' ') {
            ++valueStart;
        }
        size_t valueEnd = valueStart;
        if (valueStart < line.size() && line[valueStart] == '[') {
            valueEnd = line.find(']', valueStart) + 1;
        } else {
            while (valueEnd < line.size() && line[valueEnd] != ',' && line[valueEnd] != '}') {
                ++valueEnd;
            }
        }
        values[key] = line.substr(valueStart, valueEnd - valueStart);
        at = valueEnd;
    }
}

bool TraceFrame::Has(const std::string& key) const
{
    return values.count(key) != 0;
}

double TraceFrame::Number(const std::string& key) const
{
    const auto found = values.find(key);
    if (found == values.end()) {
        throw std::runtime_error("trace has no key " + key);
    }
    return std::strtod(found->second.c_str(), nullptr);
}

bool TraceFrame::Bool(const std::string& key) const
{
    const auto found = values.find(key);
    if (found == values.end()) {
        throw std::runtime_error("trace has no key " + key);
    }
    return found->second == "true";
}

XVector3 TraceFrame::Vector(const std::string& key) const
{
    const auto found = values.find(key);
    if (found == values.end()) {
        throw std::runtime_error("trace has no key " + key);
    }
    const char* text = found->second.c_str() + 1;
    char* end = nullptr;
    const float x = std::strtof(text, &end);
    const float y = std::strtof(end + 1, &end);
    const float z = std::strtof(end + 1, &end);
    return XVector3(x, y, z);
}

std::vector<TraceFrame> ReadTrace(const std::filesystem::path& file)
{
    std::vector<TraceFrame> frames;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty()) {
            frames.emplace_back(line);
        }
    }
    return frames;
}
