#pragma once

#include "loglimiter.h"
#include "page.h"

#include <QElapsedTimer>

class MyPushButton;
class QMessageBox;
namespace Koru {
struct DecodedResponse;
}

// Page 3, for the factory: switches the controller's production display on while it is
// current, and reads and sets the controller's production date.
class ProductionPage : public Page
{
    Q_OBJECT

public:
    ProductionPage(Koru::DeviceLink &link, AppSettings &settings, QWidget *parent = nullptr);

    void enter() override;

protected:
    void retranslate() override;

private:
    void createDatePanel();
    void onInquireDateClicked();
    void onSetDateClicked();
    void onResponse(const Koru::DecodedResponse &response);
    QMessageBox *createAnswerBox(const QString &title);
    // Shows the answer only to a request the user made within its answer time; any other
    // answer is only logged, at the limiter's rate.
    void showAnswer(QMessageBox *box, QElapsedTimer &asked, const QString &text);

    // One box per kind of answer, reused: a newer answer replaces the text of the one shown.
    QMessageBox *dateBox = nullptr;
    QMessageBox *setResultBox = nullptr;
    QElapsedTimer dateAsked;
    QElapsedTimer setAsked;
    Koru::LogLimiter unaskedLog;
    MyPushButton *setButton = nullptr;
};
