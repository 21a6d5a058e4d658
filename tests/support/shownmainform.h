#pragma once

#include "recordingplatform.h"
#include "timer/mainform.h"
#include "ui/qt/qtruntime.h"

#include <QLatin1String>
#include <QWidget>

// The main window on the Qt runtime, shown, with a recording stand-in for the system.
class ShownMainForm final {
public:
    ShownMainForm();

    QWidget *widget();
    template <typename T = QWidget> T *find(const char *name)
    {
        return widget()->findChild<T *>(QLatin1String(name));
    }

    ui::qt::QtRuntime runtime;
    RecordingPlatform platform;
    timer::MainForm form;
};
