#pragma once

#include "deviceport.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>

class AppSettings;
class MyLed;
class Page;
class PageButtons;
class QAction;
class QComboBox;
class QLabel;
class QMessageBox;
class QPushButton;
class QStackedWidget;
class QTranslator;
namespace Koru {
class DeviceLink;
}

// The program's only window: the frameless frame with its own title bar (page buttons,
// language selector, minimise and close), the page stack, the USB indicator, the version
// and the Update button, and the tray icon. The pages do the rest.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    enum PageIndex { Channels = 0, Upgrade = 1, Console = 2, Production = 3, Gimbal = 4 };

    // Builds the pages on the link and starts it; the link must outlive the window.
    explicit MainWindow(Koru::DeviceLink &link, QWidget *parent = nullptr);
    ~MainWindow() override;

    void setTranslator(QTranslator *translator);
    void applySavedLanguage();
    // Shows the buttons of the console and production pages, hidden from ordinary users.
    void showServicePages();

    int currentPageId() const { return currentPage; }

public slots:
    void showPage(int id);
    void onLanguageChosen(int index);

private:
    void createTitleBar();
    void createPages();
    void createBottomBar();
    void fitToScreen();
    void retranslateTitleBar();
    void checkSettingsFile();
    void warnAboutSettings(const QString &text);
    void showOpenError(DevicePort::OpenError reason);
    void showConnection(bool connected, const QString &portName);

    void onCloseClicked();
    void onTrayIconActivated(QSystemTrayIcon::ActivationReason reason);
    void showFromTray();
    void onWebSiteClicked();
    QString updateAddress() const;
    void translateQtTexts(bool chinese);

    Koru::DeviceLink &link;
    AppSettings *settings = nullptr;
    QTranslator *translator = nullptr;
    QTranslator *qtTranslator = nullptr;
    QStackedWidget *pageStack = nullptr;
    QList<Page *> pages;
    PageButtons *pageButtons = nullptr;
    int currentPage = 0;
    QSystemTrayIcon *trayIcon = nullptr;
    QPointer<QMessageBox> openErrorBox; // while it is shown
    QAction *showAction = nullptr;
    QAction *hideAction = nullptr;
    QAction *quitAction = nullptr;
    QComboBox *languageSelector = nullptr;
    QPushButton *webSiteButton = nullptr;
    QPushButton *miniButton = nullptr;
    QPushButton *closeButton = nullptr;
    MyLed *usbLed = nullptr;
    QLabel *connectionLabel = nullptr;
    QWidget *bottomBar = nullptr; // the connection state, version and Update button
};
