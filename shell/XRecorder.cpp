// XRecorder: input script writing.
#include "shell/XRecorder.h"

XRecorder::~XRecorder()
{
    Close();
}

bool XRecorder::Open(const std::string& path)
{
    Close();
    file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    std::fprintf(file, "# Korvath recording: the input of a session and the frame time of every pass.\n"
                       "# Replay it with --script or measure it with --timedemo.\n");
    return true;
}

bool XRecorder::IsRecording() const
{
    return file != nullptr;
}

void XRecorder::RecordEvent(int frame, const XScriptEvent& event)
{
    if (file != nullptr) {
        std::fprintf(file, "%d %s\n", frame, DescribeScriptEvent(event).c_str());
    }
}

void XRecorder::RecordFrameTime(int frame, double milliseconds)
{
    if (file != nullptr) {
        std::fprintf(file, "%d dt %.6f\n", frame, milliseconds);
    }
}

void XRecorder::Close()
{
    if (file != nullptr) {
        std::fclose(file);
        file = nullptr;
    }
}

XRecorder* GetRecorder()
{
    static XRecorder* const recorder = new XRecorder();
    return recorder;
}
