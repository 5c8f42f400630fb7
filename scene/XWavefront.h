// XWavefront: builds one XMesh from a Wavefront OBJ text file on disk.
//
// It reads the position ("v "), texture coordinate ("vt "), normal ("vn ") and face ("f ") lines, letter
// case ignored in the prefixes, and de-indexes them into the mesh's single index list: the mesh gets one
// vertex per element of the largest of the three lists (positions, then normals, then texture coordinates;
// a later list must be strictly larger to win), and the other attributes are copied to the vertices the
// faces name; a vertex named by several corners keeps the last value written. Faces are written
// "f v/vt/vn v/vt/vn v/vt/vn" (numbers from 1); only the first three corners of a face are used, and
// lines of every kind may stand anywhere in the file. Lines longer than 9999 bytes are split in pieces.
// Anything else (other kinds of line) is passed over.
// Depends on: XMesh, XVector2, XVector3, XLog.
#pragma once

#include "math/XVector2.h"
#include "math/XVector3.h"
#include "scene/XMesh.h"

#include <cstddef> // size_t
#include <memory>  // std::unique_ptr
#include <string>
#include <vector>

class XWavefront {
public:
    static constexpr int kLineCapacity = 10000;

    XWavefront() = default;
    XWavefront(const XWavefront&) = delete;
    XWavefront& operator=(const XWavefront&) = delete;

    // Reads the file (opened in binary mode). A file that cannot be opened stops the program with
    // "XWavefront::LoadFromFile : \nFile not found - " and the path. A file that cannot make a mesh (no
    // faces, a malformed line, an index outside its list, counts beyond the mesh limits) shows an error
    // naming the file, the line and the problem, and gives null.
    std::unique_ptr<XMesh> LoadFromFile(const char* path);

    // Builds the mesh from OBJ text held in memory; null on failure, with the reason in GetError().
    // Shows nothing.
    std::unique_ptr<XMesh> LoadFromMemory(const unsigned char* bytes, size_t size);

    // Why the last load gave null; empty after a successful one.
    const std::string& GetError() const { return error; }

private:
    // One face corner: the file's numbers (counting from 1) into the three lists.
    struct Corner {
        long position = 0;
        long texCoord = 0;
        long normal = 0;
    };

    bool ParseLine(int lineNumber);
    void Fail(int lineNumber, const char* problem);
    std::unique_ptr<XMesh> BuildMesh();

    char line[kLineCapacity] = {};
    std::string error;
    std::vector<XVector3> positions;
    std::vector<XVector3> normals;
    std::vector<XVector2> texCoords;
    std::vector<Corner> corners; // three per face
    std::vector<int> faceLines;  // the line of each face, for reports
};
