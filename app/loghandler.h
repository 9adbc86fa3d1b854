#pragma once

#include <QString>

// Writes Qt's debug, warning and critical messages to "kestan.log" in the working
// directory, one line each, so a support person can follow what the program did. A
// broken device cannot fill the disk: the log moves to "<name>.1" whenever it passes
// MaxLogSize, and a line identical to the one before (timestamp aside) is only counted,
// as "last message repeated N times" when another line comes, every 30 s while the
// repeats go on, and at uninstall().
class LogHandler
{
public:
    static constexpr qint64 MaxLogSize = 5 * 1024 * 1024;

    // Opens the log for appending (after moving a log over MaxLogSize to "<name>.1")
    // and installs the handler. Returns false when the file cannot be opened; the
    // program then keeps Qt's default output.
    static bool install(const QString &fileName = QStringLiteral("kestan.log"));
    // Writes a pending repeat count and closes the log.
    static void uninstall();
};
