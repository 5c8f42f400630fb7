// XWavefront: the OBJ reader.
// Depends on: XMesh, XLog.
#include "scene/XWavefront.h"

#include "shell/XLog.h"

#include <algorithm> // std::copy
#include <cctype>   // std::tolower
#include <cmath>    // std::isfinite
#include <cstdio>   // std::sscanf, std::snprintf
#include <cstring>  // std::memcpy, std::memchr, std::strlen
#include <fstream>  // std::ifstream
#include <iterator> // std::istreambuf_iterator

namespace {

// Copies the next piece of the text into out the way fgets reads a file: up to and including the next
// '\n', or capacity - 1 bytes, whichever comes first. False when the text is used up.
bool NextPiece(const unsigned char* bytes, size_t size, size_t& pos, char* out, size_t capacity)
{
    if (pos >= size) {
        return false;
    }
    const size_t remaining = size - pos;
    const size_t limit = remaining < capacity - 1 ? remaining : capacity - 1;
    const void* const newline = std::memchr(bytes + pos, '\n', limit);
    const size_t length =
        newline != nullptr ? static_cast<size_t>(static_cast<const unsigned char*>(newline) - (bytes + pos)) + 1
                           : limit;
    std::memcpy(out, bytes + pos, length);
    out[length] = '\0';
    pos += length;
    return true;
}

// True when text begins with prefix, letter case ignored.
bool StartsWithNoCase(const char* text, const char* prefix)
{
    for (size_t i = 0; prefix[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

bool AreFinite(float a, float b, float c = 0.0f)
{
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c);
}

// True when the file's number (counting from 1) names an element of a list of count elements.
bool InList(long number, size_t count)
{
    return number >= 1 && static_cast<size_t>(number) <= count;
}

} // namespace

std::unique_ptr<XMesh> XWavefront::LoadFromFile(const char* path)
{
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file) {
        GetLog()->ShowFatal(std::string("XWavefront::LoadFromFile : \nFile not found - ") + path);
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::unique_ptr<XMesh> mesh = LoadFromMemory(bytes.data(), bytes.size());
    if (mesh == nullptr) {
        GetLog()->ShowError(std::string("XWavefront::LoadFromFile : ") + path + ", " + error);
    }
    return mesh;
}

std::unique_ptr<XMesh> XWavefront::LoadFromMemory(const unsigned char* bytes, size_t size)
{
    error.clear();
    positions.clear();
    normals.clear();
    texCoords.clear();
    corners.clear();
    faceLines.clear();
    line[0] = '\0';

    size_t pos = 0;
    int lineNumber = 0;
    bool ok = true;
    while (ok && bytes != nullptr && NextPiece(bytes, size, pos, line, sizeof(line))) {
        ++lineNumber;
        ok = ParseLine(lineNumber);
    }
    std::unique_ptr<XMesh> mesh = ok ? BuildMesh() : nullptr;

    positions.clear();
    normals.clear();
    texCoords.clear();
    corners.clear();
    faceLines.clear();
    return mesh;
}

// Takes one line into the lists; false (with the error set) when a line of a known kind is malformed.
bool XWavefront::ParseLine(int lineNumber)
{
    if (StartsWithNoCase(line, "v ")) {
        XVector3 p;
        if (std::sscanf(line + 2, "%f %f %f", &p.x, &p.y, &p.z) != 3 || !AreFinite(p.x, p.y, p.z)) {
            Fail(lineNumber, "a position line needs three numbers");
            return false;
        }
        positions.push_back(p);
    } else if (StartsWithNoCase(line, "vt ")) {
        XVector2 t;
        if (std::sscanf(line + 3, "%f %f", &t.x, &t.y) != 2 || !AreFinite(t.x, t.y)) {
            Fail(lineNumber, "a texture coordinate line needs two numbers");
            return false;
        }
        texCoords.push_back(t);
    } else if (StartsWithNoCase(line, "vn ")) {
        XVector3 n;
        if (std::sscanf(line + 3, "%f %f %f", &n.x, &n.y, &n.z) != 3 || !AreFinite(n.x, n.y, n.z)) {
            Fail(lineNumber, "a normal line needs three numbers");
            return false;
        }
        normals.push_back(n);
    } else if (StartsWithNoCase(line, "f ")) {
        long v[9] = {};
        if (std::sscanf(line + 2, "%ld/%ld/%ld %ld/%ld/%ld %ld/%ld/%ld", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5],
                        &v[6], &v[7], &v[8]) != 9) {
            Fail(lineNumber, "a face needs at least three corners written position/texture/normal");
            return false;
        }
        if (corners.size() / 3u + 1u >= static_cast<size_t>(XMesh::kMaxCount)) {
            Fail(lineNumber, "more faces than a mesh can hold (49999)");
            return false;
        }
        for (int c = 0; c < 3; ++c) {
            Corner corner;
            corner.position = v[c * 3 + 0];
            corner.texCoord = v[c * 3 + 1];
            corner.normal = v[c * 3 + 2];
            corners.push_back(corner);
        }
        faceLines.push_back(lineNumber);
    }
    return true;
}

void XWavefront::Fail(int lineNumber, const char* problem)
{
    char where[32] = {};
    std::snprintf(where, sizeof(where), "line %d: ", lineNumber);
    error = std::string(where) + problem;
}

// One vertex per element of the key list; the other attributes copied to the vertices the corners name.
std::unique_ptr<XMesh> XWavefront::BuildMesh()
{
    const size_t faceCount = corners.size() / 3u;
    if (faceCount == 0) {
        error = "no faces: a mesh needs at least one \"f\" line";
        return nullptr;
    }
    enum class Key { Positions, Normals, TexCoords };
    Key key = Key::Positions;
    size_t keyCount = positions.size();
    if (normals.size() > keyCount) {
        key = Key::Normals;
        keyCount = normals.size();
    }
    if (texCoords.size() > keyCount) {
        key = Key::TexCoords;
        keyCount = texCoords.size();
    }
    if (keyCount >= static_cast<size_t>(XMesh::kMaxCount)) {
        char problem[120] = {};
        std::snprintf(problem, sizeof(problem), "%zu vertices, more than a mesh can hold (49999)", keyCount);
        error = problem;
        return nullptr;
    }

    for (size_t i = 0; i < corners.size(); ++i) {
        const Corner& corner = corners[i];
        if (!InList(corner.position, positions.size()) || !InList(corner.texCoord, texCoords.size()) ||
            !InList(corner.normal, normals.size())) {
            char problem[240] = {};
            std::snprintf(problem, sizeof(problem),
                          "corner %zu names %ld/%ld/%ld, but the file has %zu positions, %zu texture coordinates "
                          "and %zu normals",
                          i % 3u + 1u, corner.position, corner.texCoord, corner.normal, positions.size(),
                          texCoords.size(), normals.size());
            Fail(faceLines[i / 3u], problem);
            return nullptr;
        }
    }

    std::unique_ptr<XMesh> mesh = std::make_unique<XMesh>();
    mesh->Create(static_cast<int>(keyCount), static_cast<int>(faceCount),
                 XMesh::kPositions | XMesh::kNormals | XMesh::kTexCoordsA);
    XVector3* const meshPositions = mesh->GetPositions();
    XVector3* const meshNormals = mesh->GetNormals();
    XVector2* const meshTexCoords = mesh->GetTexCoordsA();
    uint16_t* const triangles = mesh->GetTriangles();

    switch (key) {
    case Key::Positions:
        std::copy(positions.begin(), positions.end(), meshPositions);
        break;
    case Key::Normals:
        std::copy(normals.begin(), normals.end(), meshNormals);
        break;
    case Key::TexCoords:
        std::copy(texCoords.begin(), texCoords.end(), meshTexCoords);
        break;
    }
    for (size_t i = 0; i < corners.size(); ++i) {
        const size_t position = static_cast<size_t>(corners[i].position - 1);
        const size_t texCoord = static_cast<size_t>(corners[i].texCoord - 1);
        const size_t normal = static_cast<size_t>(corners[i].normal - 1);
        const size_t vertex = key == Key::Positions ? position : (key == Key::Normals ? normal : texCoord);
        triangles[i] = static_cast<uint16_t>(vertex);
        if (key != Key::Positions) {
            meshPositions[vertex] = positions[position];
        }
        if (key != Key::Normals) {
            meshNormals[vertex] = normals[normal];
        }
        if (key != Key::TexCoords) {
            meshTexCoords[vertex] = texCoords[texCoord];
        }
    }
    return mesh;
}
