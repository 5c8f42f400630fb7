// ScratchEnvironment: a whole test program in one scratch working directory, so that the log and the files
// the tests make stay out of the source and build trees.
//
// Death tests of the "threadsafe" style run the program again in a child process; the child finds the
// parent's directory through an environment variable and works in it too, and only the parent removes it.
#pragma once

#include <gtest/gtest.h>

#include <string>

// Creates (or, in a death-test child, joins) the directory named after `stem` and makes it the working
// directory. Returns its absolute path, empty on failure.
std::string EnterScratchDirectory(const char* stem);

// Leaves and removes the directory when this process created it.
void LeaveScratchDirectory();

// Test environment: enters the directory before the first test and leaves it after the last one.
class ScratchEnvironment : public ::testing::Environment {
public:
    explicit ScratchEnvironment(const char* directoryStem) : stem(directoryStem) {}

    void SetUp() override;
    void TearDown() override;

private:
    const char* stem = nullptr;
};
