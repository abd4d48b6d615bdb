#include "Main/core/Identification.h"

#include "Main/core/IdentificationConfig.h"
#include "Main/core/NumberText.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>

// The thirty contestant numbers and the jury code are the organiser's build
// settings (cmake/Identification.cmake); by default ten numbers for each of the
// three computer rooms (1-10, 101-110, 201-210).
const std::array<uint8_t, 32> &ContestantNumbers()
{
    return IdentificationConfig::ContestantNumbers;
}

bool IsContestantNumber(int n)
{
    if (n < 0 || n > 255)
        return false;
    return (IdentificationConfig::ContestantNumbers[size_t(n / 8)] >> (n % 8)) & 1;
}

std::string Pbkdf2HmacSha256(std::string_view password, std::string_view salt, int iterations, int length)
{
    const QByteArray key(password.data(), qsizetype(password.size()));
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, key);
    std::string out;
    for (uint32_t block = 1; int(out.size()) < length; ++block) {
        const char index[4] = {char(block >> 24), char(block >> 16), char(block >> 8), char(block)};
        mac.reset();
        mac.addData(salt.data(), qsizetype(salt.size()));
        mac.addData(index, 4);
        QByteArray u = mac.result();
        QByteArray t = u;
        for (int i = 1; i < iterations; ++i) {
            mac.reset();
            mac.addData(u);
            u = mac.result();
            for (qsizetype k = 0; k < t.size(); ++k)
                t[k] = char(t[k] ^ u[k]);
        }
        out.append(t.constData(), size_t(t.size()));
    }
    out.resize(size_t(length));
    return out;
}

bool IsJuryCode(std::string_view text)
{
    using namespace IdentificationConfig;
    const std::string salt(reinterpret_cast<const char *>(JurySalt.data()), JurySalt.size());
    const std::string hash = Pbkdf2HmacSha256(text, salt, JuryIterations, int(JuryHash.size()));
    // Every byte compared, whatever the first difference.
    unsigned diff = 0;
    for (size_t i = 0; i < JuryHash.size(); ++i)
        diff |= unsigned(uint8_t(hash[i]) ^ JuryHash[i]);
    return diff == 0;
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
        r.IsJury = IsJuryCode(text);
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
