// XInputScript: parsing of input scripts.
#include "shell/XInputScript.h"

#include "shell/TextFields.h"
#include "shell/XKeyNames.h"

#include <algorithm> // std::stable_sort
#include <cerrno>    // errno
#include <cstdlib>   // strtod
#include <cstdio>    // snprintf
#include <cstring>   // strerror
#include <fstream>   // std::ifstream
#include <sstream>   // std::istringstream

#include <sys/stat.h> // stat, S_ISDIR

namespace {

const size_t kMaxScriptBytes = 64u * 1024u * 1024u;

std::vector<std::string> SplitWords(const std::string& text)
{
    std::vector<std::string> words;
    std::istringstream stream(text);
    std::string word;
    while (stream >> word) {
        words.push_back(word);
    }
    return words;
}

bool ParseButton(const std::string& word, int& button)
{
    if (word == "left") {
        button = 0;
    } else if (word == "right") {
        button = 1;
    } else if (word == "middle") {
        button = 2;
    } else {
        return false;
    }
    return true;
}

// Parses one event from its words; on failure sets problem.
bool ParseEvent(const std::vector<std::string>& words, XScriptEvent& event, std::string& problem)
{
    const std::string& what = words[0];
    if (what == "close") {
        if (words.size() != 1) {
            problem = "'close' takes no arguments";
            return false;
        }
        event.kind = XScriptEvent::Kind::Close;
        return true;
    }
    if (what == "key") {
        if (words.size() != 3 || (words[1] != "down" && words[1] != "up")) {
            problem = "expected 'key down KEY' or 'key up KEY'";
            return false;
        }
        event.kind = words[1] == "down" ? XScriptEvent::Kind::KeyDown : XScriptEvent::Kind::KeyUp;
        event.key = VirtualKeyFromName(words[2]);
        if (event.key == 0) {
            problem = "unknown key '" + words[2] + "'";
            return false;
        }
        return true;
    }
    if (what == "mouse") {
        if (words.size() >= 2 && words[1] == "move") {
            long dx = 0;
            long dy = 0;
            if (words.size() != 4 || !ToWhole(words[2], -100000, 100000, dx) ||
                !ToWhole(words[3], -100000, 100000, dy)) {
                problem = "expected 'mouse move DX DY' with whole numbers";
                return false;
            }
            event.kind = XScriptEvent::Kind::MouseMove;
            event.dx = static_cast<int>(dx);
            event.dy = static_cast<int>(dy);
            return true;
        }
        if (words.size() == 3 && (words[1] == "down" || words[1] == "up")) {
            event.kind = words[1] == "down" ? XScriptEvent::Kind::MouseDown : XScriptEvent::Kind::MouseUp;
            if (!ParseButton(words[2], event.button)) {
                problem = "unknown mouse button '" + words[2] + "' (left, right or middle)";
                return false;
            }
            return true;
        }
        problem = "expected 'mouse move DX DY', 'mouse down BUTTON' or 'mouse up BUTTON'";
        return false;
    }
    if (what == "dt") {
        char* end = nullptr;
        const double milliseconds = words.size() == 2 ? std::strtod(words[1].c_str(), &end) : -1.0;
        if (words.size() != 2 || end == words[1].c_str() || *end != '\0' || !(milliseconds >= 0.0) ||
            milliseconds > 10000.0) {
            problem = "expected 'dt MS' with milliseconds from 0 to 10000";
            return false;
        }
        event.kind = XScriptEvent::Kind::FrameTime;
        event.milliseconds = milliseconds;
        return true;
    }
    if (what == "wait") {
        long save = 0;
        if (words.size() != 3 || words[1] != "level" || !ToWhole(words[2], 1, 1000000, save)) {
            problem = "expected 'wait level N' with a save number of 1 or more";
            return false;
        }
        event.kind = XScriptEvent::Kind::WaitLevel;
        event.save = static_cast<int>(save);
        return true;
    }
    problem = "unknown event '" + what + "'";
    return false;
}

} // namespace

