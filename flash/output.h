#pragma once

#include <QCoreApplication>
#include <QString>
#include <QTextStream>

#include <cstdint>

// koru-flash's own messages, translated in the context "KoruFlash".
struct FlashText
{
    Q_DECLARE_TR_FUNCTIONS(KoruFlash)
};

// A device id as the user types it: "0x13".
QString hexId(uint8_t id);

// Standard output for progress and results, standard error for problems. A bar is redrawn
// in place on a terminal; otherwise each new percentage is a line of its own.
class Output
{
public:
    Output();

    void progress(int percent);
    void line(const QString &text);
    void problem(const QString &text);
    void text(const QString &text);
    // A stopped run shows the progress it made, not the zero the window's bar returns to.
    void freezeProgress() { frozen = true; }

private:
    void endBar();

    QTextStream out{stdout};
    QTextStream err{stderr};
    bool terminal;
    bool midLine = false;
    bool frozen = false;
    int shown = -1;
};
