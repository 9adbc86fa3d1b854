#pragma once

#include "bootloader.h"
#include "windowfixture.h"

#include <QObject>
#include <QTimer>

// Answers the upgrade commands the window writes the way a device's boot loader does.
// Every frame written is also kept in frames; the port's own write list is left alone.
class BootLoaderResponder : public QObject
{
public:
    BootLoaderResponder(const WindowFixture &f, int packetSize);

    int count(uint8_t id) const;

    Koru::SimulatorOptions options;
    Koru::BootLoader loader{options};
    QByteArray startAnswer; // replaces the boot loader's answer to the start when set
    int unansweredStarts = 0;
    QList<SentFrame> frames;

private:
    void answerWrites();
    QVector<Koru::BootLoaderAnswer> answerTo(const SentFrame &frame);

    const WindowFixture &fixture;
    int seenWrites = 0;
    QTimer poll;
};
