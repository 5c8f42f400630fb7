// FSound: FMOD 3's FSOUND_ calls over SDL2_mixer, with channel handles that go stale when their sound ends.
#include "sound/FSound.h"

#include "shell/XLog.h"
#include "sound/XMixBus.h"

#include <SDL.h>       // SDL_InitSubSystem, SDL_SetHintWithPriority, SDL_RWFromConstMem
#include <SDL_mixer.h> // Mix_OpenAudio, Mix_LoadWAV_RW, Mix_PlayChannel, Mix_Volume
#include <algorithm>   // std::clamp
#include <cstdint>     // int16_t
#include <string>
#include <vector>

//--------------------------------------------------------------------------------------------------------------
// Types and state
//--------------------------------------------------------------------------------------------------------------

struct FSOUND_SAMPLE {
    Mix_Chunk* chunk = nullptr;
    unsigned int loopMode = FSOUND_LOOP_OFF;
};

namespace {

// A handle is (generation << kChannelBits) | mixer channel. Generations run 1..kGenerationLimit − 1, so a
// handle is never negative and never equal to a bare channel number.
constexpr int kChannelBits = 12;
constexpr int kChannelMask = (1 << kChannelBits) - 1;
constexpr int kGenerationLimit = 1 << (31 - kChannelBits);
constexpr int kMixerFullVolume = MIX_MAX_VOLUME; // 128
constexpr int kChunkFrames = 1024;               // ~23 ms at 44.1 kHz: short enough for a gun shot
const char* const kSilentDriver = "dummy";
constexpr double kMaxDecodedBytes = 128.0 * 1024.0 * 1024.0; // a sound's samples in the mixer's format
constexpr int kMaxBlockFrames = 8 * kChunkFrames;            // room for a device that asks for larger blocks

struct ChannelState {
    int generation = 0;     // of the sound started last on this channel
    int volume = FSOUND_FULL_VOLUME;
    bool absolute = false;  // not scaled by the master volume
};

struct MixerState {
    bool running = false;
    bool silent = false;
    int requestedOutput = FSOUND_OUTPUT_DSOUND;
    int masterVolume = FSOUND_FULL_VOLUME;
    std::vector<ChannelState> channels;
    bool busRunning = false; // channels are mixed through the bus (the mixer's output is 16-bit)
    XMixBus bus;
};

// Never destroyed: the mixer's thread may still run a block while the process ends.
MixerState& State()
{
    static MixerState* const state = new MixerState();
    return *state;
}

//--------------------------------------------------------------------------------------------------------------
// Local functions
//--------------------------------------------------------------------------------------------------------------

// Opens SDL's audio and the mixer, through the named driver or (null) SDL's own choice. On failure nothing
// stays open and reason says why.
bool OpenMixer(int mixRate, const char* driver, std::string& reason)
{
    if (driver != nullptr) {
        // Overrides SDL_AUDIODRIVER from the environment too: that one may be what failed.
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver, SDL_HINT_OVERRIDE);
    }
    bool opened = false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        reason = SDL_GetError();
    } else if (Mix_OpenAudio(mixRate, AUDIO_S16SYS, 2, kChunkFrames) != 0) {
        reason = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    } else {
        opened = true;
    }
    if (driver != nullptr) {
        SDL_ResetHint(SDL_HINT_AUDIODRIVER); // a later init looks at the environment again
    }
    return opened;
}

// Little-endian 32-bit value of a WAV header field.
Uint32 ReadLittle32(const unsigned char* p)
{
    return static_cast<Uint32>(p[0]) | (static_cast<Uint32>(p[1]) << 8) | (static_cast<Uint32>(p[2]) << 16) |
           (static_cast<Uint32>(p[3]) << 24);
}

