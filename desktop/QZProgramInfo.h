// The answers of every program to "--help" and "--version", given as the
// only argument: printed on standard output before any window or
// application object is made, so they work without a display.
#pragma once

struct TProgramInfo
{
    // The program's file name, e.g. "corvview".
    const char *Name;
    // The usage lines after the program's name, e.g. "[TEST-FILE]"; several
    // lines are separated by '\n' and each is printed after the name.
    const char *Usage;
    // What the program does and what its arguments mean, ending in '\n'.
    const char *Description;
};

// The version of the package, e.g. "2.1.0".
const char *CorvellaVersion();

// When argv holds exactly one argument and it is "--help" or "--version",
// prints the answer on standard output and returns true: the program then
// ends with exit code 0. Otherwise prints nothing and returns false.
bool AnswerInfoOption(int argc, char *argv[], const TProgramInfo &program);
