#pragma once
// A Status as a test compares it: the failure's message, or nothing when fine.
#include "Data/Status.h"

#include <optional>
#include <string>

inline std::optional<std::string> FailureOf(const Status &s)
{
    return s ? std::nullopt : std::optional<std::string>(s.Message());
}
