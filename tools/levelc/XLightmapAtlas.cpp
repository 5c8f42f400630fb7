// XLightmapAtlas: chart mapping and shelf packing.
#include "tools/levelc/XLightmapAtlas.h"

#include <algorithm> // sort, max, min
#include <cmath>     // ceil, fabs

XVector3d XChart::PointAt(double tx, double ty) const
{
    const double u = minU + (tx - XLightmapAtlas::kPadding) * texel;
    const double v = minV + (ty - XLightmapAtlas::kPadding) * texel;
    return axisU * u + axisV * v + normal * planeDistance;
}

void XChart::TexelOf(const XVector3d& p, double& tx, double& ty) const
{
    tx = (Dot(p, axisU) - minU) / texel + XLightmapAtlas::kPadding;
    ty = (Dot(p, axisV) - minV) / texel + XLightmapAtlas::kPadding;
}

void XLightmapAtlas::PlaneAxes(const XVector3d& normal, XVector3d& axisU, XVector3d& axisV)
{
    if (std::fabs(normal.y) > 0.999) {
        axisU = XVector3d(1.0, 0.0, 0.0);
        axisV = XVector3d(0.0, 0.0, 1.0);
        return;
    }
    const XVector3d up(0.0, 1.0, 0.0);
    axisU = Cross(up, normal);
    axisU = axisU / axisU.Length();
    axisV = Cross(normal, axisU);
}

void XLightmapAtlas::Build(const XSurface& surface, double texel, int size)
{
    pageSize = size;
    charts.assign(static_cast<size_t>(surface.chartCount), XChart());
    for (size_t p = 0; p < surface.polygons.size(); ++p) {
        charts[static_cast<size_t>(surface.polygons[p].chart)].polygons.push_back(static_cast<int>(p));
    }
    const int usable = pageSize - 2 * kPadding - 1;
    for (XChart& chart : charts) {
        const XSurfacePolygon& first = surface.polygons[static_cast<size_t>(chart.polygons.front())];
        chart.normal = first.plane.normal;
        chart.planeDistance = first.plane.distance;
        PlaneAxes(chart.normal, chart.axisU, chart.axisV);
        double maxU = -1e30;
        double maxV = -1e30;
        chart.minU = 1e30;
        chart.minV = 1e30;
        for (const int p : chart.polygons) {
            for (const int v : surface.polygons[static_cast<size_t>(p)].corners) {
                const XVector3d& point = surface.vertices[static_cast<size_t>(v)];
                chart.minU = std::min(chart.minU, Dot(point, chart.axisU));
                chart.minV = std::min(chart.minV, Dot(point, chart.axisV));
                maxU = std::max(maxU, Dot(point, chart.axisU));
                maxV = std::max(maxV, Dot(point, chart.axisV));
            }
        }
        const double extent = std::max(maxU - chart.minU, maxV - chart.minV);
        chart.texel = std::max(texel, extent / usable);
        chart.width = static_cast<int>(std::ceil((maxU - chart.minU) / chart.texel - 1e-9)) + 2 * kPadding;
        chart.height = static_cast<int>(std::ceil((maxV - chart.minV) / chart.texel - 1e-9)) + 2 * kPadding;
        chart.width = std::max(chart.width, 2 * kPadding + 1);
        chart.height = std::max(chart.height, 2 * kPadding + 1);
    }
    std::vector<int> order(charts.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<int>(i);
    }
    std::sort(order.begin(), order.end(), [this](int a, int b) {
        const XChart& ca = charts[static_cast<size_t>(a)];
        const XChart& cb = charts[static_cast<size_t>(b)];
        if (ca.height != cb.height) {
            return ca.height > cb.height;
        }
        if (ca.width != cb.width) {
            return ca.width > cb.width;
        }
        return a < b;
    });
    pageCount = charts.empty() ? 0 : 1;
    int shelfY = 0;
    int shelfHeight = 0;
    int cursorX = 0;
    for (const int index : order) {
        XChart& chart = charts[static_cast<size_t>(index)];
        if (cursorX + chart.width > pageSize) {
            shelfY += shelfHeight;
            shelfHeight = 0;
            cursorX = 0;
        }
        if (shelfY + chart.height > pageSize) {
            ++pageCount;
            shelfY = 0;
            shelfHeight = 0;
            cursorX = 0;
        }
        chart.page = pageCount - 1;
        chart.x = cursorX;
        chart.y = shelfY;
        cursorX += chart.width;
        shelfHeight = std::max(shelfHeight, chart.height);
    }
}

XVector2 XLightmapAtlas::PageCoordinates(int c, const XVector3d& p) const
{
    const XChart& chart = charts[static_cast<size_t>(c)];
    double tx = 0.0;
    double ty = 0.0;
    chart.TexelOf(p, tx, ty);
    return XVector2(static_cast<float>((chart.x + tx) / pageSize), static_cast<float>((chart.y + ty) / pageSize));
}

double XLightmapAtlas::Usage() const
{
    if (pageCount == 0) {
        return 0.0;
    }
    double used = 0.0;
    for (const XChart& chart : charts) {
        used += static_cast<double>(chart.width) * chart.height;
    }
    return used / (static_cast<double>(pageSize) * pageSize * pageCount);
}
