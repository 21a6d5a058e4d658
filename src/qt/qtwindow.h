#pragma once

#include "buttoncontrol.h"
#include "formwidget.h"
#include "labelcontrol.h"
#include "questionbox.h"
#include "spinnercontrol.h"
#include "timercontrol.h"
#include "ui/window.h"
#include "windowhost.h"

#include <QPointer>

#include <map>
#include <memory>
#include <string>

namespace ui::qt {

class KWinFocus;

// A window built from its definition. Every control is placed where the definition says; no
// layout moves anything when the window grows.
class QtWindow final : public Window {
public:
    QtWindow(const WindowDefinition &definition, WindowHost &host);
    ~QtWindow() override;

    FormWidget *widget() const { return m_widget; }

    Label &label(std::string_view name) override;
    ScrollBar &scrollBar(std::string_view name) override;
    Button &button(std::string_view name) override;
    Timer &timer(std::string_view name) override;

    void show() override;
    void showModal(Window &owner) override;
    void unload() override;
    void onUnload(Handler handler) override { m_unloaded = std::move(handler); }
    bool isLoaded() const override { return m_loaded; }
    void keepInSight() override;
    void ask(const Question &question, std::function<void(bool keep)> answered) override;
    void withdrawQuestion() override;

private:
    void build(const WindowDefinition &definition);
    void closed();

    WindowHost &m_host;
    QPointer<FormWidget> m_widget;
    QPointer<KWinFocus> m_kwin; // the widget's
    QuestionBox m_question;
    std::map<std::string, std::unique_ptr<LabelControl>, std::less<>> m_labels;
    std::map<std::string, std::unique_ptr<SpinnerControl>, std::less<>> m_spinners;
    std::map<std::string, std::unique_ptr<ButtonControl>, std::less<>> m_buttons;
    std::map<std::string, std::unique_ptr<TimerControl>, std::less<>> m_timers;
    Handler m_unloaded;
    bool m_loaded = true;
    bool m_main = false;
};

} // namespace ui::qt
