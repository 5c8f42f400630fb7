// XEngineTextures: one small painter per engine texture.
//
// File index: helpers (ramps, radial coordinates, blur) - the table of files - light images (spot, flare,
// glow) - marks on walls (bullet hole, scorch) - fireball frames - pause panel and cursor - weapon - output.
#include "tools/texgen/XEngineTextures.h"
#include "math/XPi.h"

#include "tools/common/XImageWriter.h"
#include "tools/common/XNoise.h"
#include "tools/common/XToolMath.h" // Clamp01, SmoothStep
#include "tools/texgen/XFontSheet.h"
#include "tools/texgen/XPolygon.h"

#include <algorithm> // std::clamp, std::max, std::min
#include <cmath>     // std::sqrt, std::exp, std::pow, std::atan2, std::cos, std::sin, std::fabs

namespace {

// ---------------------------------------------------------------------------------------------------------
// Helpers


// Position of a pixel centre relative to the canvas centre, in units of half the canvas size.
struct Polar {
    float x = 0.0f;     // -1 at the left edge, +1 at the right
    float y = 0.0f;     // -1 at the top, +1 at the bottom
    float r = 0.0f;     // 0 at the centre, 1 at the middle of an edge
    float angle = 0.0f; // radians
};

Polar PolarAt(int px, int py, int size)
{
    const float half = static_cast<float>(size) * 0.5f;
    Polar p;
    p.x = (static_cast<float>(px) + 0.5f - half) / half;
    p.y = (static_cast<float>(py) + 0.5f - half) / half;
    p.r = std::sqrt(p.x * p.x + p.y * p.y);
    p.angle = std::atan2(p.y, p.x);
    return p;
}

// 1 inside, falling to 0 between the two radii: keeps a round image clear of its square's edges.
float Window(float r, float start, float end)
{
    return 1.0f - SmoothStep(start, end, r);
}

// Colour of a ramp through evenly spaced stops at t = 0 .. 1.
XColor Ramp(const std::vector<XColor>& stops, float t)
{
    const float scaled = Clamp01(t) * static_cast<float>(stops.size() - 1);
    const size_t index = std::min(static_cast<size_t>(scaled), stops.size() - 2);
    return MixColor(stops[index], stops[index + 1], scaled - static_cast<float>(index));
}

XColor Opaque(float r, float g, float b)
{
    return XColor{r, g, b, 1.0f};
}

// Box blur of the alpha channel, run twice (close to a Gaussian), for glows and shadows.
XImage BlurAlpha(const XImage& source, int radius)
{
    XImage current = source;
    for (int pass = 0; pass < 2; ++pass) {
        XImage horizontal(current.Width(), current.Height());
        for (int y = 0; y < current.Height(); ++y) {
            for (int x = 0; x < current.Width(); ++x) {
                float sum = 0.0f;
                for (int k = -radius; k <= radius; ++k) {
                    sum += current.Get(x + k, y).a;
                }
                horizontal.Set(x, y, XColor{1.0f, 1.0f, 1.0f, sum / static_cast<float>(2 * radius + 1)});
            }
        }
        for (int y = 0; y < current.Height(); ++y) {
            for (int x = 0; x < current.Width(); ++x) {
                float sum = 0.0f;
                for (int k = -radius; k <= radius; ++k) {
                    sum += horizontal.Get(x, y + k).a;
                }
                current.Set(x, y, XColor{1.0f, 1.0f, 1.0f, sum / static_cast<float>(2 * radius + 1)});
            }
        }
    }
    return current;
}

// Signed distance to a rectangle with rounded corners, centred on (cx, cy): negative inside.
float RoundedBoxDistance(float x, float y, float cx, float cy, float halfWidth, float halfHeight, float radius)
{
    const float qx = std::fabs(x - cx) - halfWidth + radius;
    const float qy = std::fabs(y - cy) - halfHeight + radius;
    const float outside = std::sqrt(std::max(qx, 0.0f) * std::max(qx, 0.0f) + std::max(qy, 0.0f) * std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

// ---------------------------------------------------------------------------------------------------------
// Marks on walls

// Thin dark lines running out from the centre at a few fixed angles, strongest near the hole.
float Cracks(const Polar& p, const XNoise& noise)
{
    const float angles[] = {0.35f, 1.6f, 2.55f, 3.9f, 5.2f};
    float strength = 0.0f;
    for (const float base : angles) {
        const float wobble = (noise.Value(p.r * 6.0f, base * 3.0f) - 0.5f) * 0.5f;
        float delta = std::fabs(p.angle + kPiFloat - base - wobble);
        delta = std::min(delta, 2.0f * kPiFloat - delta);
        const float width = 0.05f / std::max(p.r, 0.2f);
        const float line = std::exp(-(delta * delta) / (width * width));
        strength = std::max(strength, line * Window(p.r, 0.35f, 0.8f + 0.1f * base / kPiFloat));
    }
    return strength;
}

} // namespace

// -------------------------------------------------------------------------------------------------------------
// The table of files

const std::vector<XEngineTextures::File>& XEngineTextures::Files()
{
    static const std::vector<File> files = [] {
        std::vector<File> list = {
            {"misc/spot.bmp", Format::Bmp, 128, 128, 3},
            {"misc/font.bmp", Format::Bmp, XFontSheet::kSheetSize, XFontSheet::kSheetSize, 3},
            {"misc/light.bmp", Format::Bmp, 128, 128, 3},
            {"misc/menu.raw", Format::Raw, 512, 512, 4},
            {"misc/cursor.raw", Format::Raw, 32, 32, 4},
            {"misc/decal.raw", Format::Raw, 64, 64, 4},
            {"misc/decal2.raw", Format::Raw, 128, 128, 4},
            {"misc/rocketl.jpg", Format::Jpeg, 128, 128, 3},
        };
        for (int frame = 1; frame <= 8; ++frame) {
            list.push_back({"explode/rlboom_" + std::to_string(frame) + ".tga", Format::Tga, 128, 128, 4});
        }
        list.push_back({"explode/weapon.raw", Format::Raw, 64, 64, 4});
        return list;
    }();
    return files;
}

XEngineTextures::XEngineTextures(const XGlyphRasterizer& font_) : font(font_)
{
}

XImage XEngineTextures::Make(const std::string& path) const
{
    if (path == "misc/spot.bmp") {
        return Spot();
    }
    if (path == "misc/font.bmp") {
        return Font();
    }
    if (path == "misc/light.bmp") {
        return Flare();
    }
    if (path == "misc/menu.raw") {
        return Menu();
    }
    if (path == "misc/cursor.raw") {
        return Cursor();
    }
    if (path == "misc/decal.raw") {
        return BulletHole();
    }
    if (path == "misc/decal2.raw") {
        return Scorch();
    }
    if (path == "misc/rocketl.jpg") {
        return RocketGlow();
    }
    if (path == "explode/weapon.raw") {
        return Weapon();
    }
    for (int frame = 1; frame <= 8; ++frame) {
        if (path == "explode/rlboom_" + std::to_string(frame) + ".tga") {
            return Fireball(frame);
        }
    }
    return XImage(1, 1);
}

// -------------------------------------------------------------------------------------------------------------
// Light images: drawn additively or as a projected light, so black means "no light" and the edges are black.

// The spotlight's cone cross-section: a white disc with a soft rim, used on all six cube faces.
XImage XEngineTextures::Spot()
{
    const int size = 128;
    XImage image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Polar p = PolarAt(x, y, size);
            const float light = std::pow(1.0f - SmoothStep(0.2f, 0.92f, p.r), 1.4f);
            image.Set(x, y, Opaque(light, light * 0.98f, light * 0.93f));
        }
    }
    return image;
}

