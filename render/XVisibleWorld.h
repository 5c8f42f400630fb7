// XVisibleWorld: the world's triangles a frame draws when the level comes with visibility data.
//
// It keeps the world's index triangles in the visibility data's drawing order (by the cell that holds them,
// then by material), and each frame picks the runs of the cells that the eye's view cell sees and whose boxes
// meet the view volume. The world and spotlight passes then draw, for each material, just those runs. An eye in
// no view cell (flying outside the level), or a view volume whose far corners lie beyond the data's reach (a
// wider field of view or picture than the level was compiled for), draws the whole world, as a level without
// visibility data does.
// A world in parts ("world", "world.2", ...) is numbered as one: the data's triangle numbers run through the
// parts in turn, and each run is cut into a run a part, keeping the run's order.
// Depends on: XVisibility, XMesh, OpenGL (the current matrices).
#pragma once

#include "math/XVector3.h"
#include "scene/XVisibility.h"

#include <cstdint>
#include <utility>
#include <vector>

class XMesh;

class XVisibleWorld {
public:
    // A run to draw: its first index triangle and how many, and the distance band of its cell (see NearToFar).
    struct Draw {
        const uint16_t* indices;
        int count;
        int band;
    };
    // A run with the part and material it is drawn with.
    struct OrderedDraw {
        int part;
        int material;
        Draw run;
    };

    // Takes over the visibility data of the world's meshes (which must outlive this object's use of them);
    // false when the data does not fit them.
    bool Set(XVisibility visibilityData, const std::vector<const XMesh*>& parts);
    void Clear();
    bool Active() const { return !visibility.Empty(); }

    // Picks this frame's runs from the current OpenGL projection and modelview matrices (the eye is where the
    // modelview puts the origin of the view). False when the eye is in no view cell or the view reaches farther
    // than the data: then the whole world is to be drawn.
    bool Select();
    // The same for the given matrices (column-major, as OpenGL keeps them).
    bool Select(const float (&projection)[16], const float (&modelview)[16]);
    // Asks for the whole world this frame, as an eye outside every view cell does.
    void SelectWhole();
    // Whether the last Select picked runs (rather than asking for the whole world).
    bool Selected() const { return selected; }
    // The picked runs of a material in a part of the world, the runs of the cells nearest the eye first.
    const std::vector<Draw>& DrawsOf(int part, int material) const;
    // The same runs as one draw, their triangles in the same order (none, with count 0, when there are no runs).
    // The triangles of several runs are copied together the first time a frame asks for them.
    Draw JoinedDrawOf(int part, int material);
    // Every picked run for a world whose materials are all opaque, nearest first across materials: the cells
    // fall into distance bands from the eye (under 8 units, 16, 24, 32, 48, 64, 96, 128, and beyond), the nearer
    // band first; within a band the runs go material by material, and a material's runs nearest cell first. So the
    // depth test spares the rasteriser most of the texturing behind near walls, at the cost of a texture change
    // a material a band (a strict cell-by-cell order shades fewer fragments still, but its texture change a run
    // costs more than that saves). Where two opaque surfaces give a pixel the same depth the first drawn wins, so
    // this order draws the same picture as the material order only for a world without coplanar overlaps, as the
    // level compiler makes them. Runs that follow one another in this order with the same part and material are
    // one draw (their triangles copied together, in the same order): on a large level a frame's hundreds of runs
    // take a few dozen draw calls.
    const std::vector<OrderedDraw>& NearToFar() const { return nearToFar; }
    // One more than the largest material number of the data's runs.
    int MaterialCount() const { return draws.empty() ? 0 : static_cast<int>(draws.front().size()); }
    // Triangles in the picked runs.
    int SelectedTriangles() const { return selectedTriangles; }

private:
    // A run of an owner cell within one part: where its triangles start in that part's indices.
    struct PartRun {
        int part;
        int material;
        int first;
        int count;
    };

    void OrderNearToFar();
    // Adds the run to the end of the near-to-far order, joined to the draw before when it has the same part and
    // material.
    void Append(int part, int material, const Draw& run);
    // Copies the run's index triangles to the end of the list.
    static void AppendTriangles(const Draw& run, std::vector<uint16_t>& list);

    XVisibility visibility;
    std::vector<std::vector<uint16_t>> indices;     // by part: its index triangles in the drawing order
    std::vector<std::vector<PartRun>> ownerRuns;    // by owner cell
    std::vector<std::vector<std::vector<Draw>>> draws; // by part, then material
    std::vector<std::pair<float, int>> nearFirst;       // this frame's owner cells: distance squared, cell
    std::vector<OrderedDraw> nearToFar;
    std::vector<uint16_t> joined;            // the index triangles of the near-to-far draws that join several runs
    bool lastIsJoined = false;               // whether the last near-to-far draw's triangles lie in joined
    std::vector<std::vector<Draw>> joinedOf; // by part, then material: this frame's JoinedDrawOf (count -1: not made)
    std::vector<uint16_t> joinedByMaterial;  // the triangles of the joinedOf draws
    std::vector<std::vector<size_t>> cursors;           // by part, then material: the band order's place in draws
    std::vector<Draw> none;
    bool selected = false;
    int selectedTriangles = 0;
};