bool XInputScript::Parse(const std::string& text, const std::string& sourceName, std::string& error)
{
    events.clear();
    std::istringstream stream(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(stream, line)) {
        ++lineNumber;
        const size_t comment = line.find('#');
        if (comment != std::string::npos) {
            line.erase(comment);
        }
        // Events of one line are separated by ';' (n separators make n + 1 events).
        std::vector<std::string> segments(1);
        for (const char c : line) {
            if (c == ';') {
                segments.emplace_back();
            } else {
                segments.back() += c;
            }
        }
        if (SplitWords(line).empty()) {
            continue;
        }
        const std::string where = sourceName + ":" + std::to_string(lineNumber) + ": ";
        std::vector<std::string> words = SplitWords(segments[0]);
        long frame = 0;
        if (words.empty() || !ToWhole(words[0], 1, 2000000000, frame)) {
            error = where + "expected a frame number (1 or more) at the start of the line, got '" +
                    (words.empty() ? std::string(";") : words[0]) + "'";
            return false;
        }
        words.erase(words.begin());
        for (size_t i = 0; i < segments.size(); ++i) {
            if (i > 0) {
                words = SplitWords(segments[i]);
            }
            if (words.empty()) {
                error = where + "missing event";
                return false;
            }
            XScriptEvent event;
            event.frame = static_cast<int>(frame);
            std::string problem;
            if (!ParseEvent(words, event, problem)) {
                error = where + problem;
                return false;
            }
            events.push_back(event);
        }
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const XScriptEvent& a, const XScriptEvent& b) { return a.frame < b.frame; });
    return true;
}

bool XInputScript::Load(const std::string& path, std::string& error)
{
    // A folder opens like a file and then reads as nothing, which would pass for an empty script.
    struct stat status = {};
    if (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        error = path + ": cannot open script: it is a folder, not a file";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot open script: " + std::strerror(errno);
        return false;
    }
    std::string text;
    char buffer[65536];
    while (file.read(buffer, sizeof(buffer)) || file.gcount() > 0) {
        text.append(buffer, static_cast<size_t>(file.gcount()));
        if (text.size() > kMaxScriptBytes) {
            error = path + ": script is larger than 64 MiB";
            return false;
        }
    }
    if (file.bad()) {
        error = path + ": cannot read script: " + std::strerror(errno);
        return false;
    }
    return Parse(text, path, error);
}

std::vector<XScriptEvent> XInputScript::EventsOfFrame(int frame) const
{
    const XScriptEventSpan span = FrameEvents(frame);
    return std::vector<XScriptEvent>(span.begin(), span.end());
}

XScriptEventSpan XInputScript::FrameEvents(int frame) const
{
    const auto first = std::lower_bound(events.begin(), events.end(), frame,
                                        [](const XScriptEvent& e, int f) { return e.frame < f; });
    auto last = first;
    while (last != events.end() && last->frame == frame) {
        ++last;
    }
    const XScriptEvent* const data = events.data();
    return XScriptEventSpan(data + (first - events.begin()), data + (last - events.begin()));
}

const std::vector<XScriptEvent>& XInputScript::Events() const
{
    return events;
}

bool XInputScript::Empty() const
{
    return events.empty();
}

bool XInputScript::HasFrameTimes() const
{
    for (const XScriptEvent& event : events) {
        if (event.kind == XScriptEvent::Kind::FrameTime) {
            return true;
        }
    }
    return false;
}

int XInputScript::LastFrame() const
{
    return events.empty() ? 0 : events.back().frame;
}

std::string DescribeScriptEvent(const XScriptEvent& event)
{
    static const char* const kButtons[] = {"left", "right", "middle"};
    const char* const button = kButtons[event.button >= 0 && event.button < 3 ? event.button : 0];
    switch (event.kind) {
    case XScriptEvent::Kind::KeyDown: return "key down " + NameOfVirtualKey(event.key);
    case XScriptEvent::Kind::KeyUp: return "key up " + NameOfVirtualKey(event.key);
    case XScriptEvent::Kind::MouseMove:
        return "mouse move " + std::to_string(event.dx) + " " + std::to_string(event.dy);
    case XScriptEvent::Kind::MouseDown: return std::string("mouse down ") + button;
    case XScriptEvent::Kind::MouseUp: return std::string("mouse up ") + button;
    case XScriptEvent::Kind::Close: return "close";
    case XScriptEvent::Kind::FrameTime: {
        char text[48] = {};
        std::snprintf(text, sizeof(text), "dt %.6f", event.milliseconds);
        return text;
    }
    case XScriptEvent::Kind::WaitLevel: return "wait level " + std::to_string(event.save);
    }
    return "close";
}
