#pragma once

#include <QCoreApplication>
#include <QString>
#include <QTextStream>

#include <cstdint>

class QJsonObject;

// koru-flash's own messages, translated in the context "KoruFlash".
struct FlashText
{
    Q_DECLARE_TR_FUNCTIONS(KoruFlash)
};

// A device id as the user types it: "0x13".
QString hexId(uint8_t id);

// Standard output for progress and results, standard error for problems. A bar is redrawn
// in place on a terminal; otherwise each new percentage is a line of its own. With --json,
// standard output carries only the one document that ends the run.
class Output
{
public:
    explicit Output(bool json = false);

    bool isJson() const { return json; }
    bool isTerminal() const { return terminal; }

    void progress(int percent);
    void line(const QString &text);
    void problem(const QString &text);
    void text(const QString &text);
    void document(const QJsonObject &object);

    // Several units at once: each has a line of its own, redrawn in place on a terminal
    // (reserved by reserveUnitLines()), else written as it changes.
    void reserveUnitLines(int count);
    void unitLine(int unit, const QString &text);

private:
    void endBar();

    QTextStream out{stdout};
    QTextStream err{stderr};
    bool json;
    bool terminal;
    bool midLine = false;
    int shown = -1;
    int unitLines = 0;
};
