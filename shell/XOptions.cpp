// XOptions: table-driven command-line parsing.
#include "shell/XOptions.h"
#include "shell/TextFields.h"

#include "shell/XSettings.h" // ParseWindowSize

#include <cerrno>  // errno
#include <cmath>   // std::isfinite
#include <cstdlib> // strtol, strtod
#include <functional>

namespace {

// An option's handler gets its value (empty for flags) and returns an error text, or "" when it accepts it.
using Handler = std::function<std::string(XOptions&, const std::string&)>;

struct OptionSpec {
    const char* name;
    const char* valueName; // nullptr for flags
    const char* help;
    Handler apply;
};

// A map name: 1 to 40 of a-z, 0-9, '-' and '_' (it becomes a folder name of the archive).
bool IsMapName(const std::string& name)
{
    if (name.empty() || name.size() > 40) {
        return false;
    }
    for (const char c : name) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_')) {
            return false;
        }
    }
    return true;
}

std::string NeedsNonEmpty(const std::string& option, const std::string& value)
{
    return value.empty() ? option + " expects a non-empty value" : "";
}

const std::vector<OptionSpec>& OptionTable()
{
    static const std::vector<OptionSpec> table = {
        {"--archive", "PATH", "resource archive to load (default data.pck)",
         [](XOptions& o, const std::string& v) { o.archive = v; return NeedsNonEmpty("--archive", v); }},
        {"--mode", "N", "window size: 0 = 640x480, 1 = 800x600 (default), 2 = 1024x768, or WIDTHxHEIGHT",
         [](XOptions& o, const std::string& v) {
             o.modeGiven = true;
             if (v.find_first_of("xX") != std::string::npos) {
                 if (!ParseWindowSize(v, o.modeSize)) {
                     return "--mode expects 0, 1, 2 or a size WIDTHxHEIGHT from 160x120 to 16384x16384, got '" + v +
                            "'";
                 }
                 return std::string();
             }
             long mode = 0;
             if (!ToWhole(v, -1000000, 1000000, mode)) {
                 return "--mode expects a whole number (0, 1 or 2) or a size WIDTHxHEIGHT, got '" + v + "'";
             }
             o.mode = static_cast<int>(mode);
             o.modeSize = {0, 0};
             return std::string();
         }},
        {"--fullscreen", nullptr, "switch the display to the window's size",
         [](XOptions& o, const std::string&) { o.fullscreen = true; return std::string(); }},
        {"--frames", "N", "stop after exactly N frames (exit status 0)",
         [](XOptions& o, const std::string& v) {
             long frames = 0;
             if (!ToWhole(v, 1, 2000000000, frames)) {
                 return "--frames expects a whole number of 1 or more, got '" + v + "'";
             }
             o.frames = static_cast<int>(frames);
             return std::string();
         }},
        {"--fixed-step", "MS", "advance the clock exactly MS milliseconds per frame (repeatable runs)",
         [](XOptions& o, const std::string& v) {
             errno = 0;
             char* end = nullptr;
             const double step = std::strtod(v.c_str(), &end);
             if (v.empty() || errno != 0 || *end != '\0' || !std::isfinite(step) || step <= 0.0 ||
                 step > 10000.0) {
                 return "--fixed-step expects milliseconds above 0 and at most 10000, got '" + v + "'";
             }
             o.fixedStep = step;
             return std::string();
         }},
        {"--script", "FILE", "scripted input: lines 'FRAME EVENT' (see docs/automation.md)",
         [](XOptions& o, const std::string& v) { o.scriptPath = v; return NeedsNonEmpty("--script", v); }},
        {"--screenshot", "N:FILE", "save frame N's picture as a PNG file (repeatable)",
         [](XOptions& o, const std::string& v) {
             const size_t colon = v.find(':');
             long frame = 0;
             if (colon == std::string::npos || colon + 1 >= v.size() ||
                 !ToWhole(v.substr(0, colon), 1, 2000000000, frame)) {
                 return "--screenshot expects FRAME:FILE with a frame number of 1 or more, got '" + v + "'";
             }
             o.screenshots.emplace_back(static_cast<int>(frame), v.substr(colon + 1));
             return std::string();
         }},
        {"--loading-shots", "DIR", "save every loading screen as DIR/001.png, DIR/002.png, ...",
         [](XOptions& o, const std::string& v) {
             o.loadingShotsDir = v;
             return NeedsNonEmpty("--loading-shots", v);
         }},
        {"--level", "FILE", "compile a level source on the fly and walk it (the level viewer)",
         [](XOptions& o, const std::string& v) { o.levelPath = v; return NeedsNonEmpty("--level", v); }},
        {"--watch", nullptr, "with --level: recompile the level whenever its source is saved and swap it in",
         [](XOptions& o, const std::string&) { o.watch = true; return std::string(); }},
        {"--map", "NAME", "play the map NAME of the archive (maps/NAME) instead of the default level",
         [](XOptions& o, const std::string& v) {
             o.map = v;
             return IsMapName(v) ? std::string()
                                 : "--map expects a map name of 1 to 40 letters a-z, digits, '-' or '_', got '" + v +
                                       "'";
         }},
        {"--fast-forward", nullptr, "rasterise only the frames that take a screenshot (quicker scripted runs)",
         [](XOptions& o, const std::string&) { o.fastForward = true; return std::string(); }},
        {"--no-visibility", nullptr, "draw the whole world every frame, ignoring the level's visibility data",
         [](XOptions& o, const std::string&) { o.noVisibility = true; return std::string(); }},
        {"--trace", "FILE", "write one JSON line per frame with the player's and the game's state",
         [](XOptions& o, const std::string& v) { o.tracePath = v; return NeedsNonEmpty("--trace", v); }},
        {"--dump-scene", "FILE", "write a JSON description of the loaded scene after start-up",
         [](XOptions& o, const std::string& v) {
             o.dumpScenePath = v;
             return NeedsNonEmpty("--dump-scene", v);
         }},
        {"--record", "FILE", "record the session's input and frame times as a script, for replays and timedemos",
         [](XOptions& o, const std::string& v) { o.recordPath = v; return NeedsNonEmpty("--record", v); }},
        {"--timedemo", "FILE", "replay a recording as fast as possible and print what the frames cost",
         [](XOptions& o, const std::string& v) { o.timedemoPath = v; return NeedsNonEmpty("--timedemo", v); }},
        {"--no-dialogs", nullptr, "print error messages on stderr instead of showing message boxes",
         [](XOptions& o, const std::string&) { o.noDialogs = true; return std::string(); }},
        {"--headless", nullptr, "render off-screen without a display (implies --no-dialogs)",
         [](XOptions& o, const std::string&) {
             o.headless = true;
             o.noDialogs = true;
             return std::string();
         }},
        {"--config", "FILE", "read the settings from FILE instead of ~/.config/korvath/settings.ini",
         [](XOptions& o, const std::string& v) { o.configPath = v; return NeedsNonEmpty("--config", v); }},
        {"--set", "KEY=VALUE", "override one setting for this run (repeatable), e.g. --set mouse_sensitivity=2",
         [](XOptions& o, const std::string& v) {
             if (v.find('=') == std::string::npos || v.find('=') == 0) {
                 return "--set expects KEY=VALUE, got '" + v + "'";
             }
             o.settingOverrides.push_back(v);
             return std::string();
         }},
        {"--help", nullptr, "show this help and exit", nullptr},
        {"--version", nullptr, "show the version and exit", nullptr},
    };
    return table;
}

