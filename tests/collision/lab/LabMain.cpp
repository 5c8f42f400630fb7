// collision_lab: measurements of the player's collision on the default level and on generated rooms.
//
//   collision_lab tunnel [MOTIONS] [SEED]   random motions of 0 to 10 units from clear starts (MOTIONS on the
//                                           default level, as many again over three generated rooms): failures
//                                           by length, exit status 1 when there are any
//   collision_lab ends FILE [MOTIONS]       writes where each walking motion of the default level ends
//   collision_lab compare FILE [MOTIONS]    compares this build's ends with FILE's: how many moved by more than
//                                           0.001 units, and the largest move
//
// The build directory is the one this program was built in (its data folder holds the default level).
#include "lab/CollisionLab.h"

#include "shell/XDebugText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: collision_lab tunnel [MOTIONS] [SEED] | ends FILE [MOTIONS] | compare FILE [MOTIONS]\n");
    return 2;
}

int Tunnel(int count, uint32_t seed)
{
    int failed = 0;
    std::unique_ptr<lab::Level> level = lab::LoadDefaultLevel(KORVATH_BINARY_DIR);
    if (!level) {
        std::fprintf(stderr, "collision_lab: the default level is not built (build the data target)\n");
        return 2;
    }
    const lab::TunnelReport report = lab::MeasureTunnelling(*level, lab::RandomMotions(*level, count, seed, 10.0f), 10.0f);
    std::printf("%s, %d motions:\n%s", level->name.c_str(), count, report.Table().c_str());
    failed += report.TotalFailed();
    for (uint32_t room = 1; room <= 3; ++room) {
        std::unique_ptr<lab::Level> rooms = lab::GeneratedRooms(seed + room);
        const lab::TunnelReport roomReport =
            lab::MeasureTunnelling(*rooms, lab::RandomMotions(*rooms, count / 3, seed + 10 * room, 10.0f), 10.0f);
        std::printf("%s, %d motions:\n%s", rooms->name.c_str(), count / 3, roomReport.Table().c_str());
        failed += roomReport.TotalFailed();
    }
    std::printf("failures: %d\n", failed);
    return failed == 0 ? 0 : 1;
}

int Ends(const char* path, int count, bool compare)
{
    std::unique_ptr<lab::Level> level = lab::LoadDefaultLevel(KORVATH_BINARY_DIR);
    if (!level) {
        std::fprintf(stderr, "collision_lab: the default level is not built (build the data target)\n");
        return 2;
    }
    const std::vector<XMotion> motions = lab::WalkingMotions(*level, count, 11);
    FILE* const file = std::fopen(path, compare ? "r" : "w");
    if (file == nullptr) {
        std::fprintf(stderr, "collision_lab: cannot open %s\n", path);
        return 2;
    }
    XCollision collision;
    int moved = 0;
    double largest = 0.0;
    for (size_t i = 0; i < motions.size(); ++i) {
        GetDebugText()->Clear();
        const XVector3 end = collision.CollideAndSlide(level->scene.get(), motions[i], lab::kPlayerScale);
        if (!compare) {
            std::fprintf(file, "%.9g %.9g %.9g %d %d %d %d\n", end.x, end.y, end.z, collision.OnFloor() ? 1 : 0,
                         collision.OnCeiling() ? 1 : 0, collision.Slides(), collision.Overlaps());
            continue;
        }
        float x = 0.0f, y = 0.0f, z = 0.0f;
        int floor = 0, ceiling = 0, slides = 0, overlaps = 0;
        if (std::fscanf(file, "%f %f %f %d %d %d %d", &x, &y, &z, &floor, &ceiling, &slides, &overlaps) != 7) {
            std::fprintf(stderr, "collision_lab: %s ends at motion %zu\n", path, i);
            std::fclose(file);
            return 2;
        }
        const double move = Distance(end, XVector3(x, y, z));
        largest = std::max(largest, move);
        if (move > 0.001 || floor != (collision.OnFloor() ? 1 : 0) || ceiling != (collision.OnCeiling() ? 1 : 0)) {
            if (moved < 10) {
                const lab::Verdict before = lab::Judge(*level, motions[i], XVector3(x, y, z));
                const lab::Verdict after = lab::Judge(*level, motions[i], end);
                std::printf("motion %zu from (%.4f, %.4f, %.4f) by (%.4f, %.4f, %.4f): (%.5f, %.5f, %.5f) floor %d slides %d overlaps %d clearance %.4f%s -> (%.5f, %.5f, %.5f) floor %d slides %d overlaps %d clearance %.4f%s\n",
                            i, motions[i].position.x, motions[i].position.y, motions[i].position.z, motions[i].velocity.x,
                            motions[i].velocity.y, motions[i].velocity.z, x, y, z, floor, slides, overlaps, before.clearance,
                            before.Failed() ? " FAILED" : "", end.x, end.y, end.z, collision.OnFloor() ? 1 : 0,
                            collision.Slides(), collision.Overlaps(), after.clearance, after.Failed() ? " FAILED" : "");
            }
            ++moved;
        }
    }
    std::fclose(file);
    if (compare) {
        std::printf("%zu walking motions: %d differ (an end moved by more than 0.001 or a flag changed), largest move %.6f\n",
                    motions.size(), moved, largest);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        return Usage();
    }
    const std::string command = argv[1];
    if (command == "tunnel") {
        const int count = argc > 2 ? std::atoi(argv[2]) : 30000;
        const uint32_t seed = argc > 3 ? static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)) : 1u;
        return Tunnel(count, seed);
    }
    if ((command == "ends" || command == "compare") && argc > 2) {
        const int count = argc > 3 ? std::atoi(argv[3]) : 100000;
        return Ends(argv[2], count, command == "compare");
    }
    return Usage();
}
