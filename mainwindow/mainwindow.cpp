#include "mainwindow.h"

#include "appsettings.h"
#include "channelpage.h"
#include "consolepage.h"
#include "devicelink.h"
#include "gimbalpage.h"
#include "inisettings.h"
#include "myled.h"
#include "pagebuttons.h"
#include "productionpage.h"
#include "upgradepage.h"
#include "upgradesession.h"
#include "enteractivatesbuttons.h"
#include "focusmark.h"
#include "wheelguard.h"
#include "windowdrag.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTranslator>
#include <QUrl>
#include <QVBoxLayout>

using Koru::DeviceLink;

namespace {

const QString UpgradeFlagKey = QStringLiteral("isUpdataing");
// The bottom bar starts where the page stack ends.
constexpr int BottomBarY = 575;

const char *const LanguageComboStyle =
    "QComboBox { background: transparent; color: #cccccc; border: none; font-size: 12px; }"
    "QComboBox:focus { border: 1px solid #0b7be2; }"
    "QComboBox::drop-down { border: none; width: 14px; }"
    "QComboBox::down-arrow { image: url(:/img/langage_down); }"
    "QComboBox QAbstractItemView { background: #343434; color: #cccccc; border: none;"
    " selection-background-color: #343434; selection-color: #0b7be2; outline: none; }"
    "QComboBox QAbstractItemView::item { height: 20px; }";

} // namespace

MainWindow::MainWindow(DeviceLink &link, QWidget *parent)
    : QMainWindow(parent), link(link), settings(new AppSettings(this))
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MainWindow"));
    setFixedSize(870, 620);
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    auto *background = new QLabel(central);
    background->setObjectName(QStringLiteral("label_back"));
    setCentralWidget(central);
    setWindowTitle(QStringLiteral("KORU Assistant"));
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowMaximizeButtonHint);
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
    background->setPixmap(QPixmap(QStringLiteral(":/img/back.png")));
    background->setGeometry(0, 0, 870, 620);

    new WindowDrag(this);
    WheelGuard::install(this);
    EnterActivatesButtons::install(this);
    FocusMark::install(this);
    checkSettingsFile();
    settings->write(QStringLiteral("haveOpenUpdataing"), QStringLiteral("0"));
    createTitleBar();

    // A controller re-plugged during an upgrade resumes it, so the flag lives in kestan.ini.
    link.upgrade().keepFlagIn(
        [this] { return settings->read(UpgradeFlagKey) != QLatin1String("0"); },
        [this](bool on) { settings->write(UpgradeFlagKey, on ? QStringLiteral("1") : QStringLiteral("0")); });
    createPages();
    createBottomBar();
    link.upgrade().clearFlag();

    connect(&link, &DeviceLink::connectionChanged, this, &MainWindow::showConnection);
    connect(&link, &DeviceLink::openFailed, this, &MainWindow::showOpenError);
    connect(&link, &DeviceLink::deviceAttached, this, [this] { showPage(currentPage); });
    link.start();
    showPage(Channels);
    fitToScreen();
}

// On a screen lower than the window (a 1024 x 600 panel with its task bar), the window
// takes the screen's height and the title bar and the page scroll, so that every control
// stays reachable; the bottom bar with the connection state stays in sight below them, on
// its strip of the background.
void MainWindow::fitToScreen()
{
    const QScreen *shown = screen();
    if (!shown || shown->availableGeometry().height() >= height())
        return;
    const int barHeight = height() - bottomBar->y();
    QWidget *content = takeCentralWidget();
    content->setFixedSize(width(), bottomBar->y());
    auto *area = new QScrollArea;
    area->setObjectName(QStringLiteral("windowScroll"));
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->viewport()->setAutoFillBackground(false);
    area->setWidget(content);
    auto *strip = new QLabel;
    strip->setPixmap(QPixmap(QStringLiteral(":/img/back.png")).copy(0, bottomBar->y(), width(), barHeight));
    strip->setScaledContents(true);
    strip->setFixedHeight(barHeight);
    bottomBar->setParent(strip);
    bottomBar->move(0, 0);
    auto *frame = new QWidget;
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(area);
    layout->addWidget(strip);
    setCentralWidget(frame);
    setFixedSize(width() + area->verticalScrollBar()->sizeHint().width(), shown->availableGeometry().height());
}

MainWindow::~MainWindow() = default;

