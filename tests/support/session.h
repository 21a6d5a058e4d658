#pragma once

#include "fakeroad.h"
#include "qt/qtruntime.h"
#include "timer/mainform.h"

#include <QTest>
#include <QWidget>

#include <cstdio>
#include <string>

// The program on the Qt runtime, its main window shown, with a stand-in for the system's road.
// A test plays the user, the clock and the system with a script and reads back what the user
// sees, and what the program logged.
class Session final {
public:
    Session();
    ~Session();

    // Steps separated by "; ":
    //   set HH:MM:SS        the spinners' positions
    //   start, reset        a mouse click on the main window's lower or upper button
    //   cancel, close       a mouse click on the warning's Cancel, or its title bar's close
    //   tick N, count N     N events of the main window's or the warning's timer, each only while
    //                       that timer runs (N is 1 when left out)
    //   up NAME, down NAME  a mouse click on a spinner's upper or lower arrow
    //   key NAME KEY        a key press ("PgUp", "Esc", "Space") on a control
    //   drag NAME N, drop NAME   the thumb held and moved N steps down, then let go
    //   refuse WORDS        the system refuses requests, for the reason WORDS
    //   hold, answer, wait  the system keeps its answer to a request until "answer", or says
    //                       it has none yet ("wait")
    //   deny WORDS          the system says at the check that it will not power off
    //   keep, stop          a click on the box that tells so
    //   quiet               no heads-up before the end, as --quiet asks
    //   until N             started from the command line for N seconds, until that time of
    //                       the clock, as --at does
    //   clock N             the clock moves N seconds on (back, when negative), as after a
    //                       sleep or when it is set
    void run(const QString &script);
    // "HH:MM:SS Caption", then " | warning N" while the warning is shown (the count in its
    // message, or the whole message and its detail when it holds none), " | box: TEXT" while a
    // box tells something, " | awake" while the computer is kept awake, and " | asked N" once
    // requests were made.
    QString seen() const;

    QWidget *main() const { return m_main; }
    QWidget *warning() const
    {
        return loadedWarning() && loadedWarning()->isVisible() ? loadedWarning() : nullptr;
    }
    // Either window, or a control or timer of either, by name; the warning's even once closed.
    template <typename T = QWidget> T *find(const QString &name) const
    {
        for (QWidget *window : {main(), loadedWarning()})
            if (window && window->objectName() == name)
                return dynamic_cast<T *>(static_cast<QObject *>(window));
        T *found = main()->findChild<T *>(name);
        return found || !loadedWarning() ? found : loadedWarning()->findChild<T *>(name);
    }

    // Tables of scripts: the columns, a row, and the test that plays a row in a new session.
    static void columns()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("seen");
    }
    static void row(const char *name, const char *script, const char *seen)
    {
        QTest::newRow(name) << QString(script) << QString(seen);
    }
    static void play()
    {
        QFETCH(QString, script);
        QFETCH(QString, seen);
        Session session;
        session.run(script);
        QCOMPARE(session.seen(), seen);
    }

    ui::qt::QtRuntime runtime;
    FakeRoad road;
    timer::MainForm form;
    std::string logged() const; // standard error, since the session began

private:
    QWidget *loadedWarning() const; // shown or not
    QWidget *m_main;
    std::FILE *m_log;
    int m_stderr; // where standard error went before
    long m_clockMoved = 0;
};
