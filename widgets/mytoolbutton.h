#pragma once

#include <QPushButton>
#include <QString>

class QLabel;

// A title-bar page tab: an image above a caption. The selected tab shows the highlight
// picture as its icon; the others keep the icon at size 0 x 0 so nothing is drawn.
class MyToolButton : public QPushButton
{
    Q_OBJECT

public:
    explicit MyToolButton(QWidget *parent);

    void setId(int id);
    void setLabelText(const QString &text);
    void setImageAndText(const QString &imagePath, const QString &caption);
    void setSelected(bool selected);

signals:
    void sig_clicked(int id);

public slots:
    void slot_clicked();

private:
    int id = 0;
    QLabel *captionLabel = nullptr;
    QLabel *imageLabel = nullptr;
    QString imagePath;
};
