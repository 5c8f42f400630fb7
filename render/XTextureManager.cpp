// XTextureManager: scene and special texture tables, and the fixed recipe of the special textures.
#include "render/XTextureManager.h"

#include "render/XTextureLoader.h"
#include "scene/XArchive.h"
#include "shell/XLog.h"
#include "shell/XOptions.h"

#include <utility> // std::move

namespace {

enum class XSpecialSource { SpotCube, Bitmap, Raw, Jpeg, Tga, NormalizationCube };

// How one special texture is made and set up. A null name, a zero wrap or a zero filter means "keep the value
// the texture was created with".
struct XSpecialTextureRecipe {
    int slot;
    XSpecialSource source;
    const char* file;
    int width; // raw pictures: pixels; normalization cube: texels per face side
    int height;
    bool mipmap;
    const char* name;
    GLenum wrap;
    GLenum filter;
};

// In loading order: a failed creation stops the loading, so the order decides which slots a broken archive
// still fills.
const XSpecialTextureRecipe kSpecialRecipes[] = {
    {kSpecialSpotCube, XSpecialSource::SpotCube, "misc\\spot.bmp", 0, 0, false, "spotcube", GL_CLAMP, GL_LINEAR},
    {kSpecialFont, XSpecialSource::Bitmap, "misc\\font.bmp", 0, 0, false, "font2D", GL_REPEAT,
     GL_LINEAR_MIPMAP_NEAREST},
    {kSpecialLight, XSpecialSource::Bitmap, "misc\\light.bmp", 0, 0, false, "light", GL_CLAMP, GL_LINEAR},
    {kSpecialMenu, XSpecialSource::Raw, "misc\\menu.raw", 512, 512, false, "menu", GL_CLAMP, GL_LINEAR},
    {kSpecialCursor, XSpecialSource::Raw, "misc\\cursor.raw", 32, 32, false, "cursor", GL_CLAMP, 0},
    {kSpecialDecal, XSpecialSource::Raw, "misc\\decal.raw", 64, 64, true, "decal", GL_REPEAT,
     GL_LINEAR_MIPMAP_NEAREST},
    {kSpecialDecal2, XSpecialSource::Raw, "misc\\decal2.raw", 128, 128, true, "decal", GL_REPEAT,
     GL_LINEAR_MIPMAP_NEAREST},
    {kSpecialRocketGlow, XSpecialSource::Jpeg, "misc\\rocketl.jpg", 0, 0, false, "decal", GL_CLAMP,
     GL_LINEAR_MIPMAP_NEAREST},
    {kSpecialExplosionFirst + 0, XSpecialSource::Tga, "explode\\rlboom_1.tga", 0, 0, false, "explode", 0, 0},
    {kSpecialExplosionFirst + 1, XSpecialSource::Tga, "explode\\rlboom_2.tga", 0, 0, false, "explode", 0, 0},
    {kSpecialExplosionFirst + 2, XSpecialSource::Tga, "explode\\rlboom_3.tga", 0, 0, false, "explode", 0, 0},
    {kSpecialExplosionFirst + 3, XSpecialSource::Tga, "explode\\rlboom_4.tga", 0, 0, false, "explode", 0, 0},
    {kSpecialExplosionFirst + 4, XSpecialSource::Tga, "explode\\rlboom_5.tga", 0, 0, false, "explode", 0, 0},
    {kSpecialExplosionFirst + 5, XSpecialSource::Tga, "explode\\rlboom_6.tga", 0, 0, false, "explode", 0, 0},
    {kSpecialExplosionFirst + 6, XSpecialSource::Tga, "explode\\rlboom_7.tga", 0, 0, false, "explode", 0, 0},
    {kSpecialExplosionFirst + 7, XSpecialSource::Tga, "explode\\rlboom_8.tga", 0, 0, false, "explode", 0, 0},
    {kSpecialWeapon, XSpecialSource::Raw, "explode\\weapon.raw", 64, 64, false, "weapon", 0,
     GL_LINEAR_MIPMAP_NEAREST},
    {kSpecialNormalizationCube, XSpecialSource::NormalizationCube, nullptr, 64, 64, false, nullptr, 0,
     GL_LINEAR_MIPMAP_NEAREST},
};

const int kRawDepth = 4; // every raw special texture is RGBA

std::unique_ptr<XTexture> CreateSpecialTexture(const XSpecialTextureRecipe& recipe)
{
    const XTextureLoader* const loader = GetTextureLoader();
    switch (recipe.source) {
    case XSpecialSource::SpotCube:
        return loader->CreateSpotCubeMap();
    case XSpecialSource::Bitmap:
        return loader->CreateTextureFromBitmap(2, recipe.file, false, 0);
    case XSpecialSource::Raw:
        return loader->CreateTextureFromRaw(recipe.file, recipe.width, recipe.height, kRawDepth, recipe.mipmap);
    case XSpecialSource::Jpeg:
        return loader->CreateTextureFromJPEG(recipe.file, false, 0);
    case XSpecialSource::Tga:
        return loader->CreateTextureFromTGA(recipe.file);
    case XSpecialSource::NormalizationCube:
        return loader->CreateNormalizationCubeMap(recipe.width);
    }
    return nullptr;
}

} // namespace

