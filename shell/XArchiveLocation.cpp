// XArchiveLocation: the data archive's search path.
#include "shell/XArchiveLocation.h"

#include <climits>    // PATH_MAX
#include <sys/stat.h> // stat
#include <unistd.h>   // readlink

namespace {

bool IsFile(const std::string& path)
{
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

XArchiveSearch FindArchive(const std::string& name, const std::string& executableDirectory,
                           const std::string& installedDirectory)
{
    XArchiveSearch search;
    std::vector<std::string> candidates = {name};
    if (!executableDirectory.empty()) {
        candidates.push_back(executableDirectory + "/" + name);
        // An installation under any prefix: <prefix>/bin/korvath beside <prefix>/share/korvath/.
        candidates.push_back(executableDirectory + "/../share/korvath/" + name);
    }
    if (!installedDirectory.empty()) {
        candidates.push_back(installedDirectory + "/" + name);
    }
    for (const std::string& candidate : candidates) {
        search.searched.push_back(candidate);
        if (IsFile(candidate)) {
            search.found = candidate;
            break;
        }
    }
    return search;
}

std::string ExecutableDirectory()
{
    char path[PATH_MAX + 1] = {};
    const ssize_t length = readlink("/proc/self/exe", path, PATH_MAX);
    if (length <= 0) {
        return "";
    }
    const std::string executable(path, static_cast<size_t>(length));
    const size_t slash = executable.rfind('/');
    return slash == std::string::npos ? "" : executable.substr(0, slash);
}
