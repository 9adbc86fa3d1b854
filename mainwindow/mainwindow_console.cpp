#include "mainwindow.h"

#include "combostyle.h"
#include "frame.h"
#include "inisettings.h"
#include "mylineedit.h"
#include "mypushbutton.h"
#include "upgradeprogresspanel.h"
#include "whitebackground.h"
#include "protocolids.h"
#include "shellmsgdialog.h"
#include "shellmsgwidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QTimer>

namespace {

constexpr int ConsoleRowCount = 20;
constexpr int FirstRowY = 28;
constexpr int RowPitch = 19;
constexpr int ShownFileNameChars = 15;

const QString StoredNothing = QStringLiteral("0");
const QString SettingFileKey = QStringLiteral("settingfileName");

// What the port selector has beyond the common white-page selector style.
const char *const PortComboExtraStyle =
    "QComboBox { font-size: 12px; }"
    "QComboBox::drop-down { width: 8px; }"
    "QComboBox QAbstractItemView { font-size: 11px; }"
    "QComboBox QScrollBar:vertical { background: white; }"
    "QComboBox QScrollBar::handle:vertical { background: #cccccc; min-height: 10px; }"
    "QComboBox QScrollBar::add-line:vertical, QComboBox QScrollBar::sub-line:vertical"
    " { height: 0px; }";

struct LabelPlace
{
    const char *key;
    QRect geometry;
};

// The page's translated captions, in the order of settingTextLabels.
const LabelPlace SettingLabels[] = {
    {QT_TRANSLATE_NOOP("MainWindow", "roll send"), {604, 414, 80, 20}},
    {QT_TRANSLATE_NOOP("MainWindow", "jiangge"), {685, 414, 50, 20}},
    {QT_TRANSLATE_NOOP("MainWindow", "gujianup"), {25, 402, 100, 20}},
    {QT_TRANSLATE_NOOP("MainWindow", "addr"), {165, 402, 50, 20}},
};

// A stored "0" cannot be told from an absent key; both fall back to the default.
QString storedOr(const QString &key, const QString &fallback)
{
    const QString value = iniValue(key);
    return value == StoredNothing ? fallback : value;
}

QString rowKey(const char *prefix, int row)
{
    return QLatin1String(prefix) + QString::number(row);
}

MyLineEdit *createLineEdit(QWidget *parent, const QRect &geometry, const QString &text)
{
    auto *edit = new MyLineEdit(parent);
    edit->setGeometry(geometry);
    edit->setText(text);
    return edit;
}

void createRule(QWidget *parent, QFrame::Shape shape, const QRect &geometry)
{
    auto *rule = new QFrame(parent);
    rule->setFrameShape(shape);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(geometry);
}

} // namespace

void MainWindow::createSettingPage()
{
    settingPage->resize(844, 442);
    fillWhite(settingPage);
    shellDevIds = {Koru::RemoteControllerId};
    shellDialogs.clear();
    for (int row = 0; row < ConsoleRowCount; ++row)
        createConsoleRow(row);

    shellMsgWidget = new ShellMsgWidget(settingPage);
    shellMsgWidget->move(10, 10);
    createRule(settingPage, QFrame::VLine, QRect(556, 0, 2, 442));
    createRule(settingPage, QFrame::HLine, QRect(0, 385, 556, 2));
    for (const LabelPlace &place : SettingLabels) {
        auto *label = new QLabel(settingPage);
        label->setGeometry(place.geometry);
        settingTextLabels.append(label);
    }
    createRollSendRow();
    createPortAndUpdateRow();
    createSettingProgressPanel();

    settingMsgLabel = new QLabel(settingPage);
    settingMsgLabel->setObjectName(QStringLiteral("msgLabel"));
    settingMsgLabel->setGeometry(100, 420, 400, 20);
    settingMsgLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    updateSettingTexts();
}

