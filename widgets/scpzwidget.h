#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>

// The production page: a white page that carries the production date panel. It shows no
// production values of its own; the value setter and the page switch are accepted and
// ignored so that the main window can feed it like any other view.
class ScpzWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ScpzWidget(QWidget *parent);

    void setValue(uint8_t id, const QString &text);

signals:
    void sig_sendClient(uint8_t id, float value);

public slots:
    void slot_pageChange(int index);
};
