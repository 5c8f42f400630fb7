// The generated sound files: their format, their levels, the shape of each sound, and loops that join
// their end to their start without a click. The files are read back with the tests' own WAV reader.
#include "SoundTestSupport.h"

#include "tools/soundgen/XSoundEffects.h"
#include "tools/soundgen/XWaveFile.h"

#include <algorithm> // std::sort, std::max
#include <cmath>     // std::sqrt, std::log10, std::abs
#include <map>

namespace {

constexpr double kFullScale = 32767.0;

// The five files written once for all the tests of this file.
const std::map<std::string, ParsedWav>& GeneratedFiles()
{
    static const std::map<std::string, ParsedWav> files = [] {
        ScratchWorkingDirectory folder;
        std::string error;
        std::map<std::string, ParsedWav> parsed;
        if (!XSoundEffects::WriteAll(folder.Path().string(), error)) {
            ADD_FAILURE() << error;
            return parsed;
        }
        for (const char* name : {"sten", "bgSound", "rockfly", "rockfire", "rockexp"}) {
            const std::string path = (folder.Path() / "sound" / (std::string(name) + ".wav")).string();
            const Bytes bytes = ReadFileBytes(path);
            ParsedWav wav = ParseWav(bytes);
            // The RIFF chunk covers the whole file but its own 8-byte header.
            EXPECT_EQ(wav.riffSize + 8, bytes.size()) << name;
            parsed[name] = wav;
        }
        return parsed;
    }();
    return files;
}

const ParsedWav& File(const std::string& name)
{
    static const ParsedWav missing;
    const auto found = GeneratedFiles().find(name);
    return found == GeneratedFiles().end() ? missing : found->second;
}

double Seconds(const ParsedWav& wav)
{
    return static_cast<double>(wav.samples.size()) / kRate;
}

// RMS level in dB below full scale of the samples from `from` to `to` seconds.
double LevelDb(const std::vector<int16_t>& samples, double from, double to)
{
    const size_t first = static_cast<size_t>(from * kRate);
    const size_t last = std::min(samples.size(), static_cast<size_t>(to * kRate));
    double sum = 0.0;
    for (size_t i = first; i < last; ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    const double rms = last > first ? std::sqrt(sum / static_cast<double>(last - first)) : 0.0;
    return 20.0 * std::log10(rms / kFullScale + 1e-12);
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(fraction * static_cast<double>(values.size() - 1))];
}

// Whether the sound, played over and over, steps from its last sample into its first no more sharply
// than it steps between neighbouring samples anywhere inside: the first and the second differences at the
// join must lie within the 99th percentile of those inside the sound.
::testing::AssertionResult JoinsSeamlessly(const std::vector<int16_t>& samples)
{
    const size_t n = samples.size();
    if (n < 3) {
        return ::testing::AssertionFailure() << "too short to loop";
    }
    std::vector<double> steps;
    std::vector<double> bends;
    for (size_t i = 0; i + 1 < n; ++i) {
        steps.push_back(std::abs(static_cast<double>(samples[i + 1]) - samples[i]));
    }
    for (size_t i = 0; i + 2 < n; ++i) {
        bends.push_back(std::abs(static_cast<double>(samples[i + 2]) - 2.0 * samples[i + 1] + samples[i]));
    }
    const double joinStep = std::abs(static_cast<double>(samples[0]) - samples[n - 1]);
    const double joinBendA = std::abs(static_cast<double>(samples[0]) - 2.0 * samples[n - 1] + samples[n - 2]);
    const double joinBendB = std::abs(static_cast<double>(samples[1]) - 2.0 * samples[0] + samples[n - 1]);
    const double stepLimit = Percentile(steps, 0.99);
    const double bendLimit = Percentile(bends, 0.99);
    if (joinStep > stepLimit || joinBendA > bendLimit || joinBendB > bendLimit) {
        return ::testing::AssertionFailure() << "join step " << joinStep << " (limit " << stepLimit << "), bends "
                                             << joinBendA << ", " << joinBendB << " (limit " << bendLimit << ")";
    }
    return ::testing::AssertionSuccess() << "join step " << joinStep << " within " << stepLimit;
}

struct Expected {
    const char* name;
    double minSeconds;
    double maxSeconds;
};

const Expected kExpected[] = {
    {"sten", 0.2, 0.6},
    {"bgSound", 8.0, 12.0},
    {"rockfly", 0.8, 1.5},
    {"rockfire", 0.3, 0.6},
    {"rockexp", 1.5, 2.0},
};

} // namespace

