// Fuzz target: the scene file parser, fed from memory, with the scene, material, texture and light results
// checked for consistency after every input.
#include "FuzzSupport.h"

#include "scene/XLightManager.h"
#include "scene/XScene.h"
#include "scene/XSceneLoader.h"
#include "scene/XSceneLoaderHost.h"
#include "scene/XShaderManager.h"

#include <cstddef> // size_t
#include <cstdint> // uint8_t, uint32_t
#include <string>

namespace {

// Checks that the loader only names texture rows inside the table it asked for.
class CheckingHost : public XSceneLoaderHost {
public:
    void ResizeSceneTextures(int count) override
    {
        FuzzCheck(count >= 0 && count <= XSceneLoader::kMaxTextures, "texture table size within its limit");
        rows = count;
    }
    void LoadJpegTexture(int row, const std::string& archivePath) override { CheckRow(row, archivePath); }
    void LoadBitmapTexture(int row, const std::string& archivePath) override { CheckRow(row, archivePath); }
    void ShowProgress(const std::string& text) override
    {
        FuzzCheck(text.size() < 150, "progress text fits the 150-byte buffer");
    }

    int rows = 0;

private:
    void CheckRow(int row, const std::string& archivePath) const
    {
        FuzzCheck(row >= 0 && row < rows, "texture row inside the table");
        FuzzCheck(archivePath.compare(0, 6, "scene\\") == 0 || archivePath.find('\\') != std::string::npos,
                  "texture path under scene\\ or an archive path");
    }
};

void CheckScene(const XScene& scene)
{
    for (int i = 0; i < scene.GetNodeCount(); ++i) {
        const XSceneNode* const node = scene.GetNode(i);
        const XMesh* const mesh = node->GetMesh();
        FuzzCheck(mesh != nullptr, "every loaded node has a mesh");
        FuzzCheck(node->GetName().size() <= 254, "node name within 254 characters");
        const int vertices = mesh->GetVertexCount();
        const uint16_t* const triangles = mesh->GetTriangles();
        for (int t = 0; t < 3 * mesh->GetTriangleCount(); ++t) {
            FuzzCheck(triangles[t] < vertices, "triangle index inside the mesh");
        }
        int grouped = 0;
        for (int g = 0; g < node->GetMaterialGroupCount(); ++g) {
            grouped += node->GetMaterialGroup(g).triangleCount;
        }
        FuzzCheck(grouped == mesh->GetTriangleCount(), "groups cover the triangles");
    }
}

void CheckTables(int textureRows)
{
    XShaderManager* const shaders = GetShaderManager();
    for (int m = 0; m < shaders->GetCount(); ++m) {
        const XShader& shader = shaders->GetShader(m);
        FuzzCheck(shader.texture0 >= -1 && shader.texture0 < textureRows, "texture0 names a table row or none");
        FuzzCheck(shader.texture1 >= -1 && shader.texture1 < textureRows, "texture1 names a table row or none");
    }
    FuzzCheck(GetLightManager()->GetCount() >= 0 && GetLightManager()->GetCount() <= 100, "light count within 100");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    PrepareFuzzEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0xFFFFFFFFu) {
        return 0;
    }
    XScene scene;
    CheckingHost host;
    XSceneLoader loader;
    loader.SetScene(&scene);
    loader.SetHost(&host);
    loader.LoadFromMemory(data, static_cast<uint32_t>(size));
    CheckScene(scene);
    CheckTables(host.rows);
    return 0;
}
