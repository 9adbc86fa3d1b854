#include "applicationlook.h"
#include "channelmeter.h"
#include "frame.h"
#include "koruresources.h"
#include "mainwindow.h"
#include "protocolids.h"
#include "updatefileitem.h"
#include "upgrademessages.h"
#include "upgradeprogresspanel.h"
#include "upgraderows.h"
#include "upgradesession.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace Koru;

namespace {

// The text a label, button or selector shows, and the room it gives it.
struct ShownText
{
    QWidget *widget = nullptr;
    QString text;
    QRect room;       // in the widget's coordinates
    QRect textRect;   // where the text lands, in the widget's coordinates
};

std::optional<ShownText> shownText(QWidget *widget)
{
    widget->ensurePolished();
    QFont metricsFont = widget->font();
    ShownText shown{widget, {}, {}, {}};
    Qt::Alignment alignment = Qt::AlignCenter;
    int flags = 0;
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        shown.text = label->text();
        shown.room = label->contentsRect();
        alignment = label->alignment();
        flags = label->wordWrap() ? Qt::TextWordWrap : 0;
    } else if (auto *button = qobject_cast<QPushButton *>(widget)) {
        shown.text = button->text();
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = shown.text;
        shown.room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    } else if (auto *meter = qobject_cast<ChannelMeter *>(widget)) {
        shown.text = QString::number(meter->value());
        shown.room = meter->valueRect();
        QFont font = widget->font();
        font.setPixelSize(12); // the label font the meter draws its value in
        metricsFont = font;
    } else if (auto *selector = qobject_cast<QComboBox *>(widget)) {
        shown.text = selector->currentText();
        QStyleOptionComboBox option;
        option.initFrom(selector);
        option.currentText = shown.text;
        shown.room = selector->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxEditField, selector);
        alignment = Qt::AlignLeft | Qt::AlignVCenter;
    }
    if (shown.text.trimmed().isEmpty() || shown.room.isEmpty())
        return std::nullopt;
    const QFontMetrics metrics(metricsFont);
    // Word-wrapped text wraps in its room's width; the rest keeps its lines as they are.
    const QRect bounds = flags ? shown.room : QRect(shown.room.topLeft(), QSize(100000, 100000));
    const QSize size = metrics.boundingRect(bounds, int(alignment) | flags, shown.text).size();
    shown.textRect = QStyle::alignedRect(Qt::LeftToRight, alignment, size, shown.room);
    return shown;
}

// Every visible text of the window that does not fit its widget, and every pair of
// sibling texts that overlap.
QStringList textProblems(QWidget *window)
{
    QStringList problems;
    QMultiHash<QWidget *, ShownText> byParent;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(window))
            continue;
        const std::optional<ShownText> shown = shownText(widget);
        if (!shown)
            continue;
        const QString name = QStringLiteral("%1 \"%2\" at %3,%4")
                                 .arg(QLatin1String(widget->metaObject()->className()), shown->text)
                                 .arg(widget->mapTo(window, QPoint()).x())
                                 .arg(widget->mapTo(window, QPoint()).y());
        if (!shown->room.contains(shown->textRect))
            problems << QStringLiteral("%1: text %2x%3 in room %4x%5")
                            .arg(name)
                            .arg(shown->textRect.width())
                            .arg(shown->textRect.height())
                            .arg(shown->room.width())
                            .arg(shown->room.height());
        byParent.insert(widget->parentWidget(), *shown);
    }
    for (QWidget *parent : byParent.uniqueKeys()) {
        const QList<ShownText> siblings = byParent.values(parent);
        for (int a = 0; a < siblings.size(); ++a) {
            for (int b = a + 1; b < siblings.size(); ++b) {
                const QRect first = siblings[a].textRect.translated(siblings[a].widget->pos());
                const QRect second = siblings[b].textRect.translated(siblings[b].widget->pos());
                if (first.intersects(second))
                    problems << QStringLiteral("\"%1\" overlaps \"%2\"").arg(siblings[a].text, siblings[b].text);
            }
        }
    }
    return problems;
}

QByteArray u16Payload(int channel, std::initializer_list<uint16_t> values)
{
    QByteArray payload(1, char(channel));
    for (uint16_t value : values)
        payload.append(char(value & 0xFF)).append(char(value >> 8));
    return payload;
}

} // namespace

// Every label, button and selector text fits its widget, and no two sibling texts
// overlap, on every page in both languages, with the longest texts each control shows,
// drawn in the font the package ships.
class TstTextFit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyTextFits_data();
    void everyTextFits();

private:
    void feedLongestTexts(WindowFixture &f);
    void checkPage(WindowFixture &f, int page);

    QTemporaryDir files;
};

void TstTextFit::initTestCase()
{
    QVERIFY2(QFontDatabase().families().contains(QStringLiteral("WenQuanYi Micro Hei")),
             "the shipped CJK font is not installed: apt-get install fonts-wqy-microhei");
    initKoruResources();
    applyApplicationLook();
}

void TstTextFit::everyTextFits_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("page");
    for (int language : {0, 1}) {
        for (int page = 0; page < 5; ++page)
            QTest::addRow("%s page %d", language ? "English" : "Chinese", page) << language << page;
    }
}

