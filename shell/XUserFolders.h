// XUserFolders: where a desktop Linux program keeps its files, after the XDG base directory conventions.
// Depends on: the environment (XDG_CONFIG_HOME, XDG_STATE_HOME, XDG_PICTURES_DIR, HOME).
#pragma once

#include <string>

// $XDG_CONFIG_HOME/korvath/settings.ini, by default ~/.config/korvath/settings.ini.
std::string UserSettingsFile();
// $XDG_STATE_HOME/korvath, by default ~/.local/state/korvath.
std::string StateFolder();
// The user's pictures folder's korvath folder: $XDG_PICTURES_DIR (the environment, else the user-dirs.dirs
// file of the config folder), else ~/Pictures; then /korvath.
std::string ScreenshotFolder();
// Makes the folder and the folders above it; true when it exists afterwards.
bool MakeFolders(const std::string& path);
