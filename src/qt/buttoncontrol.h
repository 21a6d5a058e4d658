#pragma once

#include "mybutton.h"
#include "windowhost.h"

namespace ui::qt {

// A command button, made from its definition.
class ButtonControl final : public Window::Button {
public:
    ButtonControl(const ControlDefinition &definition, QWidget *parent, WindowHost &host)
        : m_button(new MyButton(ButtonProperties::fromSaved(definition.properties), host, parent)),
          m_host(host)
    {
        m_button->setToggle(definition.toggle);
    }

    MyButton *widget() const { return m_button; }
    bool state() const override { return m_button->state(); }
    void setState(bool state) override { m_button->setState(state); }
    std::string caption() const override { return m_button->caption().toStdString(); }
    void setCaption(const std::string &caption) override
    {
        m_button->setCaption(QString::fromStdString(caption));
    }
    void onClick(Handler handler) override
    {
        connectHandler(m_button, &QAbstractButton::clicked, m_host, std::move(handler));
    }

private:
    MyButton *m_button;
    WindowHost &m_host;
};

} // namespace ui::qt
