// The sound layer's calls as the game uses them: channels, loops, stopping, volumes, stale handles, broken
// WAV data and a machine without an audio device. The disk driver makes the mixed output audible to a test.
#include "SoundTestSupport.h"

#include "sound/FSound.h"

#include <cstring> // std::memset
#include <set>

namespace {

constexpr unsigned int kMemoryMode = FSOUND_LOADMEMORY | FSOUND_MONO | FSOUND_16BITS;
constexpr int kToneAmplitudeFull = 16384; // 0.5 of full scale, the test tones' amplitude

FSOUND_SAMPLE* LoadBytes(const Bytes& bytes, unsigned int mode = kMemoryMode)
{
    return FSOUND_Sample_Load(FSOUND_FREE, bytes.data(), mode, static_cast<int>(bytes.size()));
}

// Time for a started or stopped sound to reach the disk output: the mixer works one buffer (~23 ms) ahead.
constexpr int kSettleMs = 150;

// Enough captured output that "all silent" means something: a quarter of real time at least.
void ExpectCaptured(const std::vector<int16_t>& samples, int milliseconds)
{
    EXPECT_GE(samples.size(), static_cast<size_t>(milliseconds * 44100 / 1000 * 2 / 4));
}

// Fraction of 10 ms blocks of the output that hold sound.
double AudibleBlockFraction(const std::vector<int16_t>& samples)
{
    const size_t block = 441 * 2;
    size_t blocks = 0;
    size_t audible = 0;
    for (size_t start = 0; start + block <= samples.size(); start += block) {
        ++blocks;
        audible += Peak(std::vector<int16_t>(samples.begin() + static_cast<long>(start),
                                             samples.begin() + static_cast<long>(start + block))) > 1000;
    }
    return blocks == 0 ? 0.0 : static_cast<double>(audible) / static_cast<double>(blocks);
}

using SoundOutputTest = SoundLayerTest;
using ChannelHandleTest = SoundLayerTest;
using LoopModeTest = SoundLayerTest;
using ChannelVolumeTest = SoundLayerTest;
using SampleLoadTest = SoundLayerTest;
using NoDeviceTest = SoundLayerTest;

} // namespace

//--------------------------------------------------------------------------------------------------------------

TEST_F(SoundOutputTest, PlayedToneReachesTheMixedOutputAtItsLevel)
{
    ASSERT_TRUE(StartOnDisk());
    DiskCapture capture(OutputPath());
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(1.0, 440.0, 0.5));
    ASSERT_NE(tone, nullptr);
    ASSERT_GE(FSOUND_PlaySound(FSOUND_FREE, tone), 0);
    capture.Collect(kSettleMs);
    const std::vector<int16_t> output = capture.Collect(300);
    ExpectCaptured(output, 300);
    // Full channel volume passes the tone at its own level (the mono tone goes to both sides).
    EXPECT_NEAR(Peak(output), kToneAmplitudeFull, kToneAmplitudeFull / 10);
    FSOUND_Sample_Free(tone);
}

TEST_F(SoundOutputTest, NothingPlayedIsSilence)
{
    ASSERT_TRUE(StartOnDisk());
    DiskCapture capture(OutputPath());
    const std::vector<int16_t> output = capture.Collect(300);
    ExpectCaptured(output, 300);
    EXPECT_EQ(Peak(output), 0);
}

//--------------------------------------------------------------------------------------------------------------

TEST_F(ChannelHandleTest, EachSoundGetsItsOwnNonNegativeChannel)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(2.0, 440.0, 0.5));
    ASSERT_NE(tone, nullptr);
    std::set<int> channels;
    for (int i = 0; i < 5; ++i) {
        const int channel = FSOUND_PlaySound(FSOUND_FREE, tone);
        ASSERT_GE(channel, 0);
        channels.insert(channel);
    }
    EXPECT_EQ(channels.size(), 5u);
    for (const int channel : channels) {
        EXPECT_TRUE(FSOUND_IsPlaying(channel));
    }
    FSOUND_Sample_Free(tone);
}

