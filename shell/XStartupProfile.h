// XStartupProfile: how long each phase of the start-up took, from the program entry to the end of the first game
// frame, written to the log as one line, so that a slow start can be put down to its phase without a profiler.
//
// The phases follow each other: End(name) closes the phase running now, which began where the last one ended;
// a name given again (the loading screens between the steps) adds to the phase listed under it.
// A part of a phase that the code running it measured itself (the texture pictures inside the scene file's
// reading) is given with Add before the phase ends: it is listed on its own and left out of the phase's length,
// so that the lengths add up to the whole.
// Depends on: XFrameProfile (its clock).
#pragma once

#include <string>
#include <vector>

class XStartupProfile {
public:
    // The moment the phases count from; the first phase begins here.
    void Begin();
    // Lists a part of the phase running now, of the given length in milliseconds.
    void Add(const std::string& name, double milliseconds);
    // Closes the phase running now: its length is the time since the last End (or Begin), less its parts.
    void End(const std::string& name);

    // Milliseconds from Begin to the last End.
    double Total() const { return lastMark - begin; }
    // "Start-up: window 120 ms, scene file 310 ms, ...; 900 ms from the program entry to the end of the first
    // game frame", the lengths rounded to whole milliseconds (a phase under one millisecond shows with one
    // decimal).
    std::string Line() const;

private:
    struct Phase {
        std::string name;
        double milliseconds;
    };

    // Adds the milliseconds to the phase of that name, listed at the end when it is new.
    void Count(const std::string& name, double milliseconds);

    std::vector<Phase> phases;
    double begin = 0.0;
    double lastMark = 0.0;
    double partsSinceMark = 0.0;
};

XStartupProfile* GetStartupProfile();
