// XTextureManager: the two tables of textures the renderers draw with.
//
// The scene table is indexed by the scene file's texture numbers and filled by the scene loader; the special
// table holds the engine's own fixed textures (font, spot, light, menu, cursor, decals, explosion frames,
// weapon, the two cube maps) in fixed slots, loaded once when the manager is made. Renderers reach a texture
// by its index and bind it to a texture unit. The manager owns every texture in its tables.
// Depends on: XTexture, XTextureLoader, XArchive, XLog, XOptions.
#pragma once

#include "render/XTexture.h"

#include <memory> // std::unique_ptr
#include <vector>

// Fixed slots of the special table.
enum XSpecialTextureSlot {
    kSpecialSpotCube = 0,
    kSpecialDecal = 1,
    kSpecialDecal2 = 2,
    kSpecialMenu = 3,
    kSpecialCursor = 5,
    kSpecialFont = 6,
    kSpecialNormalizationCube = 7,
    kSpecialExplosionFirst = 9, // frames 1 to 8 in slots 9 to 16
    kSpecialWeapon = 17,
    kSpecialLight = 18,
    kSpecialRocketGlow = 26,
    kSpecialSlotCount = 100
};

class XTextureManager {
public:
    // Starts with an empty scene table and loads the special textures (needs a current GL context).
    XTextureManager();
    XTextureManager(const XTextureManager&) = delete;
    XTextureManager& operator=(const XTextureManager&) = delete;
    // Destroys the scene textures, then the special ones.
    ~XTextureManager();

    // Destroys every scene texture, then gives the scene table `count` empty entries.
    void ResizeSceneTextures(int count);
    // Stores the texture (null allowed) at `index` of the scene table, which the caller has sized.
    void SetTexture(int index, std::unique_ptr<XTexture> texture);
    // The scene texture at `index` (null for an empty entry). An index outside the table is fatal.
    XTexture* GetTexture(int index) const;
    int GetSceneTextureCount() const;
    // Binds scene texture `index` to `unit`; false, binding nothing, for an empty entry.
    bool BindTexture(int index, int unit) const;
    // Deletes the GL texture of scene texture `index`; the object stays in the table.
    void DeleteTexture(int index);

    // The special texture in `slot`; null for an empty slot or a slot outside the table.
    XTexture* GetSpecialTexture(int slot) const;

    // Fills the special table from the archive. A creation that fails ends the loading with a report; the
    // slots filled until then stay.
    void LoadSpecialTextures();

private:
    bool FillSpecialTextures();

    std::vector<std::unique_ptr<XTexture>> sceneTextures;
    std::vector<std::unique_ptr<XTexture>> specialTextures;
};

// The process-wide manager, created (and its special textures loaded) on first use.
XTextureManager* GetTextureManager();
