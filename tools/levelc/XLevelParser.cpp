// XLevelParser: statements of the level source.
#include "tools/levelc/XLevelParser.h"

#include "tools/levelc/XLevelError.h"
#include "tools/levelc/XShapeBuilder.h"

#include <cerrno>  // errno
#include <cmath>   // isfinite
#include <cstdlib> // strtod, strtol
#include <fstream>
#include <set>
#include <sstream>

namespace {

// The keywords a shape takes after its coordinates, with the number of values each takes.
struct ShapeKeywords {
    const char* shape;
    int coordinates;
    std::vector<std::pair<std::string, int>> options; // keyword, value count
    std::vector<std::string> required;
    const char* usage;
};

const std::vector<ShapeKeywords>& Shapes()
{
    static const std::vector<ShapeKeywords> shapes = {
        {"box", 6, {}, {}, "box X0 Y0 Z0 X1 Y1 Z1 <materials>"},
        {"wedge", 6, {{"up", 1}}, {"up"}, "wedge X0 Y0 Z0 X1 Y1 Z1 up +x|-x|+z|-z <materials>"},
        {"stairs", 6, {{"up", 1}, {"steps", 1}}, {"up", "steps"},
         "stairs X0 Y0 Z0 X1 Y1 Z1 up +x|-x|+z|-z steps N <materials>"},
        {"pillar", 4, {{"radius", 1}, {"sides", 1}}, {"radius", "sides"},
         "pillar CX CZ Y0 Y1 radius R sides N <materials>"},
        {"doorway", 6, {{"across", 1}, {"width", 1}, {"height", 1}, {"at", 1}}, {"across", "width", "height"},
         "doorway X0 Y0 Z0 X1 Y1 Z1 across x|z width W height H [at C] <materials>"},
        {"arch", 6, {{"across", 1}, {"width", 1}, {"spring", 1}, {"segments", 1}, {"at", 1}},
         {"across", "width", "spring", "segments"},
         "arch X0 Y0 Z0 X1 Y1 Z1 across x|z width W spring H segments N [at C] <materials>"},
    };
    return shapes;
}

bool ParseDouble(const std::string& word, double& value)
{
    if (word.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtod(word.c_str(), &end);
    return errno == 0 && end != nullptr && *end == '\0' && std::isfinite(value);
}

} // namespace

XLevelSource XLevelParser::ParseFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw XLevelError(path, 0, "cannot open the file");
    }
    std::stringstream buffer;
    buffer << file.rdbuf();
    return Parse(buffer.str(), path);
}

XLevelSource XLevelParser::Parse(const std::string& text, const std::string& fileName)
{
    XLevelSource level;
    level.fileName = fileName;
    XLevelParser parser(level, fileName);
    int lineNumber = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        ++lineNumber;
        std::string line = text.substr(start, end - start);
        const size_t hash = line.find('#');
        if (hash != std::string::npos) {
            line.resize(hash);
        }
        Statement statement;
        statement.line = lineNumber;
        std::istringstream words(line);
        std::string word;
        while (words >> word) {
            statement.words.push_back(word);
        }
        if (!statement.words.empty()) {
            parser.ParseStatement(statement);
        }
        start = end + 1;
    }
    if (level.solids.empty()) {
        throw XLevelError(fileName, 0, "the level has no solids");
    }
    if (!level.hasSpawn) {
        throw XLevelError(fileName, 0, "the level has no spawn line");
    }
    return level;
}

void XLevelParser::Fail(int line, const std::string& message) const
{
    throw XLevelError(fileName, line, message);
}

double XLevelParser::Number(const Statement& statement, size_t index, const char* what) const
{
    if (index >= statement.words.size()) {
        Fail(statement.line, std::string("missing ") + what);
    }
    double value = 0.0;
    if (!ParseDouble(statement.words[index], value)) {
        Fail(statement.line, std::string("'") + statement.words[index] + "' is not a number (" + what + ")");
    }
    return value;
}

int XLevelParser::Integer(const Statement& statement, size_t index, const char* what) const
{
    const double value = Number(statement, index, what);
    if (value != static_cast<double>(static_cast<long>(value)) || value < -1e9 || value > 1e9) {
        Fail(statement.line, std::string("'") + statement.words[index] + "' is not a whole number (" + what + ")");
    }
    return static_cast<int>(value);
}

