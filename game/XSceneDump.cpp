// XSceneDump: the loaded scene as one JSON document.
#include "game/XSceneDump.h"

#include "game/JsonText.h"
#include "render/XTextureManager.h"
#include "scene/XLightManager.h"
#include "scene/XMesh.h"
#include "scene/XScene.h"
#include "scene/XSceneNode.h"
#include "scene/XShaderManager.h"
#include "space/XOctTree.h"
#include "space/XOctTreeStats.h"

#include <cstdio> // fopen

namespace {

void AppendColor(std::string& out, const XColor3& c)
{
    out += '[';
    AppendJsonNumber(out, c.r);
    out += ", ";
    AppendJsonNumber(out, c.g);
    out += ", ";
    AppendJsonNumber(out, c.b);
    out += ']';
}

void AppendNode(std::string& out, const XSceneNode& node)
{
    const XMesh* const mesh = node.GetMesh();
    out += "    {\"name\": ";
    AppendJsonString(out, node.GetName());
    out += ", \"vertices\": ";
    AppendJsonInteger(out, mesh != nullptr ? mesh->GetVertexCount() : 0);
    out += ", \"triangles\": ";
    AppendJsonInteger(out, mesh != nullptr ? mesh->GetTriangleCount() : 0);
    out += ",\n     \"bounds\": {\"center\": ";
    AppendJsonVector(out, node.GetBounds().center);
    out += ", \"size\": ";
    AppendJsonVector(out, node.GetBounds().size);
    const XFrame& frame = node.GetFrame();
    out += "},\n     \"frame\": {\"rot0\": ";
    AppendJsonVector(out, frame.rot0);
    out += ", \"rot1\": ";
    AppendJsonVector(out, frame.rot1);
    out += ", \"rot2\": ";
    AppendJsonVector(out, frame.rot2);
    out += ", \"translate\": ";
    AppendJsonVector(out, frame.translate);
    out += "},\n     \"materialGroups\": [";
    for (int g = 0; g < node.GetMaterialGroupCount(); ++g) {
        const XMaterialGroup group = node.GetMaterialGroup(g);
        out += g > 0 ? ", " : "";
        out += "{\"material\": ";
        AppendJsonInteger(out, group.materialId);
        out += ", \"triangles\": ";
        AppendJsonInteger(out, group.triangleCount);
        out += '}';
    }
    out += "]}";
}

void AppendNameList(std::string& out, const std::vector<XSceneNode*>& nodes)
{
    out += '[';
    for (size_t i = 0; i < nodes.size(); ++i) {
        out += i > 0 ? ", " : "";
        AppendJsonString(out, nodes[i]->GetName());
    }
    out += ']';
}

void AppendMaterials(std::string& out)
{
    XShaderManager* const shaders = GetShaderManager();
    out += "  \"materials\": [";
    for (int i = 0; i < shaders->GetCount(); ++i) {
        const XShader& shader = shaders->GetShader(i);
        out += i > 0 ? ",\n    " : "\n    ";
        out += "{\"texture0\": ";
        AppendJsonInteger(out, shader.texture0);
        out += ", \"texture1\": ";
        AppendJsonInteger(out, shader.texture1);
        out += ", \"colors\": [";
        for (int c = 0; c < 4; ++c) {
            out += c > 0 ? ", " : "";
            AppendColor(out, shader.colors[c]);
        }
        out += "], \"opacity\": ";
        AppendJsonNumber(out, shader.opacity);
        out += ", \"param\": ";
        AppendJsonNumber(out, shader.param);
        out += ", \"hasTexture2\": ";
        AppendJsonBool(out, shader.hasTexture2);
        out += ", \"hasTexture3\": ";
        AppendJsonBool(out, shader.hasTexture3);
        out += ", \"hasBoth\": ";
        AppendJsonBool(out, shader.hasBoth);
        out += '}';
    }
    out += "],\n";
}

void AppendTextures(std::string& out)
{
    XTextureManager* const textures = GetTextureManager();
    out += "  \"textures\": [";
    for (int i = 0; i < textures->GetSceneTextureCount(); ++i) {
        out += i > 0 ? ",\n    " : "\n    ";
        out += "{\"row\": ";
        AppendJsonInteger(out, i);
        out += ", \"name\": ";
        const XTexture* const texture = textures->GetTexture(i);
        if (texture != nullptr) {
            AppendJsonString(out, texture->GetName());
        } else {
            out += "null";
        }
        out += '}';
    }
    out += "],\n";
}

void AppendLights(std::string& out)
{
    const XLightManager* const lights = GetLightManager();
    out += "  \"lights\": {\"count\": ";
    AppendJsonInteger(out, lights->GetCount());
    out += ", \"list\": [";
    for (int i = 0; i < lights->GetCount(); ++i) {
        const XLight& light = lights->GetLight(i);
        out += i > 0 ? ",\n    " : "\n    ";
        out += "{\"position\": ";
        AppendJsonVector(out, light.GetPosition());
        out += ", \"color\": ";
        AppendColor(out, light.GetColor());
        out += '}';
    }
    out += "]},\n";
}

void AppendOctree(std::string& out, const XScene& scene)
{
    out += "  \"octree\": ";
    if (scene.GetOctree() == nullptr) {
        out += "null\n";
        return;
    }
    const XOctTreeStats stats = XOctTreeStats::Gather(*scene.GetOctree());
    out += "{\"collision\": {\"nodes\": ";
    AppendJsonInteger(out, stats.nodeCount);
    out += ", \"leaves\": ";
    AppendJsonInteger(out, stats.leafCount);
    out += ", \"trianglesInLeaves\": ";
    AppendJsonInteger(out, stats.leafTriangles);
    out += ", \"deepestLevel\": ";
    AppendJsonInteger(out, stats.deepestLevel);
    out += "}, \"render\": {\"nodes\": ";
    AppendJsonInteger(out, stats.renderNodeCount);
    out += ", \"trianglesAtRoot\": ";
    AppendJsonInteger(out, stats.renderRootTriangles);
    out += "}}\n";
}

} // namespace

std::string SceneDumpText(const XScene& scene)
{
    std::string out = "{\n  \"nodes\": [";
    for (int i = 0; i < scene.GetNodeCount(); ++i) {
        out += i > 0 ? ",\n" : "\n";
        AppendNode(out, *scene.GetNode(i));
    }
    out += "],\n  \"plainNodes\": ";
    AppendNameList(out, scene.GetPlainNodes());
    out += ",\n  \"tangentNodes\": ";
    AppendNameList(out, scene.GetTangentNodes());
    out += ",\n";
    AppendMaterials(out);
    AppendTextures(out);
    AppendLights(out);
    AppendOctree(out, scene);
    out += "}\n";
    return out;
}

bool WriteSceneDump(const XScene& scene, const std::string& path)
{
    const std::string text = SceneDumpText(scene);
    FILE* const file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        std::fprintf(stderr, "korvath: --dump-scene: cannot write '%s'\n", path.c_str());
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}
