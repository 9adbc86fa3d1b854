#pragma once

#include "deviceport.h"

#include <QCoreApplication>
#include <QString>

// Why a controller's port could not be opened and what to do about it, with a stable key
// for scripts: "permission", "busy", "vanished" or "open-failed".
struct PortProblem
{
    QString key;
    QString message;

    static PortProblem of(const QString &path, DevicePort::OpenError error);
    // The program that holds the port's lock file, "name (pid N)"; empty when none is known.
    static QString lockHolder(const QString &path);

    Q_DECLARE_TR_FUNCTIONS(PortProblem)
};