//--------------------------------------------------------------------------------------------------------------

TEST(GeneratedSoundFormat, EveryFileIsA16BitMono44kHzPcmWav)
{
    for (const Expected& expected : kExpected) {
        SCOPED_TRACE(expected.name);
        const ParsedWav& wav = File(expected.name);
        ASSERT_TRUE(wav.valid) << wav.problem;
        EXPECT_EQ(wav.format, 1);
        EXPECT_EQ(wav.channels, 1);
        EXPECT_EQ(wav.sampleRate, 44100u);
        EXPECT_EQ(wav.bitsPerSample, 16);
        EXPECT_EQ(wav.blockAlign, 2);
        EXPECT_EQ(wav.byteRate, 88200u);
        EXPECT_GE(Seconds(wav), expected.minSeconds);
        EXPECT_LE(Seconds(wav), expected.maxSeconds);
    }
}

TEST(GeneratedSoundFormat, SameBytesOnEveryRun)
{
    for (const XSoundEffect& file : XSoundEffects::Files()) {
        const Bytes first = XWaveFile::Encode(file.synthesise(), kRate);
        const Bytes second = XWaveFile::Encode(file.synthesise(), kRate);
        EXPECT_TRUE(first == second) << file.path;
    }
    EXPECT_NE(File("sten").samples, File("rockfire").samples);
}

TEST(GeneratedSoundFormat, EncoderClampsToFullScale)
{
    const ParsedWav wav = ParseWav(XWaveFile::Encode({0.0, 0.5, -0.5, 1.5, -2.0}, kRate));
    ASSERT_TRUE(wav.valid) << wav.problem;
    EXPECT_EQ(wav.samples, (std::vector<int16_t>{0, 16384, -16384, 32767, -32767}));
}

//--------------------------------------------------------------------------------------------------------------

TEST(GeneratedSoundLevel, PeaksAreLoudButBelowFullScale)
{
    for (const Expected& expected : kExpected) {
        SCOPED_TRACE(expected.name);
        const int peak = Peak(File(expected.name).samples);
        EXPECT_LT(peak, 32767 * 0.97) << "no clipping";
        EXPECT_GT(peak, 32767 * 0.25) << "not near silence";
        EXPECT_GT(LevelDb(File(expected.name).samples, 0.0, 10.0), -30.0);
    }
}

TEST(GeneratedSoundLevel, BackgroundStaysUnderTheWeapons)
{
    // The background plays the whole time; each shot must stand out from it.
    const double background = LevelDb(File("bgSound").samples, 0.0, 10.0);
    EXPECT_LT(background, LevelDb(File("sten").samples, 0.0, 0.05) - 6.0);
    EXPECT_LT(background, LevelDb(File("rockexp").samples, 0.0, 0.3) - 6.0);
    EXPECT_LT(background, -18.0);
}

TEST(GeneratedSoundLevel, OneShotsStartAndEndInSilence)
{
    for (const char* name : {"sten", "rockfire", "rockexp"}) {
        SCOPED_TRACE(name);
        const std::vector<int16_t>& samples = File(name).samples;
        ASSERT_FALSE(samples.empty());
        EXPECT_LT(std::abs(samples.front()), 330) << "no click at the start";
        EXPECT_LT(std::abs(samples.back()), 330) << "no click at the end";
    }
}

//--------------------------------------------------------------------------------------------------------------