// Whether the stream holds a WAV file ("RIFF" ... "WAVE") whose chunks all lie inside it and whose samples,
// converted to the mixer's format, stay within a sane size; rewinds it. Anything else is refused before the
// mixer sees it: its loader allocates what a chunk header claims (a 60-byte file can ask for 4 GB), and it
// would hand data that is not a WAV to every other decoder it has (MP3, Ogg, FLAC, ...), far more than the
// WAV files this call promises to load.
bool IsSafeWave(SDL_RWops* stream)
{
    const Sint64 size = SDL_RWsize(stream);
    unsigned char head[12] = {};
    bool safe = size >= 12 && SDL_RWread(stream, head, 1, sizeof(head)) == sizeof(head) &&
                SDL_memcmp(head, "RIFF", 4) == 0 && SDL_memcmp(head + 8, "WAVE", 4) == 0;
    Sint64 offset = 12;
    Uint32 sampleRate = 0;
    Uint32 dataLength = 0;
    while (safe && size - offset >= 8) {
        unsigned char chunk[16] = {};
        safe = SDL_RWread(stream, chunk, 1, 8) == 8;
        const Sint64 length = ReadLittle32(chunk + 4);
        offset += 8;
        safe = safe && length <= size - offset;
        if (safe && SDL_memcmp(chunk, "fmt ", 4) == 0) {
            safe = length >= 8 && SDL_RWread(stream, chunk + 8, 1, 8) == 8;
            sampleRate = ReadLittle32(chunk + 12);
        } else if (safe && SDL_memcmp(chunk, "data", 4) == 0) {
            dataLength = static_cast<Uint32>(length);
        }
        offset += length + (length & 1); // chunks are padded to an even length
        SDL_RWseek(stream, offset, RW_SEEK_SET);
    }
    SDL_RWseek(stream, 0, RW_SEEK_SET);
    // Worst growth on conversion: 4-bit ADPCM mono to 16-bit stereo (x 8), times the resampling ratio.
    int mixRate = 0;
    Mix_QuerySpec(&mixRate, nullptr, nullptr);
    const double upsampling = sampleRate > 0 && static_cast<double>(sampleRate) < mixRate
                                  ? mixRate / static_cast<double>(sampleRate)
                                  : 1.0;
    return safe && static_cast<double>(dataLength) * 8.0 * upsampling <= kMaxDecodedBytes;
}

// A channel's effect: hands its samples, at the channel's volume, to the bus and leaves silence for the
// mixer's own 16-bit sum. Runs on the mixer's thread, inside its lock.
void SDLCALL MixThroughBus(int channel, void* stream, int length, void* bus)
{
    int16_t* const samples = static_cast<int16_t*>(stream);
    const size_t count = static_cast<size_t>(length) / sizeof(int16_t);
    const float gain = static_cast<float>(Mix_Volume(channel, -1)) / static_cast<float>(kMixerFullVolume);
    if (static_cast<XMixBus*>(bus)->Add(channel, samples, count, gain)) {
        SDL_memset(stream, 0, static_cast<size_t>(length));
    }
}

// After every channel: the bus's sum, limited, becomes the block the device plays.
void SDLCALL FinishThroughBus(void* bus, Uint8* stream, int length)
{
    static_cast<XMixBus*>(bus)->Finish(reinterpret_cast<int16_t*>(stream),
                                       static_cast<size_t>(length) / sizeof(int16_t));
}

// Starts mixing through the bus when the mixer's output is 16-bit (the format it is opened with); in any
// other format the mixer's own sum stays in charge.
void StartBus(int channelCount)
{
    MixerState& state = State();
    int rate = 0;
    Uint16 format = 0;
    int outputChannels = 0;
    state.busRunning = Mix_QuerySpec(&rate, &format, &outputChannels) != 0 && format == AUDIO_S16SYS;
    if (!state.busRunning) {
        return;
    }
    state.bus.Configure(channelCount, outputChannels, rate, static_cast<size_t>(kMaxBlockFrames * outputChannels));
    Mix_SetPostMix(FinishThroughBus, &state.bus);
}

// Puts a channel that is about to play on the bus. The mixer drops a channel's effects whenever its sound
// ends, so this is done for every sound, before it starts, so that none of it is mixed past the bus.
void RouteThroughBus(int index)
{
    if (!State().busRunning) {
        return;
    }
    if (Mix_Playing(index) != 0) {
        Mix_HaltChannel(index);
    }
    Mix_UnregisterEffect(index, MixThroughBus); // a registration left from a start that failed
    Mix_RegisterEffect(index, MixThroughBus, nullptr, &State().bus);
}

// FMOD-style volume 0..255 to the mixer's 0..128, rounding up so that no audible volume becomes silence.
int MixerVolume(int volume)
{
    return (volume * kMixerFullVolume + FSOUND_FULL_VOLUME - 1) / FSOUND_FULL_VOLUME;
}

