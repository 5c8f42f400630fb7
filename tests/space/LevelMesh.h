// LevelMesh: a level-like world mesh for the octree tests and benchmarks: rooms on a square grid, each a box of
// tessellated floor, ceiling and walls (grid vertices shared within each surface, as an exporter writes them),
// every third room with a square pillar, floors at a few different heights. The triangle list is cut at the
// requested count, so sizes are exact. Header-only so that the benchmarks can use it without a library.
#pragma once

#include "math/XVector3.h"
#include "scene/XMesh.h"

#include <cmath>   // sqrt, ceil
#include <cstdint> // uint16_t, uint32_t
#include <memory>  // unique_ptr
#include <vector>

class LevelMesh {
public:
    // Room size: 16 x 8 x 16 units, surfaces cut into 2-unit cells, walls 0.5 thick.
    static constexpr float roomSize = 16.0f;
    static constexpr float roomHeight = 8.0f;
    static constexpr float cellSize = 2.0f;
    static constexpr float wallInset = 0.25f;

    explicit LevelMesh(int triangleCount)
    {
        const int trianglesPerRoom = 600;
        const int rooms = triangleCount / trianglesPerRoom + 2;
        roomsPerSide = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(rooms))));
        for (int row = 0; row < roomsPerSide && static_cast<int>(indices.size()) < 3 * triangleCount; ++row) {
            for (int column = 0; column < roomsPerSide && static_cast<int>(indices.size()) < 3 * triangleCount;
                 ++column) {
                AddRoom(row, column);
            }
        }
        indices.resize(3 * static_cast<size_t>(triangleCount));
    }

    // The mesh; vertices beyond the last kept triangle stay in it, unused.
    std::unique_ptr<XMesh> MakeMesh() const
    {
        std::unique_ptr<XMesh> mesh(new XMesh());
        mesh->Create(static_cast<int>(positions.size()), static_cast<int>(indices.size() / 3), XMesh::kPositions);
        for (size_t i = 0; i < positions.size(); ++i) {
            mesh->GetPositions()[i] = positions[i];
        }
        for (size_t i = 0; i < indices.size(); ++i) {
            mesh->GetTriangles()[i] = indices[i];
        }
        return mesh;
    }

    int VertexCount() const { return static_cast<int>(positions.size()); }

    // count positions where a player could stand, 1.5 above the floor of rooms that hold triangles, spread
    // over the rooms by a fixed pseudo-random sequence.
    std::vector<XVector3> PlayerPositions(int count) const
    {
        std::vector<XVector3> result;
        uint32_t state = 12345u;
        const int filledRooms = static_cast<int>(roomFloors.size());
        for (int i = 0; i < count; ++i) {
            const int room = static_cast<int>(Next(state) % static_cast<uint32_t>(filledRooms));
            const XVector3& floor = roomFloors[static_cast<size_t>(room)];
            const float u = 1.0f + static_cast<float>(Next(state) % 1400u) / 100.0f;
            const float v = 1.0f + static_cast<float>(Next(state) % 1400u) / 100.0f;
            result.push_back(XVector3(floor.x + u, floor.y + 1.5f, floor.z + v));
        }
        return result;
    }

    // A unit direction, mostly horizontal, from the same kind of sequence.
    static XVector3 Direction(uint32_t& state)
    {
        const float x = static_cast<float>(Next(state) % 2001u) / 1000.0f - 1.0f;
        const float y = (static_cast<float>(Next(state) % 2001u) / 1000.0f - 1.0f) * 0.3f;
        const float z = static_cast<float>(Next(state) % 2001u) / 1000.0f - 1.0f;
        XVector3 direction(x, y, z);
        if (direction.Length() < 0.01f) {
            direction = XVector3(1.0f, 0.0f, 0.0f);
        }
        return direction.Normalized();
    }

    static uint32_t Next(uint32_t& state)
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }

private:
    // A grid of cells spanning origin + s * uSteps * cell along u and t * vSteps * cell along v; corners are
    // wound so that the face looks along the given side of u x v.
    void AddSurface(const XVector3& origin, const XVector3& u, const XVector3& v, int uSteps, int vSteps,
                    bool flip)
    {
        const size_t first = positions.size();
        for (int j = 0; j <= vSteps; ++j) {
            for (int i = 0; i <= uSteps; ++i) {
                positions.push_back(origin + u * (static_cast<float>(i) / static_cast<float>(uSteps)) +
                                    v * (static_cast<float>(j) / static_cast<float>(vSteps)));
            }
        }
        const int stride = uSteps + 1;
        for (int j = 0; j < vSteps; ++j) {
            for (int i = 0; i < uSteps; ++i) {
                const uint16_t a = static_cast<uint16_t>(first + static_cast<size_t>(j * stride + i));
                const uint16_t b = static_cast<uint16_t>(a + 1);
                const uint16_t c = static_cast<uint16_t>(a + stride);
                const uint16_t d = static_cast<uint16_t>(c + 1);
                AddTriangle(a, flip ? c : b, flip ? b : c);
                AddTriangle(b, flip ? c : d, flip ? d : c);
            }
        }
    }

    void AddTriangle(uint16_t a, uint16_t b, uint16_t c)
    {
        indices.push_back(a);
        indices.push_back(b);
        indices.push_back(c);
    }

    void AddRoom(int row, int column)
    {
        const float x0 = static_cast<float>(column) * roomSize + wallInset;
        const float z0 = static_cast<float>(row) * roomSize + wallInset;
        const float y0 = static_cast<float>((row + 2 * column) % 3) * 0.5f;
        const float inner = roomSize - 2.0f * wallInset;
        const int steps = static_cast<int>(roomSize / cellSize);
        const int heightSteps = static_cast<int>(roomHeight / cellSize);
        const XVector3 alongX(inner, 0.0f, 0.0f);
        const XVector3 alongZ(0.0f, 0.0f, inner);
        const XVector3 up(0.0f, roomHeight, 0.0f);
        roomFloors.push_back(XVector3(x0, y0, z0));

        AddSurface(XVector3(x0, y0, z0), alongX, alongZ, steps, steps, true);
        AddSurface(XVector3(x0, y0 + roomHeight, z0), alongX, alongZ, steps, steps, false);
        AddSurface(XVector3(x0, y0, z0), alongX, up, steps, heightSteps, false);
        AddSurface(XVector3(x0, y0, z0 + inner), alongX, up, steps, heightSteps, true);
        AddSurface(XVector3(x0, y0, z0), alongZ, up, steps, heightSteps, true);
        AddSurface(XVector3(x0 + inner, y0, z0), alongZ, up, steps, heightSteps, false);

        if ((row + column) % 3 == 0) {
            const float px = x0 + inner / 2.0f - 0.5f;
            const float pz = z0 + inner / 2.0f - 0.5f;
            const XVector3 side(1.0f, 0.0f, 0.0f);
            const XVector3 depth(0.0f, 0.0f, 1.0f);
            AddSurface(XVector3(px, y0, pz), side, up, 1, heightSteps, true);
            AddSurface(XVector3(px, y0, pz + 1.0f), side, up, 1, heightSteps, false);
            AddSurface(XVector3(px, y0, pz), depth, up, 1, heightSteps, false);
            AddSurface(XVector3(px + 1.0f, y0, pz), depth, up, 1, heightSteps, true);
        }
    }

    int roomsPerSide = 0;
    std::vector<XVector3> positions;
    std::vector<uint16_t> indices;
    std::vector<XVector3> roomFloors;
};
