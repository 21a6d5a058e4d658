#include "qtwindow.h"

#include "accessibility.h"
#include "framebox.h"
#include "geometry.h"
#include "kwinfocus.h"
#include "pictures.h"
#include "swayfocus.h"
#include "ui/accessible.h"
#include "ui/controls.h"

#include <QApplication>
#include <QLabel>
#include <QRegion>
#include <QTimer>

namespace ui::qt {

namespace {

QString text(const std::string &text)
{
    return QString::fromStdString(text);
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

} // namespace

QtWindow::QtWindow(const WindowDefinition &definition, WindowHost &host)
    : m_host(host), m_widget(new FormWidget), m_kwin(new KWinFocus(m_widget)), m_question(host)
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
    form->setFont(m_host.font(definition.font));
    QPalette palette = form->palette();
    palette.setColor(QPalette::Window, m_host.colour(definition.background));
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
        case Kind::Timer:
            m_timers.emplace(control.name, std::make_unique<TimerControl>(control, form, m_host));
            continue;
        case Kind::Frame: {
            auto *frame = new FrameBox(text(control.caption), parent);
            containers.emplace(control.name, frame);
            widget = frame;
            break;
        }
        case Kind::Label: {
            auto label = std::make_unique<LabelControl>(control, parent, m_host);
            widget = label->widget();
            m_labels.emplace(control.name, std::move(label));
            break;
        }
        case Kind::ScrollBar: {
            auto spinner = std::make_unique<SpinnerControl>(control, parent, m_host);
            widget = spinner->widget();
            if (auto *frame = dynamic_cast<FrameBox *>(parent))
                frame->setFocusArea(widget, pixels(focusArea(definition, control.name)));
            m_spinners.emplace(control.name, std::move(spinner));
            break;
        }
        case Kind::Button: {
            auto button = std::make_unique<ButtonControl>(control, parent, m_host);
            widget = button->widget();
            m_buttons.emplace(control.name, std::move(button));
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
    return lookup<ScrollBar>(m_spinners, name);
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
    m_question.ask(m_widget, question, std::move(answered));
}

void QtWindow::withdrawQuestion()
{
    m_question.withdraw();
}

void QtWindow::closed()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    for (TickTimer *timer : m_widget->findChildren<TickTimer *>())
        timer->stop();
    if (m_unloaded)
        m_host.run(m_unloaded);
    if (m_main)
        QCoreApplication::quit();
}

} // namespace ui::qt
