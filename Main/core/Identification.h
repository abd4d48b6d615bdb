#pragma once
// Who is using the program: a contestant, by contestant number, or the jury, by
// the jury code. The identification data are fixed when the program is built;
// of the jury code the program holds only a salted, slow hash.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// True when `text` is the jury code exactly as typed (letter case and blanks count).
bool IsJuryCode(std::string_view text);

// PBKDF2 with HMAC-SHA256: `length` bytes derived from `password` and `salt`.
std::string Pbkdf2HmacSha256(std::string_view password, std::string_view salt, int iterations, int length);

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
