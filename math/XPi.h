// XPi: the circle constant, in the two precisions the engine and its tools compute in.
// Depends on: nothing.
#pragma once

constexpr double kPi = 3.14159265358979323846;
constexpr float kPiFloat = static_cast<float>(kPi);
constexpr double kTwoPi = 2.0 * kPi;
