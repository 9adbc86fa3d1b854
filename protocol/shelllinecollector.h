#pragma once

#include <QString>

#include <optional>

// Collects a device's shell text pieces into lines for the shell view.
class ShellLineCollector
{
public:
    static constexpr int MaxPendingChars = 512;

    // Adds a piece and returns the collected text as one line when it ends with CR LF
    // (which is dropped) or has grown past MaxPendingChars. Only the end of the collected
    // text is examined: line ends inside a piece stay inside its line.
    std::optional<QString> add(const QString &piece);

private:
    QString pending;
};
