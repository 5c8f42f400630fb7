// The small level source the level viewer's tests walk: a closed room of 16 x 16 units, 6 high, one light, the
// player at its middle.
#pragma once

inline const char* const kRoomLevel = "level room\n"
                                      "spawn 0 0 0\n"
                                      "material floor floor_tiles.jpg 4\n"
                                      "material wall stone_wall.jpg 4\n"
                                      "box -8 -1 -8  8 0 8  mat floor\n"
                                      "box -8 6 -8  8 7 8  mat wall\n"
                                      "box -8 0 -8 -7 6 8  mat wall\n"
                                      "box  7 0 -8  8 6 8  mat wall\n"
                                      "box -7 0 -8  7 6 -7  mat wall\n"
                                      "box -7 0  7  7 6 8  mat wall\n"
                                      "light 0 4 0 color 1 1 1 radius 15\n";
