// XMaterialGroup: a run of a mesh's triangles drawn with one material record.
//
// A node's groups cover its triangles in order: group g starts right after the triangles of groups
// 0 .. g - 1 (see XSceneNode::GetGroupFirstTriangle).
// Depends on: nothing.
#pragma once

struct XMaterialGroup {
    int materialId = 0;    // index of an XShader of the shader manager
    int triangleCount = 0; // triangles in the run
};
