// WalkScript: an input script for walking a route of waypoints with the arrow key and the mouse, at the
// fixed step of 10 ms: turn to face the next point, hold the up arrow for the time the distance takes at
// 10 units per second, let go and wait until the player has stopped.
#pragma once

#include <cmath>
#include <string>

class WalkScript {
public:
    WalkScript(float startX, float startZ, int firstFrame) : x(startX), z(startZ), frame(firstFrame) {}

    // Walks in a straight line to (toX, toZ).
    WalkScript& To(float toX, float toZ)
    {
        const float dx = toX - x;
        const float dz = toZ - z;
        // Yaw 0 looks along +z, yaw 90 along +x; the mouse turns the yaw by -1 degree per 10 pixels.
        const float targetYaw = std::atan2(dx, dz) * 180.0f / 3.14159265f;
        const int pixels = static_cast<int>(std::lround(-(targetYaw - yaw) * 10.0f));
        if (pixels != 0) {
            Line("mouse move " + std::to_string(pixels) + " 0");
            yaw -= pixels / 10.0f;
            frame += 2;
        }
        // About 0.9 units are travelled while friction stops the player after the key is released.
        const float distance = std::sqrt(dx * dx + dz * dz);
        const int held = std::max(1, static_cast<int>((distance - 0.9f) / 0.1f));
        Line("key down UP");
        frame += held;
        Line("key up UP");
        frame += 40;
        x = toX;
        z = toZ;
        return *this;
    }
    // A jump: the right button for one frame.
    WalkScript& Jump()
    {
        Line("mouse down right");
        frame += 1;
        Line("mouse up right");
        frame += 150;
        return *this;
    }
    const std::string& Text() const { return text; }
    int EndFrame() const { return frame; }

private:
    void Line(const std::string& event) { text += std::to_string(frame) + " " + event + "\n"; }

    float x = 0.0f;
    float z = 0.0f;
    float yaw = 0.0f;
    int frame = 1;
    std::string text;
};
