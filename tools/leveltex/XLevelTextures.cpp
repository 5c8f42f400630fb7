// XLevelTextures: the painters of the level's base textures.
//
// File index: helpers; floors (tiles, cobbles, diamond plate, wood); walls (stone, brick, panels, plaster,
// rock); ceilings and trims (concrete, marble, metal); sky; weapons; catalogue.
#include "tools/leveltex/XLevelTextures.h"

#include "tools/common/XFiles.h"
#include "tools/common/XImageWriter.h"
#include "tools/common/XNoise.h"
#include "tools/common/XToolMath.h" // Clamp01, SmoothStep
#include "tools/leveltex/XTexField.h"

#include <algorithm> // min, max, clamp
#include <cmath>     // sin, fabs, pow, sqrt

namespace {

const float kTwoPi = 6.2831853f;

// ------------------------------------------------------------------------------------------------ helpers

// Distance in pixels from (lx, ly) to the nearest edge of a w x h cell whose corner is at (0, 0).
float EdgeDistance(float lx, float ly, float w, float h)
{
    return std::min(std::min(lx + 0.5f, w - 0.5f - lx), std::min(ly + 0.5f, h - 0.5f - ly));
}

// A colour varied per tile: brightness by +-amount, and a slight shift between warm and cool.
XColor Vary(const XColor& base, float random1, float random2, float amount)
{
    const float brightness = 1.0f + (random1 - 0.5f) * 2.0f * amount;
    const float warm = (random2 - 0.5f) * amount;
    return XColor(base.r * brightness * (1.0f + warm), base.g * brightness,
                  base.b * brightness * (1.0f - warm));
}

// Applies the height field's lighting to every pixel of the canvas.
void ApplyShade(XImage& canvas, const XTexField& height, float bump)
{
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            canvas.At(x, y) = canvas.At(x, y) * height.Shade(x, y, bump);
        }
    }
}

// A round rivet head: height 0..1 at distance d (pixels) from its centre, radius r.
float Rivet(float d, float r)
{
    if (d >= r) {
        return 0.0f;
    }
    const float t = d / r;
    return std::sqrt(1.0f - t * t);
}

// Raised rivets every `spacing` pixels along the edges of square panels of `panel` pixels, inset by `inset`.
float PanelRivets(int x, int y, int panel, int spacing, int inset, float radius)
{
    const int lx = x % panel;
    const int ly = y % panel;
    float h = 0.0f;
    const int along[2] = {lx, ly};
    const int across[2] = {ly, lx};
    for (int axis = 0; axis < 2; ++axis) {
        for (const int line : {inset, panel - 1 - inset}) {
            const float da = static_cast<float>(across[axis] - line);
            const int nearestStop = ((along[axis] + spacing / 2) / spacing) * spacing;
            const int stop = std::clamp(nearestStop, inset, panel - 1 - inset);
            const float db = static_cast<float>(along[axis] - stop);
            h = std::max(h, Rivet(std::sqrt(da * da + db * db), radius));
        }
    }
    return h;
}

// ------------------------------------------------------------------------------------------------ floors

