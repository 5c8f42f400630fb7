// XStartupProfile: the start-up's phases and their line in the log.
// Depends on: XFrameProfile.
#include "shell/XStartupProfile.h"

#include "shell/XFrameProfile.h"

#include <cstdio> // std::snprintf

namespace {

std::string Milliseconds(double value)
{
    char text[32] = {};
    std::snprintf(text, sizeof(text), value < 1.0 ? "%.1f ms" : "%.0f ms", value);
    return text;
}

} // namespace

void XStartupProfile::Begin()
{
    phases.clear();
    begin = XFrameProfile::Now();
    lastMark = begin;
    partsSinceMark = 0.0;
}

void XStartupProfile::Add(const std::string& name, double milliseconds)
{
    Count(name, milliseconds);
    partsSinceMark += milliseconds;
}

void XStartupProfile::End(const std::string& name)
{
    const double now = XFrameProfile::Now();
    Count(name, now - lastMark - partsSinceMark);
    lastMark = now;
    partsSinceMark = 0.0;
}

void XStartupProfile::Count(const std::string& name, double milliseconds)
{
    for (Phase& phase : phases) {
        if (phase.name == name) {
            phase.milliseconds += milliseconds;
            return;
        }
    }
    phases.push_back({name, milliseconds});
}

std::string XStartupProfile::Line() const
{
    std::string line = "Start-up:";
    for (size_t i = 0; i < phases.size(); ++i) {
        line += (i == 0 ? " " : ", ") + phases[i].name + " " + Milliseconds(phases[i].milliseconds);
    }
    return line + "; " + Milliseconds(Total()) + " from the program entry to the end of the first game frame";
}

XStartupProfile* GetStartupProfile()
{
    static XStartupProfile* const profile = new XStartupProfile();
    return profile;
}
