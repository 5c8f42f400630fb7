// FSound: the small sound API the engine talks to, with the calls, constants and results of FMOD 3's
// FSOUND_ functions, mixed by SDL2_mixer.
//
// - Samples are WAV images decoded whole into memory; the caller's bytes may go away after the load.
// - FSOUND_PlaySound returns a channel HANDLE, not a mixer channel number: the low 12 bits name the mixer
//   channel, the bits above count the sounds started on it. A handle goes stale when its sound ends (or is
//   stopped, or the channel is reused by a later sound); calls on a stale handle do nothing, so a caller that
//   keeps a handle past the end of its sound can never stop or silence somebody else's sound. Handles are
//   never negative; −1 means "no channel" and every call ignores it.
// - Volumes are 0..255 (values outside are clamped). A channel's volume is scaled by the SFX master volume
//   unless it was set with FSOUND_SetVolumeAbsolute. Each new sound starts at full volume.
// - The sounds are summed with headroom and the sum goes through a limiter (XMixBus): loud sounds that overlap
//   make the whole mix quieter for a moment instead of cutting its samples off at full scale.
// - Without an audio device (a headless machine, a test) the init falls back to SDL's silent "dummy" driver
//   and says so in one log line; sounds then play and end on time, unheard. If even that fails, every call
//   is a harmless no-op returning −1, null or false, and the program goes on without sound.
// All calls come from one thread. Depends on: SDL2, SDL2_mixer, XMixBus, XLog (the no-device report).
#pragma once

// An opaque loaded sample.
struct FSOUND_SAMPLE;

// Channel and sample-slot selectors.
constexpr int FSOUND_FREE = -1;         // PlaySound: any free channel; Sample_Load: any slot
constexpr int FSOUND_ALL = -3;          // SetVolume, SetVolumeAbsolute, StopSound: every channel
constexpr int FSOUND_FULL_VOLUME = 255; // the loudest volume of a channel or of the master (0 is silent)

// Sample modes (bit flags of FSOUND_Sample_Load and FSOUND_Sample_SetLoopMode).
constexpr unsigned int FSOUND_LOOP_OFF = 0x0001;    // play once
constexpr unsigned int FSOUND_LOOP_NORMAL = 0x0002; // repeat from the start until stopped
constexpr unsigned int FSOUND_16BITS = 0x0010;      // format hints: a WAV's own header decides
constexpr unsigned int FSOUND_MONO = 0x0020;
constexpr unsigned int FSOUND_LOADMEMORY = 0x8000;  // the data argument is the file's bytes, not its name

// Output types of FSOUND_SetOutput and FSOUND_GetOutput.
constexpr int FSOUND_OUTPUT_NOSOUND = 0; // silent: sounds run their course unheard
constexpr int FSOUND_OUTPUT_WINMM = 1;
constexpr int FSOUND_OUTPUT_DSOUND = 2;
constexpr int FSOUND_OUTPUT_ALSA = 6;

// Starts the mixer: mixRate in Hz, maxChannels sounds at once (1 to 4095), flags unused. An earlier init is
// closed first. True when sound runs, audibly or (no device) silently; false when there is no mixer at all.
bool FSOUND_Init(int mixRate, int maxChannels, unsigned int flags);

// Stops every sound and closes the mixer; loaded samples must not be played again.
void FSOUND_Close();

// Chooses the output before FSOUND_Init: FSOUND_OUTPUT_NOSOUND asks for the silent driver, any other type
// for the system's device. After the init it changes nothing and returns false.
bool FSOUND_SetOutput(int outputType);

// The running output: FSOUND_OUTPUT_NOSOUND when silent or not started, else the system device's type.
int FSOUND_GetOutput();

// Number of mixer channels, 0 when the mixer is not running.
int FSOUND_GetMaxChannels();

// Master volume 0..255 for every channel not set absolute; applies at once and to later sounds.
void FSOUND_SetSFXMasterVolume(int volume);

// Volume 0..255 of a channel (or FSOUND_ALL) that the master volume does not scale.
void FSOUND_SetVolumeAbsolute(int channel, int volume);

// Loads a WAV: with FSOUND_LOADMEMORY in mode, data points at size bytes of a WAV file; otherwise data is a
// file name and size is unused. The loop mode bits of mode become the sample's loop mode. Null when the
// data is missing, empty, not a WAV the mixer can play, or the mixer is not running. The index is accepted
// for compatibility; samples are not kept in numbered slots.
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const void* data, unsigned int mode, int size);

// Sets FSOUND_LOOP_OFF or FSOUND_LOOP_NORMAL for the sample's next plays; ignores a null sample.
void FSOUND_Sample_SetLoopMode(FSOUND_SAMPLE* sample, unsigned int mode);

// Stops the channels playing the sample and releases it; ignores null.
void FSOUND_Sample_Free(FSOUND_SAMPLE* sample);

// Starts the sample on a free channel (FSOUND_FREE) or on the given mixer channel (0 to maxChannels − 1,
// replacing its sound), at full volume. The channel's handle, or −1 when the sample is null, no channel is
// free, or the mixer is not running.
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);

// Volume 0..255 of the sound of a handle (or FSOUND_ALL); ignores −1 and stale handles.
void FSOUND_SetVolume(int channel, int volume);

// The volume last set on a handle's sound, or −1 for a stale handle.
int FSOUND_GetVolume(int channel);

// Stops the sound of a handle (or every sound, FSOUND_ALL); ignores −1 and stale handles.
void FSOUND_StopSound(int channel);

// True while the sound of the handle plays.
bool FSOUND_IsPlaying(int channel);
