#include "shutdownform.h"

#include "poweroff/poweroff.h"
#include "ui/forms.h"

namespace confirm {

namespace {

const char FailurePrefix[] = "Could not turn off the computer: ";

} // namespace

ShutDownForm::ShutDownForm(ui::Runtime &runtime, poweroff::Platform &platform)
    : m_runtime(runtime), m_platform(platform)
{
}

void ShutDownForm::show(ui::Window &owner)
{
    m_window = m_runtime.load(ui::frmShutDown());
    ++m_loads;
    m_status = &m_window->label("lblStatus");
    m_timer = &m_window->timer("tmrShutDown");
    m_timer->onTimer([this] { tmrShutDown_Timer(); });
    m_window->button("cmdCancel").onClick([this] { cmdCancel_Click(); });
    Form_Load();
    m_window->showModal(owner);
}

bool ShutDownForm::isLoaded() const
{
    return m_window && m_window->isLoaded();
}

void ShutDownForm::Form_Load()
{
    SecondsLeft = 30;
}

void ShutDownForm::tmrShutDown_Timer()
{
    --SecondsLeft;
    m_status->setCaption("Your computer will automatically turn off in " +
                         std::to_string(SecondsLeft) + " seconds...");
    if (SecondsLeft < 1) {
        // Ask once: repeating the request every second would only repeat its failure, and the
        // count would run on below zero.
        m_timer->setEnabled(false);
        PowerOffNow();
    }
}

void ShutDownForm::cmdCancel_Click()
{
    m_window->unload();
}

void ShutDownForm::PowerOffNow()
{
    const int load = m_loads;
    poweroff::PowerOffNow(m_platform, [this, load](const std::optional<std::string> &error) {
        if (load == m_loads && isLoaded())
            requestFinished(error);
    });
}

void ShutDownForm::requestFinished(const std::optional<std::string> &error)
{
    // Success leaves the warning as it is while the system goes down.
    if (!error)
        return;
    m_status->setCaption(FailurePrefix + *error);
    m_status->setToolTip(FailurePrefix + *error);
}

} // namespace confirm
