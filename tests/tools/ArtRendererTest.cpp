#include "ArtRenderer.h"
#include "Manifest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using art::ArtEntry;
using art::ArtRenderer;
using art::FillPlaceholders;

namespace {

void WriteText(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QList<ArtEntry> Parse(const QString& text) {
    QList<ArtEntry> entries;
    QString error;
    EXPECT_TRUE(art::ParseManifest(text, &entries, &error)) << error.toStdString();
    return entries;
}

// Left half filled with the colour placeholder, right half left empty.
const QByteArray kHalf =
    "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='20' viewBox='0 0 20 20'>"
    "<rect x='0' y='0' width='10' height='20' fill='{{COL:#ff0000}}'/></svg>";

bool Near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// Messages of the SVG module during a render, which mean the drawing is not
// understood as written.
QStringList g_svgMessages;
void CollectSvg(QtMsgType, const QMessageLogContext& ctx, const QString& msg) {
    if (ctx.category && QByteArray(ctx.category).startsWith("qt.svg"))
        g_svgMessages.append(msg);
}

}  // namespace

TEST(Placeholders, ValuesDefaultsAndMistakes) {
    QByteArray out;
    QString error;
    ASSERT_TRUE(FillPlaceholders("a{{X:1}}b{{Y:}}c{{X:9}}", {{QStringLiteral("X"), QStringLiteral("7")}},
                                 &out, &error));
    EXPECT_EQ(out, QByteArray("a7bc7"));
    ASSERT_TRUE(FillPlaceholders("fill='{{COL:#ff0000}}'", {}, &out, &error));
    EXPECT_EQ(out, QByteArray("fill='#ff0000'"));

    EXPECT_FALSE(FillPlaceholders("{{NOPE}}", {}, &out, &error));
    EXPECT_TRUE(error.contains(QLatin1String("NOPE")));
    EXPECT_FALSE(FillPlaceholders("{{X:1}}", {{QStringLiteral("XX"), QStringLiteral("2")}}, &out, &error));
    EXPECT_TRUE(error.contains(QLatin1String("XX"))) << "a misspelt name in the manifest is reported";
}

TEST(ArtRenderer, WritesJpegPngAndIconAtTheirSizes) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    WriteText(tmp.filePath(QStringLiteral("art/half.svg")), kHalf);
    const auto entries = Parse(QStringLiteral(
        "half.svg | bmp/Sub Dir/half.jpg | 40x40 | COL=#0000ff bg=#00ff00\n"
        "half.svg | ico/half.png | 20x20 |\n"
        "half.svg | ico/Half 16.ico | 16x16,32x32 |\n"
        "half.svg | bmp/grey.jpg | 40x40 | effect=disabled\n"));
    ArtRenderer renderer(tmp.filePath(QStringLiteral("art")), tmp.filePath(QStringLiteral("out")));
    for (const ArtEntry& e : entries) {
        QString error;
        ASSERT_TRUE(renderer.Render(e, &error)) << error.toStdString();
    }

    const QImage jpg(tmp.filePath(QStringLiteral("out/bmp/Sub Dir/half.jpg")));
    ASSERT_EQ(jpg.size(), QSize(40, 40));
    EXPECT_TRUE(Near(jpg.pixel(5, 20), qRgb(0, 0, 255), 24)) << "placeholder value drawn";
    EXPECT_TRUE(Near(jpg.pixel(35, 20), qRgb(0, 255, 0), 24)) << "transparent part on the background";

    const QImage png = QImage(tmp.filePath(QStringLiteral("out/ico/half.png"))).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(png.size(), QSize(20, 20));
    EXPECT_EQ(png.pixel(2, 2), qRgba(255, 0, 0, 255)) << "default of the placeholder";
    EXPECT_EQ(qAlpha(png.pixel(17, 2)), 0);

    const QImage grey(tmp.filePath(QStringLiteral("out/bmp/grey.jpg")));
    ASSERT_FALSE(grey.isNull());
    const QRgb g = grey.pixel(5, 20);
    EXPECT_LE(std::abs(qRed(g) - qBlue(g)), 8) << "the disabled look has no colour";
    EXPECT_GT(qGray(g), 140) << "and is faded";

    if (QImageReader::supportedImageFormats().contains("ico")) {
        QImageReader reader(tmp.filePath(QStringLiteral("out/ico/Half 16.ico")));
        EXPECT_EQ(reader.imageCount(), 2);
        EXPECT_EQ(reader.read().size(), QSize(16, 16));
    }
}

