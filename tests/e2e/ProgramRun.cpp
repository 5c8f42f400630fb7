// ProgramRun: fork/exec with captured output and a time limit.
#include "ProgramRun.h"

#include <algorithm> // std::find
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void ReadAvailable(int fd, std::string& into, bool& open)
{
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof(buffer));
    if (n > 0) {
        into.append(buffer, static_cast<size_t>(n));
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        open = false;
    }
}

} // namespace

ProgramResult ProgramRun::Run() const
{
    ProgramResult result = RunOnce();
    for (int retry = 0; retry < 2 && (WindowTurnedAway(result) || LeakCheckBrokeDown(result)); ++retry) {
        usleep(500 * 1000);
        result = RunOnce();
    }
    return result;
}

bool ProgramRun::WindowTurnedAway(const ProgramResult& result) const
{
    if (result.exitCode != 1 || result.err.find("cannot open a window") == std::string::npos ||
        std::getenv("DISPLAY") == nullptr) {
        return false;
    }
    for (const char* variable : {"DISPLAY", "SDL_VIDEODRIVER"}) {
        if (setEnvironment.count(variable) != 0 ||
            std::find(unsetEnvironment.begin(), unsetEnvironment.end(), variable) != unsetEnvironment.end()) {
            return false;
        }
    }
    return true;
}

bool ProgramRun::LeakCheckBrokeDown(const ProgramResult& result)
{
    return result.err.find("LeakSanitizer has encountered a fatal error") != std::string::npos;
}

ProgramResult ProgramRun::RunOnce() const
{
    ProgramResult result;
    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) {
        result.err = "pipe failed";
        return result;
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        close(outPipe[0]);
        close(errPipe[0]);
        const int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        if (!workingDirectory.empty() && chdir(workingDirectory.c_str()) != 0) {
            _exit(126);
        }
        for (const auto& variable : setEnvironment) {
            setenv(variable.first.c_str(), variable.second.c_str(), 1);
        }
        for (const std::string& name : unsetEnvironment) {
            unsetenv(name.c_str());
        }
        std::vector<char*> argv;
        const std::string executable = program.empty() ? KorvathPath() : program;
        argv.push_back(const_cast<char*>(executable.c_str()));
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(executable.c_str(), argv.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeLimitSeconds);
    bool outOpen = true;
    bool errOpen = true;
    while (outOpen || errOpen) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            kill(child, SIGKILL);
            break;
        }
        pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
        const int ready = poll(fds, 2, static_cast<int>(std::min<long long>(left.count(), 200)));
        if (ready > 0) {
            if (outOpen && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
                ReadAvailable(outPipe[0], result.out, outOpen);
            }
            if (errOpen && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
                ReadAvailable(errPipe[0], result.err, errOpen);
            }
        }
    }
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && !result.timedOut) {
        result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    return result;
}

std::string KorvathPath()
{
    return KORVATH_EXE;
}

std::string DefaultArchive()
{
    return std::string(KORVATH_BINARY_DIR) + "/data.pck";
}

bool Picture::Load(const std::filesystem::path& file)
{
    int channels = 0;
    unsigned char* const data = stbi_load(file.c_str(), &width, &height, &channels, 3);
    if (data == nullptr) {
        return false;
    }
    rgb.assign(data, data + static_cast<size_t>(width) * static_cast<size_t>(height) * 3u);
    stbi_image_free(data);
    return true;
}
