// XSound: one named sound of the game, a sample loaded from the archive, and the channel it played on last.
//
// A sound whose archive entry is missing or unplayable keeps a null sample: every call on it is harmless and
// Play returns −1, so the game goes on without that sound.
// Depends on: FSound, XArchive and XOptions (the archive the sound comes from), XLog.
#pragma once

#include "sound/FSound.h"

#include <string>

class XSound {
public:
    XSound() = default;
    XSound(const XSound&) = delete;
    XSound& operator=(const XSound&) = delete;
    // Stops the last channel and frees the sample.
    ~XSound();

    // Loads the archive entry at path (backslashes, "sound\sten.wav") from the program's archive as a looping
    // 16-bit mono sample, replacing an earlier one, and names the sound after the path. A missing or
    // unplayable entry leaves the sample null and says so in the log (unless the whole sound system is off).
    void Load(const char* path);

    void SetName(const std::string& newName);
    const std::string& GetName() const;

    // Starts the sample on a free channel, once or repeating; the channel handle, or −1 when none.
    int Play(bool loop);
    // Volume 0..255 of the channel of the last Play.
    void SetVolume(int volume);
    // Stops the channel of the last Play.
    void Stop();

    FSOUND_SAMPLE* GetSample() const;
    int GetChannel() const;

private:
    FSOUND_SAMPLE* sample = nullptr;
    int channel = -1;
    std::string name;
};
