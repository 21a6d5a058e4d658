// Mouse clicks go through the window system, as a user's do: a window blocked by a modal one
// does not get them.
#define QTEST_QPA_MOUSE_HANDLING

#include "session.h"

#include "confirm/shutdownform.h"
#include "qt/mybutton.h"
#include "qt/qtwindow.h"
#include "qt/ticktimer.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

#include <unistd.h>

namespace {

const char *const Spinners[] = {"scrollHours", "scrollMinutes", "scrollSeconds"};
const QStringList Buttons = {"start",  "cmdStartQuickTimer", "reset", "MyButton2",
                             "cancel", "cmdCancel"};

QWidget *widget(ui::Window *window)
{
    return window ? static_cast<ui::qt::QtWindow *>(window)->widget() : nullptr;
}

QMessageBox *box()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible())
            return box;
    return nullptr;
}

} // namespace

Session::Session() : form(runtime, road), m_main(widget(&form.window())), m_log(std::tmpfile())
{
    std::fflush(stderr);
    m_stderr = dup(STDERR_FILENO);
    dup2(fileno(m_log), STDERR_FILENO);
    form.setClock([this] { return std::time(nullptr) + m_clockMoved; });
    form.window().show();
    QVERIFY(QTest::qWaitForWindowActive(main()));
}

Session::~Session()
{
    std::fflush(stderr);
    dup2(m_stderr, STDERR_FILENO);
    close(m_stderr);
    std::fclose(m_log);
}

std::string Session::logged() const
{
    // Read through the descriptor: the stream would go by an offset it read once and kept.
    std::fflush(stderr);
    const int log = fileno(m_log);
    std::string text(std::size_t(lseek(log, 0, SEEK_END)), '\0');
    text.resize(std::size_t(std::max(pread(log, text.data(), text.size(), 0), ssize_t(0))));
    return text;
}

QWidget *Session::loadedWarning() const
{
    return form.shutDownForm() ? widget(form.shutDownForm()->window()) : nullptr;
}

void Session::run(const QString &script)
{
    for (const QString &step : script.split(u';', Qt::SkipEmptyParts)) {
        const QStringList words = step.split(u' ', Qt::SkipEmptyParts);
        const QString verb = words.value(0);
        const QString name = words.value(1);
        auto *bar = find<QScrollBar>(name);
        if (verb == "set") {
            for (int i = 0; i < 3; ++i)
                form.window().scrollBar(Spinners[i]).setPosition(name.section(':', i, i).toInt());
        } else if (Buttons.contains(verb)) {
            QWidget *button = find(Buttons[Buttons.indexOf(verb) + 1]);
            QVERIFY2(button && button->isVisible(), qPrintable(step + ": not shown"));
            QTest::mouseClick(button, Qt::LeftButton);
        } else if (verb == "close" && warning()) {
            warning()->close();
        } else if (verb == "tick" || verb == "count") {
            auto *timer = find<ui::qt::TickTimer>(verb == "tick" ? "tmrQuickTimer" : "tmrShutDown");
            for (int i = 0; i < qMax(1, name.toInt()) && timer && timer->isActive(); ++i)
                emit timer->timeout();
        } else if ((verb == "up" || verb == "down") && bar) {
            const QPoint arrow(bar->width() / 2, bar->height() * (verb == "up" ? 1 : 3) / 4);
            QTest::mouseClick(bar, Qt::LeftButton, {}, arrow);
        } else if (verb == "key" && find(name)) {
            QTest::keyClick(find(name), QKeySequence(words.value(2))[0].key());
        } else if (verb == "drag" && bar) {
            bar->setSliderDown(true);
            bar->setSliderPosition(bar->sliderPosition() + words.value(2).toInt());
        } else if (verb == "drop" && bar) {
            bar->setSliderDown(false);
        } else if (verb == "refuse" || verb == "deny") {
            const std::string why = words.mid(1).join(' ').toStdString();
            if (verb == "refuse")
                road.outcome = {poweroff::Outcome::Kind::Refused, why, "Some.Error: " + why};
            else
                road.readiness = {false, why, why, "Some advice.", "Some.Error: " + why};
        } else if (verb == "until") {
            // "until N late S": the command line was read S seconds before the start.
            const int seconds = name.toInt();
            const int late = words.value(3).toInt();
            form.startFor(seconds, std::time(nullptr) + m_clockMoved + seconds - late);
        } else if (verb == "clock") {
            m_clockMoved += name.toInt();
        } else if (verb == "hold") {
            road.hold = true;
        } else if (verb == "quiet") {
            form.setQuiet(true);
        } else if (verb == "answer" || verb == "wait") {
            road.answer(
                verb == "answer"
                    ? road.outcome
                    : poweroff::Outcome{poweroff::Outcome::Kind::Waiting, {}, "no answer yet"});
        } else if ((verb == "keep" || verb == "stop") && box()) {
            QAbstractButton *chosen = nullptr;
            for (QAbstractButton *button : box()->buttons())
                if (button->text().startsWith(verb, Qt::CaseInsensitive))
                    chosen = button;
            QVERIFY2(chosen, qPrintable(step + ": the box has no such button"));
            QTest::mouseClick(chosen, Qt::LeftButton);
        } else {
            QFAIL(qPrintable("a step this session cannot take: " + step));
        }
    }
}

QString Session::seen() const
{
    const auto text = [this](const char *name) { return find<QLabel>(name)->text(); };
    QString seen = text("lblQTimerHour") + ':' + text("lblQTimerMinute") + ':' +
                   text("lblQTimerSecond") + ' ' +
                   find<ui::qt::MyButton>("cmdStartQuickTimer")->caption();
    static const QRegularExpression count(
        "^Your computer will automatically turn off in (-?\\d+) seconds\\.\\.\\.$");
    if (warning()) {
        const QRegularExpressionMatch match = count.match(text("lblStatus"));
        seen += " | warning " + (match.hasMatch() ? match.captured(1)
                                                  : text("lblStatus") + " (" +
                                                        find<QLabel>("lblStatus")->toolTip() + ")");
    }
    if (box())
        seen += " | box: " + box()->text();
    if (road.awake)
        seen += " | awake";
    if (road.requests)
        seen += " | asked " + QString::number(road.requests);
    return seen;
}
