#include "devicelink.h"
#include "deviceprofile.h"
#include "frame.h"
#include "framereassembler.h"
#include "koruresources.h"
#include "mypushbutton.h"
#include "protocolids.h"
#include "simulatorhost.h"
#include "updatefileitem.h"
#include "upgraderows.h"
#include "upgradepackets.h"
#include "upgradesession.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <memory>

using namespace Koru;

namespace {

const QString EnglishIni = QStringLiteral("[General]\nlangage=1\n");
const QString UsbGone = QStringLiteral("USB disconnected: plug in the USB cable, or unplug it and plug it in again");

// Root opens any file. Without these two capabilities in its effective set the calling
// thread meets file permissions like any other user; they come back on destruction.
class PermissionsEnforced
{
public:
    PermissionsEnforced()
    {
        active = syscall(SYS_capget, &header, saved) == 0;
        __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        active = active && syscall(SYS_capset, &header, reduced) == 0;
    }
    ~PermissionsEnforced()
    {
        if (active)
            syscall(SYS_capset, &header, saved);
    }
    bool isActive() const { return active; }

private:
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2]{};
    bool active = false;
};

QByteArray versionPayload(uint8_t deviceId)
{
    return DeviceProfile::forDevice(deviceId).versionPayload();
}

QString labelText(QWidget *parent, const char *objectName)
{
    return parent->findChild<QLabel *>(QLatin1String(objectName))->text();
}

QStringList visibleBoxTexts(QWidget *window)
{
    QStringList texts;
    for (QMessageBox *box : window->findChildren<QMessageBox *>())
        if (box->isVisible())
            texts << box->text();
    return texts;
}

// Bytes that start like frames but fail the header check: a start byte followed by an
// unknown check mode or a mode-0 header without its check byte, between random bytes.
QByteArray badHeaderGarbage(QRandomGenerator &random, int size)
{
    QByteArray bytes;
    while (bytes.size() < size) {
        const uint32_t kind = random.bounded(4u);
        if (kind == 0)
            bytes.append(char(FrameStart)).append(char(0x10 | random.bounded(4u))); // mode bits 0x10
        else if (kind == 1)
            bytes.append(char(FrameStart)).append("\x01\x02\x20\x54", 4); // 0x54 is no header check
        else
            bytes.append(char(random.bounded(FrameStart)));
    }
    return bytes;
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void firmwareFileRefused_data();
    void firmwareFileRefused();
    void damagedSettingsFile_data();
    void damagedSettingsFile();
    void unwritableSettingsFile_data();
    void unwritableSettingsFile();
    void garbageFromTheDevice();
    void shellAnswerInEveryCheckMode_data();
    void shellAnswerInEveryCheckMode();
    void deviceGoesSilent_data();
    void deviceGoesSilent();

private:
    bool startSimulator(const SimulatorOptions &options);
    void openWindow();
    QString writeImage(int size);
    QByteArray imageContent(int size) const;
    bool upgradeRow(UpdateFileItem *row);

    QTranslator english;
    std::unique_ptr<QTemporaryDir> workDir;
    QString previousDir;
    std::unique_ptr<SimulatorHost> simulator;
    std::unique_ptr<DeviceLink> link;
    std::unique_ptr<MainWindow> window;
};

void TestBadInput::initTestCase()
{
    qRegisterMetaType<uint8_t>("uint8_t");
    initKoruResources();
    QVERIFY(english.load(QStringLiteral(":/en.qm")));
    previousDir = QDir::currentPath();
}

void TestBadInput::init()
{
    workDir = std::make_unique<QTemporaryDir>();
    QVERIFY(workDir->isValid());
}

