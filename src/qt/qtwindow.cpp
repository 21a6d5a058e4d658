#include "qtwindow.h"

#include "accessibility.h"
#include "contrast.h"
#include "framebox.h"
#include "kwinfocus.h"
#include "mybutton.h"
#include "pictures.h"
#include "qtruntime.h"
#include "spinner.h"
#include "swayfocus.h"
#include "ticktimer.h"
#include "ui/accessible.h"
#include "ui/captionfit.h"
#include "ui/controls.h"

#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegion>
#include <QTimer>

namespace ui::qt {

namespace {

QRect pixels(const Rect &twips)
{
    return {twips.left / TwipsPerPixel, twips.top / TwipsPerPixel, twips.width / TwipsPerPixel,
            twips.height / TwipsPerPixel};
}

QString text(const std::string &text)
{
    return QString::fromStdString(text);
}

// Runs the behaviour's handler on each of the sender's signals, through the runtime so that an
// error in it never crosses the event loop.
template <typename Sender, typename Signal>
void connectHandler(Sender *sender, Signal signal, QtRuntime &runtime, Handler handler)
{
    QObject::connect(sender, signal, sender,
                     [&runtime, handler = std::move(handler)] { runtime.run(handler); });
}

// Where a control overlaps a label from above, the label's corner never shows. Leaving it out
// of the label keeps the label's changes, every second for the time fields, from repainting the
// control above it as well.
void uncoverLabels(QWidget *form)
{
    for (QLabel *label : form->findChildren<QLabel *>()) {
        const QObjectList &siblings = label->parentWidget()->children();
        QRegion uncovered(label->geometry());
        for (auto above = siblings.begin() + siblings.indexOf(label) + 1; above != siblings.end();
             ++above)
            if (auto *widget = qobject_cast<QWidget *>(*above); widget && !widget->isHidden())
                uncovered -= widget->geometry();
        if (uncovered != QRegion(label->geometry()))
            label->setMask(uncovered.translated(-label->pos()));
    }
}

// Labels never size themselves to their text: a caption too long for the label is elided, and
// the full caption is still what the label holds.
class LabelControl final : public Window::Label {
public:
    LabelControl(QLabel *label, bool shown) : m_label(label), m_shown(shown) {}
    std::string caption() const override { return m_caption.toStdString(); }
    void setCaption(const std::string &caption) override
    {
        // The countdown sets all three fields every second; most of them keep their text.
        const QString newCaption = text(caption);
        if (newCaption == m_caption)
            return;
        m_caption = newCaption;
        // Nothing shows a hidden label: fitting its caption would only load its font.
        m_label->setText(m_shown ? fitted(m_caption) : m_caption);
    }
    void setDetail(const std::string &detail) override
    {
        m_label->setToolTip(text(detail));
        m_label->setAccessibleDescription(text(detail));
    }
    void announce(const std::string &words) override
    {
        // A screen reader hears a name that changes; the caption's own changes in between go
        // unannounced while the label has a name of its own.
        m_label->setAccessibleName(text(words));
        speak(m_label->window(), text(words));
    }

private:
    // Laying the text out is the dearest part of a field's change every second. Its characters'
    // own widths, kept once measured, are cheap to add up.
    QString fitted(const QString &caption)
    {
        if (m_label->font() != m_measured) {
            m_measured = m_label->font();
            m_advances.clear();
        }
        const auto width = [this](const std::string &text) {
            qreal sum = 0;
            for (const QChar character : QString::fromStdString(text)) {
                auto advance = m_advances.constFind(character);
                if (advance == m_advances.cend())
                    advance = m_advances.insert(
                        character, QFontMetricsF(m_measured).horizontalAdvance(character));
                sum += *advance;
            }
            return qCeil(sum + KerningRoom);
        };
        return QString::fromStdString(ui::elided(caption.toStdString(), m_label->width(), width));
    }

