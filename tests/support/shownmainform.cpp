#include "shownmainform.h"

#include "ui/qt/qtwindow.h"

ShownMainForm::ShownMainForm() : form(runtime, platform)
{
    form.window().show();
}

QWidget *ShownMainForm::widget()
{
    return static_cast<ui::qt::QtWindow &>(form.window()).widget();
}
