// XMsaWriter: the scene file's text.
#include "tools/levelc/XMsaWriter.h"

#include <cstdarg> // va_list
#include <cstdio>  // vsnprintf, fopen

namespace {

class TextOut {
public:
    void Line(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        char buffer[512];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof(buffer), format, args);
        va_end(args);
        text += buffer;
        text += '\n';
    }
    std::string text;
};

// Prints a float without a negative zero, so that -0.0000 never appears.
double Clean(float v)
{
    return (v > -0.000005f && v < 0.000005f) ? 0.0 : static_cast<double>(v);
}

void WriteObject(TextOut& out, const XSceneObject& object)
{
    out.Line("object_start : %s ", object.name.c_str());
    out.Line("-- frame: three axes, then the position");
    out.Line("-- rotation");
    out.Line("1.000000 0.000000 0.000000");
    out.Line("0.000000 1.000000 0.000000");
    out.Line("0.000000 0.000000 1.000000");
    out.Line("-- translation");
    out.Line("0.000000 0.000000 0.000000");
    out.Line("-- scale");
    out.Line("1.000000 1.000000 1.000000");
    out.Line("-- positions");
    out.Line("vertices : %d", object.VertexCount());
    out.Line("-- x y z");
    for (const XVector3& p : object.positions) {
        out.Line("%.5f %.5f %.5f", Clean(p.x), Clean(p.y), Clean(p.z));
    }
    out.Line("-- first texture coordinate set");
    out.Line("uv set 0 : %d", static_cast<int>(object.uv0.size()));
    out.Line("-- s t");
    for (const XVector2& t : object.uv0) {
        out.Line("%.7f %.7f", Clean(t.x), Clean(t.y));
    }
    out.Line("-- second texture coordinate set");
    out.Line("uv set 1 : %d", static_cast<int>(object.uv1.size()));
    out.Line("-- s t");
    for (const XVector2& t : object.uv1) {
        out.Line("%.7f %.7f", Clean(t.x), Clean(t.y));
    }
    out.Line("-- normals");
    out.Line("normals : %d", static_cast<int>(object.normals.size()));
    out.Line("-- x y z");
    for (const XVector3& n : object.normals) {
        out.Line("%.5f %.5f %.5f", Clean(n.x), Clean(n.y), Clean(n.z));
    }
    out.Line("-- triangles by material");
    out.Line("number_of_materials : %d", static_cast<int>(object.groups.size()));
    out.Line("indice_count : %d", object.TriangleCount());
    out.Line("-- groups");
    size_t next = 0;
    for (const XSceneGroup& group : object.groups) {
        out.Line("material_id : %d", group.material);
        out.Line("indice_count : %d", group.triangleCount);
        out.Line("-- corners: position/uv0/uv1/normal");
        for (int i = 0; i < group.triangleCount; ++i, ++next) {
            const std::array<int, 3>& t = object.triangles[next];
            out.Line("%d/%d/%d/%d %d/%d/%d/%d %d/%d/%d/%d", t[0], t[0], t[0], t[0], t[1], t[1], t[1], t[1], t[2], t[2],
                     t[2], t[2]);
        }
        out.Line("-- end of group");
    }
    out.Line("end_object");
    out.Line("--");
}

} // namespace

std::string XMsaWriter::Write(const XSceneFile& scene)
{
    TextOut out;
    out.Line("objects");
    out.Line("-- Korvath scene, written by korvath-levelc");
    out.Line("--");
    out.Line("object count : %d", static_cast<int>(scene.objects.size()));
    out.Line("--");
    out.Line("material_list : %d", static_cast<int>(scene.materials.size()));
    for (const XSceneMaterial& material : scene.materials) {
        out.Line("--");
        out.Line("-- material");
        out.Line("name %s", material.name.c_str());
        out.Line("ambient 1.000000 1.000000 1.000000");
        out.Line("diffuse 1.000000 1.000000 1.000000");
        out.Line("specular 0.000000 0.000000 0.000000");
        out.Line("emissive 0.000000 0.000000 0.000000");
        out.Line("shininess 0.000000");
        out.Line("transparency 0.000000");
        out.Line("textureIndex1 %d", material.texture0);
        out.Line("textureIndex2 %d", material.texture1);
        out.Line("textureIndex3 -1");
    }
    out.Line("--");
    for (const XSceneObject& object : scene.objects) {
        WriteObject(out, object);
    }
    out.Line("texture_table : %d", static_cast<int>(scene.textures.size()));
    for (size_t i = 0; i < scene.textures.size(); ++i) {
        const XSceneTexture& t = scene.textures[i];
        out.Line("%d %s %d %d %s %s", static_cast<int>(i), t.type.c_str(), t.width, t.height, t.name.c_str(),
                 t.fileName.c_str());
    }
    out.Line("--");
    out.Line("light_table : %d", static_cast<int>(scene.lights.size()));
    for (const XSceneLight& light : scene.lights) {
        out.Line("--");
        out.Line("position: %.4f %.4f %.4f", Clean(light.position.x), Clean(light.position.y), Clean(light.position.z));
        out.Line("color: %.4f %.4f %.4f", Clean(light.color.x), Clean(light.color.y), Clean(light.color.z));
    }
    out.Line("-- end");
    return out.text;
}

bool XMsaWriter::WriteFile(const std::string& path, const XSceneFile& scene)
{
    const std::string text = Write(scene);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && ok;
}