void TestBadInput::cleanup()
{
    QFile::setPermissions(workDir->path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    window.reset();
    link.reset();
    simulator.reset();
    QCoreApplication::removeTranslator(&english);
    QDir::setCurrent(previousDir);
    workDir.reset();
}

// The simulated devices on a pseudo-terminal whose link lies in the test's working
// directory.
bool TestBadInput::startSimulator(const SimulatorOptions &options)
{
    QDir::setCurrent(workDir->path());
    simulator = std::make_unique<SimulatorHost>(options);
    return simulator->start(workDir->filePath(QStringLiteral("ttyKORU0")));
}

// The real window on the real serial port, attached to the simulator, in English.
void TestBadInput::openWindow()
{
    QCoreApplication::installTranslator(&english);
    auto *enumerator = new FixedPathEnumerator(new FakePortEnumerator, simulator->portPath());
    link = std::make_unique<DeviceLink>(nullptr, enumerator);
    window = std::make_unique<MainWindow>(*link);
    window->show();
}

QByteArray TestBadInput::imageContent(int size) const
{
    QByteArray content(size, '\0');
    for (int i = 0; i < size; ++i)
        content[i] = char((i * 7 + i / 253) & 0xFF);
    return content;
}

QString TestBadInput::writeImage(int size)
{
    const QString path = workDir->filePath(QStringLiteral("image.bin"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(imageContent(size)) != size)
        return {};
    return path;
}

// Starts the row's upgrade as a user does; true when the row reports success.
bool TestBadInput::upgradeRow(UpdateFileItem *row)
{
    QSignalSpy finished(&link->upgrade(), &UpgradeSession::finished);
    QTest::mouseClick(rowButton(row, "zhengxian"), Qt::LeftButton);
    if (finished.isEmpty())
        finished.wait(60000);
    return labelText(row, "msgLabel") == QLatin1String("Upgrading Complete");
}

void TestBadInput::firmwareFileRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");

    QTest::newRow("directory") << "directory" << "File open failed";
    QTest::newRow("no read permission") << "unreadable" << "File open failed";
    QTest::newRow("more than 65536 packets of 253 bytes")
        << "too large" << "The file needs more than 65536 packets; the upgrade was not started";
}

// Nothing is sent to the device: its current firmware stays untouched.
void TestBadInput::firmwareFileRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    WindowFixture f(true, EnglishIni);
    f.port()->feed(makeFrame(0x13, AssistantId, CommonSet, CMD_ID_VERSION, versionPayload(0x13)));
    QTRY_VERIFY(upgradeRowOf(f.window(), 0x13));
    const QString path = workDir->filePath(QStringLiteral("firmware.bin"));
    std::unique_ptr<PermissionsEnforced> permissions;
    if (kind == QLatin1String("directory")) {
        QVERIFY(QDir().mkpath(path));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (kind == QLatin1String("too large")) {
            QVERIFY(file.resize(qint64(MaxPacketCount) * MaxPacketSize + 1)); // sparse
        } else {
            QVERIFY(file.setPermissions(QFileDevice::Permissions()));
            permissions = std::make_unique<PermissionsEnforced>();
            if (!permissions->isActive())
                QSKIP("file permissions cannot be enforced for this process");
        }
    }
    f.takeWrites();

    emit upgradeRowOf(f.window(), 0x13)->sig_updateFile(0x13, 1, path);

    QCOMPARE(labelText(upgradeRowOf(f.window(), 0x13), "msgLabel"), message);
    for (const SentFrame &sent : parseWrites(f.takeWrites()))
        QVERIFY(sent.id != CMD_ID_UPGRADE_START && sent.id != CMD_ID_UPGRADE_DATA);
    QCOMPARE(QSettings(f.iniPath(), QSettings::IniFormat).value("isUpdataing").toString(),
             QStringLiteral("0"));
}

// A settings file the window cannot use as it is: it says so once, in one box.
void TestBadInput::damagedSettingsFile_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<int>("language");

    QRandomGenerator random(8);
    QString garbage = EnglishIni;
    for (int i = 0; i < 2000; ++i)
        garbage += QChar(ushort(random.bounded(1, 256)));
    // Binary garbage after the saved language: the window keeps what it could read and
    // leaves a clean file behind.
    QTest::newRow("garbage") << garbage
                             << "The settings file kestan.ini in %1 is damaged. Settings that could not be read "
                                "start from their defaults."
                             << 1;
    // Too large to be ours: neither read nor rewritten, and only this one warning.
    QTest::newRow("over 1 MiB") << EnglishIni + QString(1024 * 1024, QLatin1Char(';'))
                                << "The settings file kestan.ini in %1 is larger than 1 MiB and was not read. "
                                   "Settings start from their defaults and changes will not be kept."
                                << 0;
}

