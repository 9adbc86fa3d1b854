#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>
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

// Turns the shell bytes of each device into text. A device may split a character's UTF-8
// bytes between two frames: its first bytes wait for the rest, apart for every source, so
// another device's text in between does not break it. Invalid bytes become U+FFFD.
class ShellTextDecoder
{
public:
    QString decode(uint8_t source, const char *bytes, int count);

private:
    std::map<uint8_t, QByteArray> unfinished; // per source, the first bytes of a split character
};