// A lamp's flare: hot white core, warm glow, six faint rays and a thin pale ring.
XImage XEngineTextures::Flare()
{
    const int size = 128;
    XImage image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Polar p = PolarAt(x, y, size);
            const float core = std::exp(-(p.r * p.r) / (0.07f * 0.07f));
            const float glow = 0.55f * std::exp(-(p.r * p.r) / 0.045f) + 0.22f * std::exp(-p.r / 0.2f);
            const float rays = 0.45f * std::pow(std::fabs(std::cos(3.0f * p.angle)), 90.0f) * std::exp(-p.r / 0.3f);
            const float ring = 0.09f * std::exp(-((p.r - 0.62f) * (p.r - 0.62f)) / (0.035f * 0.035f));
            const float fade = Window(p.r, 0.72f, 0.97f);
            const float r = (core + glow * 1.0f + rays * 1.0f + ring * 0.6f) * fade;
            const float g = (core + glow * 0.86f + rays * 0.93f + ring * 0.8f) * fade;
            const float b = (core + glow * 0.62f + rays * 0.8f + ring * 1.0f) * fade;
            image.Set(x, y, Opaque(r, g, b));
        }
    }
    return image;
}

// The glow of rockets and explosions: orange-white centre fading through red to black.
XImage XEngineTextures::RocketGlow()
{
    const int size = 128;
    XImage image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Polar p = PolarAt(x, y, size);
            const float core = std::exp(-(p.r * p.r) / (0.12f * 0.12f));
            const float middle = 0.9f * std::exp(-(p.r * p.r) / (0.32f * 0.32f));
            const float outer = 0.35f * std::exp(-p.r / 0.26f);
            const float fade = Window(p.r, 0.75f, 0.97f);
            const float r = (core * 1.0f + middle * 1.0f + outer * 0.8f) * fade;
            const float g = (core * 0.95f + middle * 0.52f + outer * 0.18f) * fade;
            const float b = (core * 0.75f + middle * 0.12f + outer * 0.04f) * fade;
            image.Set(x, y, Opaque(r, g, b));
        }
    }
    return image;
}