XTextureManager::XTextureManager()
{
    LoadSpecialTextures();
}

XTextureManager::~XTextureManager()
{
    sceneTextures.clear();
    specialTextures.clear();
}

void XTextureManager::ResizeSceneTextures(int count)
{
    XAssert(count >= 0, "count >= 0", "texture", __LINE__);
    sceneTextures.clear();
    sceneTextures.resize(static_cast<size_t>(count));
}

void XTextureManager::SetTexture(int index, std::unique_ptr<XTexture> texture)
{
    XAssert(index >= 0 && index < GetSceneTextureCount(), "index >= 0 && index < sceneTextures.size()", "texture",
            __LINE__);
    sceneTextures[static_cast<size_t>(index)] = std::move(texture);
}

XTexture* XTextureManager::GetTexture(int index) const
{
    if (index < 0 || index >= GetSceneTextureCount()) {
        GetLog()->ShowFatal("XTextureManager: Unexisting texture request.");
    }
    return sceneTextures[static_cast<size_t>(index)].get();
}

int XTextureManager::GetSceneTextureCount() const
{
    return static_cast<int>(sceneTextures.size());
}

bool XTextureManager::BindTexture(int index, int unit) const
{
    XTexture* const texture = GetTexture(index);
    if (texture == nullptr) {
        return false;
    }
    texture->Bind(unit);
    return true;
}

void XTextureManager::DeleteTexture(int index)
{
    XTexture* const texture = GetTexture(index);
    if (texture != nullptr) {
        texture->DeleteName();
    }
}

XTexture* XTextureManager::GetSpecialTexture(int slot) const
{
    if (slot < 0 || slot >= static_cast<int>(specialTextures.size())) {
        return nullptr;
    }
    return specialTextures[static_cast<size_t>(slot)].get();
}

void XTextureManager::LoadSpecialTextures()
{
    bool complete = false;
    try {
        complete = FillSpecialTextures();
    } catch (...) {
        complete = false; // an allocation failure or similar: report it like a failed creation
    }
    if (!complete) {
        GetLog()->ShowError("Error processing [void XTextureManager::LoadSpecialTextures(void)]");
    }
}

bool XTextureManager::FillSpecialTextures()
{
    QXInitialize();
    QXSetArchive(GetOptions().archive.c_str(), "");
    GetTextureLoader();
    specialTextures.clear();
    specialTextures.resize(kSpecialSlotCount);

    for (const XSpecialTextureRecipe& recipe : kSpecialRecipes) {
        std::unique_ptr<XTexture> texture = CreateSpecialTexture(recipe);
        if (texture == nullptr) {
            return false; // the creating operation has reported why
        }
        if (recipe.wrap != 0) {
            texture->SetWrap(recipe.wrap);
        }
        if (recipe.name != nullptr) {
            texture->SetName(recipe.name);
        }
        if (recipe.filter != 0) {
            texture->SetFilter(recipe.filter);
        }
        specialTextures[static_cast<size_t>(recipe.slot)] = std::move(texture);
    }
    return true;
}

XTextureManager* GetTextureManager()
{
    static XTextureManager* const manager = new XTextureManager();
    return manager;
}
