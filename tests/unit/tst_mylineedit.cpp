#include "mylineedit.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QValidator>
#include <QWidget>

class TstMyLineEdit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void validatorLimitsTyping_data();
    void validatorLimitsTyping();
    void validatorState_data();
    void validatorState();
    void focusInSelectsAll();
    void updatesWaitUntilFocusLeaves();
    void finishEditOnlyForAChangedValue_data();
    void finishEditOnlyForAChangedValue();

private:
    QWidget window;
    MyLineEdit *edit = nullptr;
    QLineEdit *other = nullptr;
};

void TstMyLineEdit::initTestCase()
{
    window.resize(200, 80);
    other = new QLineEdit(&window);
    other->move(0, 40);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

void TstMyLineEdit::init()
{
    edit = new MyLineEdit(&window);
    edit->setNumberValidator();
    edit->show();
    other->setFocus();
}

void TstMyLineEdit::cleanup()
{
    delete edit;
}

void TstMyLineEdit::validatorLimitsTyping_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("full signed decimal") << "-12345.123456" << "-12345.123456";
    QTest::newRow("sixth integer digit") << "123456" << "12345";
    QTest::newRow("seventh decimal") << "1.1234567" << "1.123456";
    QTest::newRow("letter") << "12a3" << "123";
    QTest::newRow("plus sign") << "+5" << "5";
    QTest::newRow("second point") << "1.2.3" << "1.23";
}

void TstMyLineEdit::validatorLimitsTyping()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), shown);
}

void TstMyLineEdit::validatorState_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("state");
    QTest::newRow("lone minus") << "-" << int(QValidator::Intermediate);
    QTest::newRow("trailing point") << "12." << int(QValidator::Intermediate);
    QTest::newRow("negative decimal") << "-3.5" << int(QValidator::Acceptable);
    QTest::newRow("six digits") << "123456" << int(QValidator::Invalid);
    QTest::newRow("empty") << "" << int(QValidator::Intermediate);
    QTest::newRow("longest") << "-12345.123456" << int(QValidator::Acceptable);
    QTest::newRow("seven decimals") << "1.1234567" << int(QValidator::Invalid);
    QTest::newRow("plus sign") << "+5" << int(QValidator::Invalid);
    QTest::newRow("leading point") << ".5" << int(QValidator::Invalid);
    QTest::newRow("minus after digit") << "5-" << int(QValidator::Invalid);
    QTest::newRow("exponent") << "1e5" << int(QValidator::Invalid);
    QTest::newRow("space") << " 1" << int(QValidator::Invalid);
    QTest::newRow("line feed") << "1\n" << int(QValidator::Invalid);
    QTest::newRow("comma") << "1,5" << int(QValidator::Invalid);
    QTest::newRow("wide integer digit") << QString::fromUtf8("\u0663") << int(QValidator::Invalid);
    QTest::newRow("wide decimal digit") << QString::fromUtf8("1.\u0663") << int(QValidator::Acceptable);
}

void TstMyLineEdit::validatorState()
{
    QFETCH(QString, text);
    QFETCH(int, state);
    int position = 0;
    QCOMPARE(int(edit->validator()->validate(text, position)), state);
}

void TstMyLineEdit::focusInSelectsAll()
{
    edit->setText(QStringLiteral("1500"));
    QTest::mouseClick(edit, Qt::LeftButton);
    QVERIFY(edit->hasFocus());
    QTRY_COMPARE(edit->selectedText(), QStringLiteral("1500"));
}

void TstMyLineEdit::updatesWaitUntilFocusLeaves()
{
    edit->setTextIfIdle(QStringLiteral("10"));
    QCOMPARE(edit->text(), QStringLiteral("10"));

    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("77"));
    edit->setTextIfIdle(QStringLiteral("20"));
    QCOMPARE(edit->text(), QStringLiteral("77"));

    other->setFocus();
    edit->setTextIfIdle(QStringLiteral("30"));
    QCOMPARE(edit->text(), QStringLiteral("30"));
}

void TstMyLineEdit::finishEditOnlyForAChangedValue_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("commitKey");
    QTest::addColumn<int>("finished");
    QTest::newRow("tabbed through") << "" << int(Qt::Key_Tab) << 0;
    QTest::newRow("same value typed again") << "15" << int(Qt::Key_Tab) << 0;
    QTest::newRow("changed, Tab") << "16" << int(Qt::Key_Tab) << 1;
    QTest::newRow("changed, Enter") << "16" << int(Qt::Key_Return) << 1;
}

// A value the program set is not sent back when the focus passes; Enter and leaving the
// edit after it send one change once.
void TstMyLineEdit::finishEditOnlyForAChangedValue()
{
    QFETCH(QString, typed);
    QFETCH(int, commitKey);
    edit->setTextIfIdle(QStringLiteral("15"));
    QSignalSpy spy(edit, &MyLineEdit::sig_finishEdit);
    edit->setFocus();
    QTRY_VERIFY(edit->hasSelectedText());
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key(commitKey));
    other->setFocus();
    QTEST(int(spy.count()), "finished");
}

QTEST_MAIN(TstMyLineEdit)
#include "tst_mylineedit.moc"