// -------------------------------------------------------------------------------------------------------------
// Marks on walls: blended over the wall by alpha, transparent at the edges.

// A bullet hole: black hole, a chipped pale rim, a sooty ring with a few cracks.
XImage XEngineTextures::BulletHole()
{
    const int size = 64;
    const XNoise noise(1201u);
    XImage image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Polar p = PolarAt(x, y, size);
            const float grain = noise.ValueFractal(p.x * 6.0f + 10.0f, p.y * 6.0f, 4);
            const float jagged = p.r + (noise.Value(std::cos(p.angle) * 3.0f + 5.0f, std::sin(p.angle) * 3.0f) - 0.5f) * 0.12f;
            const float soot = (1.0f - SmoothStep(0.2f, 0.85f, jagged)) * (0.55f + 0.45f * grain);
            const float crack = Cracks(p, noise) * 0.8f;
            const float round = p.r + (jagged - p.r) * 0.35f; // the hole itself is nearly round
            const float rim = SmoothStep(0.13f, 0.17f, round) * (1.0f - SmoothStep(0.22f, 0.3f, jagged));
            const float hole = 1.0f - SmoothStep(0.14f, 0.17f, round);

            const XColor sootColour = Opaque(0.08f + 0.05f * grain, 0.07f + 0.04f * grain, 0.06f + 0.03f * grain);
            XColor colour = sootColour;
            colour = MixColor(colour, Opaque(0.42f + 0.2f * grain, 0.39f + 0.18f * grain, 0.35f + 0.15f * grain), rim * 0.8f);
            colour = MixColor(colour, Opaque(0.01f, 0.01f, 0.01f), hole);
            colour = MixColor(colour, Opaque(0.03f, 0.03f, 0.03f), crack * (1.0f - hole));
            colour.a = Clamp01(std::max({soot * 0.92f, crack, rim, hole})) * Window(p.r, 0.8f, 0.97f);
            image.Set(x, y, colour);
        }
    }
    return image;
}

