// XSoundManager: starts the sound system once and makes the game's sound objects.
//
// Its creation (the first GetSoundManager) starts the mixer at 44.1 kHz with 32 channels, everything at full
// volume. On a machine without an audio device that start falls back to silence (see FSound.h).
// Depends on: FSound, XSound.
#pragma once

#include "sound/XSound.h"

#include <memory> // std::unique_ptr

class XSoundManager {
public:
    XSoundManager();
    XSoundManager(const XSoundManager&) = delete;
    XSoundManager& operator=(const XSoundManager&) = delete;

    // A new sound with no sample and no name.
    std::unique_ptr<XSound> NewSound() const;
};

// The process-wide sound manager; the first call starts the sound system.
XSoundManager* GetSoundManager();
