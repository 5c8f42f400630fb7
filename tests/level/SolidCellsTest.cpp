// Solid cells: the quick proofs that a line of sight is blocked answer "blocked" for lines through a wall or a
// floor, and never for a line through a doorway, along open space, or through a solid only within the end gap.
#include "tools/levelc/XLevelParser.h"
#include "tools/levelc/XSolidCells.h"
#include "tools/levelc/XSpaceGrid.h"

#include <gtest/gtest.h>

namespace {

// Two rooms, x -10..0 and 0..10 (z -5..5, 0 to 6 high), parted by a wall x -0.5..0.5 with a door 2 wide at z 2..4.
const XLevelSource& TwoRooms()
{
    static const XLevelSource level = XLevelParser::Parse(
        "spawn -5 0 0\n"
        "material wall wall.jpg 4\n"
        "box -11 -1 -6  11 0 6  mat wall\n"
        "box -11 6 -6  11 7 6  mat wall\n"
        "box -11 0 -6  -10 6 6  mat wall\n"
        "box 10 0 -6  11 6 6  mat wall\n"
        "box -10 0 -6  10 6 -5  mat wall\n"
        "box -10 0 5  10 6 6  mat wall\n"
        "doorway -0.5 0 -5  0.5 6 5  across x width 2 height 5 at 3  mat wall\n"
        "light -5 4 0 color 1 1 1 radius 10\n",
        "two-rooms.level");
    return level;
}

struct Cells {
    XSpaceGrid grid;
    XSolidCells cells;
    Cells() : grid(TwoRooms().solids), cells(TwoRooms().solids, grid) {}
};

const Cells& TwoRoomCells()
{
    static const Cells cells;
    return cells;
}

} // namespace

TEST(SolidCells, MarksOnlyCellsWhollyInsideASolid)
{
    const XSolidCells& cells = TwoRoomCells().cells;
    const XSpaceGrid& grid = TwoRoomCells().grid;
    // The grid starts at (-11, -1, -6); cell (x, y, z) spans 0.5 units from there.
    const auto cellAt = [&](double x, double y, double z, int& ix, int& iy, int& iz) {
        ix = static_cast<int>((x - grid.Min().x) / XSpaceGrid::kCellSize);
        iy = static_cast<int>((y - grid.Min().y) / XSpaceGrid::kCellSize);
        iz = static_cast<int>((z - grid.Min().z) / XSpaceGrid::kCellSize);
    };
    int x = 0;
    int y = 0;
    int z = 0;
    cellAt(-0.25, 3.25, -2.25, x, y, z); // inside the wall
    EXPECT_TRUE(cells.Solid(x, y, z));
    cellAt(-0.25, 3.25, 3.25, x, y, z); // in the doorway
    EXPECT_FALSE(cells.Solid(x, y, z));
    cellAt(-5.25, 3.25, 0.25, x, y, z); // in the room
    EXPECT_FALSE(cells.Solid(x, y, z));
    EXPECT_FALSE(cells.Solid(-1, 0, 0));
}

TEST(SolidCells, ABoxOfLinesIsSeparatedOnlyWhenTheWallCoversAllOfThem)
{
    const XSolidCells& cells = TwoRoomCells().cells;
    // Far from the door: every line from the west box to the east box passes through the wall.
    EXPECT_TRUE(cells.SeparatesBoxes(XVector3d(-8, 1, -4), XVector3d(-6, 3, -2), XVector3d(6, 1, -4),
                                     XVector3d(8, 3, -2), 0.03));
    // Boxes that see each other through the door are not.
    EXPECT_FALSE(cells.SeparatesBoxes(XVector3d(-8, 1, 2.5), XVector3d(-6, 3, 3.5), XVector3d(6, 1, 2.5),
                                      XVector3d(8, 3, 3.5), 0.03));
    // Nor are boxes on the same side, or overlapping ones.
    EXPECT_FALSE(cells.SeparatesBoxes(XVector3d(-8, 1, -4), XVector3d(-6, 3, -2), XVector3d(-4, 1, 2),
                                      XVector3d(-2, 3, 4), 0.03));
}

TEST(SolidCells, ALineCrossesSolidThroughTheWallButNotThroughTheDoor)
{
    const XSolidCells& cells = TwoRoomCells().cells;
    EXPECT_TRUE(cells.CrossesSolid(XVector3d(-5.25, 2.25, -2.25), XVector3d(5.25, 2.25, -2.25), 0.03));
    EXPECT_FALSE(cells.CrossesSolid(XVector3d(-5.25, 2.25, 3.0), XVector3d(5.25, 2.25, 3.0), 0.03));
    EXPECT_FALSE(cells.CrossesSolid(XVector3d(-5.25, 2.25, -2.25), XVector3d(-2.25, 4.25, 2.25), 0.03));
    // Into the wall only within the end gap: a ray test ignores that, and so does this.
    EXPECT_FALSE(cells.CrossesSolid(XVector3d(-5.25, 2.25, -2.25), XVector3d(-0.48, 2.25, -2.25), 0.03));
    EXPECT_TRUE(cells.CrossesSolid(XVector3d(-5.25, 2.25, -2.25), XVector3d(-0.2, 2.25, -2.25), 0.03));
}

TEST(SolidCells, ARoofFarFromTheGridsCornerSeparatesOnlyTheLinesThatMeetIt)
{
    // A roof held up by nothing, x and z -3..3, with a hole at x 0.5..1.5, z -0.5..0.5, over a plain 22 units
    // across: its layers' solid cells lie far from the grid's corner.
    const XLevelSource level = XLevelParser::Parse("spawn 0 0 -8\n"
                                                   "material wall wall.jpg 4\n"
                                                   "box -11 -1 -11  11 0 11  mat wall\n"
                                                   "box -3 6 -3  3 7 -0.5  mat wall\n"
                                                   "box -3 6 0.5  3 7 3  mat wall\n"
                                                   "box -3 6 -0.5  0.5 7 0.5  mat wall\n"
                                                   "box 1.5 6 -0.5  3 7 0.5  mat wall\n",
                                                   "roof.level");
    const XSpaceGrid grid(level.solids);
    const XSolidCells cells(level.solids, grid);
    // Straight up beside the hole.
    EXPECT_TRUE(cells.SeparatesBoxes(XVector3d(-2.5, 2, -2.5), XVector3d(-1, 4, 2.5), XVector3d(-2.5, 9, -2.5),
                                     XVector3d(-1, 11, 2.5), 0.03));
    // Lines through the hole, though their middle one and the four corners of their bundle meet the roof.
    EXPECT_FALSE(cells.SeparatesBoxes(XVector3d(-2.5, 2, -2.5), XVector3d(2.5, 4, 2.5), XVector3d(-2.5, 9, -2.5),
                                      XVector3d(2.5, 11, 2.5), 0.03));
    // Lines to a box off to the side cross the roof's plane partly beyond its edge.
    EXPECT_FALSE(cells.SeparatesBoxes(XVector3d(-2.5, 2, -1), XVector3d(-1.5, 4, 1), XVector3d(6, 9, -1),
                                      XVector3d(8, 11, 1), 0.03));
}
