// XUserFolders: XDG folders from the environment.
#include "shell/XUserFolders.h"

#include <cerrno>     // errno, EEXIST
#include <cstdlib>    // getenv
#include <fstream>    // std::ifstream, for user-dirs.dirs
#include <sys/stat.h> // mkdir, stat

namespace {

std::string Environment(const char* name)
{
    const char* const value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string Home()
{
    const std::string home = Environment("HOME");
    return home.empty() ? "." : home;
}

// An XDG base folder: the variable when it holds an absolute path, else the default under the home folder.
std::string BaseFolder(const char* variable, const char* homeDefault)
{
    const std::string value = Environment(variable);
    return !value.empty() && value[0] == '/' ? value : Home() + "/" + homeDefault;
}

// XDG_PICTURES_DIR="$HOME/Pictures" from user-dirs.dirs, "" when the file does not say.
std::string PicturesFromUserDirs()
{
    std::ifstream file(BaseFolder("XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_PICTURES_DIR=\"";
    while (std::getline(file, line)) {
        if (line.compare(0, key.size(), key) != 0 || line.back() != '"') {
            continue;
        }
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.compare(0, 5, "$HOME") == 0) {
            value = Home() + value.substr(5);
        }
        return !value.empty() && value[0] == '/' ? value : "";
    }
    return "";
}

} // namespace

std::string UserSettingsFile()
{
    return BaseFolder("XDG_CONFIG_HOME", ".config") + "/korvath/settings.ini";
}

std::string StateFolder()
{
    return BaseFolder("XDG_STATE_HOME", ".local/state") + "/korvath";
}

std::string ScreenshotFolder()
{
    std::string pictures = Environment("XDG_PICTURES_DIR");
    if (pictures.empty() || pictures[0] != '/') {
        pictures = PicturesFromUserDirs();
    }
    if (pictures.empty()) {
        pictures = Home() + "/Pictures";
    }
    return pictures + "/korvath";
}

bool MakeFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
