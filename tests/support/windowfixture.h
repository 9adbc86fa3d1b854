#pragma once

#include "devicelink.h"
#include "fakeport.h"
#include "mainwindow.h"

#include <QTemporaryDir>
#include <QTranslator>

#include <memory>

// A main window on a fake port in a private working directory (its own kestan.ini),
// with the resources registered. The fake device port "ttyACM0" is present unless the
// test asks otherwise, and then greeted before the fixture is ready.
class WindowFixture
{
public:
    explicit WindowFixture(bool devicePresent = true, const QString &iniText = {});
    ~WindowFixture();

    MainWindow *window() const { return mainWindow.get(); }
    Koru::DeviceLink &link() const { return *deviceLink; }
    FakeDevicePort *port() const { return fakePort; }
    FakePortEnumerator *enumerator() const { return fakeEnumerator; }
    QString iniPath() const;
    // Waits until the link greeted the device after opening its port (the page entered
    // again, the identity asked); false after five seconds.
    bool waitForDevice();

    // Frames written since the last call, split into (set, id, target, payload) views.
    QByteArrayList takeWrites();

private:
    QTemporaryDir dir;
    QString previousDir;
    QTranslator translator;
    FakeDevicePort *fakePort = nullptr;
    FakePortEnumerator *fakeEnumerator = nullptr;
    std::unique_ptr<Koru::DeviceLink> deviceLink;
    std::unique_ptr<MainWindow> mainWindow;
};

// Command set, id, target and payload of a frame the assistant wrote.
struct SentFrame
{
    uint8_t set = 0;
    uint8_t id = 0;
    uint8_t target = 0;
    QByteArray payload;
};
QList<SentFrame> parseWrites(const QByteArrayList &writes);

// Frames with this set, id, target and first payload byte written since the writes were
// last taken. A periodic burst counted this way marks time that passed with the window's
// timers and link at work, for a test that shows that something else stays silent meanwhile
// (the channel page's settings burst, every 500 ms on page 0, asks channel 1 first).
int countWritten(const WindowFixture &f, uint8_t set, uint8_t id, uint8_t target, uint8_t firstByte);
int channelSettingsBursts(const WindowFixture &f);
