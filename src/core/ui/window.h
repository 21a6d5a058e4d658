#pragma once

#include "definition.h"
#include "forms.h"
#include "log/log.h"

#include <ctime>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace ui {

using Handler = std::function<void()>;

// A loaded window as the behaviour code sees it, whatever toolkit draws it. Controls are looked
// up by their names in the definition; asking for a name that is not there, or for the wrong
// kind, is a programming error and throws std::logic_error.
class Window {
public:
    class Label {
    public:
        virtual ~Label() = default;
        virtual std::string caption() const = 0;
        virtual void setCaption(const std::string &caption) = 0;
        // The full words behind a short caption: its tooltip, and what a screen reader reads as
        // its description.
        virtual void setDetail(const std::string &detail) = 0;
        // Tells a screen reader this text now; until the next time, it is what the label is
        // called, however its caption changes meanwhile.
        virtual void announce(const std::string &text) = 0;
    };

    // Setting a position clamps it to the range and raises the change event when it moved.
    class ScrollBar {
    public:
        virtual ~ScrollBar() = default;
        virtual int position() const = 0;
        virtual void setPosition(int position) = 0;
        virtual void onChange(Handler handler) = 0;
    };

    // A click flips the state before the click handler runs.
    class Button {
    public:
        virtual ~Button() = default;
        virtual bool state() const = 0;
        virtual void setState(bool state) = 0;
        virtual std::string caption() const = 0;
        virtual void setCaption(const std::string &caption) = 0;
        virtual void onClick(Handler handler) = 0;
    };

    class Timer {
    public:
        virtual ~Timer() = default;
        virtual bool enabled() const = 0;
        virtual void setEnabled(bool enabled) = 0;
        virtual void onTimer(Handler handler) = 0;
    };

    virtual ~Window() = default;

    virtual Label &label(std::string_view name) = 0;
    virtual ScrollBar &scrollBar(std::string_view name) = 0;
    virtual Button &button(std::string_view name) = 0;
    virtual Timer &timer(std::string_view name) = 0;

    // Shows the program's main window; closing it ends the program.
    virtual void show() = 0;
    // Shows the window modally over its owner and returns at once; the owner takes no input
    // until this window is unloaded.
    virtual void showModal(Window &owner) = 0;
    // Closes the window and stops its timers. The close button of the title bar does the same.
    virtual void unload() = 0;
    // Runs once the window has been unloaded, whoever closed it.
    virtual void onUnload(Handler handler) = 0;
    // False once the window has been unloaded, whoever closed it.
    virtual bool isLoaded() const = 0;
    // Brings the window back in front of every other, with the keyboard, wherever the desktop
    // allows it; where it does not, the window asks for the user's attention.
    virtual void keepInSight() = 0;

    // Something the user must know, with two ways on: shown over this window without blocking
    // anything else; the answer comes later, true for the first way. One question at a time:
    // a new one takes the place of one still open.
    struct Question {
        std::string text;
        std::string advice;
        std::string keep; // the first way: things go on as they are
        std::string stop;
    };
    virtual void ask(const Question &question, std::function<void(bool keep)> answered) = 0;
    // Closes the question still open over this window, if any; no answer comes.
    virtual void withdrawQuestion() = 0;
};

// A desktop notification, which reaches the user where the program's windows may be out of
// sight. Its one action, where the desktop offers actions, is named by `action`.
struct Notice {
    std::string summary;
    std::string body;
    std::string action;
    bool kept = false; // in sight until withdrawn: a dismissed one comes back
    // The same news in words that stay true until it is withdrawn, for a service that would
    // take a notification's action away when it is replaced: there it is sent once.
    std::string steady = {};
    // The action in a menu's words, where the desktop offers it in a menu.
    std::string command = {};
    // When what it tells of happens, for a glance that tells the time left; 0 for nothing.
    std::time_t end = 0;
    // A second action's words, where there is one: it puts the end off (LaterWords).
    std::string later = {};

    bool operator==(const Notice &) const = default;
};

// Builds windows from their definitions.
class Runtime {
public:
    virtual ~Runtime() = default;
    virtual std::unique_ptr<Window> load(const WindowDefinition &definition) = 0;
    // A window that will soon be needed may be made now, unseen, so that load() gives it at
    // once; its timers start when it is shown. Where making windows is cheap, nothing happens.
    virtual void prepare(const WindowDefinition &) {}
    // Shows the program's one notification, urgent, in place of the one shown before; `act`
    // runs when the user picks its action, `later` its second. Without a notification service
    // nothing else changes.
    virtual void notify(const Notice &notice, Handler act, Handler later) = 0;
    // Takes it away. Where the service may leave a withdrawn notification on screen, its last
    // words are first `outcome` (what happened, if anything did), briefly and not urgent.
    virtual void withdrawNotice(const std::string &outcome) = 0;
    // A time of the clock as the user's desktop writes it, to the minute or the second.
    virtual std::string clockTime(std::time_t when, bool seconds = false) const
    {
        return ui::clockTime(when, seconds);
    }

    // Runs an event handler. An exception it throws is an error that nothing handles, and none
    // may cross the event loop: it is logged and shown, and the program ends.
    void runHandler(const Handler &handler)
    {
        try {
            handler();
        } catch (const std::exception &error) {
            logging::log(error.what());
            fail(error.what());
        }
    }

protected:
    // Shows an error that nothing handles, then ends the program with a failure status.
    virtual void fail(const std::string &message) = 0;
};

} // namespace ui
