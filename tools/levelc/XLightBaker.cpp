// XLightBaker: direct light, sky, occlusion and one bounce into the light-map pages.
//
// File index: random numbers; construction; chart samples; direct light; indirect light; finishing and
// dilation; output.
#include "tools/levelc/XLightBaker.h"

#include "math/XPi.h"

#include <algorithm> // min, max, clamp
#include <atomic>
#include <cmath>     // sqrt, cos, sin, exp, floor
#include <cstdlib>   // abs
#include <cstdint>   // uint32_t
#include <thread>

namespace {

const double kLift = 0.03;      // sample points sit this far off their surface
const double kEdgeInset = 0.02; // border samples are pulled this far into their chart's polygons
const int kSmoothRadius = 2;    // the indirect light is smoothed over (2 r + 1) squared texels

// ------------------------------------------------------------------------------------------------ random numbers

uint32_t Mix32(uint32_t h)
{
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

uint32_t Seed(int chart, int tx, int ty)
{
    return Mix32(static_cast<uint32_t>(chart) * 0x9E3779B9u ^ Mix32(static_cast<uint32_t>(tx) * 0x85EBCA6Bu ^
                                                                     static_cast<uint32_t>(ty) * 0xC2B2AE35u));
}

// A number in [0, 1) from a seed and a sample number.
double Random(uint32_t seed, uint32_t index)
{
    return static_cast<double>(Mix32(seed ^ Mix32(index + 0x68E31DA4u)) >> 8) / 16777216.0;
}

double Cross2(const XVector3d& a, const XVector3d& b, double px, double py)
{
    return (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
}

// Nearest point to (px, py) on the segment a-b (2D, z unused).
void NearestOnSegment(const XVector3d& a, const XVector3d& b, double px, double py, double& qx, double& qy)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0.0 ? ((px - a.x) * dx + (py - a.y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    qx = a.x + dx * t;
    qy = a.y + dy * t;
}

} // namespace

// ------------------------------------------------------------------------------------------------ construction

XLightBaker::XLightBaker(const XLevelSource& source, const XSurface& levelSurface, const XLightmapAtlas& levelAtlas,
                         const XRayTracer& rayTracer, const std::vector<int>& charts, const std::vector<int>& materials,
                         const std::vector<XVector3d>& materialAlbedo, const XBakeSettings& bakeSettings)
    : level(source), surface(levelSurface), atlas(levelAtlas), tracer(rayTracer), triangleCharts(charts),
      triangleMaterials(materials), albedo(materialAlbedo), settings(bakeSettings), pageSize(levelAtlas.PageSize())
{
    const size_t texels = static_cast<size_t>(atlas.PageCount()) * pageSize * pageSize;
    direct.assign(texels, XVector3d());
    indirect.assign(texels, XVector3d());
    final.assign(texels, XVector3d());
    used.assign(texels, 0);
    chartCorners.resize(atlas.Charts().size());
    samples.resize(atlas.Charts().size());
}

template <typename Work>
void XLightBaker::ForEachChart(Work work)
{
    const int count = static_cast<int>(atlas.Charts().size());
    std::atomic<int> next(0);
    auto worker = [&]() {
        for (int c = next.fetch_add(1); c < count && !Stopped(); c = next.fetch_add(1)) {
            work(c);
        }
    };
    const int threads = std::max(1, settings.threads);
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) {
        pool.emplace_back(worker);
    }
    worker();
    for (std::thread& thread : pool) {
        thread.join();
    }
}

bool XLightBaker::Stopped() const
{
    return settings.stop != nullptr && settings.stop->load();
}

void XLightBaker::Bake()
{
    ForEachChart([this](int c) { PrepareChart(c); });
    ForEachChart([this](int c) { DirectChart(c); });
    ForEachChart([this](int c) { IndirectChart(c); });
    ForEachChart([this](int c) { FinishChart(c); });
    for (int p = 0; p < atlas.PageCount(); ++p) {
        Dilate(p);
    }
}

// ------------------------------------------------------------------------------------------------ chart samples

bool XLightBaker::InsideChart(int c, double tx, double ty) const
{
    for (const std::vector<XVector3d>& corners : chartCorners[static_cast<size_t>(c)]) {
        bool positive = false;
        bool negative = false;
        for (size_t i = 0; i < corners.size(); ++i) {
            const double s = Cross2(corners[i], corners[(i + 1) % corners.size()], tx, ty);
            positive = positive || s > 1e-9;
            negative = negative || s < -1e-9;
        }
        if (!(positive && negative)) {
            return true;
        }
    }
    return false;
}

void XLightBaker::PrepareChart(int c)
{
    const XChart& chart = atlas.Charts()[static_cast<size_t>(c)];
    std::vector<std::vector<XVector3d>>& corners = chartCorners[static_cast<size_t>(c)];
    for (const int p : chart.polygons) {
        std::vector<XVector3d> loop;
        for (const int v : surface.polygons[static_cast<size_t>(p)].corners) {
            double tx = 0.0;
            double ty = 0.0;
            chart.TexelOf(surface.vertices[static_cast<size_t>(v)], tx, ty);
            loop.emplace_back(tx, ty, 0.0);
        }
        corners.push_back(loop);
    }
    std::vector<Sample>& list = samples[static_cast<size_t>(c)];
    list.resize(static_cast<size_t>(chart.width) * chart.height);
    for (int ty = 0; ty < chart.height; ++ty) {
        for (int tx = 0; tx < chart.width; ++tx) {
            const double cx = tx + 0.5;
            const double cy = ty + 0.5;
            Sample& sample = list[static_cast<size_t>(ty) * chart.width + tx];
            double px = cx;
            double py = cy;
            sample.covered = InsideChart(c, cx, cy);
            if (!sample.covered) {
                // The nearest point of the chart's polygons, pulled a little into the polygon it lies on.
                double best = 1e30;
                for (const std::vector<XVector3d>& loop : corners) {
                    XVector3d middle;
                    for (const XVector3d& corner : loop) {
                        middle = middle + corner;
                    }
                    middle = middle / static_cast<double>(loop.size());
                    for (size_t i = 0; i < loop.size(); ++i) {
                        double qx = 0.0;
                        double qy = 0.0;
                        NearestOnSegment(loop[i], loop[(i + 1) % loop.size()], cx, cy, qx, qy);
                        const double d = (qx - cx) * (qx - cx) + (qy - cy) * (qy - cy);
                        if (d < best) {
                            best = d;
                            const double mx = middle.x - qx;
                            const double my = middle.y - qy;
                            const double ml = std::sqrt(mx * mx + my * my);
                            const double inset = std::min(kEdgeInset / chart.texel, ml * 0.5);
                            px = ml > 0.0 ? qx + mx / ml * inset : qx;
                            py = ml > 0.0 ? qy + my / ml * inset : qy;
                        }
                    }
                }
            }
            sample.point = chart.PointAt(px, py) + chart.normal * kLift;
            used[PageIndex(chart.page, chart.x + tx, chart.y + ty)] = 1;
        }
    }
}

// ------------------------------------------------------------------------------------------------ direct light

XVector3d XLightBaker::DirectAt(const XVector3d& point, const XVector3d& normal, uint32_t seed, bool covered, int c,
                                double tx, double ty) const
{
    const XChart& chart = atlas.Charts()[static_cast<size_t>(c)];
    const int subsamples = 4;
    XVector3d sum;
    for (int s = 0; s < subsamples; ++s) {
        // Spread the samples over the texel where it lies wholly on the surface.
        XVector3d p = point;
        if (covered) {
            const double jx = tx + 0.5 + ((s & 1) ? 0.25 : -0.25) + (Random(seed, 100u + s) - 0.5) * 0.2;
            const double jy = ty + 0.5 + ((s & 2) ? 0.25 : -0.25) + (Random(seed, 200u + s) - 0.5) * 0.2;
            if (InsideChart(c, jx, jy)) {
                p = chart.PointAt(jx, jy) + normal * kLift;
            }
        }
        for (size_t l = 0; l < level.lights.size(); ++l) {
            const XLevelLight& light = level.lights[l];
            XVector3d toLight = light.position - p;
            const double distance = toLight.Length();
            if (distance >= light.radius || distance < 1e-6) {
                continue;
            }
            const XVector3d direction = toLight / distance;
            const double lambert = Dot(direction, normal);
            if (lambert <= 0.0) {
                continue;
            }
            const double x = distance / light.radius;
            const double fade = (1.0 - x * x) * (1.0 - x * x);
            // A little jitter of the light's position softens shadow edges.
            const uint32_t index = static_cast<uint32_t>(s * 131 + static_cast<int>(l) * 7);
            const XVector3d jitter((Random(seed, 300u + index) - 0.5) * 0.4, (Random(seed, 400u + index) - 0.5) * 0.4,
                                   (Random(seed, 500u + index) - 0.5) * 0.4);
            if (tracer.Blocked(p, light.position + jitter, 0.004)) {
                continue;
            }
            sum = sum + light.color * (light.intensity * lambert * fade);
        }
        if (level.hasSun) {
            const XVector3d towardsSun = level.sunDirection * -1.0;
            const double lambert = Dot(towardsSun, normal);
            if (lambert > 0.0) {
                const XVector3d jitter((Random(seed, 600u + s) - 0.5) * 0.02, 0.0, (Random(seed, 700u + s) - 0.5) * 0.02);
                XVector3d direction = towardsSun + jitter;
                direction = direction / direction.Length();
                if (!tracer.Blocked(p, p + direction * settings.skyDistance, 0.004)) {
                    sum = sum + level.sunColor * lambert;
                }
            }
        }
    }
    return sum / static_cast<double>(subsamples);
}

void XLightBaker::DirectChart(int c)
{
    const XChart& chart = atlas.Charts()[static_cast<size_t>(c)];
    const std::vector<Sample>& list = samples[static_cast<size_t>(c)];
    for (int ty = 0; ty < chart.height; ++ty) {
        for (int tx = 0; tx < chart.width; ++tx) {
            const Sample& sample = list[static_cast<size_t>(ty) * chart.width + tx];
            const uint32_t seed = Seed(c, tx, ty);
            direct[PageIndex(chart.page, chart.x + tx, chart.y + ty)] =
                DirectAt(sample.point, chart.normal, seed, sample.covered, c, tx, ty);
        }
    }
}

// ------------------------------------------------------------------------------------------------ indirect light

void XLightBaker::IndirectChart(int c)
{
    const XChart& chart = atlas.Charts()[static_cast<size_t>(c)];
    const std::vector<Sample>& list = samples[static_cast<size_t>(c)];
    const int side = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(settings.hemisphereRays)) + 0.5));
    const int rays = side * side;
    for (int ty = 0; ty < chart.height; ++ty) {
        for (int tx = 0; tx < chart.width; ++tx) {
            const Sample& sample = list[static_cast<size_t>(ty) * chart.width + tx];
            const uint32_t seed = Seed(c, tx, ty) ^ 0xA5A5A5A5u;
            double escaped = 0.0;
            double occlusion = 0.0;
            XVector3d bounced;
            for (int i = 0; i < rays; ++i) {
                const double r1 = (static_cast<double>(i % side) + Random(seed, static_cast<uint32_t>(2 * i))) / side;
                const double r2 = (static_cast<double>(i / side) + Random(seed, static_cast<uint32_t>(2 * i + 1))) / side;
                const double phi = 2.0 * kPi * r1;
                const double sinTheta = std::sqrt(r2);
                const double cosTheta = std::sqrt(std::max(0.0, 1.0 - r2));
                const XVector3d direction = chart.axisU * (std::cos(phi) * sinTheta) +
                                            chart.axisV * (std::sin(phi) * sinTheta) + chart.normal * cosTheta;
                XRayHit hit;
                if (!tracer.Nearest(sample.point, direction, 0.002, settings.skyDistance, hit)) {
                    escaped += 1.0;
                    continue;
                }
                occlusion += std::max(0.0, 1.0 - hit.distance / settings.occlusionRange);
                if (level.bounce <= 0.0) {
                    continue;
                }
                const int hitChart = triangleCharts[static_cast<size_t>(hit.triangle)];
                const XChart& other = atlas.Charts()[static_cast<size_t>(hitChart)];
                if (Dot(other.normal, direction) >= 0.0) {
                    continue; // the back of a face gives nothing back
                }
                double hx = 0.0;
                double hy = 0.0;
                other.TexelOf(sample.point + direction * hit.distance, hx, hy);
                const int ix = std::clamp(static_cast<int>(std::floor(hx)), 0, other.width - 1);
                const int iy = std::clamp(static_cast<int>(std::floor(hy)), 0, other.height - 1);
                const XVector3d& light = direct[PageIndex(other.page, other.x + ix, other.y + iy)];
                const XVector3d& colour = albedo[static_cast<size_t>(triangleMaterials[static_cast<size_t>(hit.triangle)])];
                bounced = bounced + XVector3d(light.x * colour.x, light.y * colour.y, light.z * colour.z);
            }
            const double ambientShare = 1.0 - settings.occlusionStrength * occlusion / rays;
            const XVector3d value = level.ambient * ambientShare + level.sky * (escaped / rays) +
                                    bounced * (level.bounce / rays);
            indirect[PageIndex(chart.page, chart.x + tx, chart.y + ty)] = value;
        }
    }
}

