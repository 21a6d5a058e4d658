#pragma once

#include <cstdint>
#include <ctime>
#include <stdexcept>
#include <string>
#include <string_view>

// The time fields hold their numbers as text, and every sum over them is checked: a result outside
// the signed 32-bit range is an overflow, a text that is not a number is a type mismatch. Neither
// can come from the program's own writes, so either is a fault worth stopping for, not guessing.
namespace timer {

class FieldError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads a field: optional blanks around an optional sign and decimal digits.
std::int32_t fieldValue(std::string_view text);
// Writes a field with the pattern "00": at least two digits, more written in full.
std::string fieldText(std::int32_t value);
// A span of seconds split into the three fields; hours are not wrapped at 24.
struct SpanFields {
    std::int32_t hours, minutes, seconds;
};
SpanFields splitSpan(std::int32_t seconds);
// A span of seconds as the three fields show it: "01:30:00".
std::string spanText(std::int32_t seconds);
// What is left until `end`, as a glance at the program tells it: "00:04:12 left, until 23:40:12",
// the end written by `clock`.
std::string timeLeftText(std::time_t end, std::time_t now, const std::string &clock);

std::int32_t checkedAdd(std::int32_t a, std::int32_t b);
std::int32_t checkedMultiply(std::int32_t a, std::int32_t b);

} // namespace timer
