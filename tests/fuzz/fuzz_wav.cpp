// Fuzz target: sound files through the game's loading path, FSOUND_Sample_Load from memory, on SDL's silent
// driver; a sample that loads is also played, silenced, stopped and freed.
#include "FuzzSupport.h"

#include "sound/FSound.h"

#include <climits> // INT_MAX
#include <cstddef> // size_t
#include <cstdint> // uint8_t

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    PrepareFuzzEnvironment();
    FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND);
    FuzzCheck(FSOUND_Init(44100, 8, 0), "the silent mixer starts");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > static_cast<size_t>(INT_MAX)) {
        return 0;
    }
    // The game's own mode: from memory, looping; the header decides the format.
    const unsigned int mode = FSOUND_LOADMEMORY | FSOUND_MONO | FSOUND_16BITS | FSOUND_LOOP_NORMAL;
    FSOUND_SAMPLE* const sample = FSOUND_Sample_Load(FSOUND_FREE, data, mode, static_cast<int>(size));
    if (sample == nullptr) {
        return 0;
    }
    const int channel = FSOUND_PlaySound(FSOUND_FREE, sample);
    FuzzCheck(channel >= 0, "a loaded sample finds a free channel");
    FSOUND_SetVolume(channel, 128);
    FuzzCheck(FSOUND_GetVolume(channel) == 128 || !FSOUND_IsPlaying(channel), "the volume of a playing sound");
    FSOUND_StopSound(channel);
    FuzzCheck(!FSOUND_IsPlaying(channel), "a stopped sound is not playing");
    FSOUND_Sample_Free(sample);
    return 0;
}