void ApplyVolume(int index)
{
    MixerState& state = State();
    const ChannelState& channel = state.channels[static_cast<size_t>(index)];
    const int effective = channel.absolute ? channel.volume : channel.volume * state.masterVolume / FSOUND_FULL_VOLUME;
    Mix_Volume(index, MixerVolume(effective));
}

// The mixer channel of a handle whose sound still plays, or −1 for −1, a stale handle or a stopped mixer.
int LiveChannel(int handle)
{
    const MixerState& state = State();
    if (!state.running || handle < 0) {
        return -1;
    }
    const int index = handle & kChannelMask;
    const int generation = handle >> kChannelBits;
    if (index >= static_cast<int>(state.channels.size())) {
        return -1;
    }
    if (state.channels[static_cast<size_t>(index)].generation != generation || Mix_Playing(index) == 0) {
        return -1;
    }
    return index;
}

// The first channel with nothing playing, or −1.
int FreeChannel()
{
    const int count = static_cast<int>(State().channels.size());
    for (int index = 0; index < count; ++index) {
        if (Mix_Playing(index) == 0) {
            return index;
        }
    }
    return -1;
}

void SetChannelVolume(int index, int volume, bool absolute)
{
    ChannelState& channel = State().channels[static_cast<size_t>(index)];
    channel.volume = std::clamp(volume, 0, FSOUND_FULL_VOLUME);
    channel.absolute = absolute;
    ApplyVolume(index);
}

// SetVolume and SetVolumeAbsolute on a handle or on FSOUND_ALL.
void SetVolumeOf(int handle, int volume, bool absolute)
{
    MixerState& state = State();
    if (!state.running) {
        return;
    }
    if (handle == FSOUND_ALL) {
        for (size_t index = 0; index < state.channels.size(); ++index) {
            SetChannelVolume(static_cast<int>(index), volume, absolute);
        }
        return;
    }
    const int index = LiveChannel(handle);
    if (index >= 0) {
        SetChannelVolume(index, volume, absolute);
    }
}

} // namespace

//--------------------------------------------------------------------------------------------------------------
// Module functions
//--------------------------------------------------------------------------------------------------------------

bool FSOUND_Init(int mixRate, int maxChannels, unsigned int /*flags*/)
{
    MixerState& state = State();
    if (state.running) {
        FSOUND_Close();
    }
    bool opened = false;
    std::string deviceReason;
    if (state.requestedOutput != FSOUND_OUTPUT_NOSOUND) {
        opened = OpenMixer(mixRate, nullptr, deviceReason);
    }
    if (!opened) {
        std::string silentReason;
        opened = OpenMixer(mixRate, kSilentDriver, silentReason);
        if (state.requestedOutput != FSOUND_OUTPUT_NOSOUND) {
            if (opened) {
                GetLog()->Log("Sound: no audio device (" + deviceReason + "); sound is silent");
            } else {
                GetLog()->Log("Sound: no audio device (" + deviceReason + "), and the silent driver failed too ("
                              + silentReason + "); sound is off");
            }
        }
    }
    if (!opened) {
        return false;
    }
    const int channelCount = std::clamp(maxChannels, 1, kChannelMask);
    Mix_AllocateChannels(channelCount);
    const char* const driver = SDL_GetCurrentAudioDriver();
    state.running = true;
    state.silent = driver == nullptr || std::string(driver) == kSilentDriver;
    state.masterVolume = FSOUND_FULL_VOLUME;
    state.channels.assign(static_cast<size_t>(channelCount), ChannelState());
    for (int index = 0; index < channelCount; ++index) {
        ApplyVolume(index);
    }
    StartBus(channelCount);
    return true;
}

void FSOUND_Close()
{
    MixerState& state = State();
    if (!state.running) {
        return;
    }
    Mix_HaltChannel(-1);
    Mix_SetPostMix(nullptr, nullptr);
    state.busRunning = false;
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    state.running = false;
    state.silent = false;
    state.channels.clear();
}

bool FSOUND_SetOutput(int outputType)
{
    MixerState& state = State();
    if (state.running) {
        return false;
    }
    state.requestedOutput = outputType;
    return true;
}