// Two-tone stone flags in a checkerboard, 4 x 4 per tile (one flag per unit at 4 units a repeat).
XImage PaintFloorTiles(int size)
{
    const XNoise noise(101);
    XImage canvas(size, size);
    XTexField height(size, size);
    const int cell = size / 4;
    const XColor light(0.74f, 0.69f, 0.60f);
    const XColor dark(0.46f, 0.47f, 0.49f);
    const XColor grout(0.30f, 0.28f, 0.26f);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const int i = x / cell;
            const int j = y / cell;
            const float ragged = noise.Fractal(u, v, 32, 2) * 1.2f;
            const float e = EdgeDistance(static_cast<float>(x % cell), static_cast<float>(y % cell),
                                         static_cast<float>(cell), static_cast<float>(cell)) + ragged;
            const float onTile = SmoothStep(2.0f, 4.5f, e);
            const XColor base = ((i + j) & 1) ? dark : light;
            XColor stone = Vary(base, noise.Random(i, j, 1), noise.Random(i, j, 2), 0.06f);
            const float mottle = noise.Fractal(u, v, 8, 5) * 0.07f + noise.Fractal(u, v, 64, 2) * 0.035f;
            stone = stone * (1.0f + mottle);
            const float crack = SmoothStep(0.93f, 0.985f, noise.Ridged(u + 0.31f * i, v, 6, 3));
            if (noise.Random(i, j, 3) < 0.2f) {
                stone = stone * (1.0f - 0.35f * crack);
            }
            const float wear = 1.0f - 0.12f * (1.0f - SmoothStep(3.0f, 18.0f, e));
            const XColor groutColor = grout * (1.0f + noise.Fractal(u, v, 64, 2) * 0.15f);
            canvas.At(x, y) = MixColor(groutColor, stone * wear, onTile);
            height.At(x, y) = onTile * (0.7f + 0.3f * SmoothStep(2.0f, 10.0f, e)) + mottle * 0.3f;
        }
    }
    ApplyShade(canvas, height, 2.0f);
    return canvas;
}

// Rounded cobbles in dark sandy joints (about 64 stones a tile).
XImage PaintCobble(int size)
{
    const XNoise noise(202);
    XImage canvas(size, size);
    XTexField height(size, size);
    const XColor joint(0.27f, 0.25f, 0.20f);
    const XColor moss(0.22f, 0.28f, 0.15f);
    const XColor stones[4] = {XColor(0.58f, 0.56f, 0.53f), XColor(0.52f, 0.47f, 0.41f),
                                 XColor(0.47f, 0.49f, 0.52f), XColor(0.62f, 0.58f, 0.50f)};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const float wu = u + noise.Fractal(u, v, 16, 2) * 0.004f;
            const float wv = v + noise.Fractal(u + 0.5f, v, 16, 2) * 0.004f;
            const XCellSample c = noise.Cells(wu, wv, 8, 0.75f);
            const float gap = c.second - c.nearest;
            const float onStone = SmoothStep(0.05f, 0.12f, gap);
            const float dome = std::sqrt(Clamp01(1.0f - c.nearest * c.nearest * 1.2f));
            XColor stone = stones[c.id % 4];
            stone = Vary(stone, static_cast<float>((c.id >> 8) & 255u) / 255.0f,
                         static_cast<float>((c.id >> 16) & 255u) / 255.0f, 0.08f);
            const float grain = noise.Fractal(u, v, 32, 4) * 0.08f;
            stone = stone * (1.0f + grain);
            const XColor jointColor = MixColor(joint, moss, Clamp01(noise.Fractal(u, v, 8, 3) + 0.3f));
            canvas.At(x, y) = MixColor(jointColor, stone, onStone);
            height.At(x, y) = onStone * (0.5f + 0.5f * dome) + grain * 0.5f;
        }
    }
    ApplyShade(canvas, height, 3.0f);
    return canvas;
}

// Steel floor plate with raised diamonds, alternating their direction.
XImage PaintDiamondPlate(int size)
{
    const XNoise noise(303);
    XImage canvas(size, size);
    XTexField height(size, size);
    const int cell = size / 8;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const int i = x / cell;
            const int j = y / cell;
            const float lx = static_cast<float>(x % cell) - cell * 0.5f + 0.5f;
            const float ly = static_cast<float>(y % cell) - cell * 0.5f + 0.5f;
            const float sign = ((i + j) & 1) ? 1.0f : -1.0f;
            const float a = (lx + sign * ly) * 0.7071f;
            const float b = (lx - sign * ly) * 0.7071f;
            const float r = std::sqrt((a * a) / (cell * cell * 0.16f) + (b * b) / (cell * cell * 0.012f));
            const float bump = SmoothStep(1.0f, 0.7f, r);
            const float wear = noise.Fractal(u, v, 8, 4);
            const float steel = 0.50f + wear * 0.06f + noise.Random(x, y, 5) * 0.03f;
            const XColor base(steel * 0.98f, steel, steel * 1.03f);
            const XColor polished = base * (1.0f + 0.25f * bump);
            canvas.At(x, y) = polished * (1.0f - 0.15f * Clamp01(-wear * 2.0f));
            height.At(x, y) = bump;
        }
    }
    ApplyShade(canvas, height, 2.5f);
    return canvas;
}

