// The calculator program's start-up and shut-down, shared by Korbcalc and the tool that measures
// its start-up and takes its pictures (probe/).
#pragma once

#include <functional>
#include <optional>

class TKorbCalcForm;

// What a measuring or picture-taking start adds to the program's own.
struct StartHooks {
    // With the main window built, before it is shown.
    std::function<void(TKorbCalcForm&)> beforeStart;
    // Once every window is up; a value ends the program with that status instead of running it.
    std::function<std::optional<int>(TKorbCalcForm&)> afterStart;
};

// Runs the program until its main window closes; returns its exit status.
int RunCalculator(int& argc, char** argv, const StartHooks& hooks = {});
