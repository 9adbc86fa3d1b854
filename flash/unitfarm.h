#pragma once

#include "unitresult.h"
#include "unitrun.h"

#include <QJsonArray>
#include <QObject>
#include <QSet>
#include <QString>

#include <map>

class Output;
class PortEnumerator;
class QThread;
class RecordFile;

// Runs units, each in a thread of its own with its own link and port, so that one unit's
// waits never hold up another's. Shows one line per unit, writes the record, counts passes
// and failures, and ends with the worst unit's exit status.
class UnitFarm : public QObject
{
    Q_OBJECT

public:
    UnitFarm(const UnitJob &job, Output &output, RecordFile &record, QObject *parent = nullptr);
    ~UnitFarm() override;

    // One unit on the port the sources offer (usbSerial empty), or every given unit at once.
    void runOnce(const QList<PortInfo> &controllers);
    // The line loop: each controller as it appears, until stop().
    void runLine();
    // Ctrl-C: every unit stops (see UnitRun::stop()) and the farm ends.
    void stop();

signals:
    void finished(int exitCode);

private:
    struct Unit
    {
        QThread *thread = nullptr;
        UnitRun *run = nullptr;
        int line = 0;
        QString label;
    };

    void startUnit(const PortInfo &controller);
    void onUnitFinished(const QString &key, const UnitResult &result);
    void takeNewControllers();
    void endIfIdle();
    void end();

    const UnitJob &job;
    Output &output;
    RecordFile &record;
    std::map<QString, Unit> running; // by USB serial number, or port where there is none
    QList<QThread *> threads;
    QJsonArray results;
    PortEnumerator *watch = nullptr; // the line loop's
    QSet<QString> awaitingUnplug;
    QSet<QString> passedUnits;
    int nextLine = 0;
    int passes = 0;
    int failures = 0;
    int worst = 0;
    QString worstKey;
    QString lastMessage;
    bool single = false; // one unit, shown as one unit always was
    bool line = false;
    bool stopping = false;
};