// Wooden planks, eight across the tile, with staggered joints and grain along the plank.
XImage PaintWood(int size)
{
    const XNoise noise(404);
    XImage canvas(size, size);
    XTexField height(size, size);
    const int plank = size / 8;
    const XColor woodLight(0.62f, 0.43f, 0.26f);
    const XColor woodDark(0.40f, 0.25f, 0.14f);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const int i = x / plank;
            const int joint = static_cast<int>(noise.Random(i, 0, 7) * size);
            const int segment = ((y - joint + size) % size) < size / 2 ? 0 : 1;
            const float lx = static_cast<float>(x % plank);
            const float ly = static_cast<float>((y - joint + size) % (size / 2));
            const float e = EdgeDistance(lx, ly, static_cast<float>(plank), static_cast<float>(size / 2));
            const float onPlank = SmoothStep(0.8f, 2.0f, e);
            const float warp = noise.Fractal(u, v, 4, 3) * 3.0f + noise.Random(i, segment, 8) * 10.0f;
            const float grain = 0.5f + 0.5f * std::sin(kTwoPi * (u * 64.0f + warp));
            const float fine = noise.Fractal(u, v, 64, 2);
            XColor wood = MixColor(woodDark, woodLight, 0.35f + 0.45f * grain + fine * 0.1f);
            wood = Vary(wood, noise.Random(i, segment, 9), noise.Random(i, segment, 10), 0.10f);
            canvas.At(x, y) = MixColor(XColor(0.15f, 0.10f, 0.06f), wood, onPlank);
            height.At(x, y) = onPlank * (0.8f + grain * 0.1f);
        }
    }
    ApplyShade(canvas, height, 1.5f);
    return canvas;
}

// ------------------------------------------------------------------------------------------------ walls

// Ashlar: courses of dressed blocks twice as long as high, in running bond.
XImage PaintStoneWall(int size)
{
    const XNoise noise(505);
    XImage canvas(size, size);
    XTexField height(size, size);
    const int rowHeight = size / 4;
    const int blockWidth = size / 2;
    const XColor stone(0.66f, 0.62f, 0.55f);
    const XColor mortar(0.42f, 0.40f, 0.36f);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const int row = y / rowHeight;
            const int shifted = x + (row & 1) * blockWidth / 2;
            const int column = (shifted / blockWidth) % 2;
            const float ragged = noise.Fractal(u, v, 32, 3) * 2.5f;
            const float e = EdgeDistance(static_cast<float>(shifted % blockWidth), static_cast<float>(y % rowHeight),
                                         static_cast<float>(blockWidth), static_cast<float>(rowHeight)) + ragged;
            const float onBlock = SmoothStep(2.0f, 4.0f, e);
            XColor block = Vary(stone, noise.Random(column, row, 1), noise.Random(column, row, 2), 0.09f);
            const float surface = noise.Fractal(u, v, 8, 5) * 0.08f + noise.Fractal(u, v, 64, 2) * 0.05f;
            block = block * (1.0f + surface);
            const float edgeWear = 1.0f - 0.1f * (1.0f - SmoothStep(3.0f, 14.0f, e));
            canvas.At(x, y) = MixColor(mortar * (1.0f + surface), block * edgeWear, onBlock);
            height.At(x, y) = onBlock * (0.6f + 0.4f * SmoothStep(2.0f, 12.0f, e)) + surface * 0.8f;
        }
    }
    ApplyShade(canvas, height, 2.5f);
    return canvas;
}

