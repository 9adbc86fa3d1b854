#include "chsubwidget.h"
#include "devicelink.h"
#include "fakeport.h"
#include "koruresources.h"
#include "mainwindow.h"
#include "simulatorhost.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <memory>

using namespace Koru;

namespace {

// No device has this id; a frame to it marks a point in what the window wrote.
constexpr uint8_t SentinelTarget = 0x77;

struct WireCommand
{
    uint8_t set;
    uint8_t id;
};

// Commands that change something in a device; everything else the window sends asks.
const WireCommand Writes[] = {
    {RemoteControllerSet, CMD_ID_SET_REVERSE},   {RemoteControllerSet, CMD_ID_SET_ENTITY},
    {RemoteControllerSet, CMD_ID_SET_MAP},       {RemoteControllerSet, CMD_ID_SET_PRODUCTION_DATE},
    {GimbalSet, CMD_ID_SET_GIMBAL_CH},           {GimbalSet, CMD_ID_SET_CAMERA_CONFIG},
    {GimbalSet, CMD_ID_SET_CAMERA_IP},           {CommonSet, CMD_ID_SCPZ_VALUES},
};

// Cuts what the simulator received into the window's frames (N + 12 bytes each) and
// keeps the writes among them, as "set/id".
class WriteRecorder
{
public:
    void take(const QByteArray &bytes)
    {
        buffer += bytes;
        for (int start = buffer.indexOf(char(0xAA)); start >= 0 && buffer.size() - start >= 4;
             start = buffer.indexOf(char(0xAA))) {
            const int length = uint8_t(buffer[start + 3]) + 12;
            if (buffer.size() - start < length)
                return;
            note(buffer.mid(start, length));
            buffer.remove(0, start + length);
        }
    }
    QStringList writes;
    int sentinels = 0;

private:
    void note(const QByteArray &frame)
    {
        const auto set = uint8_t(frame[9]);
        const auto id = uint8_t(frame[10]);
        const QByteArray payload = frame.mid(11, frame.size() - 12);
        if (uint8_t(frame[8]) == SentinelTarget)
            ++sentinels;
        const bool shellWrite = set == CommonSet && id == CMD_ID_SHELL_TEXT && payload.startsWith("model_default");
        for (const WireCommand &write : Writes) {
            if ((set == write.set && id == write.id) || shellWrite) {
                writes << QStringLiteral("%1/%2").arg(set, 0, 16).arg(id, 0, 16);
                return;
            }
        }
    }
    QByteArray buffer;
};

void turnWheel(QWidget *widget)
{
    const QPoint centre = widget->rect().center();
    for (const int delta : {-120, -120, 120}) {
        QWheelEvent wheel(QPointF(centre), QPointF(widget->mapToGlobal(centre)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &wheel);
    }
}

bool allEnabled(const QList<QWidget *> &widgets)
{
    return std::all_of(widgets.cbegin(), widgets.cend(), [](QWidget *w) { return w->isEnabled(); });
}

// The controls of a page that write a device value, and the value displays among them.
QList<QWidget *> writingControls(QWidget *page, int pageId)
{
    QList<QWidget *> controls;
    if (pageId == MainWindow::Channels) {
        for (ChSubWidget *row : page->findChildren<ChSubWidget *>()) {
            for (QWidget *w : row->findChildren<QWidget *>()) {
                if (qobject_cast<QComboBox *>(w) || qobject_cast<QLineEdit *>(w) || qobject_cast<QPushButton *>(w))
                    controls << w;
            }
        }
    } else if (pageId == MainWindow::Gimbal) {
        for (QWidget *w : page->findChildren<QWidget *>()) {
            if (qobject_cast<QComboBox *>(w) || qobject_cast<QLineEdit *>(w) || qobject_cast<QPushButton *>(w))
                controls << w;
        }
    } else if (pageId == MainWindow::Production) {
        for (QPushButton *button : page->findChildren<QPushButton *>()) {
            if (button->text() == QStringLiteral("设置"))
                controls << button;
        }
    }
    return controls;
}

// What a control shows of the device's value; a production button shows none.
QString shownValue(QWidget *control)
{
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->currentText();
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    const QString text = static_cast<QPushButton *>(control)->text();
    return text == QStringLiteral("—") ? QString() : text;
}

bool showsUnknown(const QList<QWidget *> &controls)
{
    return std::all_of(controls.cbegin(), controls.cend(), [](QWidget *w) {
        return !w->isEnabled() && (w->objectName() == QStringLiteral("Confirm IP") || shownValue(w).isEmpty()
                                   || shownValue(w) == QStringLiteral("设置"));
    });
}

bool showsReported(const QList<QWidget *> &controls)
{
    return std::all_of(controls.cbegin(), controls.cend(),
                       [](QWidget *w) { return w->isEnabled() && !shownValue(w).isEmpty(); });
}

} // namespace

// The window against the simulated devices over a pseudo-terminal: it writes to a device
// only what the user deliberately asked for.
class TstUserWrites : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void wheelOverUnfocusedValuesWritesNothing();
    void unknownUntilReported();

private:
    // Waits until every frame written so far reached the simulator.
    void flushWire();