void TstTextFit::everyTextFits()
{
    QFETCH(int, language);
    QFETCH(int, page);
    WindowFixture f(true, QStringLiteral("[General]\nlangage=%1\n").arg(language));
    f.window()->showServicePages();
    f.window()->show();
    feedLongestTexts(f);
    checkPage(f, page);
}

void TstTextFit::checkPage(WindowFixture &f, int page)
{
    f.window()->showPage(page);
    QStringList problems = textProblems(f.window());
    if (page == MainWindow::Channels) {
        // Every prompt of the calibration, one after the other.
        for (int state : {0, 1, 2, 3, 0x103}) {
            f.port()->feed(makeFrame(RemoteControllerId, AssistantId, RemoteControllerSet, CMD_ID_CALIBRATION,
                                     QByteArray(1, 1) + char(state & 0xFF) + char(state >> 8)));
            problems << textProblems(f.window());
        }
        // What the calibration buttons say while the controller is away.
        auto *begin = f.window()->findChild<QPushButton *>(QStringLiteral("beginCali"));
        f.port()->close();
        begin->click();
        begin->click();
        problems << textProblems(f.window());
        begin->parentWidget()->findChild<QPushButton *>(QStringLiteral("resetCali"))->click();
        problems << textProblems(f.window());
    }
    problems.removeDuplicates();
    for (const QString &problem : qAsConst(problems))
        qWarning().noquote() << problem;
    QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("%1 texts do not fit").arg(problems.size())));
}

void TstTextFit::feedLongestTexts(WindowFixture &f)
{
    const auto answer = [&f](uint8_t source, uint8_t set, uint8_t id, const QByteArray &payload) {
        f.port()->feed(makeFrame(source, AssistantId, set, id, payload));
    };
    // Channels: five-digit signed values, the reversed direction and three-letter sources.
    answer(RemoteControllerId, RemoteControllerSet, CMD_ID_CH_VALUES, QByteArray::fromHex("0080").repeated(16));
    for (int ch = 1; ch <= 16; ++ch) {
        answer(RemoteControllerId, RemoteControllerSet, CMD_ID_GET_MAP, u16Payload(ch, {0x8000, 0x8000, 0x8000}));
        answer(RemoteControllerId, RemoteControllerSet, CMD_ID_GET_REVERSE, QByteArray(1, char(ch)) + char(0xFF));
        answer(RemoteControllerId, RemoteControllerSet, CMD_ID_GET_ENTITY,
               QByteArray(1, char(ch)) + char(1) + char(13 + ch % 5));
    }
    // Upgrade: every known device, the longest versions, hardware id and serial, a long file
    // name, the longest message and a finished upgrade.
    const uint8_t devices[] = {0x10, 0x13, 0x15, 0x17, 0x18, 0x1A, 0x1C, 0x1E, 0x20,
                               0x22, 0x24, 0x26, 0x28, 0x2A, 0x2C, 0x2E, 0x30};
    QByteArray version = QByteArray::fromHex("FFFFFFFFFFFFFFFF") + QByteArray("KRC-T16S-A2X");
    for (uint8_t device : devices) {
        answer(device, CommonSet, CMD_ID_VERSION, version);
        answer(device, CommonSet, CMD_ID_UID, QByteArray(16, char(0xFF)));
    }
    const QString longName = files.filePath(QStringLiteral("firmware_remote_controller_v1.2.3_release.bin"));
    QFile(longName).open(QIODevice::WriteOnly);
    UpgradeSession &upgrade = f.link().upgrade();
    const QList<UpdateFileItem *> rows = f.window()->findChildren<UpdateFileItem *>();
    for (UpdateFileItem *row : rows) {
        chooseUpgradeFile(row, longName);
        row->findChild<UpgradeProgressPanel *>()->show();
    }
    for (int requester = 0; requester <= rows.size(); ++requester) {
        emit upgrade.progress(requester, 100, 100);
        // -2 has no text of its own: the unknown error's, the longest.
        emit upgrade.message(requester, upgradeMessage(-2, nullptr), true);
    }
    // Gimbal and camera: two-digit channels, 1080P and H265, the longest IP and version.
    for (uint8_t function = 0; function < 11; ++function)
        answer(GimbalCameraId, GimbalSet, CMD_ID_GET_GIMBAL_CH, QByteArray(1, char(function)) + char(15));
    answer(GimbalCameraId, GimbalSet, CMD_ID_GET_CAMERA_CONFIG, QByteArray::fromHex("0101"));
    answer(GimbalCameraId, GimbalSet, CMD_ID_GET_CAMERA_IP, QByteArray("255.255.255.255") + '\0');
    answer(GimbalCameraId, GimbalSet, CMD_ID_GET_CAMERA_FW, QByteArray::fromHex("FFFFFF00"));
    // Console: a controller re-plugged on a long port path, in the selector and the bottom bar.
    f.enumerator()->setPorts({});
    f.enumerator()->setPorts({FakePortEnumerator::device(QStringLiteral("/tmp/koru-demo-Xq81zT/ttyKORU0"))});
}

QTEST_MAIN(TstTextFit)
#include "tst_textfit.moc"