// Red brick in running bond: sixteen courses, four bricks a course, a few darker burnt bricks.
XImage PaintBrick(int size)
{
    const XNoise noise(606);
    XImage canvas(size, size);
    XTexField height(size, size);
    const int rowHeight = size / 16;
    const int brickWidth = size / 4;
    const XColor brick(0.60f, 0.30f, 0.21f);
    const XColor burnt(0.38f, 0.20f, 0.15f);
    const XColor mortar(0.66f, 0.63f, 0.57f);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const int row = y / rowHeight;
            const int shifted = x + (row & 1) * brickWidth / 2;
            const int column = (shifted / brickWidth) % 4;
            const float e = EdgeDistance(static_cast<float>(shifted % brickWidth), static_cast<float>(y % rowHeight),
                                         static_cast<float>(brickWidth), static_cast<float>(rowHeight)) +
                            noise.Fractal(u, v, 64, 2) * 0.8f;
            const float onBrick = SmoothStep(1.5f, 3.0f, e);
            const XColor base = noise.Random(column, row, 3) < 0.15f ? burnt : brick;
            XColor b = Vary(base, noise.Random(column, row, 1), noise.Random(column, row, 2), 0.10f);
            const float surface = noise.Fractal(u, v, 16, 4) * 0.08f + (noise.Random(x, y, 4) - 0.5f) * 0.05f;
            b = b * (1.0f + surface);
            canvas.At(x, y) = MixColor(mortar * (1.0f + surface * 0.5f), b, onBrick);
            height.At(x, y) = onBrick * (0.7f + 0.3f * SmoothStep(1.5f, 6.0f, e)) + surface * 0.5f;
        }
    }
    ApplyShade(canvas, height, 2.0f);
    return canvas;
}

// Blue-grey steel panels, two by two, with seams and rivets along their edges.
XImage PaintMetalPanels(int size)
{
    const XNoise noise(707);
    XImage canvas(size, size);
    XTexField height(size, size);
    const int panel = size / 2;
    const XColor steel(0.46f, 0.50f, 0.55f);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const int i = x / panel;
            const int j = y / panel;
            const float e = EdgeDistance(static_cast<float>(x % panel), static_cast<float>(y % panel),
                                         static_cast<float>(panel), static_cast<float>(panel));
            const float onPanel = SmoothStep(1.5f, 3.0f, e);
            XColor plate = Vary(steel, noise.Random(i, j, 1), noise.Random(i, j, 2), 0.06f);
            const float grime = noise.Fractal(u, v, 4, 5);
            const float streak = noise.Fractal(u * 1.0f, v, 32, 2) * 0.03f;
            plate = plate * (1.0f + grime * 0.10f + streak);
            const float rivets = PanelRivets(x, y, panel, size / 16, size / 40, size / 200.0f + 2.0f);
            plate = plate * (1.0f + rivets * 0.15f);
            canvas.At(x, y) = MixColor(XColor(0.16f, 0.17f, 0.19f), plate, onPanel);
            height.At(x, y) = onPanel * (0.6f + 0.4f * SmoothStep(2.0f, 8.0f, e)) + rivets * 0.8f;
        }
    }
    ApplyShade(canvas, height, 2.0f);
    return canvas;
}

// Warm plaster: soft blotches, fine grain and a few hairline cracks.
XImage PaintPlaster(int size)
{
    const XNoise noise(808);
    XImage canvas(size, size);
    XTexField height(size, size);
    const XColor plaster(0.80f, 0.75f, 0.66f);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const float blotch = noise.Fractal(u, v, 3, 4) * 0.06f;
            const float grain = noise.Fractal(u, v, 64, 3) * 0.04f;
            const float crack = SmoothStep(0.975f, 0.995f, noise.Ridged(u, v, 3, 4));
            canvas.At(x, y) = plaster * (1.0f + blotch + grain - 0.25f * crack);
            height.At(x, y) = grain * 2.0f - crack * 0.3f;
        }
    }
    ApplyShade(canvas, height, 1.5f);
    return canvas;
}