void TestBadInput::damagedSettingsFile()
{
    QFETCH(QString, content);
    QFETCH(QString, warning);
    QFETCH(int, language);
    WindowFixture f(true, content);

    QCOMPARE(visibleBoxTexts(f.window()), QStringList{warning.arg(QDir::toNativeSeparators(QDir::currentPath()))});
    QCOMPARE(f.window()->findChild<QComboBox *>(QStringLiteral("langageComboBox"))->currentIndex(), language);
    QFile saved(f.iniPath());
    QVERIFY(saved.open(QIODevice::ReadOnly));
    if (language == 0) {
        QCOMPARE(saved.readAll(), content.toUtf8());
    } else {
        QSettings rewritten(f.iniPath(), QSettings::IniFormat);
        QCOMPARE(rewritten.value("langage").toString(), QStringLiteral("1"));
        QCOMPARE(rewritten.status(), QSettings::NoError);
    }
}

void TestBadInput::unwritableSettingsFile_data()
{
    QTest::addColumn<bool>("directory");

    QTest::newRow("a directory in its place") << true;
    QTest::newRow("read-only file in a read-only folder") << false;
}

// The window warns once and works on: an upgrade runs to the end and arrives whole.
void TestBadInput::unwritableSettingsFile()
{
    QFETCH(bool, directory);
    SimulatorOptions options;
    options.packetSize = 32;
    const QString image = writeImage(3000);
    if (!startSimulator(options))
        QSKIP("no pseudo-terminal here");
    const QString ini = workDir->filePath(QStringLiteral("kestan.ini"));
    std::unique_ptr<PermissionsEnforced> permissions;
    if (directory) {
        QVERIFY(QDir().mkpath(ini));
    } else {
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(EnglishIni.toUtf8()) > 0);
        QVERIFY(file.setPermissions(QFileDevice::ReadOwner));
        QVERIFY(QFile::setPermissions(workDir->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        permissions = std::make_unique<PermissionsEnforced>();
        if (!permissions->isActive())
            QSKIP("file permissions cannot be enforced for this process");
    }
    openWindow();
    QTRY_VERIFY(upgradeRowOf(window.get(), 0x13));
    UpdateFileItem *row = upgradeRowOf(window.get(), 0x13);
    chooseUpgradeFile(row, image);

    QVERIFY(upgradeRow(row));
    QTRY_COMPARE(simulator->simulator()->completedImage(0x13), imageContent(3000));
    const QStringList boxes = visibleBoxTexts(window.get());
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].contains(QLatin1String("cannot be written")), qPrintable(boxes[0]));
}

// Bytes that fail the header check cost no frame behind them, and frames that fail the
// end check are ignored.
void TestBadInput::garbageFromTheDevice()
{
    WindowFixture f(true, EnglishIni);
    QRandomGenerator random(5);
    const uint8_t devices[] = {0x13, 0x1E, RemoteControllerId};
    for (uint8_t id : devices) {
        f.port()->feed(badHeaderGarbage(random, 300));
        QByteArray broken = makeFrame(0x22, AssistantId, CommonSet, CMD_ID_VERSION, versionPayload(0x22));
        broken[broken.size() - 1] = 0x67;
        f.port()->feed(badHeaderGarbage(random, 40) + broken + badHeaderGarbage(random, 40)
                       + makeFrame(id, AssistantId, CommonSet, CMD_ID_VERSION, versionPayload(id)));
    }
    f.port()->feed(makeFrame(0x13, AssistantId, CommonSet, CMD_ID_UID, QByteArray(16, '\x5A')));

    QTRY_COMPARE(f.window()->findChildren<UpdateFileItem *>().size(), 3);
    for (uint8_t id : devices)
        QVERIFY2(upgradeRowOf(f.window(), id), qPrintable(QString::number(id, 16)));
    QStringList shown; // the identity that came last, behind all the garbage
    for (QLabel *label : upgradeRowOf(f.window(), 0x13)->findChildren<QLabel *>(QStringLiteral("updateItem")))
        shown << label->text();
    QVERIFY2(shown.contains(QStringLiteral("5A5A5A5A\n5A5A5A5A")), qPrintable(shown.join(QLatin1Char('|'))));
}

