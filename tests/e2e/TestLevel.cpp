// TestLevel: scene file writer and archive packing for end-to-end tests.
#include "TestLevel.h"

#include "ProgramRun.h"
#include "support/TestArchive.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {

std::string Number(float value)
{
    char buffer[32] = {};
    std::snprintf(buffer, sizeof(buffer), "%.6g", value);
    return buffer;
}

std::string Vector(const XVector3& v)
{
    return Number(v.x) + " " + Number(v.y) + " " + Number(v.z);
}

// An 8x8 BMP of one colour.
Bytes ColourBmp(unsigned char r, unsigned char g, unsigned char b)
{
    Bytes rgb;
    for (int i = 0; i < 64; ++i) {
        rgb.push_back(r);
        rgb.push_back(g);
        rgb.push_back(b);
    }
    return EncodeBmp(8, 8, rgb);
}

} // namespace

TestLevel& TestLevel::Quad(const XVector3& a, const XVector3& b, const XVector3& c, const XVector3& d)
{
    corners.insert(corners.end(), {a, b, c, d});
    return *this;
}

TestLevel& TestLevel::Floor(float y, float x0, float z0, float x1, float z1)
{
    return Quad(XVector3(x0, y, z0), XVector3(x0, y, z1), XVector3(x1, y, z1), XVector3(x1, y, z0));
}

TestLevel& TestLevel::Ceiling(float y, float x0, float z0, float x1, float z1)
{
    return Quad(XVector3(x0, y, z0), XVector3(x1, y, z0), XVector3(x1, y, z1), XVector3(x0, y, z1));
}

TestLevel& TestLevel::WallFacingMinusZ(float z, float x0, float x1, float y0, float y1)
{
    return Quad(XVector3(x0, y0, z), XVector3(x0, y1, z), XVector3(x1, y1, z), XVector3(x1, y0, z));
}

TestLevel& TestLevel::WallFacingMinusX(float x, float z0, float z1, float y0, float y1)
{
    return Quad(XVector3(x, y0, z0), XVector3(x, y0, z1), XVector3(x, y1, z1), XVector3(x, y1, z0));
}

TestLevel& TestLevel::Light(const XVector3& position, const XVector3& color)
{
    lights.emplace_back(position, color);
    return *this;
}

TestLevel& TestLevel::WithoutWorld()
{
    withWorld = false;
    return *this;
}

TestLevel& TestLevel::WithoutEntry(const std::string& name)
{
    leftOut.push_back(name);
    return *this;
}

TestLevel& TestLevel::WhiteSurfaces()
{
    white = true;
    return *this;
}

TestLevel& TestLevel::InParts(int quads)
{
    quadsPerPart = quads;
    return *this;
}

std::string TestLevel::SceneText() const
{
    std::ostringstream out;
    out << "objects\n--\n--\nobject count : 1\n";
    out << "material_list : 1\n--\n--\nname wall\nambient 1 1 1\ndiffuse 1 1 1\nspecular 0 0 0\n"
           "emissive 0 0 0\nshininess 0\ntransparency 0\ntexture1 0\ntexture2 1\ntexture3 -1\n";
    const size_t allQuads = corners.size() / 4;
    const size_t perPart = quadsPerPart > 0 ? static_cast<size_t>(quadsPerPart) : allQuads;
    for (size_t firstQuad = 0; withWorld && firstQuad < allQuads; firstQuad += perPart) {
        const size_t quads = std::min(perPart, allQuads - firstQuad);
        const size_t vertices = quads * 4;
        const XVector3* const part = corners.data() + firstQuad * 4;
        const size_t number = firstQuad / perPart + 1;
        out << "object_start : " << (number == 1 ? std::string("world") : "world." + std::to_string(number))
            << "\n--\n--\n1 0 0\n0 1 0\n0 0 1\n--\n0 0 0\n--\n1 1 1\n--\n";
        out << "vertices : " << vertices << "\n--\n";
        for (size_t i = 0; i < vertices; ++i) {
            out << Vector(part[i]) << "\n";
        }
        out << "--\nuv set 0 : " << vertices << "\n--\n";
        for (size_t i = 0; i < vertices; ++i) {
            out << "0.5 0.5\n";
        }
        out << "--\nuv set 1 : " << vertices << "\n--\n";
        for (size_t i = 0; i < vertices; ++i) {
            const XVector3& p = part[i];
            out << Number(p.x * 0.25f + p.y * 0.25f) << " " << Number(p.z * 0.25f + p.y * 0.125f) << "\n";
        }
        out << "--\nnormals : " << quads << "\n--\n";
        for (size_t q = 0; q < quads; ++q) {
            const XVector3& a = part[q * 4];
            const XVector3& b = part[q * 4 + 1];
            const XVector3& c = part[q * 4 + 2];
            out << Vector(Cross(b - a, c - b).Normalized()) << "\n";
        }
        out << "--\nnumber_of_materials : 1\nindice_count : " << quads * 2 << "\n--\n";
        out << "material_id : 0\nindice_count : " << quads * 2 << "\n--\n";
        for (size_t q = 0; q < quads; ++q) {
            const size_t v = q * 4;
            auto corner = [&](size_t i) {
                return std::to_string(i) + "/" + std::to_string(i) + "/" + std::to_string(i) + "/" +
                       std::to_string(q);
            };
            out << corner(v) << " " << corner(v + 1) << " " << corner(v + 2) << "\n";
            out << corner(v) << " " << corner(v + 2) << " " << corner(v + 3) << "\n";
        }
        out << "--\nend_object\n";
    }
    out << "texture_table : 2\n0 diffuse 8 8 base base.bmp\n1 lightmap 8 8 light light.bmp\n";
    out << "light_table : " << lights.size() << "\n";
    for (const auto& light : lights) {
        out << "--\nposition: " << Vector(light.first) << "\ncolor: " << Vector(light.second) << "\n";
    }
    return out.str();
}

bool TestLevel::WriteArchive(const std::filesystem::path& path) const
{
    const std::filesystem::path data = std::filesystem::path(KORVATH_BINARY_DIR) / "data";
    if (!std::filesystem::is_directory(data)) {
        return false;
    }
    std::vector<ZipEntry> entries;
    for (const auto& file : std::filesystem::recursive_directory_iterator(data)) {
        if (!file.is_regular_file()) {
            continue;
        }
        const std::string name = std::filesystem::relative(file.path(), data).generic_string();
        if (name.rfind("scene/", 0) == 0 || std::find(leftOut.begin(), leftOut.end(), name) != leftOut.end()) {
            continue; // the default level stays out, and so do the entries a test leaves out
        }
        entries.push_back({name, ReadFileBytes(file.path())});
    }
    const std::string scene = SceneText();
    entries.push_back({"scene/world.msa", Bytes(scene.begin(), scene.end())});
    entries.push_back({"scene/base.bmp", white ? ColourBmp(255, 255, 255) : ColourBmp(200, 180, 160)});
    entries.push_back({"scene/light.bmp", white ? ColourBmp(255, 255, 255) : ColourBmp(200, 200, 200)});
    WriteZip(path.string(), entries);
    return true;
}