// Layered rock with sharp ridges, for steep slopes and rough walls.
XImage PaintRock(int size)
{
    const XNoise noise(909);
    XImage canvas(size, size);
    XTexField height(size, size);
    const XColor rockA(0.52f, 0.46f, 0.39f);
    const XColor rockB(0.40f, 0.38f, 0.36f);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const float ridges = noise.Ridged(u, v, 4, 6);
            const float strata = 0.5f + 0.5f * std::sin(kTwoPi * (v * 6.0f + noise.Fractal(u, v, 2, 3) * 0.8f));
            XColor rock = MixColor(rockB, rockA, strata * 0.7f + noise.Fractal(u, v, 16, 3) * 0.2f);
            rock = rock * (0.85f + 0.3f * ridges);
            canvas.At(x, y) = rock;
            height.At(x, y) = ridges * 1.5f + strata * 0.3f;
        }
    }
    ApplyShade(canvas, height, 6.0f);
    return canvas;
}

// ------------------------------------------------------------------------------------------------ ceilings and trims

// Cast concrete: mottled grey, small pores, formwork seams and tie holes.
XImage PaintConcrete(int size)
{
    const XNoise noise(1010);
    XImage canvas(size, size);
    XTexField height(size, size);
    const XColor concrete(0.62f, 0.61f, 0.58f);
    const int board = size / 2;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const float mottle = noise.Fractal(u, v, 4, 6) * 0.07f + noise.Fractal(u, v, 32, 2) * 0.04f;
            const XCellSample pores = noise.Cells(u, v, 48, 1.0f);
            const float pore = (pores.id % 5u == 0u) ? SmoothStep(0.12f, 0.05f, pores.nearest) : 0.0f;
            // The boards' joints run through the middle of the tile, away from its edges.
            const int bx = (x + board / 2) % board;
            const int by = (y + board / 2) % board;
            const float seamX = SmoothStep(1.5f, 0.0f, std::fabs(static_cast<float>(bx) - 0.0f)) +
                                SmoothStep(1.5f, 0.0f, std::fabs(static_cast<float>(bx) - board + 1.0f));
            const float seamY = SmoothStep(1.5f, 0.0f, std::fabs(static_cast<float>(by) - 0.0f)) +
                                SmoothStep(1.5f, 0.0f, std::fabs(static_cast<float>(by) - board + 1.0f));
            const float seam = Clamp01(seamX + seamY);
            const float hx = static_cast<float>(bx) - board * 0.5f;
            const float hy = static_cast<float>(by) - board * 0.5f;
            const float tie = Rivet(std::sqrt(hx * hx + hy * hy), size / 64.0f);
            const float shade = 1.0f + mottle - 0.35f * pore - 0.18f * seam - 0.45f * tie;
            canvas.At(x, y) = concrete * shade;
            height.At(x, y) = mottle - pore * 0.2f - seam * 0.2f - tie * 0.5f;
        }
    }
    ApplyShade(canvas, height, 2.0f);
    return canvas;
}

// Pale marble with grey-green veins.
XImage PaintMarble(int size)
{
    const XNoise noise(1111);
    XImage canvas(size, size);
    const XColor marble(0.86f, 0.85f, 0.81f);
    const XColor vein(0.42f, 0.46f, 0.43f);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const float turbulence = noise.Fractal(u, v, 3, 6) * 1.1f;
            const float wave = std::fabs(std::sin(kTwoPi * (u * 2.0f + v * 1.0f + turbulence)));
            const float veins = std::pow(1.0f - wave, 10.0f);
            const float fine = std::pow(1.0f - std::fabs(std::sin(kTwoPi * (u * 5.0f - v * 3.0f + turbulence * 2.0f))), 30.0f);
            const float cloud = noise.Fractal(u, v, 4, 4) * 0.05f;
            canvas.At(x, y) = MixColor(marble * (1.0f + cloud), vein, Clamp01(veins * 0.8f + fine * 0.35f));
        }
    }
    return canvas;
}

