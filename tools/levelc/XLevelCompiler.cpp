// XLevelCompiler: the compile steps from source to scene file.
//
// File index: helpers; culling; the world object; the scene; Compile.
#include "tools/levelc/XLevelCompiler.h"

#include "tools/levelc/XCsg.h"
#include "tools/levelc/XLevelError.h"
#include "tools/levelc/XLevelParser.h"
#include "tools/levelc/XLightmapAtlas.h"
#include "tools/levelc/XModelBuilder.h"
#include "tools/levelc/XMsaWriter.h"
#include "tools/levelc/XRayTracer.h"
#include "tools/levelc/XSpaceGrid.h"
#include "tools/levelc/XVisibilityBuilder.h"
#include "tools/levelc/XSurface.h"
#include "tools/levelc/XWorldParts.h"

#include <stb_image.h>       // stbi_load
#include <stb_image_write.h> // stbi_write_bmp

#include <algorithm> // min, max
#include <chrono>    // steady_clock
#include <cmath>     // fabs, floor, ceil
#include <cstdio>    // snprintf, remove
#include <map>
#include <sys/stat.h> // mkdir
#include <tuple>

namespace {

// ------------------------------------------------------------------------------------------------ helpers

const char* const kSkyTexture = "sky_clouds.jpg";
const char* const kWeaponTexture = "weapons.jpg";

bool MakeFolder(const std::string& path)
{
    struct stat info = {};
    if (stat(path.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    return mkdir(path.c_str(), 0755) == 0;
}

// The average colour of a picture file, 0..1; false when it cannot be read.
bool AverageColor(const std::string& path, XVector3d& average, int& width, int& height)
{
    int channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, 3);
    if (pixels == nullptr) {
        return false;
    }
    double sum[3] = {0.0, 0.0, 0.0};
    const size_t count = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < count; ++i) {
        for (int c = 0; c < 3; ++c) {
            sum[c] += pixels[i * 3 + c];
        }
    }
    stbi_image_free(pixels);
    average = XVector3d(sum[0], sum[1], sum[2]) / (255.0 * static_cast<double>(count));
    return true;
}

XVector3 ToFloat(const XVector3d& v)
{
    return v.ToFloat();
}

// Records how long each step of a compile takes, in the order the steps run.
class StageClock {
public:
    explicit StageClock(std::vector<XStageTime>& target) : stages(target), start(std::chrono::steady_clock::now()) {}

    // Ends the step that ran since the last call (or since the clock was made) under the given name.
    void Lap(const char* name)
    {
        const auto now = std::chrono::steady_clock::now();
        stages.push_back(XStageTime{name, std::chrono::duration<double>(now - start).count()});
        start = now;
    }

private:
    std::vector<XStageTime>& stages;
    std::chrono::steady_clock::time_point start;
};

// ------------------------------------------------------------------------------------------------ culling

// Points spread over a fragment: its centre, its corners pulled a tenth towards the centre, and a grid of
// points one unit apart.
std::vector<XVector3d> SamplePoints(const XFragment& fragment)
{
    const std::vector<XVector3d>& points = fragment.polygon.Points();
    const XVector3d centre = fragment.polygon.Centroid();
    std::vector<XVector3d> result = {centre};
    for (const XVector3d& p : points) {
        result.push_back(p + (centre - p) * 0.1);
    }
    XVector3d axisU;
    XVector3d axisV;
    XLightmapAtlas::PlaneAxes(fragment.plane.normal, axisU, axisV);
    double minU = 1e30;
    double maxU = -1e30;
    double minV = 1e30;
    double maxV = -1e30;
    for (const XVector3d& p : points) {
        minU = std::min(minU, Dot(p, axisU));
        maxU = std::max(maxU, Dot(p, axisU));
        minV = std::min(minV, Dot(p, axisV));
        maxV = std::max(maxV, Dot(p, axisV));
    }
    const double offset = Dot(centre, fragment.plane.normal);
    for (double u = std::floor(minU) + 0.5; u < maxU; u += 1.0) {
        for (double v = std::floor(minV) + 0.5; v < maxV; v += 1.0) {
            const XVector3d p = axisU * u + axisV * v + fragment.plane.normal * offset;
            bool inside = true;
            for (size_t i = 0; i < points.size() && inside; ++i) {
                const XVector3d edge = points[(i + 1) % points.size()] - points[i];
                inside = Dot(Cross(edge, p - points[i]), fragment.plane.normal) >= -1e-9;
            }
            if (inside) {
                result.push_back(p);
            }
        }
    }
    return result;
}

std::vector<XFragment> CullHidden(const std::vector<XFragment>& fragments, const XSpaceGrid& grid)
{
    std::vector<XFragment> kept;
    for (const XFragment& fragment : fragments) {
        for (const XVector3d& p : SamplePoints(fragment)) {
            if (grid.NearReachable(p + fragment.plane.normal * 0.05)) {
                kept.push_back(fragment);
                break;
            }
        }
    }
    return kept;
}

// The level's settings the game needs besides its scene: where the player starts (format in XLevelInfo.h).
bool WriteLevelInfo(const std::string& path, const XLevelSource& level)
{
    FILE* const file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    std::fprintf(file, "# %s\nspawn %.9g %.9g %.9g\n", level.name.c_str(), level.spawn.x, level.spawn.y, level.spawn.z);
    return std::fclose(file) == 0;
}

// ------------------------------------------------------------------------------------------------ the world object

struct WorldBuild {
    std::vector<int> textureRows;       // level material -> texture table row
    std::map<std::pair<int, int>, int> sceneMaterial; // (texture row, page) -> scene material
};

} // namespace

