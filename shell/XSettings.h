// XSettings: the player's settings — mouse, view, window, sound and bindings — and their file.
//
// The file is plain text: lines "key = value", blank lines, and comments from a '#' at the start of a line.
// Every key has a default that keeps the game as it was written; a line that cannot be used (an unknown key, a
// value out of range, no '=') is reported as a warning naming the file, the line and the key, and the key
// keeps its default. The program reads the file once, at start-up.
// Depends on: XBindings, XInputListener (XPoint).
#pragma once

#include "shell/XBindings.h"
#include "shell/XInputListener.h" // XPoint

#include <string>
#include <vector>

enum class XFullscreenMode { Off, Desktop };

struct XSettings {
    double mouseSensitivity = 1.0; // look speed factor; 1.0 = 0.1 degree per pixel at no zoom
    bool invertLook = false;       // moving the mouse forward looks down
    float fieldOfView = 60.0f;     // vertical, degrees, before zoom
    XPoint windowSize = {800, 600};
    bool windowFrame = false;      // a window with the desktop's title bar and borders
    XFullscreenMode fullscreen = XFullscreenMode::Off;
    bool verticalSync = false;
    int masterVolume = 100;        // percent
    int musicVolume = 100;
    int effectsVolume = 100;
    float padDeadZone = 0.2f;      // of the gamepad's sticks, 0..0.9 of the full deflection
    float padLookSpeed = 1.0f;     // right stick look speed factor; 1.0 = 120 degrees a second at full deflection
    XBindings bindings;
};

// Sets one key from its text; "" when it is accepted, else the problem (the settings are then unchanged).
std::string ApplySetting(XSettings& settings, const std::string& key, const std::string& value);

// Reads a settings file over the given settings. The warnings name the file, the line and the key; each bad
// line leaves its key at the default. False (with a warning) only when the file cannot be read at all.
bool ReadSettingsFile(const std::string& path, XSettings& settings, std::vector<std::string>& warnings);

// The file that the defaults make: every key with its default value and a comment saying what it does.
std::string DefaultSettingsText();
// Writes DefaultSettingsText to path, making its folders; false when it cannot.
bool WriteDefaultSettings(const std::string& path);

// A window size "WIDTHxHEIGHT" from 160x120 to 16384x16384; false for anything else.
bool ParseWindowSize(const std::string& text, XPoint& size);

// The settings the program runs with (set once by the program entry; the defaults until then).
const XSettings& GetSettings();
void SetSettings(const XSettings& settings);
