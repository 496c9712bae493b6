// The command line of korbcalc-cli: options, and the arguments paired into calculator entries.
#pragma once

#include <string>
#include <vector>

extern const char* const CliUsage;

struct CliOptions {
    bool session = false;
    bool strict = false; // stop at the first error
    bool full = false;   // write full-precision texts instead of display texts
    bool help = false;
    int unitSystem = -1; // -1 unchanged, 1 SI, 0 U.S.
    int autoConvert = -1;
    int angle = -1;
    int notation = -1;
    int places = -1;
    std::vector<std::string> prefer; // --prefer: preferred units for this run, in order
    std::vector<std::string> entries;

    // Whether any option changes a setting (these apply to one run only).
    bool ChangesSettings() const {
        return unitSystem >= 0 || autoConvert >= 0 || angle >= 0 || notation >= 0 || places >= 0 ||
               !prefer.empty();
    }
};

// False for an unknown option or a bad value.
bool ParseOptions(int argc, const char* const* argv, CliOptions& options);

// Joins a command word that takes an argument ("sto", "rcl", "units", "conv", "autoconv") and
// stands alone with the argument after it, so that `conv psi` and "conv psi" read the same.
std::vector<std::string> PairArguments(const std::vector<std::string>& arguments);