TEST_F(ChannelHandleTest, NullSampleGetsNoChannel)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);
}

TEST_F(ChannelHandleTest, NoFreeChannelGivesMinusOne)
{
    ASSERT_TRUE(StartWithDriver("dummy", 2));
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(2.0, 440.0, 0.5));
    ASSERT_NE(tone, nullptr);
    EXPECT_GE(FSOUND_PlaySound(FSOUND_FREE, tone), 0);
    EXPECT_GE(FSOUND_PlaySound(FSOUND_FREE, tone), 0);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, tone), -1);
    FSOUND_Sample_Free(tone);
}

TEST_F(ChannelHandleTest, MinusOneIsIgnoredByEveryCall)
{
    ASSERT_TRUE(StartOnDisk());
    DiskCapture capture(OutputPath());
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(1.0, 440.0, 0.5));
    ASSERT_NE(tone, nullptr);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, tone);
    ASSERT_GE(channel, 0);
    FSOUND_SetVolume(-1, 0);
    FSOUND_StopSound(-1);
    EXPECT_FALSE(FSOUND_IsPlaying(-1));
    EXPECT_TRUE(FSOUND_IsPlaying(channel));
    EXPECT_EQ(FSOUND_GetVolume(channel), 255);
    capture.Collect(kSettleMs);
    EXPECT_NEAR(Peak(capture.Collect(200)), kToneAmplitudeFull, kToneAmplitudeFull / 10);
    FSOUND_Sample_Free(tone);
}

TEST_F(ChannelHandleTest, HandleOfAFinishedSoundDoesNotReachTheNextSoundOnItsChannel)
{
    // One mixer channel: the second sound must reuse the channel of the first.
    ASSERT_TRUE(StartOnDisk(1));
    DiskCapture capture(OutputPath());
    FSOUND_SAMPLE* const shortTone = LoadBytes(ToneWav(0.05, 440.0, 0.5));
    FSOUND_SAMPLE* const longTone = LoadBytes(ToneWav(0.2, 330.0, 0.5), kMemoryMode | FSOUND_LOOP_NORMAL);
    ASSERT_NE(shortTone, nullptr);
    ASSERT_NE(longTone, nullptr);
    const int first = FSOUND_PlaySound(FSOUND_FREE, shortTone);
    ASSERT_GE(first, 0);
    WaitMs(300);
    ASSERT_FALSE(FSOUND_IsPlaying(first)) << "a 50 ms sound should have ended";
    const int second = FSOUND_PlaySound(FSOUND_FREE, longTone);
    ASSERT_GE(second, 0);
    EXPECT_NE(second, first);

    FSOUND_SetVolume(first, 0);
    FSOUND_StopSound(first);
    EXPECT_FALSE(FSOUND_IsPlaying(first));
    EXPECT_EQ(FSOUND_GetVolume(first), -1);
    EXPECT_TRUE(FSOUND_IsPlaying(second));
    EXPECT_EQ(FSOUND_GetVolume(second), 255);
    capture.Collect(kSettleMs);
    const std::vector<int16_t> output = capture.Collect(300);
    ExpectCaptured(output, 300);
    EXPECT_GT(AudibleBlockFraction(output), 0.9);
    FSOUND_Sample_Free(shortTone);
    FSOUND_Sample_Free(longTone);
}

TEST_F(ChannelHandleTest, HandleOfAStoppedSoundGoesStale)
{
    ASSERT_TRUE(StartWithDriver("dummy", 1));
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(1.0, 440.0, 0.5));
    ASSERT_NE(tone, nullptr);
    const int first = FSOUND_PlaySound(FSOUND_FREE, tone);
    FSOUND_StopSound(first);
    EXPECT_FALSE(FSOUND_IsPlaying(first));
    const int second = FSOUND_PlaySound(FSOUND_FREE, tone);
    ASSERT_GE(second, 0);
    FSOUND_StopSound(first);
    EXPECT_TRUE(FSOUND_IsPlaying(second));
    FSOUND_Sample_Free(tone);
}

