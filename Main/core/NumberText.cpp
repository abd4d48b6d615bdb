#include "Main/core/NumberText.h"

#include <charconv>
#include <cmath>

std::string_view TrimControl(std::string_view text)
{
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32)
        --e;
    return text.substr(b, e - b);
}

std::string FormatGeneral(double v)
{
    if (v == 0.0)
        return "0";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    std::string s(buf, res.ptr);
    // to_chars writes "1e-06"; the program's files and fields use "1E-6".
    const size_t e = s.find('e');
    if (e != std::string::npos) {
        std::string mant = s.substr(0, e);
        std::string exp = s.substr(e + 1);
        std::string sign;
        if (!exp.empty() && (exp[0] == '-' || exp[0] == '+')) {
            if (exp[0] == '-')
                sign = "-";
            exp.erase(0, 1);
        }
        while (exp.size() > 1 && exp[0] == '0')
            exp.erase(0, 1);
        s = mant + "E" + sign + exp;
    }
    return s;
}

std::string FormatFixed(double v, int width, int decimals)
{
    char buf[512];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    std::string s = res.ec == std::errc() ? std::string(buf, res.ptr) : std::string("0");
    if (static_cast<int>(s.size()) < width)
        s.insert(0, static_cast<size_t>(width) - s.size(), ' ');
    return s;
}

static std::string_view TrimBlanks(std::string_view t)
{
    size_t b = 0, e = t.size();
    while (b < e && (t[b] == ' ' || t[b] == '\t'))
        ++b;
    while (e > b && (t[e - 1] == ' ' || t[e - 1] == '\t'))
        --e;
    return t.substr(b, e - b);
}

static bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::optional<double> ParseFloat(std::string_view text)
{
    std::string_view t = TrimBlanks(text);
    // Check the shape first: from_chars alone would accept "inf", "nan" and hex.
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < t.size() && IsDigit(t[i]))
        ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && IsDigit(t[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        size_t expDigits = 0;
        while (i < t.size() && IsDigit(t[i]))
            ++i, ++expDigits;
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != t.size())
        return std::nullopt;
    // from_chars takes no leading '+'.
    std::string_view body = t;
    bool negative = false;
    if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
        negative = body[0] == '-';
        body.remove_prefix(1);
    }
    double v = 0.0;
    auto res = std::from_chars(body.data(), body.data() + body.size(), v);
    if (res.ec != std::errc() || res.ptr != body.data() + body.size() || !std::isfinite(v))
        return std::nullopt;
    return negative ? -v : v;
}

std::optional<int32_t> ParseInt(std::string_view text)
{
    std::string_view t = TrimBlanks(text);
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    if (t.empty())
        return std::nullopt;
    int64_t v = 0;
    for (char c : t) {
        if (!IsDigit(c))
            return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        v = -v;
    if (v > INT32_MAX || v < INT32_MIN)
        return std::nullopt;
    return static_cast<int32_t>(v);
}

std::string NotANumberMessage(std::string_view text)
{
    return "„" + std::string(text) + "” nem érvényes szám.";
}
