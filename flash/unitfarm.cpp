#include "unitfarm.h"

#include "options.h"
#include "output.h"
#include "recordfile.h"

#include <QJsonObject>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {
// After a stop, how long units still inside an upgrade step may take to return.
constexpr int StopWithinMs = 800;

QString unitKey(const PortInfo &controller)
{
    return controller.serialNumber.isEmpty() ? controller.portName : controller.serialNumber;
}
} // namespace

UnitFarm::UnitFarm(const UnitJob &job, Output &output, RecordFile &record, QObject *parent)
    : QObject(parent), job(job), output(output), record(record)
{
    qRegisterMetaType<UnitResult>();
}

UnitFarm::~UnitFarm()
{
    for (QThread *thread : qAsConst(threads)) {
        thread->quit();
        thread->wait();
    }
}

void UnitFarm::runOnce(const QList<PortInfo> &controllers)
{
    single = controllers.size() == 1;
    if (!single)
        output.reserveUnitLines(controllers.size());
    for (const PortInfo &controller : controllers)
        startUnit(controller);
}

void UnitFarm::runLine()
{
    line = true;
    watch = job.sources.create();
    watch->setParent(this);
    connect(watch, &PortEnumerator::deviceDiscovered, this, &UnitFarm::takeNewControllers);
    connect(watch, &PortEnumerator::deviceRemoved, this, &UnitFarm::takeNewControllers);
    output.line(FlashText::tr("Waiting for controllers; Ctrl-C ends"));
    takeNewControllers();
}

// A unit plugged in that is not running, has not passed and is not the one still waiting to
// be unplugged starts; one that went away may come again.
void UnitFarm::takeNewControllers()
{
    QSet<QString> present;
    for (const PortInfo &controller : controllersOf(*watch)) {
        const QString key = unitKey(controller);
        present.insert(key);
        if (stopping || running.count(key) || awaitingUnplug.contains(key) || passedUnits.contains(key))
            continue;
        startUnit(controller);
    }
    awaitingUnplug.intersect(present);
}

void UnitFarm::startUnit(const PortInfo &controller)
{
    const QString key = unitKey(controller);
    Unit unit;
    unit.thread = new QThread(this);
    unit.run = new UnitRun(job, controller);
    unit.line = nextLine++;
    unit.label = controller.serialNumber.isEmpty() ? controller.portName
                                                   : controller.serialNumber + QStringLiteral(" ") + controller.portName;
    unit.run->moveToThread(unit.thread);
    connect(unit.thread, &QThread::started, unit.run, &UnitRun::begin);
    connect(unit.thread, &QThread::finished, unit.run, &QObject::deleteLater);
    // Off a terminal, a line per ten percent and unit.
    connect(unit.run, &UnitRun::progress, this, [this, unit, shown = -1](int percent) mutable {
        if (single) {
            output.progress(percent);
        } else if (percent != shown && (output.isTerminal() || percent % 10 == 0)) {
            shown = percent;
            output.unitLine(unit.line, FlashText::tr("%1: %2%").arg(unit.label).arg(percent));
        }
    });
    connect(unit.run, &UnitRun::notice, this, [this, unit](const QString &text) {
        if (single)
            output.line(text);
        else
            output.unitLine(unit.line, unit.label + QStringLiteral(": ") + text);
    });
    connect(unit.run, &UnitRun::finished, this,
            [this, key](const UnitResult &result) { onUnitFinished(key, result); });
    threads.append(unit.thread);
    running[key] = unit;
    unit.thread->start();
}

void UnitFarm::onUnitFinished(const QString &key, const UnitResult &result)
{
    const auto found = running.find(key);
    if (found == running.end())
        return;
    const Unit unit = found->second;
    running.erase(found);
    unit.thread->quit();
    const Verdict &verdict = result.verdict;
    if (record.isOpen() && !record.append(result))
        output.problem(FlashText::tr("the record could not be written"));
    results.append(result.toJson());
    const bool passed = verdict.exitCode == ExitSuccess;
    (passed ? passes : failures) += 1;
    if (passed)
        passedUnits.insert(key);
    else
        awaitingUnplug.insert(key);
    if (verdict.exitCode >= worst) {
        worst = verdict.exitCode;
        worstKey = verdict.errorKey;
        lastMessage = verdict.message;
    }
    if (single) {
        if (passed)
            output.line(verdict.message);
        else
            output.problem(verdict.message);
    } else {
        output.unitLine(unit.line, unit.label + QStringLiteral(": ") + verdict.message);
        if (line)
            output.line(FlashText::tr("%1 passed, %2 failed").arg(passes).arg(failures));
    }
    endIfIdle();
}

void UnitFarm::stop()
{
    if (stopping)
        return;
    stopping = true;
    for (const auto &entry : running)
        QMetaObject::invokeMethod(entry.second.run, &UnitRun::stop, Qt::QueuedConnection);
    endIfIdle();
}

void UnitFarm::endIfIdle()
{
    if (!running.empty() || (line && !stopping))
        return;
    end();
}

void UnitFarm::end()
{
    // A unit stopped mid-run has the highest status; a line loop ended between units has
    // the worst of its units'.
    const int exitCode = worst;
    if (output.isJson()) {
        const bool many = results.size() != 1 || line;
        QJsonObject document{
            {QStringLiteral("exitCode"), exitCode},
            {QStringLiteral("error"), exitCode == ExitSuccess ? QJsonValue() : QJsonValue(worstKey)},
            {QStringLiteral("message"), many ? FlashText::tr("%1 passed, %2 failed").arg(passes).arg(failures)
                                             : lastMessage},
            {QStringLiteral("passed"), passes},
            {QStringLiteral("failed"), failures},
            {QStringLiteral("units"), results},
        };
        output.document(document);
    } else if (!single) {
        output.line(FlashText::tr("%1 passed, %2 failed").arg(passes).arg(failures));
    }
    // A unit stopped inside an upgrade step has closed its port and written its record, but
    // its thread may take up to the step's time-out to return: the program does not wait.
    bool returned = true;
    for (QThread *thread : qAsConst(threads))
        returned = thread->wait(StopWithinMs) && returned;
    if (!returned) {
        std::fflush(stdout);
        ::_exit(exitCode);
    }
    emit finished(exitCode);
}