// A rocket's scorch mark: an irregular blot of soot, black in the middle, brown at the fringe, with
// streaks thrown outwards.
XImage XEngineTextures::Scorch()
{
    const int size = 128;
    const XNoise noise(4441u);
    XImage image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Polar p = PolarAt(x, y, size);
            const float cx = std::cos(p.angle);
            const float cy = std::sin(p.angle);
            const float reach = 0.5f + 0.32f * noise.ValueFractal(cx * 1.6f + 7.0f, cy * 1.6f + 3.0f, 3);
            const float grain = noise.ValueFractal(p.x * 7.0f, p.y * 7.0f + 20.0f, 5);
            const float streaks = noise.ValueFractal(cx * 9.0f + 40.0f, cy * 9.0f + p.r * 0.8f, 3);
            const float body = 1.0f - SmoothStep(0.25f * reach, reach, p.r);
            const float thrown = SmoothStep(0.55f, 0.8f, streaks) * (1.0f - SmoothStep(0.3f, 0.94f, p.r));
            const float alpha = Clamp01(body * (0.6f + 0.6f * grain) + thrown * 0.55f * (0.5f + grain));

            const float burnt = 1.0f - SmoothStep(0.0f, reach, p.r);
            const XColor fringe = Opaque(0.17f + 0.08f * grain, 0.12f + 0.05f * grain, 0.08f + 0.03f * grain);
            XColor colour = MixColor(fringe, Opaque(0.02f, 0.018f, 0.015f), Clamp01(burnt * 1.4f));
            colour.a = alpha * Window(p.r, 0.9f, 0.99f);
            image.Set(x, y, colour);
        }
    }
    return image;
}

// -------------------------------------------------------------------------------------------------------------
// Fireball: eight frames of a ball that grows, cools from white-yellow to red and smoke, and fades.

XImage XEngineTextures::Fireball(int frame)
{
    const int size = 128;
    const XNoise noise(7001u);
    const float progress = static_cast<float>(std::clamp(frame, 1, 8) - 1) / 7.0f;
    const std::vector<XColor> heatRamp = {Opaque(0.2f, 0.16f, 0.14f), Opaque(0.55f, 0.1f, 0.02f),
                                          Opaque(1.0f, 0.42f, 0.05f), Opaque(1.0f, 0.78f, 0.28f),
                                          Opaque(1.0f, 0.97f, 0.85f)};
    const float radius = 0.36f + 0.5f * std::sqrt(progress);
    XImage image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Polar p = PolarAt(x, y, size);
            const float churn =
                noise.ValueFractal(p.x * 2.6f + progress * 1.3f + 3.0f, p.y * 2.6f - progress * 0.9f, 5);
            const float lobes = noise.ValueFractal(std::cos(p.angle) * 1.8f + progress * 0.6f,
                                                   std::sin(p.angle) * 1.8f + 11.0f, 3);
            const float edge = radius * (0.72f + 0.5f * lobes);
            const float depth = p.r / edge + (churn - 0.5f) * 0.45f;
            const float body = 1.0f - SmoothStep(0.6f, 1.0f, depth);
            const float heat = Clamp01((1.0f - depth * 0.85f) * (1.25f - progress * 1.05f) + (churn - 0.5f) * 0.7f);
            XColor colour = Ramp(heatRamp, heat);
            const float fade = 1.0f - 0.8f * std::pow(progress, 1.3f);
            colour.a = body * fade * (0.55f + 0.45f * SmoothStep(0.0f, 0.35f, heat)) * Window(p.r, 0.9f, 0.99f);
            image.Set(x, y, colour);
        }
    }
    return image;
}

// -------------------------------------------------------------------------------------------------------------
// Glyph grid, pause panel and cursor

XImage XEngineTextures::Font() const
{
    return XFontSheet::Build(font);
}