std::string XLevelCompiler::LightmapName(int page)
{
    return "lightmap" + std::to_string(page) + ".bmp";
}

std::string XLevelCompiler::OutputFolder(const XCompileSettings& settings)
{
    return settings.map.empty() ? "scene" : "maps/" + settings.map;
}

XCompileStats XLevelCompiler::CompileFile(const std::string& sourcePath, const std::string& stagingFolder,
                                          const XBakeSettings& settings)
{
    XCompileSettings compile;
    compile.bake = settings;
    return CompileFile(sourcePath, stagingFolder, compile);
}

XCompileStats XLevelCompiler::CompileFile(const std::string& sourcePath, const std::string& stagingFolder,
                                          const XCompileSettings& settings)
{
    const auto start = std::chrono::steady_clock::now();
    const XLevelSource level = XLevelParser::ParseFile(sourcePath);
    const double parseSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    XSceneFile scene;
    XCompileStats stats = Compile(level, stagingFolder, settings, scene);
    stats.stages.insert(stats.stages.begin(), XStageTime{"parse", parseSeconds});
    return stats;
}

XCompileStats XLevelCompiler::Compile(const XLevelSource& level, const std::string& stagingFolder,
                                      const XBakeSettings& settings, XSceneFile& scene)
{
    XCompileSettings compile;
    compile.bake = settings;
    return Compile(level, stagingFolder, compile, scene);
}

