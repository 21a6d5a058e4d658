#pragma once

#include <functional>
#include <string>

// A way to the operating system's power-off: asked whether it would be allowed, asked to power
// off, and asked to keep the computer awake meanwhile. Answers come later, on the same thread.
namespace poweroff {

// What the system says before it is asked.
struct Readiness {
    bool allowed = true; // yes, and nothing holds it back
    std::string words;   // what will happen, in plain words, when it is not allowed
    std::string reason;  // the same, short enough for one line: "held back by Backup"
    std::string advice;  // what the user can do about it
    std::string detail;  // the system's own words
};

// What became of a request.
struct Outcome {
    enum class Kind {
        Accepted,
        Waiting, // no answer yet, after a while; the answer still follows
        Refused,
    };
    Kind kind = Kind::Accepted;
    std::string reason; // short and plain, for one line: "permission denied"
    std::string detail; // the system's own words: the error's name and message
};

class Road {
public:
    using Checked = std::function<void(const Readiness &)>;
    using Answered = std::function<void(const Outcome &)>;

    virtual ~Road() = default;
    virtual void check(Checked done) = 0;
    // Shuts the computer down, closing programs by force. Answers once, or first Waiting and
    // then once more.
    virtual void request(Answered done) = 0;
    // While on, the computer does not go to sleep on its own. A sleep the user asks for is
    // still theirs to have.
    virtual void stayAwake(bool awake) = 0;
};

} // namespace poweroff
