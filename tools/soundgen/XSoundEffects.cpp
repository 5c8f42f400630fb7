// XSoundEffects: the recipes of the game's sounds.
//
// Levels are set by ear and by measurement: each sound is normalised to a fixed peak, the one-shots loud
// (they play at volume 250 over the background), the background quieter so that shots stand out from it.
#include "tools/soundgen/XSoundEffects.h"

#include "math/XPi.h"
#include "tools/soundgen/XSeamlessLoop.h"
#include "tools/soundgen/XStateVariableFilter.h"
#include "tools/soundgen/XSynthRandom.h"
#include "tools/soundgen/XWaveFile.h"

#include <algorithm> // std::max
#include <cmath>     // std::exp, std::sin, std::cos, std::tanh, std::fabs, std::lround

//--------------------------------------------------------------------------------------------------------------
// Local functions
//--------------------------------------------------------------------------------------------------------------

namespace {

constexpr double kRate = XSoundEffects::kSampleRate;

size_t SampleCount(double seconds)
{
    return static_cast<size_t>(std::lround(seconds * kRate));
}

double Seconds(size_t i)
{
    return static_cast<double>(i) / kRate;
}

// A linear rise over `attack` seconds, then an exponential fall with time constant `decay`.
double AttackDecay(double t, double attack, double decay)
{
    if (t < attack) {
        return t / attack;
    }
    return std::exp(-(t - attack) / decay);
}

// Scales the sound so that its largest magnitude is `peak`.
void Normalise(std::vector<double>& samples, double peak)
{
    double largest = 0.0;
    for (const double sample : samples) {
        largest = std::max(largest, std::fabs(sample));
    }
    if (largest <= 0.0) {
        return;
    }
    const double gain = peak / largest;
    for (double& sample : samples) {
        sample *= gain;
    }
}

// A raised-cosine fade to exact silence over the last `seconds`, so that a one-shot never ends in a click.
void FadeOut(std::vector<double>& samples, double seconds)
{
    const size_t length = std::min(samples.size(), SampleCount(seconds));
    if (length < 2) {
        return;
    }
    const size_t start = samples.size() - length;
    for (size_t i = 0; i < length; ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(length - 1);
        samples[start + i] *= 0.5 + 0.5 * std::cos(kPi * x);
    }
}

// A sine whose frequency may change every sample; keeps its phase continuous.
class SweptSine {
public:
    double Next(double frequencyHz)
    {
        const double value = std::sin(phase);
        phase += kTwoPi * frequencyHz / kRate;
        if (phase > kTwoPi) {
            phase -= kTwoPi;
        }
        return value;
    }

private:
    double phase = 0.0;
};

} // namespace

//--------------------------------------------------------------------------------------------------------------
// The sounds
//--------------------------------------------------------------------------------------------------------------

std::vector<double> XSoundEffects::GunShot()
{
    std::vector<double> samples(SampleCount(0.45), 0.0);
    XSynthRandom random(0x57E11u);
    XStateVariableFilter crackHigh(900.0, 0.7, kRate);
    XStateVariableFilter crackLow(7000.0, 0.7, kRate);
    XStateVariableFilter body(1300.0, 0.9, kRate);
    XStateVariableFilter room(1500.0, 0.7, kRate);
    SweptSine thump;
    for (size_t i = 0; i < samples.size(); ++i) {
        const double t = Seconds(i);
        const double noise = random.Bipolar();
        crackHigh.Process(noise);
        crackLow.Process(crackHigh.HighPass());
        body.Process(noise);
        room.Process(noise);
        const double crack = crackLow.LowPass() * AttackDecay(t, 0.0005, 0.022);
        const double bodyPart = body.BandPass() * AttackDecay(t, 0.001, 0.045) * 1.3;
        // The thump falls from 150 Hz to 55 Hz within a few tens of milliseconds, as a chest-felt kick does.
        const double thumpPart = thump.Next(55.0 + 95.0 * std::exp(-t / 0.03)) * AttackDecay(t, 0.0015, 0.05) * 0.9;
        const double roomPart = room.LowPass() * AttackDecay(t, 0.01, 0.09) * 0.25;
        samples[i] = crack + bodyPart + thumpPart + roomPart;
    }
    FadeOut(samples, 0.03);
    Normalise(samples, 0.89);
    return samples;
}