const OptionSpec* FindOption(const std::string& name)
{
    for (const OptionSpec& spec : OptionTable()) {
        if (name == spec.name) {
            return &spec;
        }
    }
    return nullptr;
}

XOptions& CurrentOptions()
{
    static XOptions options;
    return options;
}

} // namespace

XOptionsResult ParseOptions(int argc, const char* const* argv)
{
    XOptionsResult result;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i] != nullptr ? argv[i] : "";
        std::string value;
        bool hasInlineValue = false;
        const size_t equals = argument.find('=');
        if (argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = argument.substr(equals + 1);
            argument.erase(equals);
            hasInlineValue = true;
        }
        const OptionSpec* const spec = FindOption(argument);
        if (spec == nullptr) {
            result.action = XOptionsAction::Error;
            result.error = "unknown option '" + argument + "' (see --help)";
            return result;
        }
        if (argument == "--help" || argument == "--version") {
            result.action = argument == "--help" ? XOptionsAction::Help : XOptionsAction::Version;
            return result;
        }
        if (spec->valueName != nullptr && !hasInlineValue) {
            if (i + 1 >= argc) {
                result.action = XOptionsAction::Error;
                result.error = argument + " expects a value (" + spec->valueName + ")";
                return result;
            }
            value = argv[++i];
        } else if (spec->valueName == nullptr && hasInlineValue) {
            result.action = XOptionsAction::Error;
            result.error = argument + " takes no value";
            return result;
        }
        result.archiveGiven = result.archiveGiven || argument == "--archive";
        const std::string problem = spec->apply(result.options, value);
        if (!problem.empty()) {
            result.action = XOptionsAction::Error;
            result.error = problem;
            return result;
        }
    }
    if (result.options.watch && result.options.levelPath.empty()) {
        result.action = XOptionsAction::Error;
        result.error = "--watch watches the level source of --level FILE, and no --level was given";
        return result;
    }
    if (!result.options.timedemoPath.empty() && !result.options.scriptPath.empty()) {
        result.action = XOptionsAction::Error;
        result.error = "--timedemo replays its own recording and cannot be combined with --script";
    }
    return result;
}

std::string OptionsHelpText()
{
    std::string text = "Usage: korvath [OPTION]...\n"
                       "Korvath: a first-person walk-through and shooting demo.\n\nOptions:\n";
    for (const OptionSpec& spec : OptionTable()) {
        std::string left = std::string("  ") + spec.name;
        if (spec.valueName != nullptr) {
            left += std::string(" ") + spec.valueName;
        }
        if (left.size() < 24) {
            left.resize(24, ' ');
        } else {
            left += "  ";
        }
        text += left + spec.help + "\n";
    }
    return text;
}

const XOptions& GetOptions()
{
    return CurrentOptions();
}

void SetOptions(const XOptions& options)
{
    CurrentOptions() = options;
}

bool IsAutomatedRun(const XOptions& options)
{
    return options.frames > 0 || options.fixedStep > 0.0 || !options.scriptPath.empty() ||
           !options.timedemoPath.empty() || !options.screenshots.empty() || !options.loadingShotsDir.empty() ||
           !options.tracePath.empty() || !options.dumpScenePath.empty() || options.headless;
}

std::string SceneFilePath(const XOptions& options)
{
    return options.map.empty() ? "scene\\world.msa" : "maps\\" + options.map + "\\world.msa";
}

std::string VisibilityFilePath(const XOptions& options)
{
    return options.map.empty() ? "scene\\world.vis" : "maps\\" + options.map + "\\world.vis";
}

std::string LevelInfoFilePath(const XOptions& options)
{
    return options.map.empty() ? "scene\\world.info" : "maps\\" + options.map + "\\world.info";
}