XCompileStats XLevelCompiler::Compile(const XLevelSource& source, const std::string& stagingFolder,
                                      const XCompileSettings& compile, XSceneFile& scene)
{
    XCompileStats stats;
    StageClock clock(stats.stages);
    const std::string& file = source.fileName;
    // At preview quality the level is baked coarser and without bounced light.
    XLevelSource preview;
    XBakeSettings settings = compile.bake;
    const bool previewLight = compile.quick || compile.quickLight;
    if (previewLight) {
        preview = source;
        preview.texelSize = std::min(4.0, source.texelSize * 2.0);
        preview.bounce = 0.0;
        settings.hemisphereRays = std::min(settings.hemisphereRays, 4);
    }
    const XLevelSource& level = previewLight ? preview : source;

    // The base textures are always those of <staging>/scene; a map's own files go to a folder of their own, and
    // its scene file names every picture by its archive path.
    const bool isMap = !compile.map.empty();
    if (isMap && (compile.map.size() > static_cast<size_t>(kMaxMapName) ||
                  compile.map.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-_") != std::string::npos)) {
        throw XLevelError(file, 0, "a map's name takes 1 to " + std::to_string(kMaxMapName) +
                                       " small letters, digits, '-' and '_': '" + compile.map + "'");
    }
    const std::string sceneFolder = stagingFolder + "/scene";
    const std::string outputFolder = stagingFolder + "/" + OutputFolder(compile);
    const std::string texturePrefix = isMap ? "scene\\" : "";
    const std::string lightmapPrefix = isMap ? "maps\\" + compile.map + "\\" : "";
    if (!MakeFolder(stagingFolder) || (isMap && !MakeFolder(stagingFolder + "/maps")) || !MakeFolder(outputFolder)) {
        throw XLevelError(file, 0, "cannot make the folder " + outputFolder);
    }
    stats.solids = static_cast<int>(level.solids.size());

    // Base textures: their rows in the texture table (in order of declaration) and average colours.
    scene = XSceneFile();
    std::map<std::string, int> rowOfTexture;
    std::vector<XVector3d> albedo;
    auto addTexture = [&](const std::string& name, const std::string& type, int line) {
        XVector3d average;
        int width = 0;
        int height = 0;
        if (!AverageColor(sceneFolder + "/" + name, average, width, height)) {
            throw XLevelError(file, line, "the texture '" + name + "' is not in " + sceneFolder +
                                              " (or is not a picture)");
        }
        if (rowOfTexture.count(name) == 0) {
            rowOfTexture[name] = static_cast<int>(scene.textures.size());
            XSceneTexture row;
            row.type = type;
            row.width = width;
            row.height = height;
            row.name = name.substr(0, name.find('.'));
            row.fileName = texturePrefix + name;
            scene.textures.push_back(row);
        }
        return average;
    };
    WorldBuild build;
    for (const XLevelMaterial& material : level.materials) {
        albedo.push_back(addTexture(material.texture, "diffuse", material.line));
        build.textureRows.push_back(rowOfTexture[material.texture]);
    }

    // Lights must shine from open space.
    for (const XLevelLight& light : level.lights) {
        for (const XSolid& solid : level.solids) {
            if (solid.Contains(light.position, 0.0)) {
                throw XLevelError(file, light.line, "the light lies inside the solid of line " +
                                                        std::to_string(solid.SourceLine()));
            }
        }
    }
    if (level.lights.size() < 5) {
        stats.warnings.push_back("fewer than five lights: the weapon is lit by lights 0 to 4");
    }

    clock.Lap("textures");

    // The visible surface.
    const std::vector<XFragment> fragments = XCsg::VisibleFragments(level.solids);
    stats.fragments = static_cast<int>(fragments.size());
    clock.Lap("csg");
    const XSpaceGrid::Bounds bounds = XSpaceGrid::BoundsOf(level.solids);
    if (bounds.CellCount() > static_cast<double>(XSpaceGrid::kMaxCells)) {
        const XVector3d size = bounds.max - bounds.min;
        char text[320];
        std::snprintf(text, sizeof(text),
                      "the box around all solids is %.6g x %.6g x %.6g units, too large: its grid of 0.5-unit cells "
                      "would have %.3g cells, and at most %.3g fit (such as 1,000 x 1,000 units, 33 high; the "
                      "camera sees 200 units far)",
                      size.x, size.y, size.z, bounds.CellCount(), static_cast<double>(XSpaceGrid::kMaxCells));
        throw XLevelError(file, 0, text);
    }
    XSpaceGrid grid(level.solids);
    const XVector3d seed = level.spawn + XVector3d(0.0, 2.0, 0.0);
    if (!grid.Flood(seed)) {
        throw XLevelError(file, level.spawnLine, "the spawn point lies inside a solid or outside the level");
    }
    if (grid.LeaksSideways()) {
        char where[128];
        std::snprintf(where, sizeof(where), " (first at %.1f %.1f %.1f)", grid.LeakPoint().x, grid.LeakPoint().y,
                      grid.LeakPoint().z);
        stats.warnings.push_back(std::string("the open space around the spawn reaches the sides or the bottom of the "
                                             "level's box") + where + ": the level is not closed, so faces that look "
                                             "out of it are kept");
    }
    stats.reachableCells = grid.ReachableCount();
    clock.Lap("flood");
    const std::vector<XFragment> visible = CullHidden(fragments, grid);
    stats.culledFragments = stats.fragments - static_cast<int>(visible.size());
    clock.Lap("cull");
    const XSurface surface = XSurface::Build(visible);
    stats.polygons = static_cast<int>(surface.polygons.size());
    clock.Lap("surface");

    // Light maps.
    XLightmapAtlas atlas;
    atlas.Build(surface, level.texelSize, level.pageSize);
    stats.charts = static_cast<int>(atlas.Charts().size());
    stats.pages = atlas.PageCount();
    stats.pageUsage = atlas.Usage();
    clock.Lap("charts");
    std::vector<XRayTracer::Triangle> triangles;
    std::vector<int> triangleCharts;
    std::vector<int> triangleMaterials;
    for (const XSurfacePolygon& polygon : surface.polygons) {
        for (const std::array<int, 3>& t : polygon.triangles) {
            triangles.push_back({surface.vertices[static_cast<size_t>(t[0])], surface.vertices[static_cast<size_t>(t[1])],
                                 surface.vertices[static_cast<size_t>(t[2])]});
            triangleCharts.push_back(polygon.chart);
            triangleMaterials.push_back(polygon.material);
        }
    }
    const XRayTracer tracer(triangles);

    // The player must start on a floor with room above.
    XRayHit below;
    if (!tracer.Nearest(seed, XVector3d(0.0, -1.0, 0.0), 0.0, 2.5, below) ||
        Dot(XConvexPolygon({triangles[static_cast<size_t>(below.triangle)].p0,
                            triangles[static_cast<size_t>(below.triangle)].p1,
                            triangles[static_cast<size_t>(below.triangle)].p2})
                .Normal(),
            XVector3d(0.0, 1.0, 0.0)) < 0.7071) {
        throw XLevelError(file, level.spawnLine, "the spawn point does not stand on a floor (no floor within 0.5 "
                                                 "units below it)");
    }
    if (tracer.Blocked(level.spawn + XVector3d(0.0, 0.1, 0.0), level.spawn + XVector3d(0.0, 4.2, 0.0), 0.0)) {
        throw XLevelError(file, level.spawnLine, "there is no room for the player (4 units) above the spawn point");
    }

    clock.Lap("tracer");

    // The light-map pages follow the base textures in the texture table.
    std::vector<int> lightmapRows;
    for (int p = 0; p < atlas.PageCount(); ++p) {
        lightmapRows.push_back(static_cast<int>(scene.textures.size()));
        XSceneTexture row;
        row.type = "lightmap";
        row.width = atlas.PageSize();
        row.height = atlas.PageSize();
        row.name = "lightmap" + std::to_string(p);
        row.fileName = lightmapPrefix + LightmapName(p);
        scene.textures.push_back(row);
    }

    // Scene materials of the world: one per (base texture, light-map page), in that order.
    for (const XSurfacePolygon& polygon : surface.polygons) {
        const int page = atlas.Charts()[static_cast<size_t>(polygon.chart)].page;
        build.sceneMaterial[{build.textureRows[static_cast<size_t>(polygon.material)], page}] = 0;
    }
    for (auto& entry : build.sceneMaterial) {
        entry.second = static_cast<int>(scene.materials.size());
        XSceneMaterial material;
        material.name = scene.textures[static_cast<size_t>(entry.first.first)].name + "_lm" +
                        std::to_string(entry.first.second);
        material.texture0 = entry.first.first;
        material.texture1 = lightmapRows[static_cast<size_t>(entry.first.second)];
        scene.materials.push_back(material);
    }

    // The world object: a vertex per (welded vertex, chart, level material), triangles sorted by material.
    XSceneObject world;
    world.name = "world";
    std::map<std::tuple<int, int, int>, int> vertexOf;
    std::vector<std::pair<int, std::array<int, 3>>> sorted;
    for (const XSurfacePolygon& polygon : surface.polygons) {
        const XChart& chart = atlas.Charts()[static_cast<size_t>(polygon.chart)];
        const XLevelMaterial& material = level.materials[static_cast<size_t>(polygon.material)];
        const int sceneMaterial =
            build.sceneMaterial[{build.textureRows[static_cast<size_t>(polygon.material)], chart.page}];
        XVector3d axisU;
        XVector3d axisV;
        XLightmapAtlas::PlaneAxes(chart.normal, axisU, axisV);
        for (const std::array<int, 3>& t : polygon.triangles) {
            std::array<int, 3> corners = {0, 0, 0};
            for (int k = 0; k < 3; ++k) {
                const auto key = std::make_tuple(t[static_cast<size_t>(k)], polygon.chart, polygon.material);
                const auto found = vertexOf.find(key);
                if (found != vertexOf.end()) {
                    corners[static_cast<size_t>(k)] = found->second;
                    continue;
                }
                const XVector3d& p = surface.vertices[static_cast<size_t>(t[static_cast<size_t>(k)])];
                const int index = world.VertexCount();
                world.positions.push_back(ToFloat(p));
                world.normals.push_back(ToFloat(chart.normal));
                world.uv0.push_back(atlas.PageCoordinates(polygon.chart, p));
                world.uv1.push_back(XVector2(static_cast<float>(Dot(p, axisU) / material.unitsPerRepeat),
                                             static_cast<float>(Dot(p, axisV) / material.unitsPerRepeat)));
                vertexOf[key] = index;
                corners[static_cast<size_t>(k)] = index;
            }
            sorted.emplace_back(sceneMaterial, corners);
        }
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& entry : sorted) {
        if (world.groups.empty() || world.groups.back().material != entry.first) {
            world.groups.push_back(XSceneGroup{entry.first, 0});
        }
        ++world.groups.back().triangleCount;
        world.triangles.push_back(entry.second);
    }
    stats.worldVertices = world.VertexCount();
    stats.worldTriangles = world.TriangleCount();
    stats.worldMaterials = static_cast<int>(world.groups.size());
    if (world.TriangleCount() == 0) {
        throw XLevelError(file, 0, "the world has no triangles");
    }
    // A world beyond the engine's mesh limits goes into the scene file in parts; everything before the scene
    // file (baking, visibility) works on the whole.
    const std::vector<XSceneObject> worldParts = XWorldParts::Split(world, kMaxCount);
    stats.worldParts = static_cast<int>(worldParts.size());

    clock.Lap("world");

    XLightBaker baker(level, surface, atlas, tracer, triangleCharts, triangleMaterials, albedo, settings);
    baker.Bake();
    if (baker.Stopped()) {
        throw XLevelError(file, 0, "the compile was stopped before its light maps were baked");
    }
    clock.Lap("bake");
    for (int p = 0; p < atlas.PageCount(); ++p) {
        const std::vector<unsigned char> bytes = baker.PageBytes(p);
        const std::string path = outputFolder + "/" + LightmapName(p);
        if (stbi_write_bmp(path.c_str(), atlas.PageSize(), atlas.PageSize(), 3, bytes.data()) == 0) {
            throw XLevelError(file, 0, "cannot write " + path);
        }
    }
    // Pages of an earlier compile beyond this one's count would otherwise be packed with the level.
    int stale = atlas.PageCount();
    while (std::remove((outputFolder + "/" + LightmapName(stale)).c_str()) == 0) {
        ++stale;
    }
    clock.Lap("light maps");

    // What can be seen from where, in a file of its own beside the scene file.
    XVisibilitySettings visibilitySettings;
    visibilitySettings.threads = settings.threads;
    visibilitySettings.sampled = !compile.quick;
    const XSolidCells solidCells(level.solids, grid);
    const XVisibility visibility = XVisibilityBuilder::Build(world, grid, solidCells, visibilitySettings);
    stats.visibilityViewCells = static_cast<int>(visibility.views.size());
    stats.visibilityOwnerCells = static_cast<int>(visibility.owners.size());
    stats.visibilityAverageSeen = visibility.AverageSeen();
    const std::string visibilityPath = outputFolder + "/world.vis";
    if (!XVisibilityBuilder::WriteFile(visibilityPath, visibility)) {
        throw XLevelError(file, 0, "cannot write " + visibilityPath);
    }
    clock.Lap("visibility");

    // The other objects and their materials (no light map).
    auto modelMaterial = [&](const char* name, const char* texture) {
        addTexture(texture, "diffuse", 0);
        XSceneMaterial material;
        material.name = name;
        material.texture0 = rowOfTexture[texture];
        material.texture1 = -1;
        scene.materials.push_back(material);
        return static_cast<int>(scene.materials.size()) - 1;
    };
    const int skyMaterial = modelMaterial("sky", kSkyTexture);
    const int weaponMaterial = modelMaterial("weapon", kWeaponTexture);
    scene.objects.insert(scene.objects.end(), worldParts.begin(), worldParts.end());
    scene.objects.push_back(XModelBuilder::SkyDome(skyMaterial));
    scene.objects.push_back(XModelBuilder::PlasmaGun(weaponMaterial));
    scene.objects.push_back(XModelBuilder::RocketLauncher(weaponMaterial));
    scene.objects.push_back(XModelBuilder::Bullet(weaponMaterial));

    for (const XLevelLight& light : level.lights) {
        scene.lights.push_back(XSceneLight{ToFloat(light.position), ToFloat(light.color)});
    }
    const std::string scenePath = outputFolder + "/world.msa";
    if (!XMsaWriter::WriteFile(scenePath, scene)) {
        throw XLevelError(file, 0, "cannot write " + scenePath);
    }
    const std::string infoPath = outputFolder + "/world.info";
    if (!WriteLevelInfo(infoPath, level)) {
        throw XLevelError(file, 0, "cannot write " + infoPath);
    }
    clock.Lap("scene file");
    return stats;
}