std::vector<double> XSoundEffects::BackgroundLoop()
{
    const size_t length = SampleCount(10.0);
    const std::vector<double> windNoise = XSeamlessLoop::NoiseTable(length, 0xB6501u);
    const std::vector<double> lowNoise = XSeamlessLoop::NoiseTable(length, 0xB6502u);
    XStateVariableFilter windFirst(400.0, 0.9, kRate);
    XStateVariableFilter windSecond(600.0, 0.7, kRate);
    XStateVariableFilter whistle(600.0, 9.0, kRate);
    XStateVariableFilter rumble(70.0, 0.8, kRate);
    // Drone partials a whole number of cycles apart; 55 and 55.4 Hz beat slowly against each other.
    const size_t drone1 = XSeamlessLoop::CyclesFor(55.0, length, kRate);
    const size_t drone2 = XSeamlessLoop::CyclesFor(55.4, length, kRate);
    const size_t drone3 = XSeamlessLoop::CyclesFor(82.6, length, kRate);
    const size_t drone4 = XSeamlessLoop::CyclesFor(110.1, length, kRate);
    auto voice = [&](size_t i) {
        const double gust = 0.5 + 0.3 * std::sin(XSeamlessLoop::Phase(1, i, length))
                            + 0.2 * std::sin(XSeamlessLoop::Phase(3, i, length) + 1.0);
        const double cutoff = 180.0 + 520.0 * gust * gust;
        windFirst.SetCutoff(cutoff, 0.9);
        windSecond.SetCutoff(cutoff * 1.6, 0.7);
        windFirst.Process(windNoise[i]);
        windSecond.Process(windFirst.LowPass());
        const double wind = windSecond.LowPass() * (0.35 + 0.65 * gust);

        whistle.SetCutoff(600.0 + 250.0 * std::sin(XSeamlessLoop::Phase(2, i, length)), 9.0);
        whistle.Process(lowNoise[i]);
        const double whistlePart = whistle.BandPass() * 0.5 * gust * gust * gust;

        rumble.Process(lowNoise[i]);
        const double rumblePart = rumble.LowPass() * 2.5;

        const double swell = 0.7 + 0.3 * std::sin(XSeamlessLoop::Phase(2, i, length) + 2.0);
        const double drone = (std::sin(XSeamlessLoop::Phase(drone1, i, length))
                              + 0.8 * std::sin(XSeamlessLoop::Phase(drone2, i, length))
                              + 0.35 * std::sin(XSeamlessLoop::Phase(drone3, i, length))
                              + 0.2 * std::sin(XSeamlessLoop::Phase(drone4, i, length)))
                             * swell * 0.08;
        return wind + whistlePart + rumblePart + drone;
    };
    std::vector<double> samples = XSeamlessLoop::Render(length, 1, voice);
    Normalise(samples, 0.3);
    return samples;
}

std::vector<double> XSoundEffects::RocketFlight()
{
    const size_t length = SampleCount(1.0);
    const std::vector<double> roarNoise = XSeamlessLoop::NoiseTable(length, 0xF1701u);
    const std::vector<double> hissNoise = XSeamlessLoop::NoiseTable(length, 0xF1702u);
    XStateVariableFilter roarBand(380.0, 0.8, kRate);
    XStateVariableFilter roarLow(1500.0, 0.7, kRate);
    XStateVariableFilter rumble(110.0, 1.2, kRate);
    XStateVariableFilter hiss(4500.0, 0.7, kRate);
    auto voice = [&](size_t i) {
        // The motor flutters at rates with whole cycles in the loop, so the flutter repeats seamlessly too.
        const double flutter = 1.0 + 0.22 * std::sin(XSeamlessLoop::Phase(23, i, length))
                               + 0.12 * std::sin(XSeamlessLoop::Phase(41, i, length) + 0.7);
        roarBand.SetCutoff(380.0 * (1.0 + 0.15 * std::sin(XSeamlessLoop::Phase(3, i, length))), 0.8);
        roarBand.Process(roarNoise[i]);
        roarLow.Process(roarBand.BandPass());
        rumble.Process(roarNoise[i]);
        hiss.Process(hissNoise[i]);
        const double roar = roarLow.LowPass() * 1.5 * flutter;
        const double rumblePart = rumble.BandPass() * 0.8 * flutter;
        const double hissPart = hiss.HighPass() * 0.18 * (1.0 + 0.1 * std::sin(XSeamlessLoop::Phase(7, i, length)));
        return roar + rumblePart + hissPart;
    };
    std::vector<double> samples = XSeamlessLoop::Render(length, 2, voice);
    Normalise(samples, 0.55);
    return samples;
}