    static constexpr qreal KerningRoom = 1; // pixels a pair of characters may add
    QLabel *m_label;
    bool m_shown;
    QString m_caption;
    QFont m_measured;
    QHash<QChar, qreal> m_advances;
};

class ScrollBarControl final : public Window::ScrollBar {
public:
    ScrollBarControl(Spinner *spinner, QtRuntime &runtime) : m_spinner(spinner), m_runtime(runtime)
    {
    }
    int position() const override { return m_spinner->position(); }
    void setPosition(int position) override { m_spinner->setPosition(position); }
    void onChange(Handler handler) override
    {
        connectHandler(m_spinner, &QAbstractSlider::valueChanged, m_runtime, std::move(handler));
    }

private:
    Spinner *m_spinner;
    QtRuntime &m_runtime;
};

class ButtonControl final : public Window::Button {
public:
    ButtonControl(MyButton *button, QtRuntime &runtime) : m_button(button), m_runtime(runtime) {}
    bool state() const override { return m_button->state(); }
    void setState(bool state) override { m_button->setState(state); }
    std::string caption() const override { return m_button->caption().toStdString(); }
    void setCaption(const std::string &caption) override { m_button->setCaption(text(caption)); }
    void onClick(Handler handler) override
    {
        connectHandler(m_button, &QAbstractButton::clicked, m_runtime, std::move(handler));
    }

private:
    MyButton *m_button;
    QtRuntime &m_runtime;
};

class TimerControl final : public Window::Timer {
public:
    TimerControl(TickTimer *timer, QtRuntime &runtime) : m_timer(timer), m_runtime(runtime) {}
    bool enabled() const override { return m_timer->isActive(); }
    void setEnabled(bool enabled) override
    {
        // Enabling a running timer leaves its rhythm alone.
        if (!enabled)
            m_timer->stop();
        else if (!m_timer->isActive())
            m_timer->start();
    }
    void onTimer(Handler handler) override
    {
        connectHandler(m_timer, &TickTimer::timeout, m_runtime, std::move(handler));
    }

private:
    TickTimer *m_timer;
    QtRuntime &m_runtime;
};

} // namespace

QtWindow::QtWindow(const WindowDefinition &definition, QtRuntime &runtime)
    : m_runtime(runtime), m_widget(new FormWidget), m_kwin(new KWinFocus(m_widget))
{
    build(definition);
    QObject::connect(m_widget, &FormWidget::closed, m_widget, [this] { closed(); });
}

QtWindow::~QtWindow()
{
    delete m_widget.data(); // unless the owner it was shown over has taken it along
}

void QtWindow::build(const WindowDefinition &definition)
{
    FormWidget *form = m_widget;
    form->setObjectName(text(definition.name));
    present(form, roleOf(definition));
    form->setWindowTitle(text(definition.title));
    form->setWindowIcon(Pictures::icon(definition.icon.name));
    form->setFont(m_runtime.font(definition.font));
    QPalette palette = form->palette();
    palette.setColor(QPalette::Window, m_runtime.colour(definition.background));
    form->setPalette(palette);
    form->setAutoFillBackground(true);

    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (definition.minimiseButton)
        flags |= Qt::WindowMinimizeButtonHint;
    if (definition.maximiseButton)
        flags |= Qt::WindowMaximizeButtonHint;
    form->setWindowFlags(flags);
    form->offerStates(definition.minimiseButton, definition.maximiseButton);
    const QSize client(definition.clientWidth / TwipsPerPixel,
                       definition.clientHeight / TwipsPerPixel);
    if (definition.sizable) {
        form->resize(client);
        form->setMinimumSize(client); // any smaller, and controls would be cut off
    } else {
        form->setFixedSize(client);
    }

    std::map<std::string, QWidget *, std::less<>> containers{{"", form}};
    for (const ControlDefinition &control : definition.controls) {
        QWidget *parent = containers.at(control.container);
        QWidget *widget = nullptr;
        switch (control.kind) {
        case Kind::Timer: {
            auto *timer = new TickTimer(form);
            timer->setObjectName(text(control.name));
            timer->setInterval(control.interval);
            m_timers.emplace(control.name, std::make_unique<TimerControl>(timer, m_runtime));
            if (control.enabled)
                timer->start();
            continue;
        }
        case Kind::Frame: {
            auto *frame = new FrameBox(text(control.caption), parent);
            containers.emplace(control.name, frame);
            widget = frame;
            break;
        }
        case Kind::Label: {
            auto *label = new QLabel(parent);
            // Opaque, so that a change repaints the label alone, not the frame behind it.
            label->setAutoFillBackground(true);
            widget = label;
            label->setGeometry(pixels(control.twips)); // before the caption: it is fitted to it
            if (control.font)
                label->setFont(m_runtime.font(*control.font));
            if (control.textColour) {
                // Unless it would vanish on the background of a dark scheme.
                QPalette labelPalette = label->palette();
                labelPalette.setColor(
                    QPalette::WindowText,
                    qcolor(textColour(rgb(m_runtime.colour(*control.textColour)),
                                      {rgb(form->palette().color(QPalette::Window)),
                                       rgb(form->palette().color(QPalette::WindowText))})));
                label->setPalette(labelPalette);
            }
            const Qt::Alignment horizontal =
                control.alignment == Alignment::Centre  ? Qt::AlignHCenter
                : control.alignment == Alignment::Right ? Qt::AlignRight
                                                        : Qt::AlignLeft;
            label->setAlignment(horizontal | Qt::AlignTop);
            label->setTextFormat(Qt::PlainText);
            auto adapter = std::make_unique<LabelControl>(label, control.visible);
            adapter->setCaption(control.caption);
            m_labels.emplace(control.name, std::move(adapter));
            break;
        }
        case Kind::ScrollBar: {
            auto *spinner = new Spinner(SpinnerRange::of(control), parent);
            spinner->setSingleStep(control.smallStep);
            spinner->setPageStep(control.largeStep);
            spinner->setPosition(control.position);
            m_scrollBars.emplace(control.name,
                                 std::make_unique<ScrollBarControl>(spinner, m_runtime));
            if (auto *frame = dynamic_cast<FrameBox *>(parent))
                frame->setFocusArea(spinner, pixels(focusArea(definition, control.name)));
            widget = spinner;
            break;
        }
        case Kind::Button: {
            auto *button =
                new MyButton(ButtonProperties::fromSaved(control.properties), m_runtime, parent);
            m_buttons.emplace(control.name, std::make_unique<ButtonControl>(button, m_runtime));
            button->setToggle(control.toggle);
            widget = button;
            break;
        }
        }
        widget->setObjectName(text(control.name));
        present(widget, roleOf(control));
        widget->setGeometry(pixels(control.twips));
        widget->setToolTip(text(control.toolTip));
        if (!control.accessibleName.empty())
            widget->setAccessibleName(text(control.accessibleName));
        widget->setVisible(control.visible);
    }

    uncoverLabels(form);

    QWidget *previous = nullptr;
    for (const std::string &name : tabOrder(definition)) {
        auto *next = form->findChild<QWidget *>(text(name));
        // The window opens with the focus on the first control in the tab order.
        previous ? QWidget::setTabOrder(previous, next) : next->setFocus();
        previous = next;
    }
}

Window::Label &QtWindow::label(std::string_view name)
{
    return lookup<Label>(m_labels, name);
}

Window::ScrollBar &QtWindow::scrollBar(std::string_view name)
{
    return lookup<ScrollBar>(m_scrollBars, name);
}

Window::Button &QtWindow::button(std::string_view name)
{
    return lookup<Button>(m_buttons, name);
}

Window::Timer &QtWindow::timer(std::string_view name)
{
    return lookup<Timer>(m_timers, name);
}

void QtWindow::show()
{
    m_main = true;
    m_widget->centre();
    m_widget->show();
    m_widget->activateWindow();
}

void QtWindow::showModal(Window &owner)
{
    // Application-modal, and a dialog of its owner for the window manager, which then keeps it
    // above the owner and takes it along; above every other window too, and asking for the
    // user's attention, until it is unloaded.
    m_widget->setWindowModality(Qt::ApplicationModal);
    if (auto *qtOwner = dynamic_cast<QtWindow *>(&owner))
        m_widget->setParent(qtOwner->widget(),
                            m_widget->windowFlags() | Qt::Dialog | Qt::WindowStaysOnTopHint);
    m_widget->centre();
    m_widget->show();
    m_widget->raise();
    m_widget->activateWindow();
    QApplication::alert(m_widget);
    // Once more when the window manager has it: sway knows no window before it is mapped.
    QTimer::singleShot(250, m_widget, [this] { keepInSight(); });
}

void QtWindow::unload()
{
    m_widget->close();
}

void QtWindow::keepInSight()
{
    // On Wayland Qt is never told of minimising; there the compositor's focus brings it back.
    if (!m_loaded)
        return;
    if (m_widget->isMinimized())
        m_widget->showNormal();
    if (!m_widget->isActiveWindow()) {
        // Where the window manager refuses the focus, it marks the window as asking for it.
        m_widget->raise();
        m_widget->activateWindow();
        QApplication::alert(m_widget);
    }
    focusOnSway(m_widget->windowTitle());
    m_kwin->focus(m_widget->windowTitle(), m_widget->isModal());
}

void QtWindow::ask(const Question &question, std::function<void(bool keep)> answered)
{
    withdrawQuestion();
    // Over its own window only: the countdown and the other window go on meanwhile.
    auto *box = new QMessageBox(QMessageBox::Warning, QApplication::applicationDisplayName(),
                                text(question.text), QMessageBox::NoButton, m_widget);
    box->setInformativeText(text(question.advice));
    QPushButton *keep = box->addButton(text(question.keep), QMessageBox::AcceptRole);
    box->addButton(text(question.stop), QMessageBox::RejectRole);
    box->setDefaultButton(keep);
    box->setEscapeButton(keep); // a stray Esc changes nothing
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box,
                     [this, box, keep, answered = std::move(answered)] {
                         m_question = nullptr;
                         m_runtime.run([&] { answered(box->clickedButton() == keep); });
                     });
    m_question = box;
    box->open();
}

void QtWindow::withdrawQuestion()
{
    if (QMessageBox *box = m_question) {
        m_question = nullptr;
        QObject::disconnect(box, &QMessageBox::finished, nullptr, nullptr);
        box->close(); // and gone
    }
}

void QtWindow::closed()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    for (TickTimer *timer : m_widget->findChildren<TickTimer *>())
        timer->stop();
    if (m_unloaded)
        m_runtime.run(m_unloaded);
    if (m_main)
        QCoreApplication::quit();
}

} // namespace ui::qt