void MainWindow::createConsoleRow(int row)
{
    const int y = FirstRowY + RowPitch * row;
    auto *rollBox = new QCheckBox(settingPage);
    rollBox->setGeometry(584, y, 20, 20);
    rollBox->setFocusPolicy(Qt::NoFocus);
    rollCheckBoxes.append(rollBox);

    devAddrEdits.append(createLineEdit(settingPage, QRect(604, y, 51, 20),
                                       storedOr(rowKey("devAddr", row), QStringLiteral("0x10"))));
    cmdLineEdits.append(createLineEdit(settingPage, QRect(654, y, 121, 20),
                                       storedOr(rowKey("cmdLine", row), QStringLiteral("help"))));

    MyPushButton *sendButton = MyPushButton::create(settingPage, "sendShellCmd", QRect(774, y, 40, 20));
    sendButton->setId(row);
    sendButton->setText(QString::number(row + 1));
    connect(sendButton, &MyPushButton::sig_clicked, this, &MainWindow::slot_sendCmdClicked);
    sendButtons.append(sendButton);
}

void MainWindow::createRollSendRow()
{
    rollEnableBox = new QCheckBox(settingPage);
    rollEnableBox->setGeometry(584, 414, 20, 20);
    rollEnableBox->setFocusPolicy(Qt::NoFocus);
    connect(rollEnableBox, &QCheckBox::stateChanged, this, &MainWindow::slot_rollCheckBoxClicked);

    rollIntervalEdit = createLineEdit(settingPage, QRect(719, 414, 51, 20),
                                      storedOr(QStringLiteral("rolltime"), QStringLiteral("1000")));
    auto *unit = new QLabel(QStringLiteral("ms"), settingPage);
    unit->setGeometry(775, 414, 40, 20);
}

void MainWindow::createPortAndUpdateRow()
{
    portComboBox = new QComboBox(settingPage);
    portComboBox->setGeometry(75, 402, 60, 20);
    portComboBox->setView(new QListView(portComboBox));
    portComboBox->setMaxVisibleItems(8);
    portComboBox->setStyleSheet(whiteComboStyle() + QLatin1String(PortComboExtraStyle));
    connect(portComboBox, &QComboBox::currentTextChanged, this, &MainWindow::slot_portChange);

    updateAddrEdit = createLineEdit(settingPage, QRect(205, 402, 50, 20), QStringLiteral("0x10"));
    settingGetFileButton = MyPushButton::create(settingPage, "getfile", QRect(285, 402, 80, 20));
    connect(settingGetFileButton, &MyPushButton::sig_clicked, this, &MainWindow::slot_getfileClicked);
    settingFileNameButton = MyPushButton::create(settingPage, "getfilename", QRect(365, 402, 100, 20));
    settingUpdateButton = MyPushButton::create(settingPage, "zhengxian", QRect(475, 402, 50, 20));
    connect(settingUpdateButton, &MyPushButton::sig_clicked, this,
            &MainWindow::slot_settingUpdateClicked);
}

// Created after the update row so that, while shown, it covers the file name and update buttons.
void MainWindow::createSettingProgressPanel()
{
    settingProgressPanel = new UpgradeProgressPanel(QRect(280, 393, 275, 35), settingPage);
    connect(settingProgressPanel, &UpgradeProgressPanel::sig_closeClicked, this,
            &MainWindow::slot_settingUpdateCloseClicked);
}

void MainWindow::updateSettingTexts()
{
    for (int i = 0; i < settingTextLabels.size(); ++i)
        settingTextLabels[i]->setText(tr(SettingLabels[i].key));
    settingGetFileButton->setText(tr("getfoile"));
    settingUpdateButton->setText(tr("updatefoile"));
    shellMsgWidget->updateTexts();
    for (ShellMsgDialog *dialog : qAsConst(shellDialogs))
        dialog->updateTexts();
}

void MainWindow::setSettingMsg(const QString &text)
{
    settingMsgLabel->setText(text);
}

void MainWindow::setSettingProgress(int max, int value)
{
    settingProgressPanel->setProgress(max, value);
}

