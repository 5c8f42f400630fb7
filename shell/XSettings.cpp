// XSettings: the table of keys, the file reader and the defaults' writer.
#include "shell/XSettings.h"
#include "shell/TextFields.h"

#include "shell/XUserFolders.h"

#include <cctype>     // isspace, tolower
#include <cerrno>     // errno
#include <cmath>      // std::isfinite
#include <cstdio>     // snprintf, fopen
#include <cstdlib>    // strtod, strtol
#include <fstream>    // std::ifstream
#include <functional> // std::function
#include <sys/stat.h> // stat

namespace {

// A key's handler takes the value's text and returns the problem, or "" when it sets the value.
using Setter = std::function<std::string(XSettings&, const std::string&)>;

struct SettingSpec {
    std::string key;
    std::string defaultValue;
    std::string comment;
    Setter apply;
};

bool ToSwitch(const std::string& text, bool& value)
{
    const std::string lower = Lowered(text);
    if (lower == "on" || lower == "yes" || lower == "true" || lower == "1") {
        value = true;
        return true;
    }
    if (lower == "off" || lower == "no" || lower == "false" || lower == "0") {
        value = false;
        return true;
    }
    return false;
}

Setter NumberSetter(double minimum, double maximum, const char* range, double XSettings::*field)
{
    return [=](XSettings& s, const std::string& v) {
        double number = 0.0;
        if (!ToNumber(v, minimum, maximum, number)) {
            return "'" + v + "' is not a number from " + range;
        }
        s.*field = number;
        return std::string();
    };
}

Setter FloatSetter(double minimum, double maximum, const char* range, float XSettings::*field)
{
    return [=](XSettings& s, const std::string& v) {
        double number = 0.0;
        if (!ToNumber(v, minimum, maximum, number)) {
            return "'" + v + "' is not a number from " + range;
        }
        s.*field = static_cast<float>(number);
        return std::string();
    };
}

Setter SwitchSetter(bool XSettings::*field)
{
    return [=](XSettings& s, const std::string& v) {
        return ToSwitch(v, s.*field) ? std::string() : "'" + v + "' is neither on nor off";
    };
}

Setter VolumeSetter(int XSettings::*field)
{
    return [=](XSettings& s, const std::string& v) {
        long percent = 0;
        if (!ToWhole(v, 0, 100, percent)) {
            return "'" + v + "' is not a whole percentage from 0 to 100";
        }
        s.*field = static_cast<int>(percent);
        return std::string();
    };
}

std::vector<SettingSpec> MakeTable()
{
    std::vector<SettingSpec> table = {
        {"mouse_sensitivity", "1.0",
         "Mouse look speed, 0.01 to 100: 1.0 turns 0.1 degree per pixel of motion (less while zoomed in), 2.0 twice "
         "as far.",
         NumberSetter(0.01, 100.0, "0.01 to 100", &XSettings::mouseSensitivity)},
        {"invert_look", "off", "on: moving the mouse (or the right stick) forward looks down.",
         SwitchSetter(&XSettings::invertLook)},
        {"field_of_view", "60", "Vertical field of view in degrees, 20 to 120 (zooming divides it).",
         FloatSetter(20.0, 120.0, "20 to 120", &XSettings::fieldOfView)},
        {"window_size", "800x600",
         "Size of the window, WIDTHxHEIGHT in pixels (160x120 to 16384x16384); --mode on the command line "
         "overrides it.",
         [](XSettings& s, const std::string& v) {
             return ParseWindowSize(v, s.windowSize) ? std::string()
                                                     : "'" + v + "' is not a size WIDTHxHEIGHT from 160x120 to "
                                                       "16384x16384";
         }},
        {"window_frame", "off", "on: the window has the desktop's title bar and borders.",
         SwitchSetter(&XSettings::windowFrame)},
        {"fullscreen", "off",
         "off: a window; desktop: the whole screen at the desktop's own resolution, no mode switch (Alt+Enter "
         "toggles it while playing).",
         [](XSettings& s, const std::string& v) {
             const std::string lower = Lowered(v);
             if (lower == "off") {
                 s.fullscreen = XFullscreenMode::Off;
             } else if (lower == "desktop") {
                 s.fullscreen = XFullscreenMode::Desktop;
             } else {
                 return "'" + v + "' is neither off nor desktop";
             }
             return std::string();
         }},
        {"vertical_sync", "off", "on: wait for the display's refresh before showing each frame.",
         SwitchSetter(&XSettings::verticalSync)},
        {"master_volume", "100", "Volume of all sound, percent (0 to 100).", VolumeSetter(&XSettings::masterVolume)},
        {"music_volume", "100", "Volume of the background loop, percent.", VolumeSetter(&XSettings::musicVolume)},
        {"effects_volume", "100", "Volume of the weapons and explosions, percent.",
         VolumeSetter(&XSettings::effectsVolume)},
        {"gamepad_dead_zone", "0.2", "Part of the sticks' travel that does nothing, 0 to 0.9.",
         FloatSetter(0.0, 0.9, "0 to 0.9", &XSettings::padDeadZone)},
        {"gamepad_look_speed", "1.0", "Right stick look speed, 0.01 to 100: 1.0 turns 120 degrees a second at full "
         "deflection (times mouse_sensitivity).",
         FloatSetter(0.01, 100.0, "0.01 to 100", &XSettings::padLookSpeed)},
    };
    for (int i = 0; i < kActionCount; ++i) {
        const XAction action = static_cast<XAction>(i);
        table.push_back({std::string("bind.") + ActionName(action), ActionDefaultInputs(action),
                         std::string("Inputs that ") + ActionDescription(action) + ".",
                         [action](XSettings& s, const std::string& v) {
                             std::string problem;
                             return s.bindings.Bind(action, v, problem) ? std::string() : problem;
                         }});
    }
    return table;
}

const std::vector<SettingSpec>& Table()
{
    static const std::vector<SettingSpec> table = MakeTable();
    return table;
}

const SettingSpec* FindSetting(const std::string& key)
{
    for (const SettingSpec& spec : Table()) {
        if (spec.key == key) {
            return &spec;
        }
    }
    return nullptr;
}

XSettings& CurrentSettings()
{
    static XSettings settings;
    return settings;
}

} // namespace