// The pause panel: a translucent dark plate in a metal frame, "KORVATH" in amber on a darker title band,
// and the keys that leave the pause along the bottom. The panel is drawn 700 × 500 pixels from this
// 512 × 512 image, so lettering is painted narrower by 500/700 to look right on screen; the help text is
// drawn under the panel, so the middle stays light enough to read it through.
XImage XEngineTextures::Menu() const
{
    const int size = 512;
    const float squeeze = 500.0f / 700.0f;
    const XNoise noise(2024u);
    XImage image(size, size);

    // Plate, frame and title band.
    const float centre = static_cast<float>(size) * 0.5f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float fx = static_cast<float>(x) + 0.5f;
            const float fy = static_cast<float>(y) + 0.5f;
            const float d = RoundedBoxDistance(fx, fy, centre, centre, centre - 6.0f, centre - 6.0f, 28.0f);
            if (d > 1.0f) {
                continue;
            }
            const float grain = (noise.ValueFractal(fx * 0.05f, fy * 0.4f, 3) - 0.5f) * 0.04f;
            const float height = fy / static_cast<float>(size);
            const float titleBand = 1.0f - SmoothStep(150.0f, 160.0f, fy);
            XColor plate = MixColor(Opaque(0.1f, 0.12f, 0.17f), Opaque(0.035f, 0.045f, 0.075f), height);
            plate = MixColor(plate, Opaque(0.05f, 0.06f, 0.09f), titleBand);
            plate.r += grain;
            plate.g += grain;
            plate.b += grain;
            plate.a = 0.5f + 0.35f * titleBand;

            const float metalShade = 0.55f + 0.45f * (1.0f - height);
            const XColor metal = Opaque(0.42f * metalShade + 0.1f, 0.5f * metalShade + 0.1f, 0.62f * metalShade + 0.12f);
            const float rimAmount = SmoothStep(-6.5f, -5.0f, d);
            const float hairline = std::exp(-((d + 13.0f) * (d + 13.0f)) / 0.8f);
            XColor colour = MixColor(plate, metal, rimAmount);
            colour.a = plate.a + (0.95f - plate.a) * rimAmount;
            colour = MixColor(colour, Opaque(0.38f, 0.55f, 0.78f), hairline * 0.7f);
            colour.a = std::max(colour.a, 0.8f * hairline) * Clamp01(0.5f - d);
            image.Set(x, y, colour);
        }
    }

    // A glowing amber rule under the title.
    for (int y = 140; y < 162; ++y) {
        for (int x = 40; x < size - 40; ++x) {
            const float dy = static_cast<float>(y) - 151.5f;
            const float along = std::fabs(static_cast<float>(x) + 0.5f - centre) / (centre - 40.0f);
            const float light = (std::exp(-dy * dy / 1.2f) + 0.35f * std::exp(-dy * dy / 20.0f)) * (1.0f - along * along);
            image.BlendOver(x, y, XColor{1.0f, 0.72f, 0.32f, Clamp01(light)});
        }
    }

    // The title, with a soft shadow, an amber glow and a vertical gold gradient.
    const std::string title = "KORVATH";
    const float capHeight = 56.0f;
    const float scaleY = capHeight / static_cast<float>(font.CharacterBox('H').y1);
    const float scaleX = scaleY * squeeze;
    const float spacing = 12.0f;
    const float titleWidth = font.TextWidth(title, scaleX) + spacing * static_cast<float>(title.size() - 1);
    const float baseline = 120.0f;
    XImage mask(size, size);
    float pen = centre - titleWidth * 0.5f;
    for (const char c : title) {
        // Painted three times a pixel apart: heavier strokes than the regular face has.
        for (int offset = 0; offset < 3; ++offset) {
            font.DrawText(mask, std::string(1, c), pen + static_cast<float>(offset) - 1.0f, baseline, scaleX, scaleY,
                          XColor{1.0f, 1.0f, 1.0f, 1.0f});
        }
        pen += font.TextWidth(std::string(1, c), scaleX) + spacing;
    }
    const XImage glow = BlurAlpha(mask, 6);
    const XImage shadow = BlurAlpha(mask, 2);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            image.BlendOver(x, y, XColor{1.0f, 0.55f, 0.12f, glow.Get(x, y).a * 0.55f});
            image.BlendOver(x, y, XColor{0.0f, 0.0f, 0.0f, shadow.Get(x - 3, y - 4).a * 0.8f});
            const float t = Clamp01((static_cast<float>(y) - (baseline - capHeight)) / capHeight);
            XColor gold = Ramp({Opaque(1.0f, 0.95f, 0.72f), Opaque(1.0f, 0.8f, 0.38f), Opaque(0.9f, 0.48f, 0.12f)}, t);
            gold.a = mask.Get(x, y).a;
            image.BlendOver(x, y, gold);
        }
    }

    // The keys that end the pause.
    const std::string keys = "SPACE resume     F1 help     ESC quit";
    const float keyScaleY = 13.0f / static_cast<float>(font.CharacterBox('H').y1);
    const float keyWidth = font.TextWidth(keys, keyScaleY * squeeze);
    font.DrawText(image, keys, centre - keyWidth * 0.5f, 476.0f, keyScaleY * squeeze, keyScaleY,
                  XColor{0.68f, 0.76f, 0.88f, 0.95f});
    return image;
}

