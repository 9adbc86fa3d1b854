#include "windowfixture.h"

#include "frame.h"
#include "framereassembler.h"
#include "koruresources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>

WindowFixture::WindowFixture(bool devicePresent, const QString &iniText)
{
    initKoruResources();
    previousDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    if (!iniText.isEmpty()) {
        QFile ini(iniPath());
        if (ini.open(QIODevice::WriteOnly))
            ini.write(iniText.toUtf8());
    }
    fakePort = new FakeDevicePort;
    fakeEnumerator = new FakePortEnumerator;
    if (devicePresent)
        fakeEnumerator->setPorts({FakePortEnumerator::device(QStringLiteral("ttyACM0"))});
    QCoreApplication::installTranslator(&translator);
    deviceLink = std::make_unique<Koru::DeviceLink>(fakePort, fakeEnumerator);
    mainWindow = std::make_unique<MainWindow>(*deviceLink);
    mainWindow->setTranslator(&translator);
    mainWindow->applySavedLanguage();
    if (devicePresent)
        waitForDevice();
}

bool WindowFixture::waitForDevice()
{
    QSignalSpy attached(deviceLink.get(), &Koru::DeviceLink::deviceAttached);
    return attached.wait(5000);
}

WindowFixture::~WindowFixture()
{
    mainWindow.reset();
    deviceLink.reset();
    QCoreApplication::removeTranslator(&translator);
    QDir::setCurrent(previousDir);
}

QString WindowFixture::iniPath() const
{
    return dir.filePath(QStringLiteral("kestan.ini"));
}

QByteArrayList WindowFixture::takeWrites()
{
    QByteArrayList writes;
    writes.swap(fakePort->writes);
    return writes;
}

// Frames are cut from the byte stream, so several frames in one write count one by one.
QList<SentFrame> parseWrites(const QByteArrayList &writes)
{
    using namespace Koru;
    FrameReassembler stream;
    for (const QByteArray &w : writes)
        stream.append(w);
    QList<SentFrame> frames;
    stream.takeFrames([&frames](const Frame &f) {
        frames.append({f.commandSet(), f.commandId(), f.target(),
                       QByteArray(reinterpret_cast<const char *>(f.payload()), f.payloadSize())});
    });
    return frames;
}

int countWritten(const WindowFixture &f, uint8_t set, uint8_t id, uint8_t target, uint8_t firstByte)
{
    int count = 0;
    for (const SentFrame &frame : parseWrites(f.port()->writes))
        count += frame.set == set && frame.id == id && frame.target == target
                 && frame.payload.startsWith(char(firstByte));
    return count;
}

int channelSettingsBursts(const WindowFixture &f)
{
    return countWritten(f, Koru::RemoteControllerSet, Koru::CMD_ID_GET_REVERSE, Koru::RemoteControllerId, 1);
}
