#include "mainwindow.h"

#include "inisettings.h"
#include "myled.h"
#include "mytoolbutton.h"
#include "scpzwidget.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include <iterator>

namespace {

const QString MakerWebSite = QStringLiteral("https://www.example.com/koru/assistant");

const char *const LanguageComboStyle =
    "QComboBox { background: transparent; color: #cccccc; border: none; }"
    "QComboBox::drop-down { border: none; width: 14px; }"
    "QComboBox::down-arrow { image: url(:/img/langage_down); }"
    "QComboBox QAbstractItemView { background: #343434; color: #cccccc; border: none;"
    " selection-background-color: #343434; selection-color: #0b7be2; outline: none; }"
    "QComboBox QAbstractItemView::item { height: 20px; }";

struct PageButtonInfo
{
    const char *key;
    const char *icon;
    QPoint position;
    bool shown;
};

// Title-bar page buttons by page id.
const PageButtonInfo PageButtons[] = {
    {QT_TRANSLATE_NOOP("MainWindow", "setting"), ":/img/setting", {11, 50}, true},
    {QT_TRANSLATE_NOOP("MainWindow", "upload"), ":/img/upload", {131, 50}, true},
    {QT_TRANSLATE_NOOP("MainWindow", "fix"), ":/img/fix", {738, 50}, false},
    {QT_TRANSLATE_NOOP("MainWindow", "scxs"), ":/img/scxs", {618, 50}, false},
    {QT_TRANSLATE_NOOP("MainWindow", "gimbal config"), ":/img/setting", {251, 50}, true},
};

constexpr int DragBandTop = 50;
constexpr int DragBandBottom = 580;

// Tells without blocking what is wrong with the settings file; %1 in text is its folder.
void warnAboutSettings(QWidget *window, const QString &title, const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Warning, title,
                                text.arg(QDir::toNativeSeparators(QDir::currentPath())), QMessageBox::Ok,
                                window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace

MainWindow::MainWindow(DevicePort *port, PortEnumerator *enumerator, QWidget *parent)
    : QMainWindow(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MainWindow"));
    setFixedSize(870, 620);
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    auto *background = new QLabel(central);
    background->setObjectName(QStringLiteral("label_back"));
    setCentralWidget(central);
    setWindowTitle(tr("MainWindow"));

    setWindowTitle(QStringLiteral("KORU Assistant"));
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowMaximizeButtonHint);
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);

    const QPixmap backPicture(QStringLiteral(":/img/back.png"));
    background->setPixmap(backPicture);
    background->setGeometry(0, 0, 870, 620);

    createTimers();
    // Checked before the first write, which replaces a damaged file with what it could read.
    if (iniFileDamaged())
        warnAboutSettings(this, tr("waring"),
                          tr("The settings file kestan.ini in %1 is damaged. Settings that could not be "
                             "read start from their defaults."));
    setIniValue(QStringLiteral("haveOpenUpdataing"), QStringLiteral("0"));
    createTitleBar();
    createPages();

    setIsUpdataing(0);
    createSerialPort(port, enumerator);
    onPortAddedOrRemoved();
    currentPage = 0;
    slot_pagChange(0);
}

MainWindow::~MainWindow() = default;

void MainWindow::createTimers()
{
    caliStatusTimer = new QTimer(this);
    connect(caliStatusTimer, &QTimer::timeout, this, &MainWindow::slot_sendCaliStatusCmd);
    chStatusTimer = new QTimer(this);
    connect(chStatusTimer, &QTimer::timeout, this, &MainWindow::slot_sendReverseStatusCmd);
    rollTimer = new QTimer(this);
    connect(rollTimer, &QTimer::timeout, this, &MainWindow::slot_rollTimerOut);
    uidTimer = new QTimer(this);
    connect(uidTimer, &QTimer::timeout, this, &MainWindow::slot_getUidTimerOut);
    gimbalTimer = new QTimer(this);
    connect(gimbalTimer, &QTimer::timeout, this, &MainWindow::slot_sendGetGimbalCTL_CH_Cmd);
}

