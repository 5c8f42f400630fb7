// XSound: loading a sound from the archive and playing it.
#include "sound/XSound.h"

#include "scene/XArchive.h"
#include "shell/XLog.h"
#include "shell/XOptions.h"

namespace {
// FSOUND_LOADMEMORY | FSOUND_MONO | FSOUND_16BITS | FSOUND_LOOP_NORMAL, as the game's sounds are made.
constexpr unsigned int kLoadMode = FSOUND_LOADMEMORY | FSOUND_MONO | FSOUND_16BITS | FSOUND_LOOP_NORMAL;
} // namespace

XSound::~XSound()
{
    FSOUND_StopSound(channel);
    FSOUND_Sample_Free(sample);
}

void XSound::Load(const char* path)
{
    FSOUND_Sample_Free(sample);
    sample = nullptr;
    channel = -1;
    name = path;
    QXInitialize();
    QXSetArchive(GetOptions().archive.c_str(), "");
    if (!QXOpenResource(path)) {
        GetLog()->Log(std::string("Sound: no entry ") + path + " in the archive; that sound stays silent");
        return;
    }
    sample = FSOUND_Sample_Load(FSOUND_FREE, QXGetData(), kLoadMode, static_cast<int>(QXGetSize()));
    // The sample holds its own decoded copy: the archive's buffer is not needed any more.
    QXCloseResource();
    if (sample == nullptr && FSOUND_GetMaxChannels() > 0) {
        GetLog()->Log(std::string("Sound: ") + path + " is not a playable WAV; that sound stays silent");
    }
}

void XSound::SetName(const std::string& newName)
{
    name = newName;
}

const std::string& XSound::GetName() const
{
    return name;
}

int XSound::Play(bool loop)
{
    FSOUND_Sample_SetLoopMode(sample, loop ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF);
    channel = FSOUND_PlaySound(FSOUND_FREE, sample);
    return channel;
}

void XSound::SetVolume(int volume)
{
    FSOUND_SetVolume(channel, volume);
}

void XSound::Stop()
{
    FSOUND_StopSound(channel);
}

FSOUND_SAMPLE* XSound::GetSample() const
{
    return sample;
}

int XSound::GetChannel() const
{
    return channel;
}
