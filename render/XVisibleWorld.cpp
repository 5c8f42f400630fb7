// XVisibleWorld: the drawing order's index triangles, and each frame's runs: the eye's view cell, the cells it
// sees, their boxes against the view volume.
// Depends on: XVisibility, XMesh, OpenGL.
#include "render/XVisibleWorld.h"

#include "scene/XMesh.h"

#include <GL/gl.h> // glGetFloatv

#include <algorithm> // std::fill, std::max, std::sort
#include <cmath>     // fabs, sqrt
#include <utility>   // std::move, std::pair

namespace {

// The six planes of the view volume (a x + b y + c z + d >= 0 inside), from projection times modelview.
struct Frustum {
    float planes[6][4];
    XVector3 eye;
    float farthest; // from the eye to a far corner of the view volume

    Frustum(const float (&projection)[16], const float (&modelview)[16])
    {
        // The eye: minus the translation turned back by the transposed rotation.
        const double tx = modelview[12];
        const double ty = modelview[13];
        const double tz = modelview[14];
        // A perspective projection's far plane and the half widths of its view at unit depth, from its terms.
        farthest = 0.0f;
        if (projection[11] < 0.0f && projection[0] != 0.0f && projection[5] != 0.0f && projection[10] != -1.0f) {
            const double far = projection[14] / (projection[10] + 1.0);
            const double halfWidth = 1.0 / projection[0];
            const double halfHeight = 1.0 / projection[5];
            farthest = static_cast<float>(std::fabs(far) * std::sqrt(1.0 + halfWidth * halfWidth + halfHeight * halfHeight));
        }
        eye = XVector3(static_cast<float>(-(modelview[0] * tx + modelview[1] * ty + modelview[2] * tz)),
                       static_cast<float>(-(modelview[4] * tx + modelview[5] * ty + modelview[6] * tz)),
                       static_cast<float>(-(modelview[8] * tx + modelview[9] * ty + modelview[10] * tz)));
        float m[16]; // column-major, as OpenGL keeps them: m[column * 4 + row]
        for (int column = 0; column < 4; ++column) {
            for (int row = 0; row < 4; ++row) {
                float sum = 0.0f;
                for (int k = 0; k < 4; ++k) {
                    sum += projection[k * 4 + row] * modelview[column * 4 + k];
                }
                m[column * 4 + row] = sum;
            }
        }
        for (int axis = 0; axis < 3; ++axis) {
            for (int column = 0; column < 4; ++column) {
                planes[2 * axis][column] = m[column * 4 + 3] + m[column * 4 + axis];
                planes[2 * axis + 1][column] = m[column * 4 + 3] - m[column * 4 + axis];
            }
        }
    }

    // False only when the whole box lies outside one plane (with a margin for rounding).
    bool MayShow(const XVector3& min, const XVector3& max) const
    {
        for (const auto& p : planes) {
            const float x = p[0] >= 0.0f ? max.x : min.x;
            const float y = p[1] >= 0.0f ? max.y : min.y;
            const float z = p[2] >= 0.0f ? max.z : min.z;
            const float scale = std::max(std::fabs(p[0]), std::max(std::fabs(p[1]), std::fabs(p[2])));
            if (p[0] * x + p[1] * y + p[2] * z + p[3] < -1e-3f * (1.0f + scale)) {
                return false;
            }
        }
        return true;
    }
};

// From a point to the nearest point of a box, squared (0 inside it).
float DistanceSquared(const XVector3& point, const XVector3& min, const XVector3& max)
{
    const float dx = std::max(std::max(min.x - point.x, point.x - max.x), 0.0f);
    const float dy = std::max(std::max(min.y - point.y, point.y - max.y), 0.0f);
    const float dz = std::max(std::max(min.z - point.z, point.z - max.z), 0.0f);
    return dx * dx + dy * dy + dz * dz;
}

// The distance bands of the near-to-far order, by their outer distance squared; farther cells are the last band.
constexpr float kBandLimits[] = {8.0f * 8.0f,   16.0f * 16.0f, 24.0f * 24.0f, 32.0f * 32.0f,
                                 48.0f * 48.0f, 64.0f * 64.0f, 96.0f * 96.0f, 128.0f * 128.0f};
constexpr int kBands = static_cast<int>(sizeof(kBandLimits) / sizeof(kBandLimits[0])) + 1;

int BandOf(float distanceSquared)
{
    int band = 0;
    while (band < kBands - 1 && distanceSquared >= kBandLimits[band]) {
        ++band;
    }
    return band;
}

} // namespace

