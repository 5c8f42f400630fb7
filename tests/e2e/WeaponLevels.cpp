// WeaponLevels: levels, script snippets and trace readings for the weapon tests.
#include "WeaponLevels.h"

TestLevel WallAhead(float wallZ)
{
    TestLevel level = FlatGround();
    level.WallFacingMinusZ(wallZ, -50.0f, 50.0f, 0.0f, 20.0f);
    level.Light(XVector3(0.0f, 6.0f, wallZ - 4.0f), XVector3(1.0f, 1.0f, 1.0f));
    return level;
}

TestLevel OpenSpace()
{
    return FlatGround();
}

std::string LookUp(int frame)
{
    return std::to_string(frame) + " mouse move 0 -200\n";
}

std::string Tap(int frame, const std::string& key)
{
    return std::to_string(frame) + " key down " + key + "\n" + std::to_string(frame + 1) + " key up " + key + "\n";
}

std::string Click(int frame, const std::string& button)
{
    return std::to_string(frame) + " mouse down " + button + "\n" + std::to_string(frame + 1) + " mouse up " +
           button + "\n";
}

int FirstFrame(const GameRunResult& run, int from, const std::function<bool(const TraceFrame&)>& condition)
{
    for (int n = from; n <= static_cast<int>(run.frames.size()); ++n) {
        if (condition(run.Frame(n))) {
            return n;
        }
    }
    return 0;
}

int Rise(const GameRunResult& run, int n, const std::string& key)
{
    return run.Frame(n).Int(key) - run.Frame(n - 1).Int(key);
}
