// XLevelError: a problem in a level source, with the file and line it comes from.
// Depends on: nothing.
#pragma once

#include <stdexcept> // runtime_error
#include <string>

class XLevelError : public std::runtime_error {
public:
    // line 0 means the problem belongs to the whole file.
    XLevelError(const std::string& fileName, int lineNumber, const std::string& message)
        : std::runtime_error(Format(fileName, lineNumber, message)), file(fileName), line(lineNumber)
    {
    }

    const std::string& File() const { return file; }
    int Line() const { return line; }

private:
    static std::string Format(const std::string& fileName, int lineNumber, const std::string& message)
    {
        if (lineNumber <= 0) {
            return fileName + ": " + message;
        }
        return fileName + ":" + std::to_string(lineNumber) + ": " + message;
    }

    std::string file;
    int line = 0;
};
