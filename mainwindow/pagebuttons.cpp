#include "pagebuttons.h"

#include "mytoolbutton.h"

#include <QCoreApplication>
#include <QPoint>
#include <QShortcut>
#include <QWidget>

#include <iterator>

namespace {

struct PageButtonInfo
{
    const char *key;
    const char *icon;
    QPoint position;
    bool shown;
};

// By page id; the captions are the window's texts.
const PageButtonInfo Buttons[] = {
    {QT_TRANSLATE_NOOP("MainWindow", "setting"), ":/img/setting", {11, 50}, true},
    {QT_TRANSLATE_NOOP("MainWindow", "upload"), ":/img/upload", {131, 50}, true},
    {QT_TRANSLATE_NOOP("MainWindow", "fix"), ":/img/fix", {738, 50}, false},
    {QT_TRANSLATE_NOOP("MainWindow", "scxs"), ":/img/scxs", {618, 50}, false},
    {QT_TRANSLATE_NOOP("MainWindow", "gimbal config"), ":/img/setting", {251, 50}, true},
};

// Page ids of the buttons from left to right.
const int FromLeft[] = {0, 1, 4, 3, 2};

} // namespace

PageButtons::PageButtons(QWidget *bar) : QObject(bar)
{
    buttons.resize(int(std::size(Buttons)));
    for (int id : FromLeft) {
        const PageButtonInfo &info = Buttons[id];
        auto *button = new MyToolButton(bar);
        button->setId(id);
        button->move(info.position);
        button->setImageAndText(QString::fromLatin1(info.icon), QString());
        button->setVisible(info.shown);
        connect(button, &MyToolButton::sig_clicked, this, &PageButtons::pageChosen);
        buttons[id] = button;
    }
    for (int n = 1; n <= int(std::size(Buttons)); ++n) {
        auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | (Qt::Key_0 + n)), bar);
        connect(shortcut, &QShortcut::activated, this, [this, n] { chooseShown(n); });
    }
}

void PageButtons::showServicePages()
{
    for (MyToolButton *button : qAsConst(buttons))
        button->show();
}

void PageButtons::select(int id)
{
    for (int buttonId = 0; buttonId < buttons.size(); ++buttonId)
        buttons[buttonId]->setSelected(buttonId == id);
}

void PageButtons::retranslate()
{
    for (int id = 0; id < buttons.size(); ++id) {
        const QString caption = QCoreApplication::translate("MainWindow", Buttons[id].key);
        buttons[id]->setLabelText(caption);
        buttons[id]->setAccessibleName(caption);
    }
}

// The nth shown button from the left.
void PageButtons::chooseShown(int n)
{
    for (int id : FromLeft) {
        if (!buttons[id]->isHidden() && --n == 0) {
            emit pageChosen(id);
            return;
        }
    }
}
