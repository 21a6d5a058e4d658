#pragma once

#include <QGenericPlugin>

// Loaded into a program under measurement through QT_QPA_GENERIC_PLUGINS, so that the program
// itself carries no measuring code: it watches for the first painted window.
class FirstPaintPlugin final : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "firstpaint.json")

public:
    QObject *create(const QString &name, const QString &spec) override;
};
