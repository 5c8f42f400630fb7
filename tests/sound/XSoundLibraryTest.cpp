// Named sounds from the archive: the loading table, missing and broken entries, lookup by name, and playing
// a sound the way the game's weapons do.
#include "SoundTestSupport.h"

#include "shell/XOptions.h"
#include "sound/FSound.h"
#include "sound/XSoundLibrary.h"
#include "sound/XSoundManager.h"
#include "tools/soundgen/XSoundEffects.h"
#include "tools/soundgen/XWaveFile.h"

#include <cstdio>  // std::fprintf, std::fflush
#include <cstdlib> // std::_Exit

namespace {

const char* const kNames[] = {"sten", "bgSound", "rockfly", "rockfire", "rockexp"};

// Runs the sound tests on an archive of their own, made in the test's working directory.
class SoundArchiveTest : public SoundLayerTest {
protected:
    // Writes the archive with the given entries and makes it the program's archive.
    void UseArchive(const std::vector<ZipEntry>& entries)
    {
        const std::string path = (directory.Path() / "data.pck").string();
        WriteZip(path, entries);
        UseArchivePath(path);
    }

    void UseArchivePath(const std::string& path)
    {
        XOptions options;
        options.archive = path;
        SetOptions(options);
    }

    // Short tones, each sound a different length so that they cannot be mistaken for one another.
    static std::vector<ZipEntry> ToneEntries()
    {
        std::vector<ZipEntry> entries;
        double seconds = 0.1;
        for (const char* name : kNames) {
            entries.push_back({std::string("sound/") + name + ".wav", ToneWav(seconds, 440.0, 0.5)});
            seconds += 0.1;
        }
        return entries;
    }

    static std::vector<ZipEntry> Without(std::vector<ZipEntry> entries, const std::string& name)
    {
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&](const ZipEntry& entry) { return entry.name == name; }),
                      entries.end());
        return entries;
    }

    void TearDown() override
    {
        SetOptions(XOptions());
        SoundLayerTest::TearDown();
    }
};

using SoundLibraryLoading = SoundArchiveTest;
using SoundLibraryLookup = SoundArchiveTest;
using SoundPlayback = SoundArchiveTest;
using SoundSystemStart = SoundArchiveTest;

std::vector<std::string> NamesOf(const XSoundLibrary& library)
{
    std::vector<std::string> names;
    for (const std::unique_ptr<XSound>& sound : library.Sounds()) {
        names.push_back(sound->GetName());
    }
    return names;
}

std::unique_ptr<XSound> LoadedSound(const char* path, const char* name)
{
    std::unique_ptr<XSound> sound = std::make_unique<XSound>();
    sound->Load(path);
    sound->SetName(name);
    return sound;
}

} // namespace

//--------------------------------------------------------------------------------------------------------------

TEST_F(SoundLibraryLoading, LoadsTheFiveSoundsInTableOrder)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    UseArchive(ToneEntries());
    XSoundLibrary library;
    library.LoadSoundTable();
    EXPECT_EQ(NamesOf(library), std::vector<std::string>(std::begin(kNames), std::end(kNames)));
    for (const std::unique_ptr<XSound>& sound : library.Sounds()) {
        EXPECT_NE(sound->GetSample(), nullptr) << sound->GetName();
        EXPECT_GE(sound->Play(false), 0) << sound->GetName();
    }
    EXPECT_EQ(LogText(), "");
}

TEST_F(SoundLibraryLoading, MissingEntryStaysAsASilentSoundAndIsLogged)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    UseArchive(Without(ToneEntries(), "sound/rockexp.wav"));
    XSoundLibrary library;
    library.LoadSoundTable();
    ASSERT_EQ(library.Sounds().size(), 5u);
    XSound* const missing = library.Find("rockexp");
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->GetSample(), nullptr);
    EXPECT_EQ(missing->Play(false), -1);
    missing->SetVolume(250);
    missing->Stop();
    const std::string log = LogText();
    EXPECT_NE(log.find("sound\\rockexp.wav"), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_GE(library.Find("rockfly")->Play(true), 0) << "the other sounds are not affected";
}

