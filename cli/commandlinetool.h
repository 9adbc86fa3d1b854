#pragma once

#include <QCommandLineOption>
#include <QString>
#include <QTranslator>

#include <memory>

class PortEnumerator;
struct PortProblem;
namespace Koru {
class DeviceLink;
}

// What the command-line programs on the device link share: their set-up, the option that
// names the controller's port, and opening that port.
class CommandLineTool
{
public:
    // Names the program (after the QCoreApplication exists), keeps the link's debug lines,
    // which are meant for the window's log, out of its output, and installs the English
    // catalogue for the procedures' messages.
    explicit CommandLineTool(const QString &name);

    // "--device PATH" (or "--port PATH"): the controller's serial port.
    const QCommandLineOption portOption;

    // A link on the port named by path, or on the controller's port found by its USB
    // identity when path is empty; null, after saying why on standard error, when path does
    // not exist or no port could be opened.
    std::unique_ptr<Koru::DeviceLink> openLink(const QString &path) const;
    // The same on the ports the enumerator (taken over) lists, with the reason in problem.
    static std::unique_ptr<Koru::DeviceLink> openLink(const QString &path, PortEnumerator *enumerator,
                                                      PortProblem *problem);

    // Lets the frames still in the link's buffer leave before the program ends, for a
    // limited time; says so on standard error when some did not.
    static void flush(Koru::DeviceLink &link);

private:
    QTranslator english;
};
