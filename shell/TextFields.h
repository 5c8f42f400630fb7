// TextFields: the small text helpers of the settings file, the bindings and the command line — trimming,
// lower case, and numbers that must be whole text within a range.
// Depends on: nothing.
#pragma once

#include <string>

// The text without white space at either end.
std::string Trimmed(const std::string& text);
// The text in lower case (ASCII).
std::string Lowered(const std::string& text);
// The whole text as a decimal number within [minimum, maximum]; false (value untouched) otherwise.
bool ToNumber(const std::string& text, double minimum, double maximum, double& value);
// The whole text as a whole decimal number within [minimum, maximum]; false (value untouched) otherwise.
bool ToWhole(const std::string& text, long minimum, long maximum, long& value);
