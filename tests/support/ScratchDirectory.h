// ScratchDirectory: a temporary working directory for a test process, so that log files and archives made
// by the tests stay out of the source and build trees.
//
// Death tests of the "threadsafe" style run again in a child process; the child finds the parent's directory
// through an environment variable and works in it too, and only the parent removes it.
#pragma once

#include <string>

// Creates (or, in a death-test child, joins) the directory named after `stem` and makes it the working
// directory. Returns its absolute path, empty on failure.
std::string EnterScratchDirectory(const char* stem);

// Leaves and removes the directory when this process created it.
void LeaveScratchDirectory();
