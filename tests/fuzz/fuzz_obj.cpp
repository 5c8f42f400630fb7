// Fuzz target: the Wavefront OBJ parser, fed from memory, with the mesh checked after every input.
#include "FuzzSupport.h"

#include "scene/XWavefront.h"

#include <cstddef> // size_t
#include <cstdint> // uint8_t
#include <memory>  // std::unique_ptr

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    PrepareFuzzEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    XWavefront loader;
    const std::unique_ptr<XMesh> mesh = loader.LoadFromMemory(data, size);
    if (mesh == nullptr) {
        FuzzCheck(!loader.GetError().empty(), "a refused file says why");
        return 0;
    }
    FuzzCheck(loader.GetError().empty(), "no error beside a mesh");
    const uint16_t* const triangles = mesh->GetTriangles();
    for (int t = 0; t < 3 * mesh->GetTriangleCount(); ++t) {
        FuzzCheck(triangles[t] < mesh->GetVertexCount(), "triangle index inside the mesh");
    }
    return 0;
}
