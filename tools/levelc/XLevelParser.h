// XLevelParser: reads a level source (docs/level-format.md) into an XLevelSource.
//
// One statement a line; '#' starts a comment. Every problem stops the parse with an XLevelError that names
// the file, the line and what is wrong, so that a level author can fix it at once.
// Depends on: XLevelSource, XShapeBuilder, XLevelError.
#pragma once

#include "tools/levelc/XLevelSource.h"

#include <map>
#include <string>
#include <vector>

class XLevelParser {
public:
    // Parses the text of a level source; fileName is used in messages. Throws XLevelError.
    static XLevelSource Parse(const std::string& text, const std::string& fileName);

    // Reads and parses a file. Throws XLevelError (also when the file cannot be read).
    static XLevelSource ParseFile(const std::string& path);

private:
    struct Statement {
        int line = 0;
        std::vector<std::string> words;
    };

    XLevelParser(XLevelSource& target, const std::string& name) : level(target), fileName(name) {}

    void ParseStatement(const Statement& statement);
    void ParseMaterial(const Statement& statement);
    void ParseLight(const Statement& statement);
    void ParseShape(const Statement& statement);

    [[noreturn]] void Fail(int line, const std::string& message) const;
    double Number(const Statement& statement, size_t index, const char* what) const;
    int Integer(const Statement& statement, size_t index, const char* what) const;
    XVector3d Vector(const Statement& statement, size_t index, const char* what) const;
    void ExpectCount(const Statement& statement, size_t count, const char* usage) const;
    int MaterialIndex(int line, const std::string& name) const;

    XLevelSource& level;
    std::string fileName;
    std::map<std::string, int> materialIndex;
};
