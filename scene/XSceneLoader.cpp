// XSceneLoader: the level file parser.
//
// Sections of this file: line handling, the file's head and materials, objects, textures, lights.
// Depends on: XScene, XSceneNode, XMesh, XShaderManager, XLightManager, XArchive, XLog, XOptions, XFrameProfile.
#include "scene/XSceneLoader.h"

#include "scene/PlainNumbers.h"
#include "scene/XArchive.h"
#include "scene/XLightManager.h"
#include "scene/XScene.h"
#include "scene/XSceneLoaderHost.h"
#include "scene/XShaderManager.h"
#include "shell/XFrameProfile.h"
#include "shell/XLog.h"
#include "shell/XOptions.h"

#include <algorithm> // std::min
#include <cctype>  // std::isspace
#include <cmath>   // std::isfinite
#include <cstdarg> // va_list
#include <cstdio>  // std::vsscanf, std::vsnprintf
#include <cstring> // std::strncmp, std::strlen
#include <memory>  // std::make_unique
#include <utility> // std::move

namespace {

// Characters of an offending line quoted in a report.
const size_t kExcerptLength = 60;

bool StartsWith(const char* text, const char* head)
{
    return std::strncmp(text, head, std::strlen(head)) == 0;
}

// True when a %s conversion stopped at the end of its word, not at its width limit.
bool WordEndsAt(const char* text, int offset)
{
    const unsigned char next = static_cast<unsigned char>(text[offset]);
    return next == '\0' || std::isspace(next) != 0;
}

bool IsBlank(const char* text)
{
    for (; *text != '\0'; ++text) {
        if (std::isspace(static_cast<unsigned char>(*text)) == 0) {
            return false;
        }
    }
    return true;
}

bool IsFinite(float a, float b, float c = 0.0f)
{
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c);
}

// Index of the array that the mesh's vertices follow: the largest, where a later one must be strictly
// larger to win.
int KeyArray(const long counts[4])
{
    int key = 0;
    for (int k = 1; k < 4; ++k) {
        if (counts[k] > counts[key]) {
            key = k;
        }
    }
    return key;
}

} // namespace

void XSceneLoader::SetTables(XShaderManager* shaderTable, XLightManager* lightTable)
{
    shaderTarget = shaderTable;
    lightTarget = lightTable;
}

XShaderManager* XSceneLoader::ShaderTable() const
{
    return shaderTarget != nullptr ? shaderTarget : GetShaderManager();
}

XLightManager* XSceneLoader::LightTable() const
{
    return lightTarget != nullptr ? lightTarget : GetLightManager();
}

void XSceneLoader::SetPath(const char* path)
{
    basePath = path != nullptr ? path : "";
}

// ---------------------------------------------------------------------------------------------------------
// Lines

// Reads the next line into `line`; false (and an empty line) when the data has ended.
bool XSceneLoader::NextLine()
{
    if (!reader.ReadLine(line, sizeof(line))) {
        line[0] = '\0';
        return false;
    }
    CheckLine();
    return true;
}

// Reports what the line just read loses: the part beyond the line's capacity, or everything after a zero
// byte (the line ends there for every pattern, so a name would silently come out shorter).
void XSceneLoader::CheckLine()
{
    if (reader.LastLineCut()) {
        Report(reader.GetLineNumber(), "line longer than %d characters; the rest of it is ignored",
               kLineCapacity - 1);
    }
    const size_t length = std::strlen(line);
    if (length < reader.LastLineLength()) {
        Report(reader.GetLineNumber(), "a zero byte at column %zu; the rest of the line is ignored", length + 1);
    }
}

// Passes over count lines whatever they hold; false when the data ends first.
bool XSceneLoader::Skip(int count)
{
    for (int i = 0; i < count; ++i) {
        if (!reader.ReadLine(line, sizeof(line))) {
            line[0] = '\0';
            return false;
        }
    }
    return true;
}

// Compares the current line with head and reads on until a line begins with it; false when none does.
bool XSceneLoader::FindHead(const char* head)
{
    bool lineRead = false;
    while (!StartsWith(line, head)) {
        if (!reader.ReadLine(line, sizeof(line))) {
            line[0] = '\0';
            return false;
        }
        lineRead = true;
    }
    // The head is read like any other line (the lines passed over on the way are free).
    if (lineRead) {
        CheckLine();
    }
    return true;
}