TEST_F(ChannelHandleTest, PlayingOnAGivenChannelReplacesItsSound)
{
    ASSERT_TRUE(StartWithDriver("dummy", 4));
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(1.0, 440.0, 0.5));
    ASSERT_NE(tone, nullptr);
    const int first = FSOUND_PlaySound(2, tone);
    ASSERT_GE(first, 0);
    const int second = FSOUND_PlaySound(2, tone);
    ASSERT_GE(second, 0);
    EXPECT_FALSE(FSOUND_IsPlaying(first));
    EXPECT_TRUE(FSOUND_IsPlaying(second));
    EXPECT_EQ(FSOUND_PlaySound(4, tone), -1) << "channel 4 does not exist with 4 channels";
    FSOUND_Sample_Free(tone);
}

TEST_F(ChannelHandleTest, StopSoundSilencesTheOutput)
{
    ASSERT_TRUE(StartOnDisk());
    DiskCapture capture(OutputPath());
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(0.25, 440.0, 0.5), kMemoryMode | FSOUND_LOOP_NORMAL);
    ASSERT_NE(tone, nullptr);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, tone);
    ASSERT_GE(channel, 0);
    capture.Collect(kSettleMs);
    ASSERT_GT(Peak(capture.Collect(200)), 1000);
    FSOUND_StopSound(channel);
    EXPECT_FALSE(FSOUND_IsPlaying(channel));
    capture.Collect(kSettleMs);
    const std::vector<int16_t> after = capture.Collect(300);
    ExpectCaptured(after, 300);
    EXPECT_EQ(Peak(after), 0);
    FSOUND_Sample_Free(tone);
}

TEST_F(ChannelHandleTest, StopAllStopsEverySound)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(1.0, 440.0, 0.5), kMemoryMode | FSOUND_LOOP_NORMAL);
    ASSERT_NE(tone, nullptr);
    const int first = FSOUND_PlaySound(FSOUND_FREE, tone);
    const int second = FSOUND_PlaySound(FSOUND_FREE, tone);
    FSOUND_StopSound(FSOUND_ALL);
    EXPECT_FALSE(FSOUND_IsPlaying(first));
    EXPECT_FALSE(FSOUND_IsPlaying(second));
    FSOUND_Sample_Free(tone);
}

//--------------------------------------------------------------------------------------------------------------

TEST_F(LoopModeTest, NormalLoopKeepsPlayingPastTheSampleLength)
{
    ASSERT_TRUE(StartOnDisk());
    DiskCapture capture(OutputPath());
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(0.1, 440.0, 0.5));
    ASSERT_NE(tone, nullptr);
    FSOUND_Sample_SetLoopMode(tone, FSOUND_LOOP_NORMAL);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, tone);
    ASSERT_GE(channel, 0);
    capture.Collect(300); // three lengths of the sample
    const std::vector<int16_t> output = capture.Collect(300);
    ExpectCaptured(output, 300);
    EXPECT_TRUE(FSOUND_IsPlaying(channel));
    // Every 10 ms of the output holds the tone: the repeats follow each other without gaps.
    EXPECT_GT(AudibleBlockFraction(output), 0.95);
    FSOUND_Sample_Free(tone);
}

TEST_F(LoopModeTest, LoopOffEndsAfterTheSampleLength)
{
    ASSERT_TRUE(StartOnDisk());
    DiskCapture capture(OutputPath());
    // Loaded with the normal loop bit, as the game loads its sounds, then switched off before playing.
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(0.1, 440.0, 0.5), kMemoryMode | FSOUND_LOOP_NORMAL);
    ASSERT_NE(tone, nullptr);
    FSOUND_Sample_SetLoopMode(tone, FSOUND_LOOP_OFF);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, tone);
    ASSERT_GE(channel, 0);
    capture.Collect(300);
    const std::vector<int16_t> output = capture.Collect(300);
    ExpectCaptured(output, 300);
    EXPECT_FALSE(FSOUND_IsPlaying(channel));
    EXPECT_EQ(Peak(output), 0);
    FSOUND_Sample_Free(tone);
}

