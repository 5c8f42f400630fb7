// PlainNumbers: reads the numbers of a scene file's vertex and triangle lines without sscanf, for lines in the
// plain form the level compiler writes, giving exactly what sscanf would give.
//
// A line in any other form (a '+' sign, an exponent, hexadecimal, "inf", a number too large, a stray
// character) is not read here: the functions then return false and the caller reads the line with sscanf as
// before, so that every line sscanf accepts keeps its value and every line it refuses keeps its report.
// Both read decimal text the same way, correctly rounded and independent of the locale's decimal point
// (the program never changes the C locale that sscanf follows).
// Depends on: nothing.
#pragma once

// The numbers of "%f %f ..." (count of them, at most 3): blanks, then "-12.5"-style numbers, each followed by a
// blank or the end of the line. True when all count were read into values.
bool ReadPlainFloats(const char* line, int count, float* values);

// The twelve numbers of "%ld/%ld/%ld/%ld %ld/%ld/%ld/%ld %ld/%ld/%ld/%ld": three corners of four whole numbers
// ("-" allowed, no blanks inside a corner), the corners apart by blanks. True when all twelve were read.
bool ReadPlainCorners(const char* line, long* values);