// Brushed steel with a row of rivets near the top and the bottom edge.
XImage PaintMetalTrim(int size)
{
    const XNoise noise(1212);
    XImage canvas(size, size);
    XTexField height(size, size);
    std::vector<float> rowStreak(static_cast<size_t>(size));
    for (int y = 0; y < size; ++y) {
        rowStreak[static_cast<size_t>(y)] = noise.Random(0, y, 1) * 0.06f + noise.Random(1, y / 3, 1) * 0.04f;
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const float brushed = rowStreak[static_cast<size_t>(y)] + noise.Fractal(u, v, 4, 3) * 0.05f;
            const float steel = 0.56f + brushed;
            XColor metal(steel * 0.97f, steel, steel * 1.04f);
            const float edge = std::min(static_cast<float>(y) + 0.5f, size - 0.5f - static_cast<float>(y));
            const float band = SmoothStep(2.0f, 4.0f, edge);
            const int spacing = size / 4;
            const float rx = static_cast<float>((x % spacing) - spacing / 2);
            const float rowTop = static_cast<float>(y) - size / 10.0f;
            const float rowBottom = static_cast<float>(y) - (size - 1 - size / 10.0f);
            const float rivets = std::max(Rivet(std::sqrt(rx * rx + rowTop * rowTop), size / 40.0f + 1.5f),
                                          Rivet(std::sqrt(rx * rx + rowBottom * rowBottom), size / 40.0f + 1.5f));
            metal = metal * (1.0f + rivets * 0.2f);
            canvas.At(x, y) = MixColor(XColor(0.2f, 0.2f, 0.22f), metal, band);
            height.At(x, y) = band * 0.5f + rivets;
        }
    }
    ApplyShade(canvas, height, 2.0f);
    return canvas;
}

// ------------------------------------------------------------------------------------------------ sky

// Fair-weather clouds on a deep blue sky; the sky dome repeats and scrolls it.
XImage PaintSkyClouds(int size)
{
    const XNoise noise(1313);
    XImage canvas(size, size);
    const XColor blue(0.30f, 0.50f, 0.84f);
    const XColor paleBlue(0.52f, 0.68f, 0.92f);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const float density = noise.Fractal(u, v, 3, 7, 0.55f);
            const float cover = SmoothStep(-0.05f, 0.45f, density);
            // Thicker cloud is greyer underneath: darken where the density is high.
            const float thick = SmoothStep(0.3f, 0.9f, density);
            const XColor cloud = XColor(0.98f, 0.98f, 1.0f) * (1.0f - 0.25f * thick);
            const XColor sky = MixColor(blue, paleBlue, Clamp01(0.5f + noise.Fractal(u, v, 2, 2) * 0.5f));
            canvas.At(x, y) = MixColor(sky, cloud, cover);
        }
    }
    return canvas;
}

// ------------------------------------------------------------------------------------------------ weapons