// ------------------------------------------------------------------------------------------------ finishing and dilation

double XLightBaker::Compress(double value)
{
    if (value <= 0.8) {
        return std::max(0.0, value);
    }
    return 0.8 + 0.2 * (1.0 - std::exp(-(value - 0.8) / 0.2));
}

XVector3d XLightBaker::TexelLight(int c, int tx, int ty) const
{
    const XChart& chart = atlas.Charts()[static_cast<size_t>(c)];
    const size_t index = PageIndex(chart.page, chart.x + tx, chart.y + ty);
    return direct[index] + indirect[index];
}

void XLightBaker::FinishChart(int c)
{
    const XChart& chart = atlas.Charts()[static_cast<size_t>(c)];
    for (int ty = 0; ty < chart.height; ++ty) {
        for (int tx = 0; tx < chart.width; ++tx) {
            XVector3d smooth;
            double weight = 0.0;
            for (int dy = -kSmoothRadius; dy <= kSmoothRadius; ++dy) {
                for (int dx = -kSmoothRadius; dx <= kSmoothRadius; ++dx) {
                    const int x = tx + dx;
                    const int y = ty + dy;
                    if (x < 0 || y < 0 || x >= chart.width || y >= chart.height) {
                        continue;
                    }
                    // A tent: the centre weighs most.
                    const double w = static_cast<double>((kSmoothRadius + 1 - std::abs(dx)) *
                                                         (kSmoothRadius + 1 - std::abs(dy)));
                    smooth = smooth + indirect[PageIndex(chart.page, chart.x + x, chart.y + y)] * w;
                    weight += w;
                }
            }
            const size_t index = PageIndex(chart.page, chart.x + tx, chart.y + ty);
            const XVector3d light = direct[index] + smooth / weight;
            final[index] = XVector3d(Compress(light.x), Compress(light.y), Compress(light.z));
        }
    }
}