    QTemporaryDir dir;
    std::unique_ptr<SimulatorHost> host;
    std::unique_ptr<DeviceLink> link;
    std::unique_ptr<MainWindow> window;
    WriteRecorder recorder;
};

void TstUserWrites::initTestCase()
{
    initKoruResources();
    QVERIFY(dir.isValid());
    QDir::setCurrent(dir.path());
}

void TstUserWrites::init()
{
    recorder = {};
    host = std::make_unique<SimulatorHost>();
    const QString path = dir.filePath(QStringLiteral("ttyKORUwrites"));
    if (!host->start(path))
        QSKIP(qPrintable(QStringLiteral("no pseudo-terminal here: %1").arg(host->errorString())));
    connect(host->simulator(), &DeviceSimulator::input, this, [this](const QByteArray &b) { recorder.take(b); });
    link = std::make_unique<DeviceLink>(nullptr, new FixedPathEnumerator(new FakePortEnumerator, path));
    window = std::make_unique<MainWindow>(*link);
    window->showServicePages();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_VERIFY_WITH_TIMEOUT(link->isOpen(), 5000);
}

void TstUserWrites::cleanup()
{
    window.reset();
    link.reset();
    host.reset();
}

void TstUserWrites::flushWire()
{
    const int before = recorder.sentinels;
    link->send(CommonSet, CMD_ID_VERSION, SentinelTarget);
    QTRY_VERIFY_WITH_TIMEOUT(recorder.sentinels > before, 5000);
}

// Every selector and spin box of every page, once its device reported the value, gets
// the wheel without having been clicked.
void TstUserWrites::wheelOverUnfocusedValuesWritesNothing()
{
    auto *stack = window->findChild<QStackedWidget *>();
    int wheeled = 0;
    for (int page = 0; page < stack->count(); ++page) {
        window->showPage(page);
        QList<QWidget *> values;
        for (QComboBox *combo : stack->widget(page)->findChildren<QComboBox *>())
            values << combo;
        for (QAbstractSpinBox *spin : stack->widget(page)->findChildren<QAbstractSpinBox *>())
            values << spin;
        QTRY_VERIFY_WITH_TIMEOUT(allEnabled(values), 5000);
        for (QWidget *value : qAsConst(values)) {
            QVERIFY(!value->hasFocus());
            turnWheel(value);
            ++wheeled;
        }
    }
    QVERIFY(wheeled >= 16 + 11 + 2);
    flushWire();
    QCOMPARE(recorder.writes, QStringList());
}

// Unplugged, no page shows a device value or lets one be written; plugged in again, each
// page's first reports fill its controls.
void TstUserWrites::unknownUntilReported()
{
    auto *stack = window->findChild<QStackedWidget *>();
    const QList<int> pageIds{MainWindow::Channels, MainWindow::Gimbal, MainWindow::Production};
    for (const int id : pageIds) {
        window->showPage(id);
        QTRY_VERIFY_WITH_TIMEOUT(showsReported(writingControls(stack->widget(id), id)), 5000);
    }
    host->vanish();
    QTRY_VERIFY_WITH_TIMEOUT(!link->isOpen(), 5000);
    int controls = 0;
    for (const int id : pageIds) {
        const QList<QWidget *> unknown = writingControls(stack->widget(id), id);
        QVERIFY2(showsUnknown(unknown), qPrintable(QString::number(id)));
        controls += unknown.size();
    }
    QCOMPARE(controls, 16 * 5 + 11 + 2 + 2 + 1);

    QVERIFY(host->reappear());
    QTRY_VERIFY_WITH_TIMEOUT(link->isOpen(), 5000);
    for (const int id : pageIds) {
        window->showPage(id);
        QTRY_VERIFY_WITH_TIMEOUT(showsReported(writingControls(stack->widget(id), id)), 5000);
    }
}

QTEST_MAIN(TstUserWrites)
#include "tst_userwrites.moc"