void TestBadInput::shellAnswerInEveryCheckMode_data()
{
    QTest::addColumn<int>("mode");

    QTest::newRow("plain") << int(CheckPlain);
    QTest::newRow("no check") << int(CheckNone);
    QTest::newRow("CRC") << int(CheckCrc); // its length byte also counts a CRC byte
}

void TestBadInput::shellAnswerInEveryCheckMode()
{
    QFETCH(int, mode);
    WindowFixture f(true, EnglishIni);
    f.port()->feed(makeFrame(RemoteControllerId, AssistantId, CommonSet, CMD_ID_SHELL_TEXT,
                             "fw 1.4.2\r\n", CheckMode(mode)));
    QTRY_COMPARE(f.window()->findChild<QPlainTextEdit *>(QStringLiteral("showShellcmdTextEdit"))->toPlainText(),
                 QStringLiteral("fw 1.4.2"));
}

void TestBadInput::deviceGoesSilent_data()
{
    QTest::addColumn<int>("vanishAtPercent"); // -1: while the start waits for its answer

    QTest::newRow("while the start waits") << -1;
    QTest::newRow("after a third of the data") << 33;
}

// The row says the USB was disconnected, never success; after the re-plug the same
// row upgrades the device completely. Every step waits for what it needs, not for a time:
// a slow machine (a sanitizer build) stretches every time here.
void TestBadInput::deviceGoesSilent()
{
    QFETCH(int, vanishAtPercent);
    SimulatorOptions options;
    options.packetSize = 16;
    if (!startSimulator(options))
        QSKIP("no pseudo-terminal here");
    openWindow();
    QTRY_VERIFY_WITH_TIMEOUT(upgradeRowOf(window.get(), 0x13), 30000);
    UpdateFileItem *row = upgradeRowOf(window.get(), 0x13);
    chooseUpgradeFile(row, writeImage(16 * 300));
    auto *progress = row->findChild<QProgressBar *>(QStringLiteral("updatefileProgressBar"));
    SimulatorHost *host = simulator.get();
    FrameReassembler requests;
    if (vanishAtPercent < 0) {
        // The start has reached the device, whose answer is two seconds away.
        options.processingDelayMs = 2000;
        host->simulator()->setOptions(options);
        connect(host->simulator(), &DeviceSimulator::input, host, [host, &requests](const QByteArray &bytes) {
            requests.append(bytes);
            Frame frame;
            FrameReassembler::Result result;
            while ((result = requests.takeFrame(frame)) != FrameReassembler::Result::NeedMore) {
                if (result == FrameReassembler::Result::Frame && frame.commandId() == CMD_ID_UPGRADE_START
                    && host->isPresent())
                    QTimer::singleShot(0, host, &SimulatorHost::vanish);
            }
        });
    } else {
        connect(progress, &QProgressBar::valueChanged, host, [host, progress, vanishAtPercent] {
            if (progress->value() * 100 >= progress->maximum() * vanishAtPercent && host->isPresent())
                host->vanish();
        });
    }

    QVERIFY(!upgradeRow(row));
    QVERIFY(!host->isPresent());
    QCOMPARE(labelText(row, "msgLabel"), UsbGone);
    QVERIFY(labelText(row, "bule") != QLatin1String("100%"));
    QVERIFY(host->simulator()->completedImage(0x13).isEmpty());

    progress->disconnect(host);
    host->simulator()->disconnect(host);
    host->simulator()->setOptions(SimulatorOptions{});
    // Any output would not do: the live channel values go on while the port is away. The
    // window is back once the device answers the identity poll of the reopened port.
    bool polled = false;
    connect(link.get(), &DeviceLink::responseReceived, host, [&polled](const DecodedResponse &response) {
        polled = polled || (response.kind == Response::DeviceVersion && response.source == 0x13);
    });
    QVERIFY(host->reappear());
    QTRY_VERIFY_WITH_TIMEOUT(polled, 30000);
    link->disconnect(host);
    QTest::mouseClick(rowButton(row, "itemClose"), Qt::LeftButton);
    QVERIFY(upgradeRow(row));
    QTRY_COMPARE_WITH_TIMEOUT(host->simulator()->completedImage(0x13), imageContent(16 * 300), 30000);
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