XVector3d XLevelParser::Vector(const Statement& statement, size_t index, const char* what) const
{
    return XVector3d(Number(statement, index, what), Number(statement, index + 1, what),
                     Number(statement, index + 2, what));
}

void XLevelParser::ExpectCount(const Statement& statement, size_t count, const char* usage) const
{
    if (statement.words.size() != count) {
        Fail(statement.line, std::string("expected: ") + usage);
    }
}

int XLevelParser::MaterialIndex(int line, const std::string& name) const
{
    const auto found = materialIndex.find(name);
    if (found == materialIndex.end()) {
        Fail(line, "unknown material '" + name + "' (declare it with a material line first)");
    }
    return found->second;
}

void XLevelParser::ParseStatement(const Statement& statement)
{
    const std::string& keyword = statement.words[0];
    if (keyword == "level") {
        if (statement.words.size() < 2) {
            Fail(statement.line, "expected: level <name>");
        }
        level.name.clear();
        for (size_t i = 1; i < statement.words.size(); ++i) {
            level.name += (i > 1 ? " " : "") + statement.words[i];
        }
    } else if (keyword == "texel") {
        ExpectCount(statement, 2, "texel <units per light-map texel>");
        level.texelSize = Number(statement, 1, "texel size");
        if (level.texelSize < 0.05 || level.texelSize > 4.0) {
            Fail(statement.line, "the texel size must lie between 0.05 and 4 units");
        }
    } else if (keyword == "page") {
        ExpectCount(statement, 2, "page <light-map page size in texels: 128, 256, 512, 1024 or 2048>");
        level.pageSize = Integer(statement, 1, "page size");
        if (level.pageSize < 128 || level.pageSize > 2048 || (level.pageSize & (level.pageSize - 1)) != 0) {
            Fail(statement.line, "the page size must be a power of two from 128 to 2048");
        }
    } else if (keyword == "ambient" || keyword == "sky") {
        ExpectCount(statement, 4, "ambient|sky <r> <g> <b>");
        const XVector3d color = Vector(statement, 1, "colour");
        if (color.x < 0.0 || color.y < 0.0 || color.z < 0.0 || color.x > 4.0 || color.y > 4.0 || color.z > 4.0) {
            Fail(statement.line, "colour components must lie between 0 and 4");
        }
        (keyword == "ambient" ? level.ambient : level.sky) = color;
    } else if (keyword == "bounce") {
        ExpectCount(statement, 2, "bounce <share of light bounced once, 0 to 1>");
        level.bounce = Number(statement, 1, "bounce");
        if (level.bounce < 0.0 || level.bounce > 1.0) {
            Fail(statement.line, "the bounce share must lie between 0 and 1");
        }
    } else if (keyword == "sun") {
        ExpectCount(statement, 8, "sun <dx> <dy> <dz> color <r> <g> <b>");
        if (statement.words[4] != "color") {
            Fail(statement.line, "expected: sun <dx> <dy> <dz> color <r> <g> <b>");
        }
        const XVector3d direction = Vector(statement, 1, "sun direction");
        if (direction.Length() < 1e-6 || direction.y >= 0.0) {
            Fail(statement.line, "the sun's direction must point downwards (its y below 0)");
        }
        level.sunDirection = direction / direction.Length();
        level.sunColor = Vector(statement, 5, "sun colour");
        level.hasSun = true;
    } else if (keyword == "spawn") {
        ExpectCount(statement, 4, "spawn <x> <y> <z>");
        level.spawn = Vector(statement, 1, "spawn position");
        level.hasSpawn = true;
        level.spawnLine = statement.line;
    } else if (keyword == "material") {
        ParseMaterial(statement);
    } else if (keyword == "light") {
        ParseLight(statement);
    } else {
        ParseShape(statement);
    }
}

void XLevelParser::ParseMaterial(const Statement& statement)
{
    ExpectCount(statement, 4, "material <name> <texture file> <units per repeat>");
    XLevelMaterial material;
    material.name = statement.words[1];
    material.texture = statement.words[2];
    material.unitsPerRepeat = Number(statement, 3, "units per repeat");
    material.line = statement.line;
    if (materialIndex.count(material.name) != 0) {
        Fail(statement.line, "material '" + material.name + "' is declared twice");
    }
    const bool jpeg = material.texture.find(".jpg") != std::string::npos;
    const bool bmp = material.texture.find(".bmp") != std::string::npos;
    if ((!jpeg && !bmp) || material.texture.size() > 100 || material.texture.find('/') != std::string::npos ||
        material.texture.find('\\') != std::string::npos) {
        Fail(statement.line, "the texture must be a plain .jpg or .bmp file name of at most 100 characters");
    }
    if (material.unitsPerRepeat <= 0.01 || material.unitsPerRepeat > 1000.0) {
        Fail(statement.line, "units per repeat must lie between 0.01 and 1000");
    }
    materialIndex[material.name] = static_cast<int>(level.materials.size());
    level.materials.push_back(material);
}

