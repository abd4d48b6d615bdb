#pragma once
// The core keeps its texts as UTF-8 std::string, the window as QString; these
// are the two conversions every part of the window uses.
#include <QString>

#include <string>

inline QString Text(const std::string &s)
{
    return QString::fromStdString(s);
}

inline std::string Std(const QString &s)
{
    return s.toStdString();
}