// Every section searches from the first line. The line left over from the section before is dropped, so
// that it cannot pass for this section's head.
void XSceneLoader::StartSection()
{
    reader.Rewind();
    line[0] = '\0';
}

// Scans the current line with scanf rules; true when all `fields` conversions succeeded.
bool XSceneLoader::ScanLine(const char* pattern, int fields, ...)
{
    va_list arguments;
    va_start(arguments, fields);
    const int converted = std::vsscanf(line, pattern, arguments);
    va_end(arguments);
    return converted == fields;
}

// Logs one problem of the file, with its line number when there is one (lineNumber > 0).
void XSceneLoader::Report(int lineNumber, const char* format, ...)
{
    ++problemCount;
    if (problemCount > kMaxReportedProblems) {
        return;
    }
    char detail[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(detail, sizeof(detail), format, arguments);
    va_end(arguments);
    char where[32] = "";
    if (lineNumber > 0) {
        std::snprintf(where, sizeof(where), ", line %d", lineNumber);
    }

    // Built in one piece: a load may report a hundred problems.
    std::string message;
    message.reserve(sceneFile.size() + std::strlen(where) + 2 + std::strlen(detail));
    message.append(sceneFile).append(where).append(": ").append(detail);
    GetLog()->Log(message);
    problems.push_back(std::move(message));
    if (problemCount == kMaxReportedProblems) {
        const std::string more =
            sceneFile + ": further problems are counted but not listed";
        GetLog()->Log(more);
    }
}

// The start of the current line in quotes, for reports.
std::string XSceneLoader::Excerpt() const
{
    const size_t length = std::strlen(line);
    const size_t kept = std::min(length, kExcerptLength);
    std::string text;
    text.reserve(kept + 5);
    text.append(1, '"').append(line, kept).append(length > kept ? "...\"" : "\"");
    return text;
}

// ---------------------------------------------------------------------------------------------------------
// Loading

void XSceneLoader::Load(const char* /*sceneName*/)
{
    sceneFile = SceneFilePath(GetOptions());
    const bool found = QXOpenResource(sceneFile.c_str());
    // The loader keeps its own copy of the text: the archive holds one current resource, and the texture
    // table's loading may open others (the texture manager's own pictures, when it is created on first use).
    std::vector<unsigned char> text;
    if (found && QXGetData() != nullptr) {
        text.assign(QXGetData(), QXGetData() + QXGetSize());
    }
    // The texture pictures come from the game's archive; select it (again) for the texture table.
    QXSetArchive(GetOptions().archive.c_str(), "");
    if (found) {
        LoadFromMemory(text.data(), static_cast<uint32_t>(text.size()));
    } else {
        LoadFromMemory(nullptr, 0);
        // Counted first in the list, so that the summary names the real cause.
        problems.insert(problems.begin(), sceneFile + ": not found in the archive \"" +
                                              GetOptions().archive + "\"; the scene is empty");
        ++problemCount;
        GetLog()->Log(problems.front());
    }
    if (problemCount > 0) {
        char summary[64] = {};
        std::snprintf(summary, sizeof(summary), "%d problem%s", problemCount, problemCount == 1 ? "" : "s");
        GetLog()->ShowError(std::string("The scene file has ") + summary + ". The first:\n" + problems.front() +
                            "\nEvery problem is listed in Korvath.log.");
    }
}

void XSceneLoader::LoadFromMemory(const unsigned char* bytes, uint32_t size)
{
    problemCount = 0;
    problems.clear();
    materialLines.clear();
    materialCount = 0;
    textureCount = 0;
    line[0] = '\0';
    reader.Attach(bytes, size);

    ReadHead();
    ReadMaterials();
    ReadObjects();
    if (objectsRead) {
        objectsRead();
    }
    const double texturesStart = XFrameProfile::Now();
    ReadTextures();
    if (host != nullptr) {
        host->FinishSceneTextures();
    }
    textureTime = XFrameProfile::Now() - texturesStart;
    ReadLights();
    CheckMaterialTextures();
}

// ---------------------------------------------------------------------------------------------------------
// Head and materials

// "object count : N" two lines after the first line that begins with "object"; informative only, so a
// missing or odd head is not a problem.
void XSceneLoader::ReadHead()
{
    objectCount = 0;
    StartSection();
    if (FindHead("object") && Skip(2) && NextLine()) {
        long count = 0;
        if (ScanLine("object count : %ld", 1, &count)) {
            objectCount = count;
        }
    }
}

void XSceneLoader::ReadMaterials()
{
    XShaderManager* const shaders = ShaderTable();
    StartSection();
    if (!FindHead("material_list")) {
        Report(0, "no \"material_list\" line; the scene has no materials");
        shaders->Resize(0);
        return;
    }
    const int headLine = reader.GetLineNumber();
    long count = 0;
    if (!ScanLine("material_list : %ld", 1, &count)) {
        Report(headLine, "expected \"material_list : <count>\", found %s; no materials", Excerpt().c_str());
        count = 0;
    } else if (count < 0 || count > kMaxMaterials) {
        Report(headLine, "material count %ld is outside 0 .. %d; no materials", count, kMaxMaterials);
        count = 0;
    }
    materialCount = static_cast<int>(count);
    shaders->Resize(materialCount);
    materialLines.assign(static_cast<size_t>(materialCount), headLine);

    // Colour lines in file order fill these slots of the record.
    static const int kColorSlots[4] = {2, 1, 0, 3};
    static const char* const kColorNames[4] = {"first colour", "second colour", "third colour", "fourth colour"};
    static const char* const kTextureNames[3] = {"first texture number", "second texture number",
                                                 "third texture number"};

    for (int m = 0; m < materialCount; ++m) {
        // Two free lines, then the name line (key word and name, not kept).
        if (!Skip(2) || !NextLine()) {
            Report(0, "the file ends before material %d of %d; it and the rest keep default values", m,
                   materialCount);
            return;
        }
        XColor3 colors[4];
        float values[2] = {0.0f, 0.0f};
        long textures[3] = {-1, -1, -1};
        bool complete = true;

        for (int c = 0; c < 4 && complete; ++c) {
            float r = 0.0f;
            float g = 0.0f;
            float b = 0.0f;
            complete = NextLine();
            if (!complete) {
                break;
            }
            if (ScanLine("%*s %f %f %f", 3, &r, &g, &b) && IsFinite(r, g, b)) {
                colors[kColorSlots[c]] = XColor3(r, g, b);
            } else {
                Report(reader.GetLineNumber(), "material %d: expected \"<key> <red> <green> <blue>\" as its %s, "
                       "found %s; black is used", m, kColorNames[c], Excerpt().c_str());
            }
        }
        for (int v = 0; v < 2 && complete; ++v) {
            float value = 0.0f;
            complete = NextLine();
            if (!complete) {
                break;
            }
            if (ScanLine("%*s %f", 1, &value) && std::isfinite(value)) {
                values[v] = value;
            } else {
                Report(reader.GetLineNumber(), "material %d: expected \"<key> <number>\" as its %s value, found %s;"
                       " 0 is used", m, v == 0 ? "first" : "second (transparency)", Excerpt().c_str());
            }
        }
        for (int t = 0; t < 3 && complete; ++t) {
            long number = -1;
            complete = NextLine();
            if (!complete) {
                break;
            }
            if (t == 0) {
                materialLines[static_cast<size_t>(m)] = reader.GetLineNumber();
            }
            if (!ScanLine("%*s %ld", 1, &number)) {
                Report(reader.GetLineNumber(), "material %d: expected \"<key> <texture number>\" as its %s, "
                       "found %s; no texture", m, kTextureNames[t], Excerpt().c_str());
                number = -1;
            } else if (number < -1 || number >= kMaxTextures) {
                Report(reader.GetLineNumber(), "material %d: texture number %ld is neither -1 nor a table row;"
                       " no texture", m, number);
                number = -1;
            }
            textures[t] = number;
        }
        if (!complete) {
            Report(0, "the file ends inside material %d of %d; it and the rest keep default values", m,
                   materialCount);
            return;
        }

        XShader& shader = shaders->GetShader(m);
        for (int c = 0; c < 4; ++c) {
            shader.colors[c] = colors[c];
        }
        shader.param = values[0];
        shader.opacity = 1.0f - values[1];
        shader.texture0 = static_cast<int>(textures[0]);
        shader.texture1 = static_cast<int>(textures[1]);
        shader.hasTexture2 = textures[1] != -1;
        shader.hasBoth = false;
        if (textures[2] != -1) {
            shader.texture1 = static_cast<int>(textures[2]);
        }
        shader.hasTexture3 = textures[2] != -1;
        shader.hasBoth = textures[1] != -1 && textures[2] != -1;
    }
}

// A material's texture number must name a row of the texture table, or the renderers would ask the
// texture manager for a texture it does not have.
void XSceneLoader::CheckMaterialTextures()
{
    XShaderManager* const shaders = ShaderTable();
    for (int m = 0; m < materialCount && m < shaders->GetCount(); ++m) {
        XShader& shader = shaders->GetShader(m);
        int* const numbers[2] = {&shader.texture0, &shader.texture1};
        for (int* const number : numbers) {
            if (*number >= textureCount) {
                Report(materialLines[static_cast<size_t>(m)],
                       "material %d: texture %d is not in the texture table (%d rows); no texture", m, *number,
                       textureCount);
                *number = -1;
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------------------
// Objects

void XSceneLoader::ReadObjects()
{
    StartSection();
    while (FindHead("object_start : ")) {
        const int headLine = reader.GetLineNumber();
        std::string name;
        const int problemsBefore = problemCount;
        if (!ReadObject(name)) {
            if (problemCount == problemsBefore) {
                Report(0, "the file ends inside object \"%s\"", name.c_str());
            }
            Report(headLine, "object \"%s\" is left out of the scene", name.c_str());
        }
        // The next head may be the line that ended this object; a broken object always reads on, but make
        // sure the search can never stand still on the same head.
        if (reader.GetLineNumber() == headLine && !NextLine()) {
            break;
        }
    }
}

// Reads one object block from its head line; builds and appends the node. False (with the problem
// reported) when the object cannot be built.
bool XSceneLoader::ReadObject(std::string& name)
{
    char nameBuffer[kMaxNameLength + 1] = {};
    int nameEnd = 0;
    if (std::sscanf(line, "object_start : %254s%n", nameBuffer, &nameEnd) != 1) {
        Report(reader.GetLineNumber(), "object without a name");
    } else if (!WordEndsAt(line, nameEnd)) {
        Report(reader.GetLineNumber(), "object name longer than %d characters; it is cut", kMaxNameLength);
    }
    name = nameBuffer;

    XVector3 frame[4];
    XVector3 scale;
    if (!Skip(2) || !ReadVector3(frame[0], "first orientation vector") ||
        !ReadVector3(frame[1], "second orientation vector") || !ReadVector3(frame[2], "third orientation vector") ||
        !Skip(1) || !ReadVector3(frame[3], "position") || !Skip(1) || !ReadVector3(scale, "scale")) {
        return false;
    }
    if (scale.x == 0.0f || scale.y == 0.0f || scale.z == 0.0f) {
        Report(reader.GetLineNumber(), "object \"%s\": a scale of 0 flattens the object", name.c_str());
        return false;
    }

    long counts[4] = {0, 0, 0, 0};
    if (!Skip(1) || !ReadCount("vertices : %ld", "vertices : <count>", counts[0]) || !Skip(1) ||
        !ReadVector3List(counts[0], positions, "position") || !Skip(1) ||
        !ReadCount("uv set 0 : %ld", "uv set 0 : <count>", counts[1]) || !Skip(1) ||
        !ReadVector2List(counts[1], texCoords0, "texture coordinate of set 0") || !Skip(1) ||
        !ReadCount("uv set 1 : %ld", "uv set 1 : <count>", counts[2]) || !Skip(1) ||
        !ReadVector2List(counts[2], texCoords1, "texture coordinate of set 1") || !Skip(1) ||
        !ReadCount("normals : %ld", "normals : <count>", counts[3]) || !Skip(1) ||
        !ReadVector3List(counts[3], normals, "normal")) {
        return false;
    }
    // A free line, then "number_of_materials : N" (not used), then the triangle count.
    long totalTriangles = 0;
    if (!Skip(2) || !NextLine()) {
        Report(0, "the file ends inside object \"%s\"", name.c_str());
        return false;
    }
    if (!ParseCount("indice_count : %ld", "indice_count : <triangle count>", totalTriangles)) {
        return false;
    }
    if (totalTriangles < 1) {
        Report(reader.GetLineNumber(), "object \"%s\" has no triangles", name.c_str());
        return false;
    }
    const long keyCount = counts[KeyArray(counts)];
    if (keyCount < 1) {
        Report(reader.GetLineNumber(), "object \"%s\" has no vertices", name.c_str());
        return false;
    }
    if (!ReadGroups(totalTriangles)) {
        return false;
    }
    return BuildNode(name, frame, scale, totalTriangles);
}

// The next line as three finite numbers.
bool XSceneLoader::ReadVector3(XVector3& out, const char* what)
{
    if (!NextLine()) {
        Report(0, "the file ends where the %s of an object should be", what);
        return false;
    }
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    if (!ScanLine("%f %f %f", 3, &x, &y, &z) || !IsFinite(x, y, z)) {
        Report(reader.GetLineNumber(), "expected three numbers (the %s), found %s", what, Excerpt().c_str());
        return false;
    }
    out = XVector3(x, y, z);
    return true;
}

// The next line as a count in the given pattern (see ParseCount).
bool XSceneLoader::ReadCount(const char* pattern, const char* what, long& count)
{
    if (!NextLine()) {
        Report(0, "the file ends where \"%s\" should be", what);
        return false;
    }
    return ParseCount(pattern, what, count);
}

// The current line as a count in the given pattern, within the mesh limits (0 allowed: an array may be
// empty when no corner uses it).
bool XSceneLoader::ParseCount(const char* pattern, const char* what, long& count)
{
    if (std::sscanf(line, pattern, &count) != 1) {
        Report(reader.GetLineNumber(), "expected \"%s\", found %s", what, Excerpt().c_str());
        return false;
    }
    if (count < 0 || count >= XMesh::kMaxCount) {
        Report(reader.GetLineNumber(), "count %ld is outside 0 .. %d", count, XMesh::kMaxCount - 1);
        return false;
    }
    return true;
}

// How many of the `count` lines to come the rest of the data can hold, when each takes at least `shortest`
// characters and a line end: what may be reserved before reading them, so that a count the file claims but
// does not hold costs no memory. (A shorter line only costs the list a reallocation.)
size_t XSceneLoader::LinesLeftFor(long count, size_t shortest) const
{
    return std::min(static_cast<size_t>(count), (reader.RemainingBytes() + 1) / (shortest + 1));
}

bool XSceneLoader::ReadVector3List(long count, std::vector<XVector3>& out, const char* what)
{
    out.clear();
    out.reserve(LinesLeftFor(count, 5)); // "0 0 0"
    for (long i = 0; i < count; ++i) {
        if (!NextLine()) {
            Report(0, "the file ends after %ld of %ld %ss", i, count, what);
            return false;
        }
        float numbers[3] = {0.0f, 0.0f, 0.0f};
        const bool read = ReadPlainFloats(line, 3, numbers) ||
                          ScanLine("%f %f %f", 3, &numbers[0], &numbers[1], &numbers[2]);
        const XVector3 value(numbers[0], numbers[1], numbers[2]);
        if (!read || !IsFinite(value.x, value.y, value.z)) {
            Report(reader.GetLineNumber(), "expected three numbers (%s %ld), found %s", what, i, Excerpt().c_str());
            return false;
        }
        out.push_back(value);
    }
    return true;
}

bool XSceneLoader::ReadVector2List(long count, std::vector<XVector2>& out, const char* what)
{
    out.clear();
    out.reserve(LinesLeftFor(count, 3)); // "0 0"
    for (long i = 0; i < count; ++i) {
        if (!NextLine()) {
            Report(0, "the file ends after %ld of %ld %ss", i, count, what);
            return false;
        }
        float numbers[2] = {0.0f, 0.0f};
        const bool read = ReadPlainFloats(line, 2, numbers) || ScanLine("%f %f", 2, &numbers[0], &numbers[1]);
        const XVector2 value(numbers[0], numbers[1]);
        if (!read || !IsFinite(value.x, value.y)) {
            Report(reader.GetLineNumber(), "expected two numbers (%s %ld), found %s", what, i, Excerpt().c_str());
            return false;
        }
        out.push_back(value);
    }
    return true;
}

// The material groups up to "end_object" (or the end of the data); their triangles must add up to
// totalTriangles.
bool XSceneLoader::ReadGroups(long totalTriangles)
{
    groups.clear();
    corners.clear();
    corners.reserve(LinesLeftFor(totalTriangles, 23) * 3u); // "0/0/0/0 0/0/0/0 0/0/0/0"
    long triangles = 0;

    if (!Skip(1) || !NextLine()) {
        Report(0, "the file ends before the object's triangles");
        return false;
    }
    while (!StartsWith(line, "end_object") && !reader.AtEnd()) {
        long material = 0;
        if (!ScanLine("material_id : %ld", 1, &material)) {
            // Blank lines to the end of the data end the last object as well as "end_object" would.
            if (IsBlank(line) && reader.RestIsBlank()) {
                break;
            }
            // Most likely the next object's head after a missing "end_object": leave it current for the
            // search and accept the object if its triangles are complete.
            Report(reader.GetLineNumber(), "expected \"material_id : <number>\" or \"end_object\", found %s",
                   Excerpt().c_str());
            break;
        }
        if (material < 0 || material >= materialCount) {
            Report(reader.GetLineNumber(), "material %ld is not in the material list (%d materials); the "
                   "renderers will use a default material", material, materialCount);
            material = -1;
        }
        long count = 0;
        if (!NextLine()) {
            Report(0, "the file ends inside a material group");
            return false;
        }
        if (!ScanLine("indice_count : %ld", 1, &count)) {
            Report(reader.GetLineNumber(), "expected \"indice_count : <triangle count>\", found %s",
                   Excerpt().c_str());
            return false;
        }
        if (count < 0 || count > totalTriangles - triangles) {
            Report(reader.GetLineNumber(), "a group of %ld triangles does not fit the %ld triangles that the "
                   "object's indice_count leaves", count, totalTriangles - triangles);
            return false;
        }
        if (!Skip(1)) {
            Report(0, "the file ends inside a material group");
            return false;
        }
        for (long t = 0; t < count; ++t) {
            if (!ReadTriangle()) {
                return false;
            }
        }
        groups.push_back(XMaterialGroup{static_cast<int>(material), static_cast<int>(count)});
        triangles += count;
        // The line after a free one decides: another group, or "end_object". The end of the data ends the
        // groups as well.
        if (!Skip(1) || !NextLine()) {
            break;
        }
    }
    if (triangles != totalTriangles) {
        Report(reader.GetLineNumber(), "the material groups hold %ld triangles, but indice_count says %ld",
               triangles, totalTriangles);
        return false;
    }
    return true;
}

// The next line as one triangle, appended to the corners: three corners of four indices, each inside its
// array.
bool XSceneLoader::ReadTriangle()
{
    if (!NextLine()) {
        Report(0, "the file ends inside a list of triangles");
        return false;
    }
    long v[12] = {};
    // The plain form first; sscanf reads any other form, and says when there is none.
    if (!ReadPlainCorners(line, v) &&
        !ScanLine("%ld/%ld/%ld/%ld %ld/%ld/%ld/%ld %ld/%ld/%ld/%ld", 12, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5],
                  &v[6], &v[7], &v[8], &v[9], &v[10], &v[11])) {
        Report(reader.GetLineNumber(), "expected a triangle \"p/t/u/n p/t/u/n p/t/u/n\", found %s", Excerpt().c_str());
        return false;
    }
    const size_t sizes[4] = {positions.size(), texCoords0.size(), texCoords1.size(), normals.size()};
    static const char* const kArrayNames[4] = {"position", "uv set 0", "uv set 1", "normal"};
    Corner triangle[3];
    for (int c = 0; c < 3; ++c) {
        for (int k = 0; k < 4; ++k) {
            const long index = v[c * 4 + k];
            if (index < 0 || static_cast<size_t>(index) >= sizes[k]) {
                Report(reader.GetLineNumber(), "corner %d: %s index %ld is outside 0 .. %ld", c + 1, kArrayNames[k],
                       index, static_cast<long>(sizes[k]) - 1);
                return false;
            }
        }
        Corner& corner = triangle[c];
        corner.position = static_cast<int>(v[c * 4 + 0]);
        corner.texCoord0 = static_cast<int>(v[c * 4 + 1]);
        corner.texCoord1 = static_cast<int>(v[c * 4 + 2]);
        corner.normal = static_cast<int>(v[c * 4 + 3]);
    }
    corners.insert(corners.end(), triangle, triangle + 3);
    return true;
}

// De-indexes the object's arrays into a mesh (one vertex per element of the largest array), scales it and
// appends the node.
bool XSceneLoader::BuildNode(const std::string& name, const XVector3 frame[4], const XVector3& scale,
                             long totalTriangles)
{
    const long counts[4] = {static_cast<long>(positions.size()), static_cast<long>(texCoords0.size()),
                            static_cast<long>(texCoords1.size()), static_cast<long>(normals.size())};
    const int key = KeyArray(counts);

    std::unique_ptr<XMesh> mesh = std::make_unique<XMesh>();
    mesh->Create(static_cast<int>(counts[key]), static_cast<int>(totalTriangles),
                 XMesh::kPositions | XMesh::kNormals | XMesh::kTexCoordsA | XMesh::kTexCoordsB);
    uint16_t* const triangles = mesh->GetTriangles();
    XVector3* const meshPositions = mesh->GetPositions();
    XVector3* const meshNormals = mesh->GetNormals();
    XVector2* const meshTexCoordsA = mesh->GetTexCoordsA();
    XVector2* const meshTexCoordsB = mesh->GetTexCoordsB();

    for (size_t i = 0; i < corners.size(); ++i) {
        const Corner& corner = corners[i];
        const int keyIndices[4] = {corner.position, corner.texCoord0, corner.texCoord1, corner.normal};
        const int vertex = keyIndices[key];
        // Corners that share a vertex write it again: the last write wins.
        triangles[i] = static_cast<uint16_t>(vertex);
        meshPositions[vertex] = positions[static_cast<size_t>(corner.position)];
        meshTexCoordsA[vertex] = texCoords1[static_cast<size_t>(corner.texCoord1)];
        meshTexCoordsB[vertex] = texCoords0[static_cast<size_t>(corner.texCoord0)];
        meshNormals[vertex] = normals[static_cast<size_t>(corner.normal)];
    }
    mesh->Scale(scale);

    std::unique_ptr<XSceneNode> node = std::make_unique<XSceneNode>();
    node->SetName(name);
    node->SetMesh(std::move(mesh));
    node->SetMaterialGroups(groups);
    node->SetFrame(frame[0], frame[1], frame[2], frame[3]);
    node->UpdateBounds();
    if (scene != nullptr) {
        scene->AddNode(std::move(node));
    }
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// Textures

void XSceneLoader::ReadTextures()
{
    StartSection();
    textureCount = 0;
    if (!FindHead("texture_table")) {
        Report(0, "no \"texture_table\" line; the scene has no textures");
        if (host != nullptr) {
            host->ResizeSceneTextures(0);
        }
        return;
    }
    const int headLine = reader.GetLineNumber();
    long count = 0;
    if (!ScanLine("texture_table : %ld", 1, &count)) {
        Report(headLine, "expected \"texture_table : <count>\", found %s; no textures", Excerpt().c_str());
        count = 0;
    } else if (count < 0 || count > kMaxTextures) {
        Report(headLine, "texture count %ld is outside 0 .. %d; no textures", count, kMaxTextures);
        count = 0;
    }
    textureCount = static_cast<int>(count);
    if (host != nullptr) {
        host->ResizeSceneTextures(textureCount);
    }

    for (int row = 0; row < textureCount; ++row) {
        if (!NextLine()) {
            Report(0, "the file ends after %d of %d texture rows; the rest stay empty", row, textureCount);
            return;
        }
        long index = 0;
        long width = 0;
        long height = 0;
        char type[kMaxWordLength + 1] = {};
        char name[kMaxWordLength + 1] = {};
        char fileName[kMaxFileNameLength + 1] = {};
        int typeEnd = 0;
        int nameEnd = 0;
        int fileEnd = 0;
        const int fields = std::sscanf(line, "%ld %99s%n %ld %ld %99s%n %126s%n", &index, type, &typeEnd, &width,
                                       &height, name, &nameEnd, fileName, &fileEnd);
        if (fields != 6) {
            Report(reader.GetLineNumber(), "texture row %d: expected \"<index> <type> <width> <height> <name> "
                   "<file>\", found %s; the entry stays empty", row, Excerpt().c_str());
            continue;
        }
        if (!WordEndsAt(line, typeEnd) || !WordEndsAt(line, nameEnd)) {
            Report(reader.GetLineNumber(), "texture row %d: a type or name word longer than %d characters; the "
                   "entry stays empty", row, kMaxWordLength);
            continue;
        }
        if (!WordEndsAt(line, fileEnd)) {
            Report(reader.GetLineNumber(), "texture row %d: file name longer than %d characters; the entry stays "
                   "empty", row, kMaxFileNameLength);
            continue;
        }
        // A bare file name lies in the archive's folder "scene"; a name with folders (a map's own light maps,
        // "maps\\NAME\\lightmap0.bmp") is a path from the archive's root.
        const std::string file = fileName;
        const std::string path = file.find('\\') != std::string::npos ? file : "scene\\" + file;
        const bool jpeg = path.find(".jpg") != std::string::npos || path.find(".JPG") != std::string::npos;
        const bool bitmap = !jpeg && path.find(".bmp") != std::string::npos;
        if (!jpeg && !bitmap) {
            Report(reader.GetLineNumber(), "texture row %d: \"%s\" has neither \".jpg\", \".JPG\" nor \".bmp\" in "
                   "its name; the entry stays empty", row, fileName);
        }
        if (host != nullptr) {
            if (jpeg) {
                host->LoadJpegTexture(row, path);
            } else if (bitmap) {
                host->LoadBitmapTexture(row, path);
            }
            host->ShowProgress("Loading texture " + path + ".");
        }
    }
}

// ---------------------------------------------------------------------------------------------------------
// Lights

void XSceneLoader::ReadLights()
{
    XLightManager* const lights = LightTable();
    StartSection();
    if (!FindHead("light_table")) {
        Report(0, "no \"light_table\" line; the scene has no lights");
        lights->SetCount(0);
        return;
    }
    const int headLine = reader.GetLineNumber();
    long count = 0;
    if (!ScanLine("light_table : %ld", 1, &count)) {
        Report(headLine, "expected \"light_table : <count>\", found %s; no lights", Excerpt().c_str());
        count = 0;
    } else if (count < 0) {
        Report(headLine, "light count %ld is negative; no lights", count);
        count = 0;
    } else if (count > XLightManager::kMaxLights) {
        Report(headLine, "%ld lights, but the light table holds %d; the lights after the first %d are ignored",
               count, XLightManager::kMaxLights, XLightManager::kMaxLights);
        count = XLightManager::kMaxLights;
    }

    int stored = 0;
    for (long l = 0; l < count; ++l) {
        if (!Skip(1) || !NextLine()) {
            Report(0, "the file ends after %ld of %ld lights", l, count);
            break;
        }
        float x = 0.0f;
        float y = 0.0f;
        float z = 0.0f;
        const int positionLine = reader.GetLineNumber();
        const bool positionRead = ScanLine("position: %f %f %f", 3, &x, &y, &z) && IsFinite(x, y, z);
        const std::string positionExcerpt = Excerpt();
        if (!NextLine()) {
            Report(0, "the file ends inside light %ld", l);
            break;
        }
        float r = 0.0f;
        float g = 0.0f;
        float b = 0.0f;
        const bool colorRead = ScanLine("color: %f %f %f", 3, &r, &g, &b) && IsFinite(r, g, b);
        if (!positionRead) {
            Report(positionLine, "light %ld: expected \"position: <x> <y> <z>\", found %s; the light is left out", l,
                   positionExcerpt.c_str());
        } else if (!colorRead) {
            Report(reader.GetLineNumber(), "light %ld: expected \"color: <red> <green> <blue>\", found %s; the light "
                   "is left out", l, Excerpt().c_str());
        } else {
            XLight& light = lights->GetLight(stored);
            light.SetPosition(x, y, z);
            light.SetColor(r, g, b);
            ++stored;
        }
    }
    lights->SetCount(stored);
}
