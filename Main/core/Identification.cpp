#include "Main/core/Identification.h"

#include "Main/core/NumberText.h"

// Configuration of the competition: the thirty contestant numbers handed out,
// ten to each of the three computer rooms (1-10, 101-110, 201-210).
static constexpr std::array<uint8_t, 32> kContestantNumbers = {
    0xFE, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, //   1-7,   8-10
    0x00, 0x00, 0x00, 0x00, 0xE0, 0x7F, 0x00, 0x00, // 101-103, 104-110
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, //
    0x00, 0xFE, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, // 201-207, 208-210
};

const std::array<uint8_t, 32> &ContestantNumbers()
{
    return kContestantNumbers;
}

bool IsContestantNumber(int n)
{
    if (n < 0 || n > 255)
        return false;
    return (kContestantNumbers[size_t(n / 8)] >> (n % 8)) & 1;
}

IdentificationResult IdentifyUser(const std::string &text)
{
    IdentificationResult r;
    const std::string_view trimmed = TrimControl(text);
    if (const auto number = ParseInt(trimmed)) {
        // A number, even one meant as a wrong jury code, is a contestant number or nothing.
        r.IsContestant = IsContestantNumber(*number);
        r.Accepted = r.IsContestant;
    } else {
        r.IsJury = text == JuryCode;
        r.Accepted = r.IsJury;
    }
    if (r.IsContestant) {
        // One contestant, one folder: "05", "+5" and " 5 " are all contestant 5.
        r.UserId = std::to_string(*ParseInt(trimmed));
    } else if (r.Accepted) {
        r.UserId = std::string(trimmed);
    }
    return r;
}
