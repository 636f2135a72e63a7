#pragma once

#include <optional>
#include <string>

// A number as the user types it: decimal, or hexadecimal with 0x. Nothing for anything else,
// including trailing junk and values that do not fit.
std::optional<long long> parseNumber(const std::string& text);