TEST_F(LoopModeTest, LoopModeGivenAtLoadIsKept)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    FSOUND_SAMPLE* const looping = LoadBytes(ToneWav(0.05, 440.0, 0.5), kMemoryMode | FSOUND_LOOP_NORMAL);
    FSOUND_SAMPLE* const once = LoadBytes(ToneWav(0.05, 440.0, 0.5), kMemoryMode);
    ASSERT_NE(looping, nullptr);
    ASSERT_NE(once, nullptr);
    const int loopingChannel = FSOUND_PlaySound(FSOUND_FREE, looping);
    const int onceChannel = FSOUND_PlaySound(FSOUND_FREE, once);
    WaitMs(400);
    EXPECT_TRUE(FSOUND_IsPlaying(loopingChannel));
    EXPECT_FALSE(FSOUND_IsPlaying(onceChannel));
    FSOUND_Sample_Free(looping);
    FSOUND_Sample_Free(once);
}

//--------------------------------------------------------------------------------------------------------------

TEST_F(ChannelVolumeTest, VolumeZeroSilencesTheChannel)
{
    ASSERT_TRUE(StartOnDisk());
    DiskCapture capture(OutputPath());
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(0.5, 440.0, 0.5), kMemoryMode | FSOUND_LOOP_NORMAL);
    ASSERT_NE(tone, nullptr);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, tone);
    ASSERT_GE(channel, 0);
    FSOUND_SetVolume(channel, 0);
    EXPECT_EQ(FSOUND_GetVolume(channel), 0);
    EXPECT_TRUE(FSOUND_IsPlaying(channel)) << "a silenced sound still plays";
    capture.Collect(kSettleMs);
    const std::vector<int16_t> output = capture.Collect(300);
    ExpectCaptured(output, 300);
    EXPECT_EQ(Peak(output), 0);
    FSOUND_Sample_Free(tone);
}

TEST_F(ChannelVolumeTest, VolumeScalesTheLevel)
{
    ASSERT_TRUE(StartOnDisk());
    DiskCapture capture(OutputPath());
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(0.5, 440.0, 0.5), kMemoryMode | FSOUND_LOOP_NORMAL);
    ASSERT_NE(tone, nullptr);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, tone);
    FSOUND_SetVolume(channel, 64); // a quarter of 255
    capture.Collect(kSettleMs);
    const int quarter = Peak(capture.Collect(200));
    EXPECT_NEAR(quarter, kToneAmplitudeFull / 4, kToneAmplitudeFull / 20);
    // Above 255 is full volume, not louder.
    FSOUND_SetVolume(channel, 1000);
    EXPECT_EQ(FSOUND_GetVolume(channel), 255);
    capture.Collect(kSettleMs);
    EXPECT_NEAR(Peak(capture.Collect(200)), kToneAmplitudeFull, kToneAmplitudeFull / 10);
    FSOUND_Sample_Free(tone);
}

TEST_F(ChannelVolumeTest, NewSoundOnASilencedChannelStartsAtFullVolume)
{
    ASSERT_TRUE(StartOnDisk(1));
    DiskCapture capture(OutputPath());
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(0.5, 440.0, 0.5), kMemoryMode | FSOUND_LOOP_NORMAL);
    ASSERT_NE(tone, nullptr);
    const int first = FSOUND_PlaySound(FSOUND_FREE, tone);
    FSOUND_SetVolume(first, 0);
    FSOUND_StopSound(first);
    const int second = FSOUND_PlaySound(FSOUND_FREE, tone);
    ASSERT_GE(second, 0);
    capture.Collect(kSettleMs);
    EXPECT_NEAR(Peak(capture.Collect(200)), kToneAmplitudeFull, kToneAmplitudeFull / 10);
    FSOUND_Sample_Free(tone);
}