int FSOUND_GetOutput()
{
    const MixerState& state = State();
    if (!state.running || state.silent) {
        return FSOUND_OUTPUT_NOSOUND;
    }
    return FSOUND_OUTPUT_ALSA; // the system's device; SDL picks the backend
}

int FSOUND_GetMaxChannels()
{
    return static_cast<int>(State().channels.size());
}

void FSOUND_SetSFXMasterVolume(int volume)
{
    MixerState& state = State();
    if (!state.running) {
        return;
    }
    state.masterVolume = std::clamp(volume, 0, FSOUND_FULL_VOLUME);
    for (size_t index = 0; index < state.channels.size(); ++index) {
        ApplyVolume(static_cast<int>(index));
    }
}

void FSOUND_SetVolumeAbsolute(int channel, int volume)
{
    SetVolumeOf(channel, volume, true);
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int /*index*/, const void* data, unsigned int mode, int size)
{
    if (!State().running || data == nullptr) {
        return nullptr;
    }
    SDL_RWops* stream = nullptr;
    if ((mode & FSOUND_LOADMEMORY) != 0) {
        if (size <= 0) {
            return nullptr;
        }
        stream = SDL_RWFromConstMem(data, size);
    } else {
        stream = SDL_RWFromFile(static_cast<const char*>(data), "rb");
    }
    if (stream == nullptr) {
        return nullptr;
    }
    if (!IsSafeWave(stream)) {
        SDL_RWclose(stream);
        return nullptr;
    }
    // Decodes into the mixer's own buffer, so the caller's bytes are free to go. The stream is closed here
    // rather than by the mixer, which loses it on some refused inputs.
    Mix_Chunk* const chunk = Mix_LoadWAV_RW(stream, 0);
    SDL_RWclose(stream);
    if (chunk == nullptr) {
        return nullptr;
    }
    if (chunk->alen == 0) {
        Mix_FreeChunk(chunk); // a header without samples: nothing that could be played
        return nullptr;
    }
    FSOUND_SAMPLE* const sample = new FSOUND_SAMPLE();
    sample->chunk = chunk;
    sample->loopMode = (mode & FSOUND_LOOP_NORMAL) != 0 ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF;
    return sample;
}

void FSOUND_Sample_SetLoopMode(FSOUND_SAMPLE* sample, unsigned int mode)
{
    if (sample == nullptr) {
        return;
    }
    sample->loopMode = (mode & FSOUND_LOOP_NORMAL) != 0 ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF;
}

void FSOUND_Sample_Free(FSOUND_SAMPLE* sample)
{
    if (sample == nullptr) {
        return;
    }
    Mix_FreeChunk(sample->chunk); // halts the channels that play it
    delete sample;
}

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample)
{
    MixerState& state = State();
    if (!state.running || sample == nullptr) {
        return -1;
    }
    int index = -1;
    if (channel == FSOUND_FREE) {
        index = FreeChannel();
    } else if (channel >= 0 && channel < static_cast<int>(state.channels.size())) {
        index = channel;
    }
    if (index < 0) {
        return -1;
    }
    // The volume is set before the sound starts, so no mixed block hears the previous sound's volume.
    SetChannelVolume(index, FSOUND_FULL_VOLUME, false);
    RouteThroughBus(index);
    const int loops = sample->loopMode == FSOUND_LOOP_NORMAL ? -1 : 0;
    if (Mix_PlayChannel(index, sample->chunk, loops) < 0) {
        return -1;
    }
    ChannelState& channelState = state.channels[static_cast<size_t>(index)];
    channelState.generation = channelState.generation % (kGenerationLimit - 1) + 1;
    return (channelState.generation << kChannelBits) | index;
}

void FSOUND_SetVolume(int channel, int volume)
{
    SetVolumeOf(channel, volume, false);
}

int FSOUND_GetVolume(int channel)
{
    const int index = LiveChannel(channel);
    if (index < 0) {
        return -1;
    }
    return State().channels[static_cast<size_t>(index)].volume;
}

void FSOUND_StopSound(int channel)
{
    if (!State().running) {
        return;
    }
    if (channel == FSOUND_ALL) {
        Mix_HaltChannel(-1);
        return;
    }
    const int index = LiveChannel(channel);
    if (index >= 0) {
        Mix_HaltChannel(index);
    }
}

bool FSOUND_IsPlaying(int channel)
{
    return LiveChannel(channel) >= 0;
}
