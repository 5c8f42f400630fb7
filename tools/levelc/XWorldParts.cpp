// XWorldParts: cutting the world's triangle list into parts under the engine's mesh limits.
#include "tools/levelc/XWorldParts.h"

#include <algorithm> // std::fill
#include <array>
#include <string>

namespace {

XSceneObject StartPart(int number)
{
    XSceneObject part;
    part.name = number == 1 ? "world" : "world." + std::to_string(number);
    return part;
}

} // namespace

std::vector<XSceneObject> XWorldParts::Split(const XSceneObject& world, int limit)
{
    if (world.VertexCount() < limit && world.TriangleCount() < limit) {
        return {world};
    }
    // The material of every triangle, from the groups.
    std::vector<int> materialOf;
    for (const XSceneGroup& group : world.groups) {
        materialOf.insert(materialOf.end(), static_cast<size_t>(group.triangleCount), group.material);
    }
    materialOf.resize(world.triangles.size(), world.groups.empty() ? 0 : world.groups.back().material);

    std::vector<XSceneObject> parts{StartPart(1)};
    std::vector<int> localOf(world.positions.size(), -1); // the vertex's index in the current part
    for (size_t t = 0; t < world.triangles.size(); ++t) {
        const std::array<int, 3>& corners = world.triangles[t];
        int newVertices = 0;
        for (const int v : corners) {
            newVertices += localOf[static_cast<size_t>(v)] < 0 ? 1 : 0;
        }
        XSceneObject* part = &parts.back();
        if (part->VertexCount() + newVertices >= limit || part->TriangleCount() + 1 >= limit) {
            std::fill(localOf.begin(), localOf.end(), -1);
            parts.push_back(StartPart(static_cast<int>(parts.size()) + 1));
            part = &parts.back();
        }
        std::array<int, 3> local = {0, 0, 0};
        for (size_t k = 0; k < 3; ++k) {
            const size_t v = static_cast<size_t>(corners[k]);
            if (localOf[v] < 0) {
                localOf[v] = part->VertexCount();
                part->positions.push_back(world.positions[v]);
                part->normals.push_back(world.normals[v]);
                part->uv0.push_back(world.uv0[v]);
                part->uv1.push_back(world.uv1[v]);
            }
            local[k] = localOf[v];
        }
        const int material = materialOf[t];
        if (part->groups.empty() || part->groups.back().material != material) {
            part->groups.push_back(XSceneGroup{material, 0});
        }
        ++part->groups.back().triangleCount;
        part->triangles.push_back(local);
    }
    return parts;
}
