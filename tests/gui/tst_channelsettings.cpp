#include "channelsamples.h"
#include "channelsettings.h"
#include "frame.h"
#include "chsubwidget.h"
#include "mylineedit.h"
#include "remotecontroller.h"
#include "windowfixture.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

using namespace Koru;

namespace {

const QString EnglishIni = QStringLiteral("[General]\nlangage=1\n");

bool isQuery(uint8_t id)
{
    return std::any_of(std::begin(PartCommands), std::end(PartCommands),
                       [id](const ChannelPartCommands &c) { return c.query == id; });
}

// Acts on the next modal dialog of type T once it shows; it runs its own event loop, so
// a timer looks for it.
template <typename T, typename Act> void whenModal(QObject *context, Act act)
{
    auto *timer = new QTimer(context);
    QObject::connect(timer, &QTimer::timeout, context, [timer, act] {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start(10);
}

// Answers the channel commands written to the controller as a simulated controller does,
// and after each of its answers to a query sends the module side's answer for the same
// channel with factory values, into the same device state.
class ChannelResponder : public QObject
{
public:
    explicit ChannelResponder(const WindowFixture &f) : fixture(f)
    {
        connect(&poll, &QTimer::timeout, this, &ChannelResponder::answerWrites);
        poll.start(1);
    }

private:
    void answerWrites()
    {
        const QByteArrayList &writes = fixture.port()->writes;
        seenWrites = std::min(seenWrites, int(writes.size()));
        for (const SentFrame &frame : parseWrites(writes.mid(seenWrites))) {
            if (frame.set != RemoteControllerSet || frame.target != RemoteControllerId)
                continue;
            answer(RemoteControllerId, controller.handle(frame.id, frame.payload), frame.id);
            if (isQuery(frame.id))
                answer(ModuleSideId, moduleSide.handle(frame.id, frame.payload), frame.id);
        }
        seenWrites = writes.size();
    }

    void answer(uint8_t source, const std::optional<QByteArray> &payload, uint8_t id)
    {
        if (payload)
            fixture.port()->feed(makeFrame(source, AssistantId, RemoteControllerSet, id, *payload));
    }

    const WindowFixture &fixture;
    SimulatorOptions options;
    RemoteController controller{options};
    RemoteController moduleSide{options};
    int seenWrites = 0;
    QTimer poll;
};

} // namespace

// The channel page's buttons that save and load the channel settings.
class TstChannelSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loadThenSave();
    void refusedLoadSendsNothing_data();
    void refusedLoadSendsNothing();
    void withoutControllerSaysSo();

private:
    void start(bool devicePresent);
    QPushButton *button(const QString &text) const;
    QMessageBox *shownBox() const;
    void chooseFile(const QString &path);
    QString writeFile(const QByteArray &content);

    QTemporaryDir files;
    std::unique_ptr<WindowFixture> fixture;
    bool fileDialogShown = false;
};

void TstChannelSettings::init()
{
    start(true);
}

void TstChannelSettings::cleanup()
{
    fixture.reset();
}

void TstChannelSettings::start(bool devicePresent)
{
    fixture = std::make_unique<WindowFixture>(devicePresent, EnglishIni);
    fixture->window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(fixture->window()));
}

