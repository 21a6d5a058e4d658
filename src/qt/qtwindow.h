#pragma once

#include "formwidget.h"
#include "ui/window.h"

#include <QMessageBox>
#include <QPointer>

#include <map>
#include <memory>
#include <string>

namespace ui::qt {

class KWinFocus;
class QtRuntime;

// A window built from its definition. Every control is placed where the definition says; no
// layout moves anything when the window grows.
class QtWindow final : public Window {
public:
    QtWindow(const WindowDefinition &definition, QtRuntime &runtime);
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

    QtRuntime &m_runtime;
    QPointer<FormWidget> m_widget;
    QPointer<KWinFocus> m_kwin; // the widget's
    std::map<std::string, std::unique_ptr<Label>, std::less<>> m_labels;
    std::map<std::string, std::unique_ptr<ScrollBar>, std::less<>> m_scrollBars;
    std::map<std::string, std::unique_ptr<Button>, std::less<>> m_buttons;
    std::map<std::string, std::unique_ptr<Timer>, std::less<>> m_timers;
    QPointer<QMessageBox> m_question;
    Handler m_unloaded;
    bool m_loaded = true;
    bool m_main = false;
};

} // namespace ui::qt
