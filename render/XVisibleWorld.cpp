// XVisibleWorld: the drawing order's index triangles, and each frame's runs: the eye's view cell, the cells it
// sees, their boxes against the view volume.
// Depends on: XVisibility, XMesh, OpenGL.
#include "render/XVisibleWorld.h"

#include "scene/XMesh.h"

#include <GL/gl.h> // glGetFloatv

#include <algorithm> // std::max
#include <cmath>     // fabs, sqrt
#include <utility>   // std::move

namespace {

// The six planes of the view volume (a x + b y + c z + d >= 0 inside), from projection times modelview.
struct Frustum {
    float planes[6][4];
    XVector3 eye;
    float farthest; // from the eye to a far corner of the view volume

    Frustum()
    {
        float projection[16];
        float modelview[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
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

} // namespace

bool XVisibleWorld::Set(XVisibility visibilityData, const XMesh& mesh)
{
    Clear();
    if (visibilityData.Empty() || static_cast<int>(visibilityData.Order().size()) != mesh.GetTriangleCount()) {
        return false;
    }
    visibility = std::move(visibilityData);
    const uint16_t* const triangles = mesh.GetTriangles();
    indices.reserve(3 * visibility.Order().size());
    for (const int32_t t : visibility.Order()) {
        indices.insert(indices.end(), triangles + 3 * t, triangles + 3 * t + 3);
    }
    int materials = 0;
    for (int o = 0; o < visibility.OwnerCount(); ++o) {
        for (const XVisibility::Run& run : visibility.Owner(o).runs) {
            materials = std::max(materials, run.material + 1);
        }
    }
    draws.assign(static_cast<size_t>(materials), {});
    return true;
}

void XVisibleWorld::Clear()
{
    visibility.Clear();
    indices.clear();
    draws.clear();
    selected = false;
    selectedTriangles = 0;
}

bool XVisibleWorld::Select()
{
    for (std::vector<Draw>& list : draws) {
        list.clear();
    }
    selectedTriangles = 0;
    const Frustum frustum;
    const int view = visibility.ViewCellAt(frustum.eye);
    selected = view >= 0 && frustum.farthest <= visibility.Reach();
    if (!selected) {
        return false;
    }
    for (int o = 0; o < visibility.OwnerCount(); ++o) {
        const XVisibility::OwnerCell& owner = visibility.Owner(o);
        if (!visibility.Sees(view, o) || !frustum.MayShow(owner.min, owner.max)) {
            continue;
        }
        for (const XVisibility::Run& run : owner.runs) {
            draws[static_cast<size_t>(run.material)].push_back(Draw{indices.data() + 3 * run.first, run.count});
            selectedTriangles += run.count;
        }
    }
    return true;
}

const std::vector<XVisibleWorld::Draw>& XVisibleWorld::DrawsOf(int material) const
{
    return material >= 0 && material < static_cast<int>(draws.size()) ? draws[static_cast<size_t>(material)] : none;
}
