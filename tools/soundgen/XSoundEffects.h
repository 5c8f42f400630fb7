// XSoundEffects: the game's five sounds, synthesised.
//
// Every sound is 44.1 kHz mono, peaks below full scale, and comes out the same, sample for sample, on every
// build (fixed noise seeds, no clock). The one-shot sounds start from silence and fade to silence; the two
// loops ("bgSound", "rockfly") repeat without a seam (see XSeamlessLoop).
// Depends on: XSynthRandom, XStateVariableFilter, XSeamlessLoop, XWaveFile.
#pragma once

#include <string>
#include <vector>

struct XSoundEffect {
    const char* path;                 // archive path with '/', e.g. "sound/sten.wav"
    std::vector<double> (*synthesise)();
};

class XSoundEffects {
public:
    static constexpr int kSampleRate = 44100;

    // "sten": a gun shot, a sharp noise crack over a low thump, gone after a quarter second.
    static std::vector<double> GunShot();
    // "bgSound": ten seconds of low wind and drone, a seamless loop.
    static std::vector<double> BackgroundLoop();
    // "rockfly": one second of a rocket motor's roar and hiss, a seamless loop.
    static std::vector<double> RocketFlight();
    // "rockfire": a rocket launch, a falling whoosh over a low punch.
    static std::vector<double> RocketLaunch();
    // "rockexp": an explosion, a loud low boom with crackle and a long rumble.
    static std::vector<double> RocketExplosion();

    // The five sounds with their archive paths, in the order the game loads them.
    static const std::vector<XSoundEffect>& Files();

    // Writes every sound as a WAV file under folder. On failure the result is false and error says why.
    static bool WriteAll(const std::string& folder, std::string& error);
};
