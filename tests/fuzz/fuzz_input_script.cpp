// Fuzz target: the input script parser. A script that parses must describe itself: writing its events back
// as script lines and parsing those gives the same events. A refused script names itself and the line.
#include "FuzzSupport.h"

#include "shell/XInputScript.h"

#include <cstddef> // size_t
#include <cstdint> // uint8_t
#include <string>

namespace {

bool SameEvent(const XScriptEvent& a, const XScriptEvent& b)
{
    return a.frame == b.frame && a.kind == b.kind && a.key == b.key && a.button == b.button && a.dx == b.dx &&
           a.dy == b.dy;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    PrepareFuzzEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    XInputScript script;
    std::string error;
    if (!script.Parse(text, "input.txt", error)) {
        FuzzCheck(error.rfind("input.txt:", 0) == 0, "a refusal names the script");
        FuzzCheck(error.find(": ", 10) != std::string::npos, "a refusal names the line and the problem");
        return 0;
    }
    FuzzCheck(error.empty(), "no error beside a parsed script");
    const std::vector<XScriptEvent>& events = script.Events();
    std::string written;
    for (size_t i = 0; i < events.size(); ++i) {
        FuzzCheck(events[i].frame >= 1, "frames count from 1");
        FuzzCheck(i == 0 || events[i - 1].frame <= events[i].frame, "events in frame order");
        written += std::to_string(events[i].frame) + " " + DescribeScriptEvent(events[i]) + "\n";
    }
    XInputScript again;
    FuzzCheck(again.Parse(written, "again.txt", error), "the written script parses");
    FuzzCheck(again.Events().size() == events.size(), "the written script has the same events");
    for (size_t i = 0; i < events.size(); ++i) {
        FuzzCheck(SameEvent(again.Events()[i], events[i]), "each event survives writing and reading");
    }
    if (!events.empty()) {
        const int frame = events.back().frame;
        FuzzCheck(!script.EventsOfFrame(frame).empty(), "the last frame's events are found");
    }
    return 0;
}
