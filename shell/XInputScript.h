// XInputScript: scripted input for repeatable runs.
//
// A script is a text file of lines "FRAME EVENT", where FRAME is the 1-based number of the frame before which
// the event is delivered, and EVENT is one of
//   key down KEY | key up KEY                (KEY: UP DOWN LEFT RIGHT HOME SHIFT CONTROL TAB ESCAPE SPACE
//                                             F1..F12 A..Z 0..9)
//   mouse move DX DY                          (pixels, x right, y down)
//   mouse down BUTTON | mouse up BUTTON       (BUTTON: left right middle)
//   close                                     (the window is closed)
//   dt MS                                     (the clock advances MS milliseconds at the end of this pass:
//                                              recorded frame times, for exact replays)
//   wait level N                              (the frame waits until the watched level's Nth save has been
//                                              dealt with: needs --level FILE --watch)
// Several events of one frame may share a line, separated by ';'. Blank lines and text after '#' are ignored.
#pragma once

#include <cstddef> // size_t
#include <string>
#include <vector>

struct XScriptEvent {
    enum class Kind { KeyDown, KeyUp, MouseMove, MouseDown, MouseUp, Close, FrameTime, WaitLevel };

    int frame = 0;
    Kind kind = Kind::Close;
    int key = 0;      // virtual-key code for key events
    int button = 0;   // 0 left, 1 right, 2 middle for button events
    int dx = 0;       // mouse motion
    int dy = 0;
    double milliseconds = 0.0; // frame time for FrameTime events
    int save = 0;     // the save of the watched level a WaitLevel event waits for (1 for the first)
};

// The events of one frame, in place in the script: what a loop pass goes through without copying them.
class XScriptEventSpan {
public:
    XScriptEventSpan(const XScriptEvent* from, const XScriptEvent* to) : first(from), last(to) {}
    const XScriptEvent* begin() const { return first; }
    const XScriptEvent* end() const { return last; }
    size_t size() const { return static_cast<size_t>(last - first); }
    bool empty() const { return first == last; }

private:
    const XScriptEvent* first;
    const XScriptEvent* last;
};

class XInputScript {
public:
    // Parses script text; on failure returns false and sets error to a message naming the line.
    bool Parse(const std::string& text, const std::string& sourceName, std::string& error);
    // Reads and parses a script file.
    bool Load(const std::string& path, std::string& error);

    // The events of one frame, in script order.
    std::vector<XScriptEvent> EventsOfFrame(int frame) const;
    // The same events where the script keeps them, valid until the script changes.
    XScriptEventSpan FrameEvents(int frame) const;
    const std::vector<XScriptEvent>& Events() const;
    bool Empty() const;
    // Whether the script carries recorded frame times, and the number of its last frame.
    bool HasFrameTimes() const;
    int LastFrame() const;

private:
    std::vector<XScriptEvent> events; // sorted by frame, script order within a frame
};

// The script line of one event, without the frame number ("key down UP", "mouse move 3 -2", ...).
std::string DescribeScriptEvent(const XScriptEvent& event);
