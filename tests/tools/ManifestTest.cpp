#include "Manifest.h"

#include <gtest/gtest.h>

using art::ArtEntry;
using art::OutputFormat;
using art::ParseManifest;

namespace {

QString ErrorOf(const QString& text) {
    QList<ArtEntry> entries;
    QString error;
    if (ParseManifest(text, &entries, &error))
        return {};
    EXPECT_TRUE(entries.isEmpty());
    return error;
}

}  // namespace

TEST(Manifest, ReadsEntriesWithBlanksCommentsAndLineEndings) {
    const QString text = QStringLiteral(
        "# header\r\n"
        "\r\n"
        "lamp.svg | ico/Green 16.ico | 16x16, 32x32 | BASE=#36b336 LIGHT=#fff\r\n"
        "  splash.svg|bmp/Init.jpg|480x320|quality=80 bg=#102030\n"
        "app.svg | ico/App.ico | 16x16:app-small.svg,256x256 |\r"
        "joy/a.svg | bmp/joy/A_D.png | 96x96 | effect=disabled\n");
    QList<ArtEntry> entries;
    QString error;
    ASSERT_TRUE(ParseManifest(text, &entries, &error)) << error.toStdString();
    ASSERT_EQ(entries.size(), 4);

    const ArtEntry& lamp = entries[0];
    EXPECT_EQ(lamp.line, 3);
    EXPECT_EQ(lamp.output, QStringLiteral("ico/Green 16.ico"));
    EXPECT_EQ(lamp.format, OutputFormat::Ico);
    ASSERT_EQ(lamp.sizes.size(), 2);
    EXPECT_EQ(lamp.sizes[1].size, QSize(32, 32));
    EXPECT_EQ(lamp.vars.value(QStringLiteral("LIGHT")), QStringLiteral("#fff"));

    const ArtEntry& splash = entries[1];
    EXPECT_EQ(splash.format, OutputFormat::Jpeg);
    EXPECT_EQ(splash.sizes[0].size, QSize(480, 320));
    EXPECT_EQ(splash.quality, 80);
    EXPECT_EQ(splash.background, QColor(0x10, 0x20, 0x30));

    const ArtEntry& app = entries[2];
    EXPECT_EQ(app.line, 5);
    EXPECT_EQ(app.sizes[0].source, QStringLiteral("app-small.svg"));
    EXPECT_TRUE(app.sizes[1].source.isEmpty());

    EXPECT_EQ(entries[3].format, OutputFormat::Png);
    EXPECT_TRUE(entries[3].disabled);
}

TEST(Manifest, FaultsNameTheLineAndTheReason) {
    const QString good = QStringLiteral("a.svg | bmp/a.jpg | 10x10 |\n");
    EXPECT_TRUE(ErrorOf(good + QStringLiteral("b.svg | bmp/b.jpg | 10x10 | colour=red\n"))
                    .startsWith(QLatin1String("line 2: unknown option")));
    EXPECT_TRUE(ErrorOf(QStringLiteral("a.svg | bmp/a.jpg\n")).startsWith(QLatin1String("line 1:")));
    EXPECT_TRUE(ErrorOf(QStringLiteral("a.svg | bmp/a.jpg | 10*10 |")).contains(QLatin1String("bad size")));
    EXPECT_TRUE(ErrorOf(QStringLiteral("a.svg | bmp/a.jpg | 0x10 |")).contains(QLatin1String("bad size")));
    EXPECT_TRUE(ErrorOf(QStringLiteral("a.svg | bmp/a.jpg | 10x10,20x20 |"))
                    .contains(QLatin1String("only icons")));
    EXPECT_TRUE(ErrorOf(QStringLiteral("a.svg | ico/a.ico | 16x16,16x16 |")).contains(QLatin1String("twice")));
    EXPECT_TRUE(ErrorOf(QStringLiteral("a.svg | ico/a.ico | 512x512 |")).contains(QLatin1String("256")));
    EXPECT_TRUE(ErrorOf(QStringLiteral("a.svg | bmp/a.gif | 10x10 |")).contains(QLatin1String(".jpg")));
    EXPECT_TRUE(ErrorOf(QStringLiteral("a.svg | bmp/a.jpg | 10x10 | quality=0")).contains(QLatin1String("quality")));
    EXPECT_TRUE(ErrorOf(QStringLiteral("a.svg | bmp/a.jpg | 10x10 | bg=red")).contains(QLatin1String("bg")));
    EXPECT_TRUE(ErrorOf(QStringLiteral("a.svg | bmp/a.jpg | 10x10 | effect=blur")).contains(QLatin1String("effect")));
    EXPECT_TRUE(ErrorOf(QStringLiteral("a.svg | bmp/a.jpg | 10x10 | A=1 A=2")).contains(QLatin1String("twice")));
    EXPECT_TRUE(ErrorOf(QStringLiteral("a.png | bmp/a.jpg | 10x10 |")).contains(QLatin1String("source")));
}

TEST(Manifest, OutputsStayInsideTheOutputFolder) {
    EXPECT_FALSE(ErrorOf(QStringLiteral("a.svg | /tmp/a.jpg | 10x10 |")).isEmpty());
    EXPECT_FALSE(ErrorOf(QStringLiteral("a.svg | ../a.jpg | 10x10 |")).isEmpty());
    EXPECT_FALSE(ErrorOf(QStringLiteral("a.svg | bmp\\a.jpg | 10x10 |")).isEmpty());
    EXPECT_FALSE(ErrorOf(QStringLiteral("a.svg | bmp//a.jpg | 10x10 |")).isEmpty());
    EXPECT_FALSE(ErrorOf(QStringLiteral("../a.svg | bmp/a.jpg | 10x10 |")).isEmpty());
}

TEST(Manifest, TwoOutputsThatDifferOnlyInCaseAreRefused) {
    const QString error = ErrorOf(QStringLiteral("a.svg | ico/Read.ico | 16x16 |\n"
                                                 "b.svg | ico/read.ico | 16x16 |\n"));
    EXPECT_TRUE(error.startsWith(QLatin1String("line 2:"))) << error.toStdString();
}
