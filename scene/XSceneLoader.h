// XSceneLoader: reads the level file "scene\world.msa" and fills the scene's nodes and meshes, the
// material records, the scene texture table (through its host) and the light table.
//
// The format is positional: only section heads and object heads are searched for, every other line is
// found by counting lines from the one before, and lines passed over may hold anything. The four sections
// (materials, objects, textures, lights) are each searched from the first line, so they may stand in any
// order. docs/scene-format.md describes the format for level authors and what the loader does with a file
// that breaks its rules.
//
// No input can crash or stop the loader: every problem is written to the log as one line naming the file,
// the line number and what is wrong, and the loader goes on with the rest (an object that cannot be built
// is left out; a bad texture row leaves its entry empty; surplus lights are ignored).
// Depends on: XScene, XSceneNode, XMesh, XShaderManager, XLightManager, XTextReader, XSceneLoaderHost,
// XArchive (Load only), XLog, XOptions.
#pragma once

#include "math/XVector2.h"
#include "math/XVector3.h"
#include "scene/XMaterialGroup.h"
#include "scene/XTextReader.h"

#include <cstdint>    // uint32_t
#include <functional> // std::function
#include <string>
#include <utility>    // std::move
#include <vector>

class XLightManager;
class XScene;
class XSceneLoaderHost;
class XShaderManager;

class XSceneLoader {
public:
    static constexpr int kLineCapacity = 1000;    // a line holds at most 999 characters; longer ones are cut
    static constexpr int kMaxNameLength = 254;    // object names
    static constexpr int kMaxWordLength = 99;     // the type and name words of a texture row
    static constexpr int kMaxFileNameLength = 126; // texture file names
    static constexpr int kMaxMaterials = 10000;
    static constexpr int kMaxTextures = 10000;
    static constexpr int kMaxReportedProblems = 100; // further problems are counted, not logged

    XSceneLoader() = default;
    XSceneLoader(const XSceneLoader&) = delete;
    XSceneLoader& operator=(const XSceneLoader&) = delete;

    // The scene that receives the nodes (not owned). Without one, objects are parsed and dropped.
    void SetScene(XScene* target) { scene = target; }
    // The base path the game hands over; kept for the record, the file is always "scene\world.msa".
    void SetPath(const char* path);
    const std::string& GetPath() const { return basePath; }
    // Receives the texture table and the progress lines (not owned). Without one, texture rows are
    // checked but nothing is loaded.
    void SetHost(XSceneLoaderHost* target) { host = target; }
    // Called once the file's objects are read, before its texture table: the scene's geometry is complete from
    // then on, so work on it can go on beside the loading of the pictures. None (the default) to call nothing.
    void SetObjectsReadHandler(std::function<void()> handler) { objectsRead = std::move(handler); }

    // The material and light tables the load fills (not owned); null (the default) for the process-wide ones.
    // A level prepared away from the main thread fills tables of its own, swapped in with the level.
    void SetTables(XShaderManager* shaderTable, XLightManager* lightTable);

    // Reads "scene\world.msa" from the selected archive and loads it (the scene name is not used). When
    // anything was wrong, one error box sums the problems up; the log lists each.
    void Load(const char* sceneName);

    // Loads a scene file held in memory: the whole parser, without the archive and without any box.
    // Problems go to the log.
    void LoadFromMemory(const unsigned char* bytes, uint32_t size);

    // Problems found by the last load: all counted, the first kMaxReportedProblems kept as logged.
    int GetProblemCount() const { return problemCount; }
    const std::vector<std::string>& GetProblems() const { return problems; }

    // The count on the "object count" line of the file's head (informative only).
    long GetObjectCount() const { return objectCount; }

    // Milliseconds the last load spent on the texture table: the host's loading of the pictures and its
    // progress lines.
    double GetTextureTime() const { return textureTime; }

private:
    // One triangle corner of the file: indices into the object's four arrays.
    struct Corner {
        int position = 0;
        int texCoord0 = 0;
        int texCoord1 = 0;
        int normal = 0;
    };

    XShaderManager* ShaderTable() const;
    XLightManager* LightTable() const;

    // --- Lines
    bool NextLine();
    void CheckLine();
    bool Skip(int count);
    bool FindHead(const char* head);
    void StartSection();
    bool ScanLine(const char* pattern, int fields, ...) __attribute__((format(scanf, 2, 4)));
    void Report(int lineNumber, const char* format, ...) __attribute__((format(printf, 3, 4)));
    std::string Excerpt() const;

    // --- Sections
    void ReadHead();
    void ReadMaterials();
    void ReadObjects();
    void ReadTextures();
    void ReadLights();
    void CheckMaterialTextures();

    // --- One object
    bool ReadObject(std::string& name);
    bool ReadVector3(XVector3& out, const char* what);
    bool ReadCount(const char* pattern, const char* what, long& count);
    bool ParseCount(const char* pattern, const char* what, long& count);
    bool ReadVector3List(long count, std::vector<XVector3>& out, const char* what);
    bool ReadVector2List(long count, std::vector<XVector2>& out, const char* what);
    bool ReadGroups(long totalTriangles);
    bool ReadTriangle();
    size_t LinesLeftFor(long count, size_t shortest) const;
    bool BuildNode(const std::string& name, const XVector3 frame[4], const XVector3& scale, long totalTriangles);

    XScene* scene = nullptr;
    XSceneLoaderHost* host = nullptr;
    std::function<void()> objectsRead;
    XShaderManager* shaderTarget = nullptr;
    XLightManager* lightTarget = nullptr;
    std::string sceneFile = "scene\\world.msa"; // the archive path of the file being read, for reports
    std::string basePath;
    char line[kLineCapacity] = {};
    long objectCount = 0;
    XTextReader reader;

    int materialCount = 0;
    int textureCount = 0;
    std::vector<int> materialLines; // line of each material's texture numbers, for later reports
    int problemCount = 0;
    std::vector<std::string> problems;
    double textureTime = 0.0;

    // The object being read, reused from one object to the next.
    std::vector<XVector3> positions;
    std::vector<XVector2> texCoords0;
    std::vector<XVector2> texCoords1;
    std::vector<XVector3> normals;
    std::vector<Corner> corners;
    std::vector<XMaterialGroup> groups;
};
