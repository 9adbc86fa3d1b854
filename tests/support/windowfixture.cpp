#include "windowfixture.h"

#include "frame.h"
#include "koruresources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

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

QList<SentFrame> parseWrites(const QByteArrayList &writes)
{
    using namespace Koru;
    QList<SentFrame> frames;
    for (const QByteArray &w : writes) {
        if (w.size() < FrameOverhead)
            continue;
        const auto *b = reinterpret_cast<const uint8_t *>(w.constData());
        frames.append({b[FrameOffset::Set], b[FrameOffset::Id], b[FrameOffset::Target],
                       w.mid(FrameOffset::Payload, b[FrameOffset::Length])});
    }
    return frames;
}
