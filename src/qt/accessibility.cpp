#include "accessibility.h"

#include "formwidget.h"
#include "framebox.h"
#include "mybutton.h"
#include "spinner.h"

#include <QAccessibleWidget>
#include <QLabel>

#include <algorithm>

namespace ui::qt {

namespace {

const char RoleProperty[] = "veltraneRole";

// Read when a screen reader asks, not when the interface is made: that can be before the
// widget has its role.
Role roleOf(const QObject *object)
{
    return Role(object->property(RoleProperty).toInt());
}

class WindowAccessible final : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget *window) : QAccessibleWidget(window, QAccessible::Window) {}
    QAccessible::Role role() const override
    {
        return roleOf(widget()) == Role::Alert ? QAccessible::AlertMessage : QAccessible::Window;
    }
};

// Its controls in the order they are read on screen, left to right, not the order they were
// made in.
class FrameAccessible final : public QAccessibleWidget {
public:
    explicit FrameAccessible(QWidget *frame) : QAccessibleWidget(frame, QAccessible::Grouping) {}
    int childCount() const override { return int(controls().size()); }
    QAccessibleInterface *child(int index) const override
    {
        return QAccessible::queryAccessibleInterface(controls().value(index));
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return int(controls().indexOf(qobject_cast<QWidget *>(child->object())));
    }

private:
    QList<QWidget *> controls() const
    {
        QList<QWidget *> list = widget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        std::stable_sort(list.begin(), list.end(), [](const QWidget *a, const QWidget *b) {
            return std::pair(a->x(), a->y()) < std::pair(b->x(), b->y());
        });
        return list;
    }
};

class ButtonAccessible final : public QAccessibleWidget {
public:
    explicit ButtonAccessible(MyButton *button) : QAccessibleWidget(button, QAccessible::Button) {}
    MyButton *button() const { return static_cast<MyButton *>(widget()); }
    bool isToggle() const { return roleOf(button()) == Role::ToggleButton; }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? button()->caption() : QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = isToggle();
        state.checked = state.pressed = isToggle() && button()->state();
        return state;
    }
    QStringList actionNames() const override
    {
        return {isToggle() ? toggleAction() : pressAction()};
    }
    void doAction(const QString &) override { button()->click(); }
};

// The number its field shows, never the mirrored value the scroll bar holds.
class SpinnerAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SpinnerAccessible(Spinner *spinner) : QAccessibleWidget(spinner, QAccessible::SpinBox)
    {
    }
    Spinner *spinner() const { return static_cast<Spinner *>(widget()); }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface *>(this)
                                                   : QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? QString::number(spinner()->position())
                                          : QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override { return spinner()->position(); }
    void setCurrentValue(const QVariant &value) override { spinner()->setPosition(value.toInt()); }
    QVariant maximumValue() const override { return spinner()->range().highest(); }
    QVariant minimumValue() const override { return spinner()->range().lowest(); }
    QVariant minimumStepSize() const override { return 1; }
};

// A label named for a screen reader, a time field by its unit, reads its caption as its value
// and as its text: the number, for a time field, is what a review of the line reads.
class LabelAccessible final : public QAccessibleWidget,
                              public QAccessibleValueInterface,
                              public QAccessibleTextInterface {
public:
    explicit LabelAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    QLabel *label() const { return static_cast<QLabel *>(widget()); }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        bool number = false;
        label()->text().toInt(&number);
        if (type == QAccessible::ValueInterface && number)
            return static_cast<QAccessibleValueInterface *>(this);
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override
    {
        if ((kind == QAccessible::Name && label()->accessibleName().isEmpty()) ||
            kind == QAccessible::Value)
            return label()->text();
        return QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override { return label()->text().toInt(); }
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return {}; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

    // Read only, one line, no caret: the characters share the label's width.
    QString text(int start, int end) const override
    {
        return label()->text().mid(start, end - start);
    }
    int characterCount() const override { return int(label()->text().size()); }
    QRect characterRect(int offset) const override
    {
        const QRect box = rect();
        const int count = qMax(1, characterCount());
        return {box.x() + box.width() * offset / count, box.y(), box.width() / count, box.height()};
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QRect box = rect();
        return box.contains(point) ? (point.x() - box.x()) * characterCount() / box.width() : -1;
    }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }
};

const char SpeakerName[] = "veltraneSpeaker";

} // namespace

void speak(QWidget *window, const QString &words)
{
    if (!window->isVisible())
        return; // a window that opens is read whole
    auto *speaker = window->findChild<QWidget *>(SpeakerName, Qt::FindDirectChildrenOnly);
    if (!speaker) {
        speaker = new QWidget(window);
        speaker->setObjectName(SpeakerName);
        speaker->setGeometry(0, 0, 0, 0);
    }
    speaker->hide();
    speaker->setAccessibleName(words);
    speaker->show();
}

void present(QWidget *widget, Role role)
{
    widget->setProperty(RoleProperty, int(role));
}

QAccessibleInterface *accessibleInterface(const QString &, QObject *object)
{
    if (object->objectName() == SpeakerName)
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Notification);
    if (auto *window = qobject_cast<FormWidget *>(object))
        return new WindowAccessible(window);
    if (auto *frame = dynamic_cast<FrameBox *>(object))
        return new FrameAccessible(frame);
    if (auto *button = qobject_cast<MyButton *>(object))
        return new ButtonAccessible(button);
    if (auto *spinner = dynamic_cast<Spinner *>(object))
        return new SpinnerAccessible(spinner);
    auto *label = qobject_cast<QLabel *>(object);
    if (label && qobject_cast<FormWidget *>(label->window()))
        return new LabelAccessible(label);
    return nullptr;
}

} // namespace ui::qt
