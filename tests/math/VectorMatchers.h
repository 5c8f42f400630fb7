// Comparisons of XVector3 values for the math tests, reporting both vectors on failure.
#pragma once

#include "math/XVector3.h"

#include <gtest/gtest.h>

#include <cmath> // fabs

// Every component within tolerance of the expected one.
inline testing::AssertionResult VectorNear(const XVector3& actual, const XVector3& expected, double tolerance)
{
    for (int i = 0; i < 3; ++i) {
        if (!(std::fabs(static_cast<double>(actual[i]) - expected[i]) <= tolerance)) {
            return testing::AssertionFailure()
                   << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") is not within " << tolerance
                   << " of (" << expected.x << ", " << expected.y << ", " << expected.z << ")";
        }
    }
    return testing::AssertionSuccess();
}

// Exactly equal components.
inline testing::AssertionResult VectorEq(const XVector3& actual, const XVector3& expected)
{
    return VectorNear(actual, expected, 0.0);
}
