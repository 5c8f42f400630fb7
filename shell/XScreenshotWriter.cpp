// XScreenshotWriter: read-back on the frame, PNG on a thread.
#include "shell/XScreenshotWriter.h"

#include "shell/XAutomation.h"
#include "shell/XLog.h"
#include "shell/XUserFolders.h"

#include <chrono>  // system_clock
#include <cstdio>  // snprintf
#include <ctime>   // localtime_r, strftime
#include <utility> // std::move

XScreenshotWriter::~XScreenshotWriter()
{
    Finish();
}

void XScreenshotWriter::Request()
{
    requested = true;
}

void XScreenshotWriter::BeforeSwap(int width, int height, bool loading)
{
    if (!requested || loading) {
        return;
    }
    requested = false;
    const std::string folder = ScreenshotFolder();
    if (!MakeFolders(folder)) {
        GetLog()->Log("Screenshot: cannot make the folder " + folder);
        std::fprintf(stderr, "korvath: screenshot: cannot make the folder '%s'\n", folder.c_str());
        return;
    }
    std::vector<unsigned char> pixels = ReadBackBuffer(width, height);
    Finish(); // one picture at a time; the one before has had at least a frame to finish
    lastPath = folder + "/" + ScreenshotFileName();
    GetLog()->Log("Screenshot: " + lastPath);
    std::printf("korvath: screenshot %s\n", lastPath.c_str());
    std::fflush(stdout);
    writer = std::thread([path = lastPath, width, height, picture = std::move(pixels)]() {
        WritePng(path, width, height, picture);
    });
}

void XScreenshotWriter::Finish()
{
    if (writer.joinable()) {
        writer.join();
    }
}

XScreenshotWriter* GetScreenshotWriter()
{
    static XScreenshotWriter* const writer = new XScreenshotWriter();
    return writer;
}

std::string ScreenshotFileName()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const long milliseconds = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm local = {};
    localtime_r(&seconds, &local);
    char stamp[32] = {};
    std::strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", &local);
    char name[64] = {};
    std::snprintf(name, sizeof(name), "korvath-%s-%03ld.png", stamp, milliseconds);
    return name;
}