TEST_F(ChannelVolumeTest, MasterVolumeScalesAllButAbsoluteChannels)
{
    ASSERT_TRUE(StartOnDisk());
    DiskCapture capture(OutputPath());
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(0.5, 440.0, 0.5), kMemoryMode | FSOUND_LOOP_NORMAL);
    ASSERT_NE(tone, nullptr);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, tone);
    ASSERT_GE(channel, 0);
    FSOUND_SetSFXMasterVolume(0);
    capture.Collect(kSettleMs);
    const std::vector<int16_t> muted = capture.Collect(200);
    ExpectCaptured(muted, 200);
    EXPECT_EQ(Peak(muted), 0);
    FSOUND_SetVolumeAbsolute(channel, 255);
    capture.Collect(kSettleMs);
    EXPECT_NEAR(Peak(capture.Collect(200)), kToneAmplitudeFull, kToneAmplitudeFull / 10);
    FSOUND_Sample_Free(tone);
}

//--------------------------------------------------------------------------------------------------------------

TEST_F(SampleLoadTest, BrokenOrEmptyWavGivesNullWithoutACrash)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    const Bytes good = ToneWav(0.1, 440.0, 0.5);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, nullptr, kMemoryMode, 100), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, good.data(), kMemoryMode, 0), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, good.data(), kMemoryMode, -5), nullptr);
    EXPECT_EQ(LoadBytes(Bytes(good.begin(), good.begin() + 20)), nullptr) << "header cut short";
    EXPECT_EQ(LoadBytes(SamplesWav({}, 44100)), nullptr) << "no samples";

    Bytes text(200, 'x');
    EXPECT_EQ(LoadBytes(text), nullptr);
    Bytes riffWithGarbage = good;
    std::memset(riffWithGarbage.data() + 12, 0xA5, riffWithGarbage.size() - 12);
    EXPECT_EQ(LoadBytes(riffWithGarbage), nullptr);
    Bytes noFormat = good;
    std::memcpy(noFormat.data() + 12, "junk", 4); // the format chunk is gone
    EXPECT_EQ(LoadBytes(noFormat), nullptr);
}

TEST_F(SampleLoadTest, SampleOutlivesTheCallersBuffer)
{
    ASSERT_TRUE(StartOnDisk());
    DiskCapture capture(OutputPath());
    FSOUND_SAMPLE* tone = nullptr;
    {
        Bytes bytes = ToneWav(0.5, 440.0, 0.5);
        tone = LoadBytes(bytes);
        std::fill(bytes.begin() + 44, bytes.end(), 0); // the caller reuses its buffer
    }
    ASSERT_NE(tone, nullptr);
    ASSERT_GE(FSOUND_PlaySound(FSOUND_FREE, tone), 0);
    capture.Collect(kSettleMs);
    EXPECT_NEAR(Peak(capture.Collect(200)), kToneAmplitudeFull, kToneAmplitudeFull / 10);
    FSOUND_Sample_Free(tone);
}

TEST_F(SampleLoadTest, FreeingASampleStopsItsChannels)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(0.1, 440.0, 0.5), kMemoryMode | FSOUND_LOOP_NORMAL);
    ASSERT_NE(tone, nullptr);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, tone);
    ASSERT_TRUE(FSOUND_IsPlaying(channel));
    FSOUND_Sample_Free(tone);
    EXPECT_FALSE(FSOUND_IsPlaying(channel));
    FSOUND_Sample_Free(nullptr);
    FSOUND_Sample_SetLoopMode(nullptr, FSOUND_LOOP_NORMAL);
}

