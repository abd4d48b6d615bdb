#pragma once
// Who is using the program: a contestant, by contestant number, or the jury, by
// the jury code. The fixed identification data are part of the program.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The jury's identifier, compared exactly as typed (letter case and blanks count).
inline constexpr std::string_view JuryCode = "Vezer7146";

// The accepted contestant numbers as a set over 0..255: bit n is bit n % 8 of byte n / 8.
const std::array<uint8_t, 32> &ContestantNumbers();

// True when n (0..255) is an accepted contestant number; false for any other n.
bool IsContestantNumber(int n);

struct IdentificationResult {
    bool Accepted = false;
    bool IsContestant = false;
    bool IsJury = false;
    // A contestant number in its plain decimal form ("05", "+5" and " 5 " give
    // "5"); the jury code as typed; empty when rejected.
    std::string UserId;
};

// Checks a typed identifier (UTF-8). A whole decimal number is looked up among the
// contestant numbers; any other text must equal the jury code as typed.
IdentificationResult IdentifyUser(const std::string &text);