std::string ApplySetting(XSettings& settings, const std::string& key, const std::string& value)
{
    const SettingSpec* const spec = FindSetting(Lowered(Trimmed(key)));
    if (spec == nullptr) {
        return "unknown key";
    }
    return spec->apply(settings, Trimmed(value));
}

bool ReadSettingsFile(const std::string& path, XSettings& settings, std::vector<std::string>& warnings)
{
    struct stat info = {};
    std::ifstream file;
    if (stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) {
        file.open(path);
    }
    if (!file.is_open()) {
        warnings.push_back(path + ": cannot read the settings file; the defaults are used");
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        const std::string text = Trimmed(line);
        if (text.empty() || text[0] == '#') {
            continue;
        }
        const std::string where = path + ":" + std::to_string(number) + ": ";
        const size_t equals = text.find('=');
        if (equals == std::string::npos) {
            warnings.push_back(where + "expected 'key = value', got '" + text + "'; the line is ignored");
            continue;
        }
        const std::string key = Lowered(Trimmed(text.substr(0, equals)));
        const std::string value = Trimmed(text.substr(equals + 1));
        const SettingSpec* const spec = FindSetting(key);
        if (spec == nullptr) {
            warnings.push_back(where + "unknown key '" + key + "'; the line is ignored");
            continue;
        }
        const std::string problem = spec->apply(settings, value);
        if (!problem.empty()) {
            spec->apply(settings, spec->defaultValue);
            warnings.push_back(where + "key '" + key + "': " + problem + "; the default '" + spec->defaultValue +
                               "' is used");
        }
    }
    return true;
}

std::string DefaultSettingsText()
{
    std::string text =
        "# Korvath settings, read when the game starts.\n"
        "# Lines 'key = value'; a '#' at the start of a line begins a comment. A key left out, or whose value\n"
        "# cannot be used, keeps its default (the game says which on start-up).\n"
        "#\n"
        "# Bindings (bind.ACTION) list inputs separated by commas, or 'none': key names as SDL writes them\n"
        "# (A, F10, Up, Left Shift, Keypad 8, Return, ...), Shift, Ctrl, Alt, the mouse buttons Mouse Left,\n"
        "# Mouse Right, Mouse Middle, Mouse X1, Mouse X2, and the gamepad's Pad A, Pad B, Pad X, Pad Y, Pad LB,\n"
        "# Pad RB, Pad LT, Pad RT, Pad Back, Pad Start, Pad Guide, Pad Left Stick, Pad Right Stick (pressed),\n"
        "# Pad Up/Down/Left/Right (the d-pad) and Pad Stick Up/Down/Left/Right (the left stick). An input does one\n"
        "# action: binding it to one takes it from another.\n";
    for (const SettingSpec& spec : Table()) {
        text += "\n# " + spec.comment + "\n" + spec.key + " = " + spec.defaultValue + "\n";
    }
    return text;
}

bool WriteDefaultSettings(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash))) {
        return false;
    }
    FILE* const file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    const std::string text = DefaultSettingsText();
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

bool ParseWindowSize(const std::string& text, XPoint& size)
{
    const std::string lower = Lowered(Trimmed(text));
    const size_t x = lower.find('x');
    if (x == std::string::npos || lower.find_first_not_of("0123456789x") != std::string::npos ||
        lower.find('x', x + 1) != std::string::npos) {
        return false;
    }
    long width = 0;
    long height = 0;
    if (!ToWhole(lower.substr(0, x), 160, 16384, width) || !ToWhole(lower.substr(x + 1), 120, 16384, height)) {
        return false;
    }
    size = {static_cast<int32_t>(width), static_cast<int32_t>(height)};
    return true;
}

const XSettings& GetSettings()
{
    return CurrentSettings();
}

void SetSettings(const XSettings& settings)
{
    CurrentSettings() = settings;
}
