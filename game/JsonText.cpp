// JsonText: number, string and vector formatting for JSON output.
#include "game/JsonText.h"

#include <cmath>  // isfinite
#include <cstdio>  // snprintf
#include <cstdlib> // strtof

void AppendJsonNumber(std::string& out, double value)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buffer[32] = {};
    const float asFloat = static_cast<float>(value);
    if (static_cast<double>(asFloat) == value) {
        // The shortest text that reads back as the same float (at most nine digits are ever needed).
        for (int digits = 6; digits <= 9; ++digits) {
            std::snprintf(buffer, sizeof(buffer), "%.*g", digits, value);
            if (std::strtof(buffer, nullptr) == asFloat) {
                break;
            }
        }
    } else {
        std::snprintf(buffer, sizeof(buffer), "%.17g", value);
    }
    out += buffer;
}

void AppendJsonInteger(std::string& out, long long value)
{
    char buffer[32] = {};
    std::snprintf(buffer, sizeof(buffer), "%lld", value);
    out += buffer;
}

void AppendJsonString(std::string& out, const std::string& text)
{
    out += '"';
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (u < 0x20 || u >= 0x7F) {
                // Bytes outside printable ASCII (the scene file has no declared encoding) as \u00XX.
                char escaped[8] = {};
                std::snprintf(escaped, sizeof(escaped), "\\u%04x", u);
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void AppendJsonVector(std::string& out, const XVector3& v)
{
    out += '[';
    AppendJsonNumber(out, v.x);
    out += ", ";
    AppendJsonNumber(out, v.y);
    out += ", ";
    AppendJsonNumber(out, v.z);
    out += ']';
}

void AppendJsonBool(std::string& out, bool value)
{
    out += value ? "true" : "false";
}