MyToolButton *MainWindow::createPageButton(int id, const char *icon, const QPoint &position)
{
    auto *button = new MyToolButton(centralWidget());
    button->setId(id);
    button->setFocusPolicy(Qt::NoFocus);
    button->move(position);
    button->setImageAndText(QString::fromLatin1(icon), QString());
    connect(button, &MyToolButton::sig_clicked, this, &MainWindow::slot_pagChange);
    return button;
}

void MainWindow::createTitleBar()
{
    QWidget *bar = centralWidget();
    trayIcon = new QSystemTrayIcon(QIcon(QStringLiteral(":/img/fly.ico")), this);
    trayIcon->setToolTip(QStringLiteral("KORU Assistant"));
    trayIcon->show();
    connect(trayIcon, &QSystemTrayIcon::activated, this, &MainWindow::slot_onSystemTrayIconClicked);
    setWindowIcon(QIcon(QStringLiteral(":/img/fly.ico")));

    auto *closeButton = new QPushButton(bar);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setGeometry(830, 20, 16, 16);
    connect(closeButton, &QPushButton::clicked, this, &MainWindow::slot_closeClicked);

    auto *miniButton = new QPushButton(bar);
    miniButton->setObjectName(QStringLiteral("miniButton"));
    miniButton->setGeometry(800, 25, 16, 6);
    connect(miniButton, &QPushButton::clicked, this, &MainWindow::slot_miniClicked);

    for (int id = 0; id < int(std::size(PageButtons)); ++id) {
        const PageButtonInfo &info = PageButtons[id];
        MyToolButton *button = createPageButton(id, info.icon, info.position);
        button->setVisible(info.shown);
        pageButtons.append(button);
    }

    usbLed = new MyLed(bar);
    usbLed->move(30, 583);
    usbLed->turnOff();

    langageComboBox = new QComboBox(bar);
    langageComboBox->setObjectName(QStringLiteral("langageComboBox"));
    langageComboBox->setGeometry(670, 20, 90, 20);
    langageComboBox->setView(new QListView(langageComboBox));
    langageComboBox->setMaxVisibleItems(8);
    langageComboBox->setStyleSheet(QLatin1String(LanguageComboStyle));
    langageComboBox->addItem(QStringLiteral("简体中文"));
    langageComboBox->addItem(QStringLiteral("English"));
    connect(langageComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MainWindow::slot_langageChange);

    auto *versionLabel = new QLabel(QStringLiteral("v1.2.9"), bar);
    versionLabel->setObjectName(QStringLiteral("VLabel"));
    versionLabel->setGeometry(750, 587, 58, 14);

    upgradeUrlButton = new QPushButton(bar);
    upgradeUrlButton->setObjectName(QStringLiteral("resetCali"));
    upgradeUrlButton->setGeometry(790, 583, 50, 20);
    upgradeUrlButton->setFocusPolicy(Qt::NoFocus);
    connect(upgradeUrlButton, &QPushButton::clicked, this, &MainWindow::slot_upgradeUrlClieked);
    retranslateTitleBar();
}

void MainWindow::createPages()
{
    channelPage = new QWidget;
    upgradePage = new QWidget;
    settingPage = new QWidget;
    scpzWidget = new ScpzWidget(nullptr);
    gimbalPage = new QWidget;

    initChannelPage();
    initUpgradePage();
    createSettingPage();
    createProductionDatePanel();
    initGimbalPage();

    pageStack = new QStackedWidget(centralWidget());
    pageStack->setGeometry(13, 133, 844, 442);
    for (QWidget *page : {channelPage, upgradePage, settingPage, static_cast<QWidget *>(scpzWidget), gimbalPage})
        pageStack->addWidget(page);
}

void MainWindow::setTranslator(QTranslator *translator)
{
    this->translator = translator;
}

void MainWindow::applySavedLanguage()
{
    const int index = iniValue(QStringLiteral("langage")).toInt();
    if (langageComboBox->currentIndex() == index)
        slot_langageChange(index);
    else
        langageComboBox->setCurrentIndex(index); // runs slot_langageChange
}