bool XVisibleWorld::Set(XVisibility visibilityData, const std::vector<const XMesh*>& parts)
{
    Clear();
    // Where each part's triangles begin in the world's numbering.
    std::vector<int> partStart{0};
    for (const XMesh* const part : parts) {
        partStart.push_back(partStart.back() + part->GetTriangleCount());
    }
    if (parts.empty() || visibilityData.Empty() ||
        static_cast<int>(visibilityData.Order().size()) != partStart.back()) {
        return false;
    }
    visibility = std::move(visibilityData);
    const std::vector<int32_t>& order = visibility.Order();
    indices.assign(parts.size(), {});
    ownerRuns.assign(static_cast<size_t>(visibility.OwnerCount()), {});
    int materials = 0;
    for (int o = 0; o < visibility.OwnerCount(); ++o) {
        for (const XVisibility::Run& run : visibility.Owner(o).runs) {
            materials = std::max(materials, run.material + 1);
            // The run's triangles of each part, in the run's order.
            for (size_t p = 0; p < parts.size(); ++p) {
                std::vector<uint16_t>& partIndices = indices[p];
                const int first = static_cast<int>(partIndices.size() / 3);
                const uint16_t* const triangles = parts[p]->GetTriangles();
                for (int i = run.first; i < run.first + run.count; ++i) {
                    const int t = order[static_cast<size_t>(i)];
                    if (t >= partStart[p] && t < partStart[p + 1]) {
                        const uint16_t* const triangle = triangles + 3 * (t - partStart[p]);
                        partIndices.insert(partIndices.end(), triangle, triangle + 3);
                    }
                }
                const int count = static_cast<int>(partIndices.size() / 3) - first;
                if (count > 0) {
                    ownerRuns[static_cast<size_t>(o)].push_back(PartRun{static_cast<int>(p), run.material, first, count});
                }
            }
        }
    }
    draws.assign(parts.size(), std::vector<std::vector<Draw>>(static_cast<size_t>(materials)));
    cursors.assign(parts.size(), std::vector<size_t>(static_cast<size_t>(materials)));
    nearFirst.reserve(static_cast<size_t>(visibility.OwnerCount()));
    size_t runs = 0;
    for (const std::vector<PartRun>& cellRuns : ownerRuns) {
        runs += cellRuns.size();
    }
    nearToFar.reserve(runs);
    size_t indexCount = 0;
    for (const std::vector<uint16_t>& part : indices) {
        indexCount += part.size();
    }
    joined.reserve(indexCount);
    joinedByMaterial.reserve(indexCount);
    joinedOf.assign(parts.size(), std::vector<Draw>(static_cast<size_t>(materials), Draw{nullptr, -1, 0}));
    return true;
}

void XVisibleWorld::Clear()
{
    visibility.Clear();
    indices.clear();
    ownerRuns.clear();
    draws.clear();
    cursors.clear();
    nearFirst.clear();
    nearToFar.clear();
    joined.clear();
    joinedOf.clear();
    joinedByMaterial.clear();
    selected = false;
    selectedTriangles = 0;
}

bool XVisibleWorld::Select()
{
    float projection[16];
    float modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    return Select(projection, modelview);
}

void XVisibleWorld::SelectWhole()
{
    for (std::vector<std::vector<Draw>>& part : draws) {
        for (std::vector<Draw>& list : part) {
            list.clear();
        }
    }
    nearToFar.clear();
    joined.clear();
    for (std::vector<Draw>& part : joinedOf) {
        std::fill(part.begin(), part.end(), Draw{nullptr, -1, 0});
    }
    joinedByMaterial.clear();
    selectedTriangles = 0;
    selected = false;
}

