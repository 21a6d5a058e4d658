#include "status.h"

#include "app/commandline.h"
#include "timer/fieldtext.h"

namespace app {

std::string Status::stateName() const
{
    return state == State::Counting ? "counting" : state == State::Warning ? "warning" : "idle";
}

std::string Status::line(std::time_t now,
                         const std::function<std::string(std::time_t)> &clock) const
{
    std::string said = "not counting";
    if (state == State::Counting)
        said = "counting down: " + timer::spanText(left) + " left, until " + clock(now + left);
    else if (state == State::Warning)
        said = "warning open: " + std::to_string(left) + (left == 1 ? " second" : " seconds") +
               " left";
    return dryRun ? said + " (dry run)" : said;
}

std::int64_t Status::packed() const
{
    // 1 + state in the lowest two bits, the rehearsal in the third, a mark in the eighth that no
    // answer has, the seconds above.
    return (std::int64_t(left) << 8) | 0x80 | (std::int64_t(dryRun) << 2) | (int(state) + 1);
}

std::optional<Status> Status::unpacked(std::int64_t number)
{
    const int state = int(number & 3) - 1;
    const std::int64_t left = number >> 8;
    if (!(number & 0x80) || state < 0 || left < 0 || left > LongestSpan)
        return std::nullopt;
    return Status{State(state), std::int32_t(left), bool(number & 4)};
}

} // namespace app