void MainWindow::createTitleBar()
{
    QWidget *bar = centralWidget();
    // Hidden in the tray, the program runs on until the user quits it: a dialog closed
    // meanwhile is not its last window.
    QApplication::setQuitOnLastWindowClosed(false);
    trayIcon = new QSystemTrayIcon(QIcon(QStringLiteral(":/img/fly.ico")), this);
    auto *trayMenu = new QMenu(this);
    showAction = trayMenu->addAction(QString(), this, &MainWindow::showFromTray);
    hideAction = trayMenu->addAction(QString(), this, &QWidget::hide);
    quitAction = trayMenu->addAction(QString(), this, &MainWindow::onCloseClicked);
    trayIcon->setContextMenu(trayMenu);
    trayIcon->show();
    connect(trayIcon, &QSystemTrayIcon::activated, this, &MainWindow::onTrayIconActivated);
    setWindowIcon(QIcon(QStringLiteral(":/img/fly.ico")));

    // Created in reading order, which is the order Tab follows: the page buttons from the
    // left, the language, minimise and close; then the page; then the bottom bar.
    pageButtons = new PageButtons(bar);
    connect(pageButtons, &PageButtons::pageChosen, this, &MainWindow::showPage);

    languageSelector = new QComboBox(bar);
    languageSelector->setObjectName(QStringLiteral("langageComboBox"));
    languageSelector->setGeometry(670, 20, 90, 20);
    languageSelector->setView(new QListView(languageSelector));
    languageSelector->setMaxVisibleItems(8);
    languageSelector->setStyleSheet(QLatin1String(LanguageComboStyle));
    languageSelector->addItem(QStringLiteral("简体中文"));
    languageSelector->addItem(QStringLiteral("English"));
    connect(languageSelector, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MainWindow::onLanguageChosen);

    miniButton = new QPushButton(bar);
    miniButton->setObjectName(QStringLiteral("miniButton"));
    miniButton->setGeometry(800, 25, 16, 6);
    connect(miniButton, &QPushButton::clicked, this, &MainWindow::showMinimized);

    closeButton = new QPushButton(bar);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setGeometry(830, 20, 16, 16);
    connect(closeButton, &QPushButton::clicked, this, &MainWindow::onCloseClicked);
}

void MainWindow::createBottomBar()
{
    bottomBar = new QWidget(centralWidget());
    bottomBar->setObjectName(QStringLiteral("bottomBar"));
    bottomBar->setGeometry(0, BottomBarY, 870, 620 - BottomBarY);
    QWidget *bar = bottomBar;
    usbLed = new MyLed(bar);
    usbLed->move(30, 583 - BottomBarY);
    connectionLabel = new QLabel(bar);
    connectionLabel->setObjectName(QStringLiteral("connectionLabel"));
    connectionLabel->setGeometry(56, 583 - BottomBarY, 600, 20);
    connectionLabel->setTextFormat(Qt::PlainText); // holds the port's name
    showConnection(false, QString());

    auto *versionLabel = new QLabel(QStringLiteral("v1.2.9"), bar);
    versionLabel->setObjectName(QStringLiteral("VLabel"));
    versionLabel->setGeometry(750, 586 - BottomBarY, 58, 16);

    webSiteButton = new QPushButton(bar);
    webSiteButton->setObjectName(QStringLiteral("resetCali"));
    webSiteButton->setGeometry(790, 583 - BottomBarY, 50, 20);
    connect(webSiteButton, &QPushButton::clicked, this, &MainWindow::onWebSiteClicked);
    webSiteButton->setVisible(!updateAddress().isEmpty());
    retranslateTitleBar();
}

// In page id order, which is the order of the stack.
void MainWindow::createPages()
{
    pages = {new ChannelPage(link, *settings), new UpgradePage(link, *settings), new ConsolePage(link, *settings),
             new ProductionPage(link, *settings), new GimbalPage(link, *settings)};
    pageStack = new QStackedWidget(centralWidget());
    pageStack->setGeometry(13, 133, 844, 442);
    for (Page *page : qAsConst(pages))
        pageStack->addWidget(page);
}

// Says once per run, without blocking, what is wrong with kestan.ini: the program works
// on, it only cannot keep its settings (the language, the upgrade flag, the console rows).
// Runs before the first write, which replaces a damaged file with what it could read.
void MainWindow::checkSettingsFile()
{
    connect(settings, &AppSettings::writeFailed, this, [this] {
        if (const qint64 holder = iniLockHolder())
            warnAboutSettings(tr("The settings file kestan.ini in %1 is in use by another running KORU Assistant "
                                 "(process %2). Close that one to keep changed settings.")
                                  .arg(QStringLiteral("%1"), QString::number(holder)));
        else if (!iniFileTooLarge())
            warnAboutSettings(tr("The settings file kestan.ini in %1 cannot be written. The program works, "
                                 "but changed settings will not be kept."));
    });
    if (iniFileTooLarge())
        warnAboutSettings(tr("The settings file kestan.ini in %1 is larger than 1 MiB and was not read. "
                             "Settings start from their defaults and changes will not be kept."));
    else if (iniFileDamaged())
        warnAboutSettings(tr("The settings file kestan.ini in %1 is damaged. Settings that could not be "
                             "read start from their defaults."));
}