// Four quarters for the weapon models: gunmetal (top left), olive paint (top right), glowing coil (bottom
// left) and hazard stripes (bottom right).
XImage PaintWeapons(int size)
{
    const XNoise noise(1414);
    XImage canvas(size, size);
    XTexField height(size, size);
    const int half = size / 2;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const int lx = x % half;
            const int ly = y % half;
            const float grain = noise.Fractal(u, v, 16, 4) * 0.06f;
            XColor c;
            float h = 0.0f;
            if (y < half && x < half) {
                const float seam = (ly % (half / 4) < 2) ? 1.0f : 0.0f;
                const float rivets = PanelRivets(lx, ly, half / 2, half / 4, half / 16, 2.5f);
                c = XColor(0.30f, 0.32f, 0.36f) * (1.0f + grain + rivets * 0.3f - seam * 0.4f);
                h = rivets - seam * 0.5f;
            } else if (y < half) {
                const float wear = SmoothStep(0.25f, 0.45f, noise.Fractal(u, v, 8, 4));
                const float stripe = (ly > half * 0.42f && ly < half * 0.58f) ? 1.0f : 0.0f;
                const XColor paint = MixColor(XColor(0.36f, 0.40f, 0.22f), XColor(0.85f, 0.85f, 0.80f), stripe);
                c = MixColor(paint * (1.0f + grain), XColor(0.55f, 0.56f, 0.58f), wear);
                h = -wear * 0.3f;
            } else if (x < half) {
                const float rings = 0.5f + 0.5f * std::sin(kTwoPi * static_cast<float>(ly) / (half / 8.0f));
                c = MixColor(XColor(0.05f, 0.30f, 0.55f), XColor(0.55f, 0.95f, 1.0f), rings * rings);
                h = rings * 0.5f;
            } else {
                const bool orange = (((lx + ly) / (half / 6)) & 1) != 0;
                c = orange ? XColor(0.95f, 0.58f, 0.08f) : XColor(0.08f, 0.08f, 0.08f);
                c = c * (1.0f + grain);
            }
            canvas.At(x, y) = c;
            height.At(x, y) = h;
        }
    }
    ApplyShade(canvas, height, 1.5f);
    return canvas;
}

} // namespace

// ------------------------------------------------------------------------------------------------ catalogue

const std::vector<XLevelTextureEntry>& XLevelTextures::Catalogue()
{
    static const std::vector<XLevelTextureEntry> entries = {
        {"floor_tiles.jpg", 512, "checkered stone flags, 4 x 4 a tile (drawn for 4 units a repeat)", PaintFloorTiles},
        {"stone_wall.jpg", 512, "ashlar blocks in running bond, 2 x 4 courses (4 units)", PaintStoneWall},
        {"brick.jpg", 512, "red brick, 16 courses (3 to 4 units)", PaintBrick},
        {"concrete.jpg", 512, "cast concrete with formwork seams and tie holes (4 units)", PaintConcrete},
        {"marble.jpg", 512, "pale veined marble (3 units)", PaintMarble},
        {"metal_trim.jpg", 256, "brushed steel with rivets along both edges (2 units)", PaintMetalTrim},
        {"metal_panels.jpg", 512, "blue-grey riveted steel panels, 2 x 2 (4 units)", PaintMetalPanels},
        {"diamond_plate.jpg", 256, "steel floor plate with raised diamonds (2 units)", PaintDiamondPlate},
        {"cobble.jpg", 512, "rounded cobbles in sandy joints (4 units)", PaintCobble},
        {"rock.jpg", 512, "layered rock with ridges (4 units)", PaintRock},
        {"plaster.jpg", 512, "warm plaster (4 units)", PaintPlaster},
        {"wood.jpg", 512, "wooden planks with staggered joints (4 units)", PaintWood},
        {"sky_clouds.jpg", 512, "clouds on a blue sky (the sky dome's texture)", PaintSkyClouds},
        {"weapons.jpg", 256, "weapon model quarters: gunmetal, olive paint, glowing coil, hazard stripes", PaintWeapons},
    };
    return entries;
}

const XLevelTextureEntry* XLevelTextures::Find(const std::string& fileName)
{
    for (const XLevelTextureEntry& entry : Catalogue()) {
        if (fileName == entry.fileName) {
            return &entry;
        }
    }
    return nullptr;
}

bool XLevelTextures::WriteAll(const std::string& stagingFolder, std::string& error)
{
    const std::string folder = stagingFolder + "/scene";
    if (!XFiles::MakeFolder(folder)) {
        error = "cannot make the folder " + folder;
        return false;
    }
    for (const XLevelTextureEntry& entry : Catalogue()) {
        const XImage canvas = entry.paint(entry.size);
        const std::string path = folder + "/" + entry.fileName;
        if (!XImageWriter::WriteJpeg(path, canvas, kJpegQuality)) {
            error = "cannot write " + path;
            return false;
        }
    }
    return true;
}