void XLevelParser::ParseLight(const Statement& statement)
{
    const char* usage = "light <x> <y> <z> color <r> <g> <b> radius <units> [intensity <k>]";
    if ((statement.words.size() != 10 && statement.words.size() != 12) || statement.words[4] != "color" ||
        statement.words[8] != "radius" || (statement.words.size() == 12 && statement.words[10] != "intensity")) {
        Fail(statement.line, std::string("expected: ") + usage);
    }
    XLevelLight light;
    light.position = Vector(statement, 1, "light position");
    light.color = Vector(statement, 5, "light colour");
    light.radius = Number(statement, 9, "radius");
    light.line = statement.line;
    if (statement.words.size() == 12) {
        light.intensity = Number(statement, 11, "intensity");
    }
    if (light.color.x < 0.0 || light.color.y < 0.0 || light.color.z < 0.0 || light.color.x > 1.0 ||
        light.color.y > 1.0 || light.color.z > 1.0) {
        Fail(statement.line, "light colour components must lie between 0 and 1");
    }
    if (light.radius <= 0.5 || light.radius > 500.0) {
        Fail(statement.line, "the light's radius must lie between 0.5 and 500 units");
    }
    if (light.intensity < 0.0 || light.intensity > 100.0) {
        Fail(statement.line, "the light's intensity must lie between 0 and 100");
    }
    if (level.lights.size() >= 100) {
        Fail(statement.line, "at most 100 lights fit the engine's light table");
    }
    level.lights.push_back(light);
}

