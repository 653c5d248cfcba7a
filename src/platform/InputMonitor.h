#pragma once

#include <QObject>

// An active input monitor. stop() silences it at once; the object itself is deleted later,
// because the monitor's own handler may be what asked for the stop.
class InputMonitor : public QObject {
public:
    using QObject::QObject;
    virtual void stop() = 0;
};