QPushButton *TstChannelSettings::button(const QString &text) const
{
    for (QPushButton *b : fixture->window()->findChildren<QPushButton *>(QStringLiteral("settingsFile"))) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

QMessageBox *TstChannelSettings::shownBox() const
{
    for (QMessageBox *box : fixture->window()->findChildren<QMessageBox *>()) {
        if (box->isVisible())
            return box;
    }
    return nullptr;
}

void TstChannelSettings::chooseFile(const QString &path)
{
    // Typed into the name field, as a user would: selectFile() races the dialog's folder model.
    whenModal<QFileDialog>(fixture->window(), [path](QFileDialog *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog *>(dialog)->accept();
    });
}

QString TstChannelSettings::writeFile(const QByteArray &content)
{
    const QString path = files.filePath(QStringLiteral("load.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return path;
}

// The module side answers every query after the controller, with other values: only the
// controller's answers may count, when verifying the load and when saving.
void TstChannelSettings::loadThenSave()
{
    ChannelResponder responder(*fixture);
    const ChannelSettings changed = changedChannelSettings();
    // An edit the user committed keeps the focus through the load: leaving it afterwards
    // must not send its old value over the loaded one.
    auto *edited = fixture->window()->findChild<ChSubWidget *>()->findChild<MyLineEdit *>();
    QTRY_VERIFY_WITH_TIMEOUT(edited->isEnabled(), 5000); // the page's queries were answered
    edited->setFocus();
    QTRY_VERIFY(edited->hasSelectedText());
    QTest::keyClicks(edited, QStringLiteral("1234"));
    QTest::keyClick(edited, Qt::Key_Return);
    chooseFile(writeFile(ChannelSettingsFile::toJson(changed)));
    whenModal<QMessageBox>(fixture->window(),
                           [](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
    QTest::mouseClick(button(QStringLiteral("Load settings…")), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(shownBox(), 8000);
    QCOMPARE(shownBox()->text(), QStringLiteral("Loaded the settings: all 16 channels read back as sent."));
    shownBox()->close();
    fixture->takeWrites();
    edited->clearFocus();
    QVERIFY(parseWrites(fixture->takeWrites()).isEmpty());

    const QString saved = files.filePath(QStringLiteral("saved.json"));
    chooseFile(saved);
    QTest::mouseClick(button(QStringLiteral("Save settings…")), Qt::LeftButton);
    // The load's box may still be on its way out.
    QTRY_VERIFY_WITH_TIMEOUT(shownBox() && shownBox()->text().startsWith(QLatin1String("Saved")), 8000);
    QCOMPARE(shownBox()->icon(), QMessageBox::Information);
    ChannelSettings read;
    QString error;
    QVERIFY2(ChannelSettingsFile::read(saved, &read, &error), qPrintable(error));
    QVERIFY(read.channels == changed.channels);
    QCOMPARE(QSettings(fixture->iniPath(), QSettings::IniFormat).value(QStringLiteral("channelSettingsDir")).toString(),
             files.path());
}

void TstChannelSettings::refusedLoadSendsNothing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message"); // empty: the file is good and the user declines

    QTest::newRow("declined") << ChannelSettingsFile::toJson(changedChannelSettings()) << QString();
    QTest::newRow("bad file") << QByteArray("{\"format\": \"koru-channel-settings\", \"version\": 1, \"channels\": []}")
                              << "Channel 1 is missing.";
}

void TstChannelSettings::refusedLoadSendsNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    chooseFile(writeFile(content));
    whenModal<QMessageBox>(fixture->window(), [](QMessageBox *box) {
        if (QAbstractButton *no = box->button(QMessageBox::No))
            no->click();
    });
    QTest::mouseClick(button(QStringLiteral("Load settings…")), Qt::LeftButton);
    if (!message.isEmpty()) {
        QTRY_VERIFY(shownBox());
        QCOMPARE(shownBox()->text(), message);
    }
    // A load would have written its set commands before the click returned.
    for (const SentFrame &frame : parseWrites(fixture->takeWrites()))
        QVERIFY(frame.set != RemoteControllerSet || isQuery(frame.id));
}

void TstChannelSettings::withoutControllerSaysSo()
{
    start(false);
    fileDialogShown = false;
    whenModal<QFileDialog>(fixture->window(), [this](QFileDialog *dialog) {
        fileDialogShown = true;
        dialog->reject();
    });
    for (const QString &text : {QStringLiteral("Save settings…"), QStringLiteral("Load settings…")}) {
        QTest::mouseClick(button(text), Qt::LeftButton);
        QTRY_VERIFY(shownBox());
        QCOMPARE(shownBox()->text(),
                 QStringLiteral("The remote controller is not connected. Connect it by USB and try again."));
        shownBox()->close();
    }
    QVERIFY(!fileDialogShown);
}

QTEST_MAIN(TstChannelSettings)
#include "tst_channelsettings.moc"