void XLevelParser::ParseShape(const Statement& statement)
{
    const std::string& keyword = statement.words[0];
    const ShapeKeywords* shape = nullptr;
    for (const ShapeKeywords& candidate : Shapes()) {
        if (keyword == candidate.shape) {
            shape = &candidate;
        }
    }
    if (shape == nullptr) {
        Fail(statement.line, "unknown statement '" + keyword + "'");
    }
    const int line = statement.line;
    std::vector<double> numbers;
    for (int i = 0; i < shape->coordinates; ++i) {
        if (static_cast<size_t>(i + 1) >= statement.words.size()) {
            Fail(line, std::string("expected: ") + shape->usage);
        }
        numbers.push_back(Number(statement, static_cast<size_t>(i + 1), "coordinate"));
    }
    // Options and materials: keyword-value pairs in any order.
    std::map<std::string, std::vector<std::string>> options;
    XSolidMaterials materials;
    bool anyMaterial = false;
    for (size_t i = static_cast<size_t>(shape->coordinates + 1); i < statement.words.size();) {
        const std::string& option = statement.words[i];
        int valueCount = -1;
        for (const auto& known : shape->options) {
            if (known.first == option) {
                valueCount = known.second;
            }
        }
        const bool isMaterial = option == "mat" || option == "top" || option == "side" || option == "bottom";
        if (isMaterial) {
            valueCount = 1;
        }
        if (valueCount < 0) {
            Fail(line, "'" + option + "' is not an option of " + keyword + " (expected: " + shape->usage + ")");
        }
        if (i + static_cast<size_t>(valueCount) >= statement.words.size()) {
            Fail(line, "'" + option + "' needs a value");
        }
        if (isMaterial) {
            const int index = MaterialIndex(line, statement.words[i + 1]);
            if (option == "mat") {
                materials.top = materials.side = materials.bottom = index;
            } else {
                (option == "top" ? materials.top : (option == "side" ? materials.side : materials.bottom)) = index;
            }
            anyMaterial = true;
        } else {
            if (options.count(option) != 0) {
                Fail(line, "'" + option + "' is given twice");
            }
            options[option] = std::vector<std::string>(statement.words.begin() + static_cast<long>(i + 1),
                                                       statement.words.begin() + static_cast<long>(i + 1 + valueCount));
        }
        i += static_cast<size_t>(valueCount) + 1;
    }
    for (const std::string& required : shape->required) {
        if (options.count(required) == 0) {
            Fail(line, "missing '" + required + "' (expected: " + shape->usage + ")");
        }
    }
    if (!anyMaterial || materials.top < 0 || materials.side < 0 || materials.bottom < 0) {
        Fail(line, "every face needs a material: give 'mat <name>', or 'top', 'side' and 'bottom' (each '<name>')");
    }
    auto optionNumber = [&](const std::string& name) {
        double value = 0.0;
        if (!ParseDouble(options[name][0], value)) {
            Fail(line, "'" + options[name][0] + "' is not a number (" + name + ")");
        }
        return value;
    };
    auto direction = [&]() {
        const std::string& word = options["up"][0];
        XDirection d;
        if (word == "+x" || word == "-x" || word == "+z" || word == "-z") {
            d.axis = word[1] == 'x' ? 0 : 2;
            d.sign = word[0] == '+' ? 1 : -1;
        } else {
            Fail(line, "'" + word + "' is not a direction (+x, -x, +z or -z)");
        }
        return d;
    };
    auto axis = [&]() {
        const std::string& word = options["across"][0];
        if (word != "x" && word != "z") {
            Fail(line, "'" + word + "' is not an axis (x or z)");
        }
        return word == "x" ? 0 : 2;
    };
    auto wholeNumber = [&](const std::string& name, int low, int high) {
        const double value = optionNumber(name);
        if (value != static_cast<double>(static_cast<int>(value)) || value < low || value > high) {
            Fail(line, name + " must be a whole number from " + std::to_string(low) + " to " + std::to_string(high));
        }
        return static_cast<int>(value);
    };

    if (keyword == "pillar") {
        const double radius = optionNumber("radius");
        const int sides = wholeNumber("sides", 3, 32);
        if (numbers[3] <= numbers[2] || radius <= 0.05) {
            Fail(line, "a pillar needs Y1 above Y0 and a radius above 0.05");
        }
        level.solids.push_back(XShapeBuilder::Pillar(numbers[0], numbers[1], numbers[2], numbers[3], radius, sides,
                                                     materials, line));
        return;
    }
    const XVector3d min(numbers[0], numbers[1], numbers[2]);
    const XVector3d max(numbers[3], numbers[4], numbers[5]);
    if (!(max.x - min.x > 0.01 && max.y - min.y > 0.01 && max.z - min.z > 0.01)) {
        Fail(line, "the second corner must lie above the first on every axis (X1 > X0, Y1 > Y0, Z1 > Z0)");
    }
    if (keyword == "box") {
        level.solids.push_back(XShapeBuilder::Box(min, max, materials, line));
    } else if (keyword == "wedge") {
        level.solids.push_back(XShapeBuilder::Wedge(min, max, direction(), materials, line));
    } else if (keyword == "stairs") {
        const int steps = wholeNumber("steps", 1, 200);
        std::vector<XSolid> solids = XShapeBuilder::Stairs(min, max, direction(), steps, materials, line);
        level.solids.insert(level.solids.end(), solids.begin(), solids.end());
    } else {
        const int across = axis();
        const int along = across == 0 ? 2 : 0;
        const double a0 = along == 0 ? min.x : min.z;
        const double a1 = along == 0 ? max.x : max.z;
        const double centre = options.count("at") != 0 ? optionNumber("at") : (a0 + a1) * 0.5;
        const double width = optionNumber("width");
        if (width <= 0.1 || centre - width * 0.5 < a0 - 1e-9 || centre + width * 0.5 > a1 + 1e-9) {
            Fail(line, "the opening must be wider than 0.1 and lie within the wall");
        }
        std::vector<XSolid> solids;
        if (keyword == "doorway") {
            const double height = optionNumber("height");
            if (height <= 0.1 || height > max.y - min.y + 1e-9) {
                Fail(line, "the doorway's height must lie between 0.1 and the wall's height");
            }
            solids = XShapeBuilder::Doorway(min, max, across, centre, width, height, materials, line);
        } else {
            const double spring = optionNumber("spring");
            const int segments = wholeNumber("segments", 2, 32);
            if (spring < 0.0 || spring + width * 0.5 >= max.y - min.y - 0.01) {
                Fail(line, "the arch's top (spring + width / 2) must stay below the wall's top");
            }
            solids = XShapeBuilder::Arch(min, max, across, centre, width, spring, segments, materials, line);
        }
        level.solids.insert(level.solids.end(), solids.begin(), solids.end());
    }
}