TEST_F(SoundLibraryLoading, BrokenEntryStaysAsASilentSoundAndIsLogged)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    std::vector<ZipEntry> entries = Without(ToneEntries(), "sound/rockfire.wav");
    entries.push_back({"sound/rockfire.wav", Bytes(300, 0x5A)});
    UseArchive(entries);
    XSoundLibrary library;
    library.LoadSoundTable();
    ASSERT_NE(library.Find("rockfire"), nullptr);
    EXPECT_EQ(library.Find("rockfire")->GetSample(), nullptr);
    EXPECT_EQ(library.Find("rockfire")->Play(false), -1);
    EXPECT_NE(LogText().find("sound\\rockfire.wav"), std::string::npos) << LogText();
}

TEST_F(SoundLibraryLoading, MissingArchiveGivesFiveSilentSounds)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    UseArchivePath((directory.Path() / "no-such.pck").string());
    XSoundLibrary library;
    library.LoadSoundTable();
    ASSERT_EQ(library.Sounds().size(), 5u);
    for (const std::unique_ptr<XSound>& sound : library.Sounds()) {
        EXPECT_EQ(sound->GetSample(), nullptr) << sound->GetName();
        EXPECT_EQ(sound->Play(true), -1) << sound->GetName();
    }
}

//--------------------------------------------------------------------------------------------------------------

TEST_F(SoundLibraryLookup, SecondSoundOfTheSameNameLeavesTheListUnchanged)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    UseArchive(ToneEntries());
    XSoundLibrary library;
    library.LoadSoundTable();
    XSound* const first = library.Find("sten");
    ASSERT_NE(first, nullptr);
    const std::vector<std::string> before = NamesOf(library);

    EXPECT_FALSE(library.Add(LoadedSound("sound\\rockexp.wav", "sten")));
    EXPECT_EQ(NamesOf(library), before);
    EXPECT_EQ(library.Find("sten"), first);
    EXPECT_EQ(library.Find("sten")->GetSample(), first->GetSample());
}

TEST_F(SoundLibraryLookup, FindComparesWholeNamesCaseSensitively)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    XSoundLibrary library;
    EXPECT_EQ(library.Find("sten"), nullptr) << "empty library";
    EXPECT_TRUE(library.Add(LoadedSound("sound\\sten.wav", "sten")));
    EXPECT_TRUE(library.Add(LoadedSound("sound\\sten.wav", "Sten")));
    EXPECT_EQ(library.Sounds().size(), 2u);
    EXPECT_EQ(library.Find("Sten"), library.Sounds()[1].get());
    EXPECT_EQ(library.Find("sten"), library.Sounds()[0].get());
    EXPECT_EQ(library.Find("ste"), nullptr);
    EXPECT_EQ(library.Find("sten "), nullptr);
    EXPECT_EQ(library.Find("STEN"), nullptr);
    EXPECT_FALSE(library.Add(nullptr));
}

//--------------------------------------------------------------------------------------------------------------

TEST_F(SoundPlayback, LoadNamesTheSoundAfterItsPathUntilRenamed)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    UseArchive(ToneEntries());
    XSound sound;
    sound.Load("sound\\sten.wav");
    EXPECT_EQ(sound.GetName(), "sound\\sten.wav");
    sound.SetName("sten");
    EXPECT_EQ(sound.GetName(), "sten");
}

TEST_F(SoundPlayback, PlayTrueAfterPlayFalseStartsANewChannel)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    UseArchive(ToneEntries()); // "sten" is 0.1 s long
    XSound sound;
    sound.Load("sound\\sten.wav");
    const int once = sound.Play(false);
    const int looped = sound.Play(true);
    ASSERT_GE(once, 0);
    ASSERT_GE(looped, 0);
    EXPECT_NE(once, looped);
    EXPECT_EQ(sound.GetChannel(), looped);
    EXPECT_TRUE(FSOUND_IsPlaying(once)) << "the earlier sound goes on";
    WaitMs(400);
    EXPECT_FALSE(FSOUND_IsPlaying(once)) << "and ends on its own";
    EXPECT_TRUE(FSOUND_IsPlaying(looped));
}

TEST_F(SoundPlayback, VolumeAndStopActOnTheLastChannelOnly)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    UseArchive(ToneEntries());
    XSound sound;
    sound.Load("sound\\bgSound.wav");
    const int first = sound.Play(true);
    const int second = sound.Play(true);
    sound.SetVolume(250);
    EXPECT_EQ(FSOUND_GetVolume(second), 250);
    EXPECT_EQ(FSOUND_GetVolume(first), 255);
    sound.Stop();
    EXPECT_FALSE(FSOUND_IsPlaying(second));
    EXPECT_TRUE(FSOUND_IsPlaying(first));
}