TEST(ArtRenderer, KeepsTheAspectRatioOfTheDrawing) {
    QTemporaryDir tmp;
    WriteText(tmp.filePath(QStringLiteral("wide.svg")),
              "<svg xmlns='http://www.w3.org/2000/svg' width='40' height='20' viewBox='0 0 40 20'>"
              "<rect width='40' height='20' fill='#000000'/></svg>");
    ArtRenderer renderer(tmp.path(), tmp.filePath(QStringLiteral("out")));
    QString error;
    ASSERT_TRUE(renderer.Render(Parse(QStringLiteral("wide.svg | w.png | 40x40 |"))[0], &error));
    const QImage img = QImage(tmp.filePath(QStringLiteral("out/w.png"))).convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(img.pixel(20, 2)), 0);
    EXPECT_EQ(qAlpha(img.pixel(20, 20)), 255);
    EXPECT_EQ(qAlpha(img.pixel(20, 37)), 0);
}

TEST(ArtRenderer, ReportsMissingAndBrokenSources) {
    QTemporaryDir tmp;
    WriteText(tmp.filePath(QStringLiteral("bad.svg")), "<svg this is not xml");
    ArtRenderer renderer(tmp.path(), tmp.filePath(QStringLiteral("out")));
    QString error;
    EXPECT_FALSE(renderer.Render(Parse(QStringLiteral("gone.svg | a.png | 8x8 |"))[0], &error));
    EXPECT_TRUE(error.contains(QLatin1String("gone.svg")));
    error.clear();
    EXPECT_FALSE(renderer.Render(Parse(QStringLiteral("bad.svg | b.png | 8x8 |"))[0], &error));
    EXPECT_TRUE(error.contains(QLatin1String("bad.svg")));
    EXPECT_FALSE(QFileInfo::exists(tmp.filePath(QStringLiteral("out/b.png")))) << "no half-written file";
}

// The program's own manifest: every picture the program loads is listed,
// every drawing renders without complaint from the SVG reader, and every
// file reads back at its size.
TEST(ProgramArt, EveryPictureOfTheProgramRendersCleanly) {
    const QString artDir = QStringLiteral(QVS_SOURCE_DIR "/res/art");
    QFile manifest(artDir + QStringLiteral("/manifest.txt"));
    ASSERT_TRUE(manifest.open(QIODevice::ReadOnly));
    const auto entries = Parse(QString::fromUtf8(manifest.readAll()));

    QSet<QString> outputs;
    for (const ArtEntry& e : entries)
        outputs.insert(e.output);
    const QStringList required = {
        QStringLiteral("bmp/Init.jpg"),          QStringLiteral("bmp/Ced/RSV200.jpg"),
        QStringLiteral("bmp/Magnet/THOMAS.jpg"), QStringLiteral("bmp/Magnet/VBB.jpg"),
        QStringLiteral("bmp/joy/Unknow.jpg"),    QStringLiteral("bmp/joy/NOTUSED.jpg"),
        QStringLiteral("bmp/joy/CUSTOM.jpg"),    QStringLiteral("ico/Green 16.ico"),
        QStringLiteral("ico/White 16.ico"),      QStringLiteral("ico/Red 16.ico"),
        QStringLiteral("ico/HandIE.ico"),        QStringLiteral("ico/QvsStudio.ico"),
        QStringLiteral("ico/QvsStudio.png")};
    for (const QString& path : required)
        EXPECT_TRUE(outputs.contains(path)) << path.toStdString();
    for (const char* key : {"Load", "Save", "ReadAll", "WriteAll", "Reset", "read", "Write", "Login",
                            "Logout", "Help", "Info", "Conncect"})
        EXPECT_TRUE(outputs.contains(QStringLiteral("ico/toolbar/%1.ico").arg(QLatin1String(key)))) << key;
    // Every joystick base name comes with all its variants.
    for (const char* base : {"JOY1AX", "JOY2AX", "JOY4AX", "PLC", "DIGITAL", "FINGER", "PEDAL"}) {
        for (const char* suffix : {"", "_D", "_X", "_Y"}) {
            const QString path =
                QStringLiteral("bmp/joy/%1%2.jpg").arg(QLatin1String(base), QLatin1String(suffix));
            EXPECT_TRUE(outputs.contains(path)) << path.toStdString();
        }
    }

    QTemporaryDir tmp;
    ArtRenderer renderer(artDir, tmp.path());
    g_svgMessages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(CollectSvg);
    for (const ArtEntry& e : entries) {
        QString error;
        EXPECT_TRUE(renderer.Render(e, &error)) << e.output.toStdString() << ": " << error.toStdString();
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(g_svgMessages.isEmpty()) << g_svgMessages.join(QLatin1Char('\n')).toStdString();

    const bool icoReadable = QImageReader::supportedImageFormats().contains("ico");
    for (const ArtEntry& e : entries) {
        if (e.format == art::OutputFormat::Ico && !icoReadable)
            continue;
        QImageReader reader(QDir(tmp.path()).filePath(e.output));
        const QImage img = reader.read();
        ASSERT_FALSE(img.isNull()) << e.output.toStdString() << ": " << reader.errorString().toStdString();
        EXPECT_EQ(img.size(), e.sizes[0].size) << e.output.toStdString();
        if (e.format == art::OutputFormat::Ico) {
            EXPECT_EQ(reader.imageCount(), e.sizes.size()) << e.output.toStdString();
        }
    }
}
