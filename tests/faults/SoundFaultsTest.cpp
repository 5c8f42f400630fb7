// Broken sounds and no sound device: the game always runs on, silently where it must, and says so in its log.
#include "FaultRun.h"

#include <gtest/gtest.h>

namespace {

FaultResult RunWithSound(const std::string& entry, const Bytes& bytes)
{
    std::vector<ZipEntry> entries = DefaultDataEntries();
    ReplaceEntry(entries, entry, bytes);
    FaultRun run;
    return run.Entries(entries).Run();
}

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// A little-endian 32-bit field.
void PutLittle32(Bytes& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes[at + static_cast<size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
    }
}

const char* const kNotPlayable = " is not a playable WAV; that sound stays silent";

} // namespace

TEST(BrokenSounds, AnEmptyWavStaysSilentAndIsLogged)
{
    const FaultResult result = RunWithSound("sound/sten.wav", Bytes());
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0) << result.program.err;
    EXPECT_TRUE(result.Logs(std::string("Sound: sound\\sten.wav") + kNotPlayable)) << result.log;
}

TEST(BrokenSounds, TextInsteadOfAWavStaysSilent)
{
    const FaultResult result = RunWithSound("sound/rockfire.wav", Text("RIFF? no, just text pretending to be sound"));
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0) << result.program.err;
    EXPECT_TRUE(result.Logs(std::string("Sound: sound\\rockfire.wav") + kNotPlayable)) << result.log;
}

TEST(BrokenSounds, AWavCutShortStaysSilent)
{
    const std::vector<ZipEntry> entries = DefaultDataEntries();
    const Bytes& explosion = EntryBytes(entries, "sound/rockexp.wav");
    const FaultResult result = RunWithSound("sound/rockexp.wav", Prefix(explosion, explosion.size() / 3));
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0) << result.program.err;
    EXPECT_TRUE(result.Logs(std::string("Sound: sound\\rockexp.wav") + kNotPlayable)) << result.log;
}

TEST(BrokenSounds, AWavWhoseDataChunkClaimsGigabytesIsRefused)
{
    // 44-byte header of 16-bit mono PCM; the data chunk says 4 GB follow.
    Bytes wav = Text("RIFF....WAVEfmt ....ppccrrrrbbbbaaBBdata....");
    PutLittle32(wav, 4, 36);
    PutLittle32(wav, 16, 16);
    PutLittle32(wav, 20, 0x00010001); // PCM, 1 channel
    PutLittle32(wav, 24, 22050);
    PutLittle32(wav, 28, 44100);
    PutLittle32(wav, 32, 0x00100002); // 2 bytes per frame, 16 bits
    PutLittle32(wav, 40, 0xffffff00u);
    wav.resize(wav.size() + 64, 0x7f);
    const FaultResult result = RunWithSound("sound/rockfly.wav", wav);
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0) << result.program.err;
    EXPECT_TRUE(result.Logs(std::string("Sound: sound\\rockfly.wav") + kNotPlayable)) << result.log;
}

TEST(NoSoundDevice, AnUnknownAudioDriverLeavesTheGameSilentButRunning)
{
    FaultRun run;
    const FaultResult result = run.Environment("SDL_AUDIODRIVER", "nosuchdriver").Run();
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0) << result.program.err;
    EXPECT_TRUE(result.Logs("Sound: no audio device (")) << result.log;
    EXPECT_TRUE(result.Logs("); sound is silent")) << result.log;
}
