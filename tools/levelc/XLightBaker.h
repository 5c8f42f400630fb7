// XLightBaker: computes the light-map pages of a compiled level.
//
// Each chart texel gets a point on its surface (the texel centre, or for border texels the nearest point of
// the chart's polygons, so that the border continues the lighting seamlessly) and there:
// - direct light: Lambert N.L from every point light within its radius, faded smoothly to nothing at the
//   radius, with shadows from segment tests to the light (four samples a texel, softened by jittering the
//   light a little); and from the sun when the level has one;
// - light from around: rays over the hemisphere, cosine-weighted; those that escape the level see the sky,
//   those that hit nearby darken the ambient term (ambient occlusion), and those that hit a lit surface
//   bring back a share of its direct light tinted by its texture's average colour (one bounce).
// The indirect part is smoothed over 5 x 5 texels of the same chart to hide ray noise; the sum is
// compressed softly above 0.8 so that bright spots do not clip hard. Unused page texels take the colour
// of the nearest chart texels, so that mipmaps do not darken chart borders.
// Every random number comes from a hash of the texel and the sample, and the work is split by chart, so
// the result is the same whatever the number of threads.
// Depends on: XLevelSource, XSurface, XLightmapAtlas, XRayTracer.
#pragma once

#include <atomic>

#include "tools/levelc/XLevelSource.h"
#include "tools/levelc/XLightmapAtlas.h"
#include "tools/levelc/XRayTracer.h"
#include "tools/levelc/XSurface.h"

#include <vector>

struct XBakeSettings {
    int hemisphereRays = 64;     // a square number
    double occlusionRange = 3.0; // hits nearer than this darken the ambient term
    double occlusionStrength = 0.85;
    double skyDistance = 400.0;  // rays that travel this far without a hit see the sky
    int threads = 2;
    // When set and true, the bake stops at the next chart and the compile ends with an XLevelError (a program
    // that compiles in the background and is quitting, or has a newer source to compile).
    const std::atomic<bool>* stop = nullptr;
};

class XLightBaker {
public:
    // triangleCharts and triangleMaterials give, for each triangle of the tracer, its chart and material;
    // albedo gives each material's average texture colour.
    XLightBaker(const XLevelSource& level, const XSurface& surface, const XLightmapAtlas& atlas,
                const XRayTracer& tracer, const std::vector<int>& triangleCharts,
                const std::vector<int>& triangleMaterials, const std::vector<XVector3d>& albedo,
                const XBakeSettings& settings);

    void Bake();
    // Whether the settings' stop flag asks the bake to stop (it then leaves charts unlit).
    bool Stopped() const;

    // Page p as 8-bit R,G,B, top row of the picture first (ready for a picture writer).
    std::vector<unsigned char> PageBytes(int p) const;

    // The light reaching a chart texel before compression (for tests): direct and indirect summed.
    XVector3d TexelLight(int chart, int tx, int ty) const;

    // The compression curve applied to each channel.
    static double Compress(double value);

private:
    struct Sample {
        XVector3d point;     // on the surface, lifted off it a little
        bool covered = false; // the texel centre lies on the chart's polygons
    };

    void PrepareChart(int c);
    void DirectChart(int c);
    void IndirectChart(int c);
    void FinishChart(int c);
    void Dilate(int p);
    template <typename Work>
    void ForEachChart(Work work);

    bool InsideChart(int c, double tx, double ty) const;
    XVector3d DirectAt(const XVector3d& point, const XVector3d& normal, uint32_t seed, bool covered, int c, double tx,
                       double ty) const;
    size_t PageIndex(int page, int x, int y) const
    {
        return (static_cast<size_t>(page) * pageSize + static_cast<size_t>(y)) * pageSize + static_cast<size_t>(x);
    }

    const XLevelSource& level;
    const XSurface& surface;
    const XLightmapAtlas& atlas;
    const XRayTracer& tracer;
    const std::vector<int>& triangleCharts;
    const std::vector<int>& triangleMaterials;
    const std::vector<XVector3d>& albedo;
    XBakeSettings settings;
    int pageSize = 0;

    std::vector<std::vector<std::vector<XVector3d>>> chartCorners; // chart -> polygon -> corners in texels
    std::vector<std::vector<Sample>> samples;                       // chart -> texels, row by row
    std::vector<XVector3d> direct;    // per page texel
    std::vector<XVector3d> indirect;  // per page texel
    std::vector<XVector3d> final;     // per page texel, compressed
    std::vector<unsigned char> used;  // per page texel: 1 where a chart lies
};
