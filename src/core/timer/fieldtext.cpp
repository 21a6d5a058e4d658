#include "fieldtext.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>

namespace timer {

namespace {

[[noreturn]] void overflow()
{
    throw FieldError("Overflow: the time left does not fit in a 32-bit count of seconds.");
}

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

std::int32_t fieldValue(std::string_view text)
{
    std::string_view number = trimmed(text);
    // from_chars takes a minus sign but no plus sign, and must not see a second sign.
    const bool plus = !number.empty() && number.front() == '+';
    if (plus)
        number.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || (plus && number.front() == '-') || end != number.data() + number.size() ||
        error == std::errc::invalid_argument)
        throw FieldError("Type mismatch: the time field \"" + std::string(text) +
                         "\" is not a number.");
    if (error == std::errc::result_out_of_range)
        overflow();
    return value;
}

std::string fieldText(std::int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, value < 0 ? "-%02lld" : "%02lld",
                  value < 0 ? -static_cast<long long>(value) : static_cast<long long>(value));
    return text;
}

SpanFields splitSpan(std::int32_t seconds)
{
    return {seconds / 3600, seconds % 3600 / 60, seconds % 60};
}

std::string spanText(std::int32_t seconds)
{
    const SpanFields span = splitSpan(seconds);
    return fieldText(span.hours) + ":" + fieldText(span.minutes) + ":" + fieldText(span.seconds);
}

std::string timeLeftText(std::time_t end, std::time_t now, const std::string &clock)
{
    // Once the end has passed nothing is left, not a negative span.
    const auto left = static_cast<std::int32_t>(std::clamp<std::time_t>(end - now, 0, 1 << 30));
    return spanText(left) + " left, until " + clock;
}

namespace {

// Any sum or product of two 32-bit numbers fits in 64 bits: compute it there, then check.
std::int32_t narrowed(std::int64_t value)
{
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        overflow();
    return static_cast<std::int32_t>(value);
}

} // namespace

std::int32_t checkedAdd(std::int32_t a, std::int32_t b)
{
    return narrowed(std::int64_t{a} + b);
}

std::int32_t checkedMultiply(std::int32_t a, std::int32_t b)
{
    return narrowed(std::int64_t{a} * b);
}

} // namespace timer
