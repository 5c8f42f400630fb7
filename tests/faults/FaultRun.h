// FaultRun: the real program on a damaged copy of the game's data, checked the way a user would see it —
// the messages on stderr and in Korvath.log, and the exit status. Every run plays a short script that uses
// everything the data feeds (gun, weapon switch, rockets and their explosions, the pause panel), so that a
// texture or sound that went missing is also used, not only loaded.
#pragma once

#include "ProgramRun.h"
#include "support/TestArchive.h"

#include <filesystem>
#include <string>
#include <vector>

// The build's data folder — the engine's files and the default level — as archive entries, sorted by name.
std::vector<ZipEntry> DefaultDataEntries();
// The names of those entries ("misc/font.bmp", "scene/world.msa", ...).
std::vector<std::string> DefaultDataEntryNames();

// Entry list edits; both fail the calling test when the entry is not there.
void RemoveEntry(std::vector<ZipEntry>& entries, const std::string& name);
void ReplaceEntry(std::vector<ZipEntry>& entries, const std::string& name, const Bytes& bytes);
const Bytes& EntryBytes(const std::vector<ZipEntry>& entries, const std::string& name);

struct FaultResult {
    ProgramResult program;
    std::string log; // Korvath.log of the run ("" when it was not written)

    // Whether stderr or the log holds the text.
    bool SaysOnStderr(const std::string& text) const;
    bool Logs(const std::string& text) const;
};

class FaultRun {
public:
    FaultRun();

    // The archive to load (any path; need not exist).
    FaultRun& Archive(const std::filesystem::path& path);
    // Writes the entries as the archive "data.pck" in the run's directory and loads it.
    FaultRun& Entries(const std::vector<ZipEntry>& entries);
    FaultRun& Argument(const std::string& argument);
    FaultRun& Environment(const std::string& name, const std::string& value);
    FaultRun& WithoutEnvironment(const std::string& name);
    // Runs without --headless (a display, or none, decides).
    FaultRun& OnDisplay();
    FaultRun& Frames(int frames);

    const std::filesystem::path& Directory() const { return directory.Path(); }

    FaultResult Run() const;

private:
    ScratchDirectory directory;
    ProgramRun run;
    std::filesystem::path archive;
    bool headless = true;
    int frames = 200;
};

// The common promise of every faulty run: it ends by itself (no signal, no time-out), with status 0 (the
// game ran on) or 1 (it stopped); a stop is explained on stderr.
void ExpectCleanEnd(const FaultResult& result);

// A 24-bit BMP of one colour.
Bytes SolidBmp(int width, int height, unsigned char shade);
// The first `count` bytes.
Bytes Prefix(const Bytes& bytes, size_t count);
