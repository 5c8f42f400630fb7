// XLevelInfo: reading the level's settings lines.
#include "scene/XLevelInfo.h"

#include <cmath>   // isfinite
#include <sstream> // istringstream

bool XLevelInfo::Parse(const char* text, size_t size, std::string& problem)
{
    std::istringstream lines(std::string(text, size));
    std::string line;
    XLevelInfo read;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line);
        std::string key;
        if (!(words >> key) || key[0] == '#') {
            continue;
        }
        if (key != "spawn") {
            continue;
        }
        float x = 0.0f;
        float y = 0.0f;
        float z = 0.0f;
        std::string rest;
        const bool three = (words >> x >> y >> z) && !(words >> rest);
        if (!three || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
            problem = "line " + std::to_string(number) + ": 'spawn' needs three numbers: \"" + line + "\"";
            return false;
        }
        read.spawn = XVector3(x, y, z);
    }
    *this = read;
    return true;
}
