#pragma once

#include <QIcon>
#include <QMetaType>
#include <QString>

// An app installed on a simulator device; identified by its bundle identifier.
struct InstalledApp {
    QString id;
    QString name;
    QIcon icon;

    bool operator==(const InstalledApp &other) const { return id == other.id; }
};

Q_DECLARE_METATYPE(InstalledApp)
