// GameRun: one scripted, fixed-step run of the real program on a test level, with its trace read back.
#pragma once

#include "ProgramRun.h"
#include "TestLevel.h"
#include "Trace.h"

#include <map>
#include <string>
#include <vector>

struct GameRunResult {
    ProgramResult program;
    std::vector<TraceFrame> frames; // frames[i] is frame i + 1
    std::filesystem::path directory;

    // The trace of frame n (1-based).
    const TraceFrame& Frame(int n) const { return frames.at(static_cast<size_t>(n - 1)); }
    // A screenshot the run saved under the name given to GameRun::Screenshot; fails the calling test when
    // it cannot be read.
    Picture Screenshot(const std::string& name) const;
};

class GameRun {
public:
    explicit GameRun(const TestLevel& level) : testLevel(level) {}

    GameRun& Script(const std::string& text)
    {
        script = text;
        return *this;
    }
    GameRun& Frames(int count)
    {
        frames = count;
        return *this;
    }
    GameRun& Step(const std::string& milliseconds)
    {
        step = milliseconds;
        return *this;
    }
    GameRun& Screenshot(int frame, const std::string& name)
    {
        extra.push_back("--screenshot");
        extra.push_back(std::to_string(frame) + ":" + name);
        return *this;
    }
    GameRun& Argument(const std::string& argument)
    {
        extra.push_back(argument);
        return *this;
    }
    GameRun& Environment(const std::string& name, const std::string& value)
    {
        environment[name] = value;
        return *this;
    }

    // Runs the program in the scratch directory; fails the calling test when the run itself fails.
    GameRunResult Run(const ScratchDirectory& directory) const;

private:
    TestLevel testLevel;
    std::string script;
    int frames = 100;
    std::string step = "10";
    std::vector<std::string> extra;
    std::map<std::string, std::string> environment;
};

// Flat ground with plenty of room: a floor at y = 0 over -50..50 on x and z.
TestLevel FlatGround();