void XLightBaker::Dilate(int p)
{
    // Grow the charts' colours outwards into the free texels, ring by ring; what is still free at the end
    // takes the page's average.
    std::vector<unsigned char> filled(static_cast<size_t>(pageSize) * pageSize);
    XVector3d sum;
    double count = 0.0;
    for (int y = 0; y < pageSize; ++y) {
        for (int x = 0; x < pageSize; ++x) {
            filled[static_cast<size_t>(y) * pageSize + x] = used[PageIndex(p, x, y)];
            if (used[PageIndex(p, x, y)] != 0) {
                sum = sum + final[PageIndex(p, x, y)];
                count += 1.0;
            }
        }
    }
    const XVector3d average = count > 0.0 ? sum / count : XVector3d(0.5, 0.5, 0.5);
    std::vector<std::pair<size_t, XVector3d>> grown;
    for (int ring = 0; ring < 16; ++ring) {
        grown.clear();
        for (int y = 0; y < pageSize; ++y) {
            for (int x = 0; x < pageSize; ++x) {
                if (filled[static_cast<size_t>(y) * pageSize + x] != 0) {
                    continue;
                }
                XVector3d around;
                double n = 0.0;
                const int offsets[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
                for (const auto& o : offsets) {
                    const int ax = x + o[0];
                    const int ay = y + o[1];
                    if (ax >= 0 && ay >= 0 && ax < pageSize && ay < pageSize &&
                        filled[static_cast<size_t>(ay) * pageSize + ax] != 0) {
                        around = around + final[PageIndex(p, ax, ay)];
                        n += 1.0;
                    }
                }
                if (n > 0.0) {
                    grown.emplace_back(static_cast<size_t>(y) * pageSize + x, around / n);
                }
            }
        }
        if (grown.empty()) {
            break;
        }
        for (const auto& g : grown) {
            filled[g.first] = 1;
            final[static_cast<size_t>(p) * pageSize * pageSize + g.first] = g.second;
        }
    }
    for (int y = 0; y < pageSize; ++y) {
        for (int x = 0; x < pageSize; ++x) {
            if (filled[static_cast<size_t>(y) * pageSize + x] == 0) {
                final[PageIndex(p, x, y)] = average;
            }
        }
    }
}

// ------------------------------------------------------------------------------------------------ output

std::vector<unsigned char> XLightBaker::PageBytes(int p) const
{
    std::vector<unsigned char> bytes(static_cast<size_t>(pageSize) * pageSize * 3);
    size_t i = 0;
    for (int row = pageSize - 1; row >= 0; --row) {
        for (int x = 0; x < pageSize; ++x) {
            const XVector3d& v = final[PageIndex(p, x, row)];
            bytes[i++] = static_cast<unsigned char>(std::clamp(static_cast<int>(v.x * 255.0 + 0.5), 0, 255));
            bytes[i++] = static_cast<unsigned char>(std::clamp(static_cast<int>(v.y * 255.0 + 0.5), 0, 255));
            bytes[i++] = static_cast<unsigned char>(std::clamp(static_cast<int>(v.z * 255.0 + 0.5), 0, 255));
        }
    }
    return bytes;
}
