// XSoundManager: the sound system's start-up.
#include "sound/XSoundManager.h"

#include "sound/FSound.h"

namespace {
constexpr int kMixRate = 44100;
constexpr int kChannels = 32;
constexpr unsigned int kInitFlags = 1;
} // namespace

XSoundManager::XSoundManager()
{
    // The order is the one the game has always used; the output request after the init changes nothing
    // (the system's device is the default), and no result is needed: a silent start is a valid start.
    FSOUND_Init(kMixRate, kChannels, kInitFlags);
    FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
    FSOUND_SetSFXMasterVolume(FSOUND_FULL_VOLUME);
    FSOUND_SetVolumeAbsolute(FSOUND_ALL, FSOUND_FULL_VOLUME);
}

std::unique_ptr<XSound> XSoundManager::NewSound() const
{
    return std::make_unique<XSound>();
}

XSoundManager* GetSoundManager()
{
    static XSoundManager* const manager = new XSoundManager();
    return manager;
}