void MainWindow::showServicePages()
{
    pageButtons[SettingPage]->show();
    pageButtons[ProductionPage]->show();
}

QString MainWindow::iniValue(const QString &key) const
{
    return ::iniValue(key);
}

void MainWindow::setIniValue(const QString &key, const QString &value)
{
    if (::setIniValue(key, value) || settingsWarningShown)
        return;
    // Said once per run, without blocking: the program works on, it only cannot keep
    // its settings (the language, the upgrade-in-progress flag, the console rows).
    settingsWarningShown = true;
    warnAboutSettings(this, tr("waring"),
                      tr("The settings file kestan.ini in %1 cannot be written. The program works, "
                         "but changed settings will not be kept."));
}

void MainWindow::setIsUpdataing(uint8_t value)
{
    isUpdataing = value != 0;
    setIniValue(QStringLiteral("isUpdataing"), QString::number(value));
}

bool MainWindow::getIsUpdataing() const
{
    return iniValue(QStringLiteral("isUpdataing")) != QLatin1String("0");
}

void MainWindow::slot_pagChange(int id)
{
    currentPage = id;
    pageStack->setCurrentIndex(id);
    if (id == ChannelPage) {
        rcPcOn();
        chStatusTimer->start(500);
        uidTimer->stop();
        sendScxsOff();
        gimbalTimer->stop();
    } else {
        chStatusTimer->stop();
        rcPcOff();
        switch (id) {
        case UpgradePage:
            getDeviceInfo();
            sendScxsOff();
            gimbalTimer->stop();
            break;
        case ProductionPage:
            uidTimer->stop();
            sendScxsOn();
            gimbalTimer->stop();
            break;
        case GimbalPage:
            uidTimer->stop();
            sendScxsOff();
            refreshGimbalPage();
            gimbalTimer->start(1000);
            break;
        default:
            uidTimer->stop();
            sendScxsOff();
            gimbalTimer->stop();
            break;
        }
    }
    for (int buttonId = 0; buttonId < pageButtons.size(); ++buttonId)
        pageButtons[buttonId]->setSelected(buttonId == id);
}

void MainWindow::slot_langageChange(int index)
{
    if (translator && (index == 0 || index == 1)) {
        translator->load(index == 0 ? QStringLiteral(":/cn.qm") : QStringLiteral(":/en.qm"));
        setIniValue(QStringLiteral("langage"), QString::number(index));
    }
    retranslateTitleBar();
    updateChReverseUI(-1);
    updateCaliButtons();
    retranslateUpgradePage();
    updateSettingTexts();
    retranslateGimbalPage();
}

void MainWindow::retranslateTitleBar()
{
    upgradeUrlButton->setText(tr("Upgrade"));
    for (int id = 0; id < pageButtons.size(); ++id)
        pageButtons[id]->setLabelText(tr(PageButtons[id].key));
}

void MainWindow::slot_closeClicked()
{
    closePort();
    close();
}

void MainWindow::slot_miniClicked()
{
    showMinimized();
}

void MainWindow::slot_onSystemTrayIconClicked(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::DoubleClick && reason != QSystemTrayIcon::Trigger)
        return;
    if (isHidden()) {
        show();
        setWindowState(Qt::WindowActive);
        activateWindow();
    } else {
        hide();
    }
}

void MainWindow::slot_upgradeUrlClieked()
{
    QString url = iniValue(QStringLiteral("url"));
    if (url == QLatin1String("0"))
        url = MakerWebSite;
    QDesktopServices::openUrl(QUrl(url));
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int y = event->globalPos().y() - pos().y();
    if (y >= DragBandTop && y <= DragBandBottom)
        return;
    dragging = true;
    dragOffset = event->globalPos() - pos();
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging)
        move(event->globalPos() - dragOffset);
}

void MainWindow::mouseReleaseEvent(QMouseEvent *)
{
    dragging = false;
}