void MainWindow::warnAboutSettings(const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Warning, tr("waring"),
                                text.arg(QDir::toNativeSeparators(QDir::currentPath())), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MainWindow::showOpenError(DevicePort::OpenError reason)
{
    QString text = tr("usb open error");
    switch (reason) {
    case DevicePort::OpenError::PermissionDenied:
        text += QLatin1Char('\n')
                + tr("The port cannot be opened because access is denied. Install the udev rule "
                     "60-koru-assistant.rules or add your user to the dialout group.");
        break;
    case DevicePort::OpenError::Busy:
        text += QLatin1Char('\n') + tr("The port is in use by another program.");
        break;
    default:
        break;
    }
    // One box at a time, showing the latest failure: a loose connector fails an open between
    // two good ones again and again, and would stack up a box (and its memory) for each.
    if (openErrorBox) {
        openErrorBox->setText(text);
        return;
    }
    // Not exec(): the link goes on meanwhile.
    openErrorBox = new QMessageBox(QMessageBox::Warning, tr("waring"), text, QMessageBox::Yes, this);
    openErrorBox->setAttribute(Qt::WA_DeleteOnClose);
    openErrorBox->open();
}

void MainWindow::setTranslator(QTranslator *newTranslator)
{
    translator = newTranslator;
    if (!qtTranslator)
        qtTranslator = new QTranslator(this);
}

// Qt's own texts (the buttons of message boxes, the file dialogs) follow the language where
// Qt's translations are installed; English needs none. Each major keeps them in a folder of
// its own, which its QLibraryInfo names.
void MainWindow::translateQtTexts(bool chinese)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    const QString folder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
    QCoreApplication::removeTranslator(qtTranslator);
    if (chinese && qtTranslator->load(QStringLiteral("qtbase_zh_CN"), folder))
        QCoreApplication::installTranslator(qtTranslator);
}

void MainWindow::applySavedLanguage()
{
    const int index = settings->read(QStringLiteral("langage")).toInt();
    if (languageSelector->currentIndex() == index)
        onLanguageChosen(index);
    else
        languageSelector->setCurrentIndex(index); // runs onLanguageChosen
}

void MainWindow::showServicePages()
{
    pageButtons->showServicePages();
}

// The page that is left stops its timers before the new one sends its opening requests.
void MainWindow::showPage(int id)
{
    if (id < 0 || id >= pages.size())
        return;
    pages[currentPage]->leave();
    currentPage = id;
    pageStack->setCurrentIndex(id);
    pages[id]->enter();
    pageButtons->select(id);
}

void MainWindow::onLanguageChosen(int index)
{
    if (translator && (index == 0 || index == 1)) {
        const QString catalogue = index == 0 ? QStringLiteral(":/cn.qm") : QStringLiteral(":/en.qm");
        // The catalogues are built in: only a broken build lacks one.
        if (!translator->load(catalogue))
            qWarning() << "no catalogue" << catalogue;
        translateQtTexts(index == 0);
        settings->write(QStringLiteral("langage"), QString::number(index));
    }
    retranslateTitleBar();
    for (Page *page : qAsConst(pages))
        page->retranslatePage();
}

void MainWindow::showConnection(bool connected, const QString &portName)
{
    connected ? usbLed->turnOn() : usbLed->turnOff();
    connectionLabel->setText(connected ? tr("Connected: %1").arg(QFileInfo(portName).fileName())
                                       : tr("No remote controller — plug it in by USB"));
    // Hidden in the tray, the window's state is still one pointer's rest away.
    trayIcon->setToolTip(tr("KORU Assistant — %1").arg(connectionLabel->text()));
}

void MainWindow::retranslateTitleBar()
{
    webSiteButton->setText(tr("Upgrade"));
    showAction->setText(tr("Show the window"));
    hideAction->setText(tr("Hide to the tray"));
    quitAction->setText(tr("Quit"));
    showConnection(link.isOpen(), link.portName());
    pageButtons->retranslate();
    languageSelector->setAccessibleName(tr("Language"));
    miniButton->setAccessibleName(tr("Minimise"));
    closeButton->setAccessibleName(tr("Quit"));
    usbLed->setAccessibleDescription(tr("USB connection"));
}

void MainWindow::onCloseClicked()
{
    link.close();
    close();
    QCoreApplication::quit();
}

void MainWindow::showFromTray()
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void MainWindow::onTrayIconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::DoubleClick && reason != QSystemTrayIcon::Trigger)
        return;
    // A minimised window is brought back too: a hidden or minimised window comes to the
    // front, a shown one is hidden.
    if (isHidden() || isMinimized())
        showFromTray();
    else
        hide();
}

// kestan.ini's "url" before the address the program was built with.
QString MainWindow::updateAddress() const
{
    const QString url = settings->read(QStringLiteral("url"));
    return url != QLatin1String("0") ? url : QStringLiteral(KORU_UPDATE_URL);
}

void MainWindow::onWebSiteClicked()
{
    QDesktopServices::openUrl(QUrl(updateAddress()));
}
