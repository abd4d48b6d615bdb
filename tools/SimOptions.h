#pragma once
// Command-line options of the headless simulator, checked against the same
// limits as the fields of the device page.
#include "Data/Status.h"
#include "Main/core/DeviceValues.h"

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct SimOptions {
    DeviceFields Fields;
    int64_t Ions = 1000;
    uint64_t Seed = 1;
    bool SeedGiven = false;
    bool Continuous = true;
    int Spectrum = 1;
    std::optional<std::array<int, 6>> DetectorPoints;
    std::optional<std::pair<int, int>> Roi;
    std::string PictureOut;
    std::string SpectrumOut;
    std::string LayoutIn;
    std::string LayoutOut;
    bool Help = false;
    bool Version = false;
    std::set<std::string> Given;   // the options named on the command line
};

// Fails with a message naming the option and its limits.
Status ParseSimOptions(const std::vector<std::string> &args, SimOptions &out);
std::string SimUsage();