// Address 0x10 is shown on the page itself; every other address gets a dialog of its own,
// created the first time text arrives for it.
void MainWindow::updateShellReadstrUI(uint8_t devId)
{
    const int index = shellDevIds.indexOf(devId);
    if (index == 0) {
        if (shellReadstr.isEmpty())
            return;
        shellMsgWidget->appendShellText(shellReadstr);
        shellMsgWidget->update();
        shellReadstr.clear();
        return;
    }
    if (index < 0) {
        shellDevIds.append(devId);
        qDebug() << "add new dialog";
        auto *dialog = new ShellMsgDialog(devId, this);
        shellDialogs.append(dialog);
        dialog->updateTexts();
    }
    showInShellDialog(shellDevIds.indexOf(devId) - 1);
}

// A dialog the user closed comes back with the next text for its address.
void MainWindow::showInShellDialog(int index)
{
    ShellMsgDialog *dialog = shellDialogs.at(index);
    dialog->show();
    if (shellReadstr.isEmpty())
        return;
    dialog->appendShellText(shellReadstr);
    shellReadstr.clear();
}

// The row is stored before anything is checked, so a refused command comes back at the
// next start as well.
void MainWindow::slot_sendCmdClicked(int id)
{
    if (id < 0 || id >= cmdLineEdits.size())
        return;
    const QString command = cmdLineEdits[id]->text();
    const QString address = devAddrEdits[id]->text();
    setIniValue(rowKey("cmdLine", id), command);
    setIniValue(rowKey("devAddr", id), address);
    const auto devId = uint8_t(Koru::hexPairToByte(address));
    qDebug() << command << devId;
    sendShellText(command, devId);
}

// An invalid interval changes nothing, whichever way the box was switched.
void MainWindow::slot_rollCheckBoxClicked(int sta)
{
    const int interval = rollIntervalEdit->text().toInt();
    if (interval < 1) {
        qDebug() << "rolltime need >= 0ms";
        return;
    }
    if (sta == Qt::Unchecked) {
        rollTimer->stop();
        qDebug() << "Unchecked";
    } else if (sta == Qt::Checked) {
        qDebug() << "Checked" << interval;
        rollTimer->start(interval);
        setIniValue(QStringLiteral("rolltime"), QString::number(interval));
    }
}

void MainWindow::slot_rollTimerOut()
{
    for (int row = 0; row < rollCheckBoxes.size(); ++row) {
        if (rollCheckBoxes[row]->isChecked())
            slot_sendCmdClicked(row);
    }
}

void MainWindow::slot_getfileClicked()
{
    settingFilePath = storedOr(SettingFileKey, QString());
    settingFilePath =
        QFileDialog::getOpenFileName(this, tr("Open File"), settingFilePath, tr("Bin (*.bin *.cfg)"));
    settingFileNameButton->setText(QFileInfo(settingFilePath).fileName().right(ShownFileNameChars));
    setIniValue(SettingFileKey, settingFilePath);
}

// Runs the same upgrade procedure as the upgrade page, reporting to this page (row 0).
void MainWindow::slot_settingUpdateClicked()
{
    if (getIsUpdataing()) {
        QMessageBox::warning(this, tr("waring"), tr("other upgrade is doing"), QMessageBox::Yes);
        return;
    }
    // A stopped run stays inside its waits until its next acknowledgement; starting now
    // would close its file and take its target from it.
    if (upgradeRunning()) {
        setSettingMsg(tr("other upgrade is doing"));
        return;
    }
    settingProgressPanel->show();
    updateAddr = uint8_t(Koru::hexPairToByte(updateAddrEdit->text()));
    updateFileID = 0;
    updatefilename = settingFilePath;
    upgradeFile.close();
    slot_upFile();
}

// Stops the running upgrade only when the stored "updateAddr" names the current target;
// this row never stores that key itself.
void MainWindow::slot_settingUpdateCloseClicked()
{
    settingProgressPanel->hide();
    qDebug() << "slot_closeClicked";
    setSettingProgress(1, 0);
    setIniValue(QStringLiteral("haveOpenUpdataing"), StoredNothing);
    settingMsgLabel->clear();
    if (iniValue(QStringLiteral("updateAddr")) == QString::number(updateAddr))
        slot_stopUpFile();
}
