#include "koruresources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

using Entries = QSet<QPair<QString, QString>>;

// Every (context, source text) pair of a .ts file.
Entries readCatalogue(const QString &path)
{
    Entries entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            entries.insert({context, xml.readElementText()});
    }
    return entries;
}

} // namespace

// Both catalogues are compiled by lrelease at build time; a broken step fails here.
class TestCatalogues : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initKoruResources(); }
    void entries_data();
    void entries();
    void everyProgramTextIsCatalogued();
};

void TestCatalogues::entries_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");

    QTest::newRow("en page button") << ":/en.qm" << "MainWindow" << "setting" << "CH Setting";
    QTest::newRow("cn page button") << ":/cn.qm" << "MainWindow" << "setting" << "通道设置";
    QTest::newRow("en msgerror1") << ":/en.qm" << "UpgradeEngine" << "msgerror1"
                                  << "Error during updating, please update again. If failed many times, please "
                                     "contact our service center for help";
    QTest::newRow("cn msgerror99") << ":/cn.qm" << "UpgradeEngine" << "msgerror99" << "USB未连接";
    QTest::newRow("en trailing blank") << ":/en.qm" << "UpgradeEngine" << "upgred ok " << "Upgrading Complete";
    QTest::newRow("cn leading blank") << ":/cn.qm" << "GimbalPage" << " REC" << "录像";
    QTest::newRow("cn keys stay Chinese in en") << ":/en.qm" << "ConsolePage" << "addr" << "设备：";
    QTest::newRow("en calibration") << ":/en.qm" << "CalibrationPanel" << "返回收据错误 校准失败" << "Calibration failure";
    QTest::newRow("en two lines") << ":/en.qm" << "UpdateFileItem" << "ImageTransmission" << "Image\nTransmission";
    QTest::newRow("en 4G") << ":/en.qm" << "UpdateFileItem" << "4G" << "4G";
    QTest::newRow("cn device") << ":/cn.qm" << "UpdateFileItem" << "主控" << "遥控器";
    QTest::newRow("cn warning in rows") << ":/cn.qm" << "UpdateFileItem" << "waring" << "警告";
    QTest::newRow("en row direction") << ":/en.qm" << "ChSubWidget" << "反相1" << "Reverse";
    QTest::newRow("cn shell view") << ":/cn.qm" << "ShellMsgWidget" << "roll" << "滚动中";
}

void TestCatalogues::entries()
{
    QFETCH(QString, catalogue);
    QFETCH(QString, context);
    QFETCH(QString, key);
    QFETCH(QString, text);
    QTranslator translator;
    QVERIFY(translator.load(catalogue));
    QCOMPARE(translator.translate(qPrintable(context), key.toUtf8().constData()), text);
    // A key is only found with its blanks.
    if (key != key.trimmed())
        QVERIFY(translator.translate(qPrintable(context), key.trimmed().toUtf8().constData()).isEmpty());
}

// Scans the sources as the lupdate target does: a tr() text that reached neither catalogue
// would show its key to the user.
void TestCatalogues::everyProgramTextIsCatalogued()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString scanned = dir.filePath(QStringLiteral("scan.ts"));
    QStringList arguments{QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none")};
    for (const QString &folder : QStringLiteral(KORU_TEXT_DIRS).split(QLatin1Char(' ')))
        arguments << QDir(QStringLiteral(KORU_SOURCE_DIR)).filePath(folder);
    arguments << QStringLiteral("-ts") << scanned;
    QProcess lupdate;
    lupdate.start(QStringLiteral(KORU_LUPDATE), arguments);
    QVERIFY2(lupdate.waitForFinished(60000), qPrintable(lupdate.errorString()));
    QCOMPARE(lupdate.exitCode(), 0);
    const Entries texts = readCatalogue(scanned);
    QVERIFY(!texts.isEmpty());
    for (const char *name : {"cn.ts", "en.ts"}) {
        const Entries catalogue = readCatalogue(QStringLiteral(KORU_SOURCE_DIR "/resources/") + QLatin1String(name));
        QStringList missing;
        for (const auto &text : texts) {
            // Texts the program borrows from Qt's own catalogues, installed beside ours.
            const bool qtOwn = text.first == QLatin1String("QCommandLineParser");
            if (!qtOwn && !catalogue.contains(text))
                missing << text.first + QStringLiteral(": ") + text.second;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(QLatin1String(name) + QStringLiteral(" lacks ") + missing.join(QStringLiteral(" | "))));
    }
}

QTEST_GUILESS_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