TEST(GeneratedSoundShape, GunShotIsSharpAndShort)
{
    const std::vector<int16_t>& shot = File("sten").samples;
    ASSERT_GT(shot.size(), static_cast<size_t>(0.3 * kRate));
    size_t peakAt = 0;
    for (size_t i = 0; i < shot.size(); ++i) {
        if (std::abs(shot[i]) > std::abs(shot[peakAt])) {
            peakAt = i;
        }
    }
    EXPECT_LT(peakAt, static_cast<size_t>(0.015 * kRate)) << "the loudest moment comes at once";
    const double start = LevelDb(shot, 0.0, 0.02);
    EXPECT_LT(LevelDb(shot, 0.15, 0.2), start - 20.0) << "mostly gone after 150 ms";
    EXPECT_LT(LevelDb(shot, 0.3, 0.45), start - 40.0);
}

TEST(GeneratedSoundShape, LaunchIsAShortThump)
{
    const std::vector<int16_t>& launch = File("rockfire").samples;
    const double start = LevelDb(launch, 0.0, 0.05);
    EXPECT_GT(start, -20.0);
    EXPECT_LT(LevelDb(launch, 0.3, 0.45), start - 30.0);
}

TEST(GeneratedSoundShape, ExplosionRumblesLongAfterTheBoom)
{
    const std::vector<int16_t>& blast = File("rockexp").samples;
    const double boom = LevelDb(blast, 0.0, 0.2);
    EXPECT_GT(boom, -12.0) << "a loud boom";
    const double rumble = LevelDb(blast, 1.0, 1.3);
    EXPECT_LT(rumble, boom - 10.0);
    EXPECT_GT(rumble, -50.0) << "still audible after a second";
    // Each half-second is quieter than the one before: a decaying rumble, not a second bang.
    EXPECT_LT(LevelDb(blast, 0.5, 1.0), LevelDb(blast, 0.0, 0.5));
    EXPECT_LT(LevelDb(blast, 1.0, 1.5), LevelDb(blast, 0.5, 1.0));
}

TEST(GeneratedSoundShape, LoopsHoldAnEvenLevelToTheirEdges)
{
    // A loop must not hide its seam in a fade: its first and last 100 ms are as loud as the whole.
    for (const char* name : {"bgSound", "rockfly"}) {
        SCOPED_TRACE(name);
        const std::vector<int16_t>& samples = File(name).samples;
        const double length = Seconds(File(name));
        const double whole = LevelDb(samples, 0.0, length);
        EXPECT_NEAR(LevelDb(samples, 0.0, 0.1), whole, 6.0);
        EXPECT_NEAR(LevelDb(samples, length - 0.1, length), whole, 6.0);
    }
}

//--------------------------------------------------------------------------------------------------------------

TEST(GeneratedSoundLoop, BackgroundJoinsItsEndToItsStart)
{
    EXPECT_TRUE(JoinsSeamlessly(File("bgSound").samples));
}

TEST(GeneratedSoundLoop, RocketFlightJoinsItsEndToItsStart)
{
    EXPECT_TRUE(JoinsSeamlessly(File("rockfly").samples));
}

TEST(GeneratedSoundLoop, TheJoinCheckTellsWholeCyclesFromACutCycle)
{
    // A tone with whole cycles in its length repeats cleanly; a quarter cycle more ends near its crest and
    // would jump back to zero at every repeat.
    auto tone = [](double cycles) {
        const size_t length = 44100;
        std::vector<int16_t> samples(length, 0);
        for (size_t i = 0; i < length; ++i) {
            const double phase = 6.283185307179586 * cycles * static_cast<double>(i) / static_cast<double>(length);
            samples[i] = static_cast<int16_t>(std::lround(16000.0 * std::sin(phase + 1.0)));
        }
        return samples;
    };
    EXPECT_TRUE(JoinsSeamlessly(tone(440.0)));
    EXPECT_FALSE(JoinsSeamlessly(tone(440.25)));
}
