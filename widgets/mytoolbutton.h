#pragma once

#include "mypushbutton.h"

#include <QString>

class QLabel;

// A title-bar page tab: an image above a caption. The selected tab shows the highlight
// picture as its icon; the others keep the icon at size 0 x 0 so nothing is drawn.
class MyToolButton : public MyPushButton
{
    Q_OBJECT

public:
    explicit MyToolButton(QWidget *parent);

    void setLabelText(const QString &text);
    void setImageAndText(const QString &imagePath, const QString &caption);
    void setSelected(bool selected);

private:
    QLabel *captionLabel = nullptr;
    QLabel *imageLabel = nullptr;
    QString imagePath;
};
