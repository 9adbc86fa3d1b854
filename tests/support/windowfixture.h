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