TEST_F(SampleLoadTest, LoadsAFileByNameWithoutTheMemoryFlag)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    const std::string path = (directory.Path() / "tone.wav").string();
    const Bytes bytes = ToneWav(0.1, 440.0, 0.5);
    std::FILE* const file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    FSOUND_SAMPLE* const tone = FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), FSOUND_16BITS, 0);
    EXPECT_NE(tone, nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "no-such-file.wav", FSOUND_16BITS, 0), nullptr);
    FSOUND_Sample_Free(tone);
}

//--------------------------------------------------------------------------------------------------------------

TEST_F(NoDeviceTest, UnusableDeviceFallsBackToSilenceWithOneLogLine)
{
    ASSERT_TRUE(StartWithDriver("no-such-audio-driver"));
    EXPECT_EQ(FSOUND_GetOutput(), FSOUND_OUTPUT_NOSOUND);
    const std::string log = LogText();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_EQ(log.rfind("Sound: no audio device (", 0), 0u) << log;
    EXPECT_NE(log.find("); sound is silent\n"), std::string::npos) << log;
    EXPECT_NE(log.find("no-such-audio-driver"), std::string::npos) << "SDL's reason names the driver: " << log;

    // The silent mixer keeps time: sounds start, can be stopped, and end on their own.
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(0.1, 440.0, 0.5));
    ASSERT_NE(tone, nullptr);
    const int once = FSOUND_PlaySound(FSOUND_FREE, tone);
    const int looped = FSOUND_PlaySound(FSOUND_FREE, tone);
    EXPECT_GE(once, 0);
    EXPECT_GE(looped, 0);
    FSOUND_StopSound(looped);
    EXPECT_FALSE(FSOUND_IsPlaying(looped));
    WaitMs(600);
    EXPECT_FALSE(FSOUND_IsPlaying(once));
    FSOUND_Sample_Free(tone);
}

TEST_F(NoDeviceTest, AskingForNoSoundIsSilentWithoutALogLine)
{
    unsetenv("SDL_AUDIODRIVER");
    ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));
    ASSERT_TRUE(FSOUND_Init(44100, 8, 0));
    EXPECT_EQ(FSOUND_GetOutput(), FSOUND_OUTPUT_NOSOUND);
    EXPECT_EQ(FSOUND_GetMaxChannels(), 8);
    EXPECT_EQ(LogText(), "");
    EXPECT_FALSE(FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND)) << "the output is chosen before the init";
}

TEST_F(NoDeviceTest, WorkingDeviceWritesNoLogLine)
{
    ASSERT_TRUE(StartOnDisk());
    EXPECT_EQ(LogText(), "");
}

TEST_F(NoDeviceTest, EveryCallIsHarmlessWithoutAMixer)
{
    FSOUND_Close();
    const Bytes bytes = ToneWav(0.1, 440.0, 0.5);
    EXPECT_EQ(FSOUND_GetMaxChannels(), 0);
    EXPECT_EQ(FSOUND_GetOutput(), FSOUND_OUTPUT_NOSOUND);
    EXPECT_EQ(LoadBytes(bytes), nullptr);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);
    FSOUND_SetSFXMasterVolume(255);
    FSOUND_SetVolumeAbsolute(FSOUND_ALL, 255);
    FSOUND_SetVolume(4097, 100);
    FSOUND_StopSound(4097);
    FSOUND_StopSound(FSOUND_ALL);
    EXPECT_EQ(FSOUND_GetVolume(4097), -1);
    EXPECT_FALSE(FSOUND_IsPlaying(4097));
}

TEST_F(NoDeviceTest, RestartAfterCloseWorks)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    FSOUND_Close();
    ASSERT_TRUE(StartOnDisk());
    DiskCapture capture(OutputPath());
    FSOUND_SAMPLE* const tone = LoadBytes(ToneWav(0.5, 440.0, 0.5));
    ASSERT_NE(tone, nullptr);
    ASSERT_GE(FSOUND_PlaySound(FSOUND_FREE, tone), 0);
    capture.Collect(kSettleMs);
    EXPECT_GT(Peak(capture.Collect(200)), 1000);
    FSOUND_Sample_Free(tone);
}
