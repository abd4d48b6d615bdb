#pragma once
// Numbers to and from text with "." as the decimal separator, whatever the
// process locale: every field, file and read-out of the program goes through here.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Shortest general form with up to 15 significant digits: "0.008", "120", "1.5", "1E-6".
std::string FormatGeneral(double v);

// Fixed-point with `decimals` digits, right-aligned in at least `width` characters
// ("%10.5f" is FormatFixed(v, 10, 5)). A wider value is not cut.
std::string FormatFixed(double v, int width, int decimals);

// A decimal number: surrounding blanks allowed, optional sign, digits with an
// optional "." fraction, optional exponent. Anything else (a comma, a letter,
// an empty text) is not a number.
std::optional<double> ParseFloat(std::string_view text);

// A whole decimal number: surrounding blanks allowed, optional sign, digits.
// Values beyond 32 bits are not numbers.
std::optional<int32_t> ParseInt(std::string_view text);

// The one message of a text that does not read as a number, whole or not: a layout
// load stops with it, and so do the preset and the parameter fields.
// "„%s” nem érvényes szám."
std::string NotANumberMessage(std::string_view text);

// Removes leading and trailing characters of code 32 or lower.
std::string_view TrimControl(std::string_view text);