bool XVisibleWorld::Select(const float (&projection)[16], const float (&modelview)[16])
{
    SelectWhole();
    const Frustum frustum(projection, modelview);
    const int view = visibility.ViewCellAt(frustum.eye);
    selected = view >= 0 && frustum.farthest <= visibility.Reach() && visibility.EyeMayBeAt(frustum.eye);
    if (!selected) {
        return false;
    }
    // Nearest cells first, so that the depth test spares the rasteriser most of what lies behind them.
    nearFirst.clear();
    for (int o = 0; o < visibility.OwnerCount(); ++o) {
        const XVisibility::OwnerCell& owner = visibility.Owner(o);
        if (visibility.Sees(view, o) && frustum.MayShow(owner.min, owner.max)) {
            nearFirst.emplace_back(DistanceSquared(frustum.eye, owner.min, owner.max), o);
        }
    }
    std::sort(nearFirst.begin(), nearFirst.end());
    for (const std::pair<float, int>& cell : nearFirst) {
        const int band = BandOf(cell.first);
        for (const PartRun& run : ownerRuns[static_cast<size_t>(cell.second)]) {
            const uint16_t* const first = indices[static_cast<size_t>(run.part)].data() + 3 * run.first;
            std::vector<Draw>& list = draws[static_cast<size_t>(run.part)][static_cast<size_t>(run.material)];
            list.push_back(Draw{first, run.count, band});
            selectedTriangles += run.count;
        }
    }
    OrderNearToFar();
    return true;
}

// Each material's list holds its runs nearest cell first, so a band's runs of a material follow one another in
// it: the bands are dealt out of the lists in turn.
void XVisibleWorld::OrderNearToFar()
{
    for (std::vector<size_t>& part : cursors) {
        std::fill(part.begin(), part.end(), 0);
    }
    const size_t materials = cursors.empty() ? 0 : cursors.front().size();
    for (int band = 0; band < kBands; ++band) {
        for (size_t material = 0; material < materials; ++material) {
            for (size_t part = 0; part < draws.size(); ++part) {
                const std::vector<Draw>& list = draws[part][material];
                size_t& next = cursors[part][material];
                for (; next < list.size() && list[next].band == band; ++next) {
                    Append(static_cast<int>(part), static_cast<int>(material), list[next]);
                }
            }
        }
    }
}

void XVisibleWorld::AppendTriangles(const Draw& run, std::vector<uint16_t>& list)
{
    list.insert(list.end(), run.indices, run.indices + 3 * run.count);
}

void XVisibleWorld::Append(int part, int material, const Draw& run)
{
    if (nearToFar.empty() || nearToFar.back().part != part || nearToFar.back().material != material) {
        nearToFar.push_back(OrderedDraw{part, material, run});
        lastIsJoined = false;
        return;
    }
    // The same part and material as the draw before: the run joins it, in the joined list, where the draw's
    // triangles are the last. The list never grows past the room Set made, so the draws pointing into it stay valid.
    Draw& last = nearToFar.back().run;
    if (!lastIsJoined) {
        const uint16_t* const start = joined.data() + joined.size();
        AppendTriangles(last, joined);
        last.indices = start;
        lastIsJoined = true;
    }
    AppendTriangles(run, joined);
    last.count += run.count;
}

const std::vector<XVisibleWorld::Draw>& XVisibleWorld::DrawsOf(int part, int material) const
{
    if (part < 0 || part >= static_cast<int>(draws.size())) {
        return none;
    }
    const std::vector<std::vector<Draw>>& ofPart = draws[static_cast<size_t>(part)];
    return material >= 0 && material < static_cast<int>(ofPart.size()) ? ofPart[static_cast<size_t>(material)] : none;
}

XVisibleWorld::Draw XVisibleWorld::JoinedDrawOf(int part, int material)
{
    const std::vector<Draw>& runs = DrawsOf(part, material);
    if (runs.size() <= 1) {
        return runs.empty() ? Draw{nullptr, 0, 0} : runs.front();
    }
    // DrawsOf found runs, so part and material are in range. Every run is copied at most once a frame: the list
    // never grows past the room Set made, and the draws pointing into it stay valid.
    Draw& made = joinedOf[static_cast<size_t>(part)][static_cast<size_t>(material)];
    if (made.count < 0) {
        made = Draw{joinedByMaterial.data() + joinedByMaterial.size(), 0, runs.front().band};
        for (const Draw& run : runs) {
            AppendTriangles(run, joinedByMaterial);
            made.count += run.count;
        }
    }
    return made;
}
