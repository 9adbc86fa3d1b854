// Draws the user interface's pictures and writes them, under the names the resource
// collection expects, into the folder given on the command line.
#include "pictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QTextStream>

#include <iterator>

namespace {
using PaintFunction = void (*)(QPainter &, const QRectF &);

struct Picture
{
    const char *file;
    QSize size;
    PaintFunction paint;
};

const Picture Pictures[] = {
    {"back.png", {870, 620}, paintWindowBackground},
    {"title_back.png", {120, 80}, paintPageHighlight},
    {"close.png", {16, 16}, paintCloseGlyph},
    {"minimize.png", {16, 6}, paintMinimizeGlyph},
    {"langage_down.png", {12, 8}, paintLanguageArrow},
    {"setting.png", {28, 28}, paintSettingIcon},
    {"upload.png", {28, 28}, paintUploadIcon},
    {"fix.png", {28, 28}, paintFixIcon},
    {"scxs.png", {32, 32}, paintProductionIcon},
    {"fly.ico", {96, 96}, paintAppIcon},
    {"usb_on.png", {20, 20}, paintUsbOn},
    {"usb_off.png", {20, 20}, paintUsbOff},
    {"xy.png", {146, 146}, paintStickGrid},
    {"ch_probar.png", {120, 18}, paintBarOverlay},
    {"ch_combox_down.png", {6, 4}, paintComboArrow},
    {"cali_but_nor.png", {132, 42}, paintBlueButton},
    {"cali_but_select.png", {132, 42}, paintBlueButtonHover},
    {"ch_pushbut_nor.png", {50, 20}, paintBlueButton},
    {"ch_pushbut_select.png", {50, 20}, paintBlueButtonHover},
    {"checkbox_on.png", {16, 16}, paintCheckboxOn},
    {"checkbox_off.png", {16, 16}, paintCheckboxOff},
    {"get_file_but.png", {80, 20}, paintBlueButton},
    {"get_file_but_pre.png", {80, 20}, paintBlueButtonHover},
    {"get_filename.png", {100, 20}, paintField},
    {"itemclose.png", {20, 20}, paintItemClose},
    {"itemclose_select.png", {20, 20}, paintItemCloseHover},
    {"sendshellbutton_nor.png", {40, 20}, paintBlueButton},
    {"sendshellbutton_hover.png", {40, 20}, paintBlueButtonHover},
    {"clear.png", {50, 26}, paintLightButton},
    {"roll.png", {70, 26}, paintLightButton},
    // Kept in the collection although nothing refers to them.
    {"point.png", {10, 10}, paintPoint},
    {"getfile.png", {180, 20}, paintBlueButton},
    {"getfile_select.png", {180, 20}, paintBlueButtonHover},
    {"lineeidt_back.png", {36, 18}, paintField},
    {"cali_back.png", {520, 380}, paintCalibrationPanel},
    {"cali_back2.png", {844, 442}, paintCalibrationPage},
    {"scpz.png", {32, 32}, paintProductionConfigIcon},
    {"yaokong1.png", {166, 200}, paintRemoteCentred},
    {"yaokong2.png", {166, 200}, paintRemoteDeflected},
    {"ch_combox_back.png", {30, 20}, paintComboBox},
    {"ico.ico", {24, 32}, paintAppIcon},
};

QImage render(const Picture &picture)
{
    QImage image(picture.size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    picture.paint(painter, QRectF(QPointF(0, 0), picture.size));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// Icons are written as real ICO files when the ICO plugin is present, else as PNG data
// under the same name (Qt reads either by content).
QByteArray formatFor(const QString &file)
{
    const bool ico = file.endsWith(QLatin1String(".ico"));
    if (ico && QImageWriter::supportedImageFormats().contains("ico"))
        return "ico";
    return "png";
}

bool write(const Picture &picture, const QDir &folder, QTextStream &err)
{
    const QString file = QString::fromLatin1(picture.file);
    QImageWriter writer(folder.filePath(file), formatFor(file));
    if (writer.write(render(picture)))
        return true;
    err << file << ": " << writer.errorString() << '\n';
    return false;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "usage: " << args.value(0) << " OUTPUT_FOLDER\n";
        return 2;
    }
    const QDir folder(args.at(1));
    if (!folder.mkpath(QStringLiteral("."))) {
        err << "cannot create " << folder.path() << '\n';
        return 1;
    }
    int written = 0;
    for (const Picture &picture : Pictures)
        written += write(picture, folder, err) ? 1 : 0;
    out << written << " images written to " << folder.path() << " (icons as "
        << formatFor(QStringLiteral("x.ico")) << ")\n";
    return written == int(std::size(Pictures)) ? 0 : 1;
}