// The mouse arrow: white with a black outline and a soft shadow, its tip at the top-left corner.
XImage XEngineTextures::Cursor()
{
    const int size = 32;
    const XPolygon arrow({{1.0f, 1.0f}, {1.0f, 23.5f}, {6.5f, 18.5f}, {10.5f, 27.0f}, {14.0f, 25.5f}, {10.2f, 17.2f}, {17.5f, 17.2f}});
    XImage image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float fx = static_cast<float>(x) + 0.5f;
            const float fy = static_cast<float>(y) + 0.5f;
            const float shadowDistance = arrow.SignedDistance(fx - 2.0f, fy - 2.0f);
            image.Set(x, y, XColor{0.0f, 0.0f, 0.0f, 0.4f * Clamp01((1.5f - shadowDistance) / 3.0f)});
            const float d = arrow.SignedDistance(fx, fy);
            const float shade = 1.0f - 0.18f * fy / static_cast<float>(size);
            XColor colour = MixColor(Opaque(0.0f, 0.0f, 0.0f), Opaque(shade, shade, shade), SmoothStep(-0.9f, -1.9f, d));
            colour.a = Clamp01(0.5f - d);
            image.BlendOver(x, y, colour);
        }
    }
    return image;
}

// -------------------------------------------------------------------------------------------------------------
// Weapon: a panel of brushed gunmetal with grooves and rivets.

XImage XEngineTextures::Weapon()
{
    const int size = 64;
    const XNoise noise(3333u);
    XImage image(size, size);
    const float rivets[][2] = {{6.5f, 6.5f}, {57.5f, 6.5f}, {6.5f, 57.5f}, {57.5f, 57.5f}, {32.0f, 32.0f}};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float fx = static_cast<float>(x) + 0.5f;
            const float fy = static_cast<float>(y) + 0.5f;
            const float brushed = (noise.ValueFractal(fx * 0.04f, fy * 0.9f, 4) - 0.5f) * 0.16f;
            float shade = 0.3f + brushed + 0.06f * (1.0f - fy / static_cast<float>(size));
            if (y == 21 || y == 42 || (x == 40 && y > 21 && y < 42)) {
                shade = 0.1f; // groove
            } else if (y == 22 || y == 43 || (x == 41 && y > 21 && y < 42)) {
                shade += 0.14f; // the groove's lit lower lip
            }
            if (x < 2 || y < 2) {
                shade += 0.12f; // bevel catching the light
            } else if (x >= size - 2 || y >= size - 2) {
                shade -= 0.12f;
            }
            for (const auto& rivet : rivets) {
                const float dx = fx - rivet[0];
                const float dy = fy - rivet[1];
                const float distance = std::sqrt(dx * dx + dy * dy);
                if (distance < 2.6f) {
                    shade = 0.38f + 0.25f * Clamp01(-(dx + dy) / 3.0f) - 0.12f * SmoothStep(1.8f, 2.6f, distance);
                }
            }
            image.Set(x, y, Opaque(shade * 0.92f, shade, shade * 1.08f));
        }
    }
    return image;
}

// -------------------------------------------------------------------------------------------------------------
// Output

bool XEngineTextures::WriteAll(const std::string& stagingFolder, std::string& error) const
{
    for (const File& file : Files()) {
        const XImage image = Make(file.path);
        const std::string path = stagingFolder + "/" + file.path;
        bool written = false;
        switch (file.format) {
        case Format::Bmp:
            written = XImageWriter::WriteBmp(path, image);
            break;
        case Format::Tga:
            written = XImageWriter::WriteTga(path, image);
            break;
        case Format::Jpeg:
            written = XImageWriter::WriteJpeg(path, image, 95);
            break;
        case Format::Raw:
            written = XImageWriter::WriteRaw(path, image);
            break;
        }
        if (!written) {
            error = "cannot write " + path;
            return false;
        }
    }
    return true;
}