TEST_F(SoundPlayback, ReleasingASoundStopsItsChannel)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    UseArchive(ToneEntries());
    std::unique_ptr<XSound> sound = LoadedSound("sound\\rockfly.wav", "rockfly");
    const int channel = sound->Play(true);
    ASSERT_TRUE(FSOUND_IsPlaying(channel));
    sound.reset();
    EXPECT_FALSE(FSOUND_IsPlaying(channel));
}

TEST_F(SoundPlayback, SoundNeverLoadedIsHarmless)
{
    ASSERT_TRUE(StartWithDriver("dummy"));
    XSound sound;
    EXPECT_EQ(sound.Play(true), -1);
    EXPECT_EQ(sound.GetChannel(), -1);
    sound.SetVolume(100);
    sound.Stop();
}

TEST_F(SoundPlayback, GeneratedSoundsPlayThroughTheLibraryAsTheGameUsesThem)
{
    std::vector<ZipEntry> entries;
    for (const XSoundEffect& file : XSoundEffects::Files()) {
        entries.push_back({file.path, XWaveFile::Encode(file.synthesise(), XSoundEffects::kSampleRate)});
    }
    UseArchive(entries);
    ASSERT_TRUE(StartOnDisk());
    XSoundLibrary library;
    library.LoadSoundTable();
    for (const std::unique_ptr<XSound>& sound : library.Sounds()) {
        ASSERT_NE(sound->GetSample(), nullptr) << sound->GetName();
    }
    // The first sound manager restarts the mixer: the capture starts after the loading.
    DiskCapture capture(OutputPath());
    const int flight = library.Find("rockfly")->Play(true);
    ASSERT_GE(flight, 0);
    FSOUND_SetVolume(flight, 255);
    XSound* const shot = library.Find("sten");
    const int shotChannel = shot->Play(false);
    shot->SetVolume(250);
    ASSERT_GE(shotChannel, 0);
    capture.Collect(100);
    EXPECT_GT(Peak(capture.Collect(200)), 3000);
    WaitMs(1000); // past the end of the one-second flight loop and the shot
    EXPECT_TRUE(FSOUND_IsPlaying(flight));
    EXPECT_FALSE(FSOUND_IsPlaying(shotChannel));
    capture.Collect(0);
    EXPECT_GT(Peak(capture.Collect(200)), 3000) << "the flight loop goes on";
    // At the explosion the flight sound stops.
    FSOUND_StopSound(flight);
    capture.Collect(150);
    const std::vector<int16_t> after = capture.Collect(200);
    EXPECT_GT(after.size(), 4000u);
    EXPECT_EQ(Peak(after), 0);
}

//--------------------------------------------------------------------------------------------------------------

// The singletons start the sound system once per process; each of these tests runs in a process of its own.
TEST_F(SoundSystemStart, SoundManagerStartsTheMixerWithThirtyTwoChannels)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("SDL_AUDIODRIVER", "no-such-audio-driver", 1);
    EXPECT_EXIT(
        {
            XSoundManager* const manager = GetSoundManager();
            const bool same = GetSoundManager() == manager;
            const std::unique_ptr<XSound> sound = manager->NewSound();
            const bool empty = sound->GetSample() == nullptr && sound->GetName().empty() && sound->GetChannel() == -1;
            std::fprintf(stderr, "channels=%d same=%d empty=%d\n", FSOUND_GetMaxChannels(), same, empty);
            std::fflush(stderr);
            std::_Exit(FSOUND_GetMaxChannels() == 32 && same && empty ? 0 : 1);
        },
        testing::ExitedWithCode(0), "channels=32 same=1 empty=1");
}

TEST_F(SoundSystemStart, SoundLibraryLoadsTheTableOnFirstUse)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    UseArchive(ToneEntries());
    EXPECT_EXIT(
        {
            XSoundLibrary* const library = GetSoundLibrary();
            int loaded = 0;
            for (const std::unique_ptr<XSound>& sound : library->Sounds()) {
                loaded += sound->GetSample() != nullptr;
            }
            const int channel = library->Find("bgSound")->Play(true);
            std::fprintf(stderr, "sounds=%zu loaded=%d same=%d playing=%d\n", library->Sounds().size(), loaded,
                         GetSoundLibrary() == library, FSOUND_IsPlaying(channel));
            std::fflush(stderr);
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "sounds=5 loaded=5 same=1 playing=1");
}
