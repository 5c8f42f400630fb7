// XOptions: the command line of korvath.
//
// With no options the program behaves as it always has: an 800x600 window, "data.pck" in the working
// directory, real time. The options exist for automation (tests, benchmarks, recorded demos) and for users
// who want another archive or window size. Every option is described once, in the table of XOptions.cpp,
// which also produces --help.
#pragma once

#include "shell/XInputListener.h" // XPoint

#include <string>
#include <utility> // std::pair
#include <vector>

struct XOptions {
    std::string archive = "data.pck";
    int mode = 1;                // 0 = 640x480, 1 = 800x600, 2 = 1024x768 (others: 800x600)
    bool modeGiven = false;      // --mode was on the command line (it overrides the settings' window size)
    XPoint modeSize = {0, 0};    // --mode WIDTHxHEIGHT; 0 x 0 when a mode number was given
    bool fullscreen = false;
    int frames = 0;              // stop after this many frames; 0 = run until quit
    double fixedStep = 0.0;      // milliseconds per loop pass on a manual clock; 0 = real time
    std::string scriptPath;      // scripted input
    std::vector<std::pair<int, std::string>> screenshots; // frame number, PNG path
    std::string loadingShotsDir; // every start-up picture as DIR/001.png, ...
    bool noDialogs = false;      // message boxes go to stderr
    bool headless = false;       // off-screen rendering, no display needed
    std::string tracePath;       // per-frame JSON lines
    std::string dumpScenePath;   // JSON description of the loaded scene
    std::string recordPath;      // the session's input and frame times, as a script
    std::string timedemoPath;    // a recording replayed as fast as possible, with a cost summary
    std::string levelPath;       // a level source compiled on the fly and walked (level viewer)
    bool watch = false;          // with levelPath: recompile the source whenever it is saved and swap it in
    std::string map;             // a map of the archive (maps\NAME\world.msa) instead of the default level
    bool fastForward = false;    // rasterise only the frames that take a screenshot
    bool noVisibility = false;   // draw the whole world every frame, whatever visibility data the level has
    std::string configPath;      // a settings file read instead of the user's
    std::vector<std::string> settingOverrides; // "key=value", applied over the settings file, in order
};

// Whether the run is automated (a test, a benchmark, a demo replay): any of --frames, --fixed-step, --script,
// --timedemo, --screenshot, --loading-shots, --trace, --dump-scene or --headless. Such a run neither reads nor
// writes the user's settings file, so nothing on a player's machine changes its result.
bool IsAutomatedRun(const XOptions& options);

// The archive path of the level's scene file ("scene\world.msa", or "maps\NAME\world.msa" for a map), of the
// visibility file and of the level's settings file beside it.
std::string SceneFilePath(const XOptions& options);
std::string VisibilityFilePath(const XOptions& options);
std::string LevelInfoFilePath(const XOptions& options);

enum class XOptionsAction { Run, Help, Version, Error };

struct XOptionsResult {
    XOptionsAction action = XOptionsAction::Run;
    XOptions options;
    bool archiveGiven = false; // --archive was on the command line
    std::string error; // for Error: the message to print, naming the option or value
};

// Parses argv; never exits and never prints.
XOptionsResult ParseOptions(int argc, const char* const* argv);

// The --help text: usage and one line per option.
std::string OptionsHelpText();

// The options the program runs with (set once by the program entry).
const XOptions& GetOptions();
void SetOptions(const XOptions& options);