std::vector<double> XSoundEffects::RocketLaunch()
{
    std::vector<double> samples(SampleCount(0.45), 0.0);
    XSynthRandom random(0xF1BE1u);
    XStateVariableFilter whoosh(2500.0, 1.4, kRate);
    XStateVariableFilter clickHigh(2000.0, 0.7, kRate);
    SweptSine punch;
    for (size_t i = 0; i < samples.size(); ++i) {
        const double t = Seconds(i);
        const double noise = random.Bipolar();
        // The whoosh's band falls from about 2.5 kHz to 250 Hz: the pitched-down rush of the launch.
        whoosh.SetCutoff(250.0 + 2300.0 * std::exp(-t / 0.15), 1.4);
        whoosh.Process(noise);
        clickHigh.Process(noise);
        const double whooshPart = whoosh.BandPass() * AttackDecay(t, 0.012, 0.14) * 1.6;
        const double punchPart = punch.Next(45.0 + 70.0 * std::exp(-t / 0.04)) * AttackDecay(t, 0.002, 0.07);
        const double click = clickHigh.HighPass() * AttackDecay(t, 0.0003, 0.003) * 0.5;
        samples[i] = whooshPart + punchPart + click;
    }
    FadeOut(samples, 0.03);
    Normalise(samples, 0.85);
    return samples;
}

std::vector<double> XSoundEffects::RocketExplosion()
{
    std::vector<double> samples(SampleCount(1.9), 0.0);
    XSynthRandom random(0xE8B1u);
    XSynthRandom sparks(0xE8B2u);
    XStateVariableFilter blast(3500.0, 0.7, kRate);
    XStateVariableFilter rumbleFirst(260.0, 0.9, kRate);
    XStateVariableFilter rumbleSecond(300.0, 0.7, kRate);
    XStateVariableFilter crackle(3000.0, 2.0, kRate);
    SweptSine boom;
    for (size_t i = 0; i < samples.size(); ++i) {
        const double t = Seconds(i);
        const double noise = random.Bipolar();
        blast.Process(noise);
        rumbleFirst.SetCutoff(60.0 + 200.0 * std::exp(-t / 0.3), 0.9);
        rumbleFirst.Process(noise);
        rumbleSecond.Process(rumbleFirst.LowPass());
        // Crackle: sparse pops, thick at first and thinning out over the first second.
        const double popChance = t < 0.02 ? 0.0 : 0.012 * std::exp(-(t - 0.02) / 0.35);
        double pop = 0.0;
        if (sparks.Unit() < popChance) {
            pop = (sparks.Unit() < 0.5 ? -1.0 : 1.0) * (0.3 + 0.7 * sparks.Unit());
        }
        crackle.Process(pop);
        const double blastPart = blast.LowPass() * AttackDecay(t, 0.002, 0.07) * 0.9;
        const double boomPart = boom.Next(28.0 + 50.0 * std::exp(-t / 0.18)) * AttackDecay(t, 0.004, 0.35);
        const double rumblePart = rumbleSecond.LowPass() * AttackDecay(t, 0.01, 0.6) * 3.0;
        const double cracklePart = crackle.BandPass() * 2.5;
        samples[i] = blastPart + boomPart + rumblePart + cracklePart;
    }
    // Gentle saturation makes the boom dense and loud without hard clipping.
    Normalise(samples, 1.0);
    const double drive = 1.6;
    for (double& sample : samples) {
        sample = std::tanh(drive * sample) / std::tanh(drive);
    }
    FadeOut(samples, 0.08);
    Normalise(samples, 0.94);
    return samples;
}

//--------------------------------------------------------------------------------------------------------------
// Files
//--------------------------------------------------------------------------------------------------------------

const std::vector<XSoundEffect>& XSoundEffects::Files()
{
    static const std::vector<XSoundEffect> files = {
        {"sound/sten.wav", &XSoundEffects::GunShot},
        {"sound/bgSound.wav", &XSoundEffects::BackgroundLoop},
        {"sound/rockfly.wav", &XSoundEffects::RocketFlight},
        {"sound/rockfire.wav", &XSoundEffects::RocketLaunch},
        {"sound/rockexp.wav", &XSoundEffects::RocketExplosion},
    };
    return files;
}

bool XSoundEffects::WriteAll(const std::string& folder, std::string& error)
{
    for (const XSoundEffect& file : Files()) {
        const std::vector<unsigned char> bytes = XWaveFile::Encode(file.synthesise(), kSampleRate);
        if (!XWaveFile::Write(folder + "/" + file.path, bytes, error)) {
            return false;
        }
    }
    return true;
}
