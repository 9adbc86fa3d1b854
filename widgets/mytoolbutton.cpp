#include "mytoolbutton.h"

#include <QIcon>
#include <QLabel>
#include <QPixmap>

namespace {
const QString HighlightImage = QStringLiteral(":/img/title_back");
}

MyToolButton::MyToolButton(QWidget *parent)
    : MyPushButton(parent), captionLabel(new QLabel(this)), imageLabel(new QLabel(this))
{
    setObjectName(QStringLiteral("MyToolButton"));
    resize(120, 80);
    imageLabel->setGeometry(46, 16, 28, 28);
    captionLabel->setGeometry(0, 45, 120, 30);
    captionLabel->setAlignment(Qt::AlignCenter);
    captionLabel->setObjectName(QStringLiteral("MyToolButton"));
    // The whole tab is the button: hover and clicks over the picture and the caption too.
    imageLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    captionLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void MyToolButton::setLabelText(const QString &text)
{
    captionLabel->setText(text);
}

void MyToolButton::setImageAndText(const QString &path, const QString &caption)
{
    imagePath = path;
    imageLabel->setPixmap(QPixmap(imagePath));
    captionLabel->setText(caption);
}

void MyToolButton::setSelected(bool selected)
{
    const QPixmap highlight(HighlightImage);
    setIcon(QIcon(highlight));
    setIconSize(selected ? highlight.size() : QSize(0, 0));
}
