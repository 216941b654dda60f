#include "IcoFile.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <gtest/gtest.h>

using art::EncodeIco;

namespace {

quint16 U16(const QByteArray& d, int at) { return qFromLittleEndian<quint16>(d.constData() + at); }
quint32 U32(const QByteArray& d, int at) { return qFromLittleEndian<quint32>(d.constData() + at); }

// Opaque red left half, transparent right half, one half-transparent blue
// pixel at (1, 1), one opaque green pixel at the bottom left corner.
QImage Pattern(int size) {
    QImage img(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            img.setPixel(x, y, x < size / 2 ? qRgba(220, 30, 20, 255) : qRgba(0, 0, 0, 0));
    img.setPixel(1, 1, qRgba(0, 0, 255, 128));
    img.setPixel(0, size - 1, qRgba(0, 200, 0, 255));
    return img;
}

bool IcoReaderAvailable() {
    return QImageReader::supportedImageFormats().contains("ico");
}

QImage ReadIcoImage(const QByteArray& data, int index, int* count = nullptr) {
    QByteArray copy = data;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    if (count)
        *count = reader.imageCount();
    if (index > 0 && !reader.jumpToImage(index))
        return {};
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

TEST(IcoFile, DirectoryDescribesEveryImageAndPointsInsideTheFile) {
    QString error;
    const QByteArray ico = EncodeIco({Pattern(16), Pattern(32), Pattern(256)}, &error);
    ASSERT_FALSE(ico.isEmpty()) << error.toStdString();
    EXPECT_EQ(U16(ico, 0), 0);
    EXPECT_EQ(U16(ico, 2), 1);  // icon, not cursor
    ASSERT_EQ(U16(ico, 4), 3);
    const int expectedWidth[] = {16, 32, 0};  // 0 encodes 256
    quint32 end = 6 + 3 * 16;
    for (int i = 0; i < 3; ++i) {
        const int e = 6 + 16 * i;
        EXPECT_EQ(static_cast<unsigned char>(ico[e]), expectedWidth[i]);
        EXPECT_EQ(static_cast<unsigned char>(ico[e + 1]), expectedWidth[i]);
        EXPECT_EQ(U16(ico, e + 6), 32);
        const quint32 size = U32(ico, e + 8);
        const quint32 offset = U32(ico, e + 12);
        EXPECT_EQ(offset, end) << "images follow each other without gaps";
        end = offset + size;
    }
    EXPECT_EQ(end, static_cast<quint32>(ico.size()));
    // Small sizes are bitmaps (40-byte header, doubled height), 256 is PNG.
    const quint32 first = U32(ico, 6 + 12);
    EXPECT_EQ(U32(ico, first), 40u);
    EXPECT_EQ(U32(ico, first + 8), 32u);
    const quint32 last = U32(ico, 6 + 32 + 12);
    EXPECT_EQ(ico.mid(last, 4), QByteArray("\x89PNG", 4));
}

TEST(IcoFile, ReadsBackPixelForPixelWithAlpha) {
    if (!IcoReaderAvailable())
        GTEST_SKIP() << "no icon reader plugin in this Qt";
    QString error;
    const QImage small = Pattern(16);
    const QImage large = Pattern(256);
    const QByteArray ico = EncodeIco({small, Pattern(32), large}, &error);
    ASSERT_FALSE(ico.isEmpty());

    int count = 0;
    const QImage first = ReadIcoImage(ico, 0, &count);
    EXPECT_EQ(count, 3);
    ASSERT_EQ(first.size(), QSize(16, 16)) << "a plain read returns the first size";
    EXPECT_EQ(first.pixel(3, 8), small.pixel(3, 8));
    EXPECT_EQ(qAlpha(first.pixel(12, 8)), 0);
    EXPECT_EQ(first.pixel(0, 15), qRgba(0, 200, 0, 255)) << "rows are not upside down";
    EXPECT_EQ(qAlpha(first.pixel(1, 1)), 128);
    EXPECT_EQ(qBlue(first.pixel(1, 1)), 255);

    const QImage big = ReadIcoImage(ico, 2);
    ASSERT_EQ(big.size(), QSize(256, 256));
    EXPECT_EQ(big.pixel(0, 255), qRgba(0, 200, 0, 255));
    EXPECT_EQ(qAlpha(big.pixel(200, 10)), 0);
}

TEST(IcoFile, OddWidthsGetPaddedMaskRows) {
    if (!IcoReaderAvailable())
        GTEST_SKIP() << "no icon reader plugin in this Qt";
    QImage img(5, 3, QImage::Format_ARGB32);
    img.fill(qRgba(10, 20, 30, 255));
    img.setPixel(4, 2, qRgba(0, 0, 0, 0));
    QString error;
    const QByteArray ico = EncodeIco({img}, &error);
    // header + directory + bitmap header + colour rows + mask rows of 4 bytes
    EXPECT_EQ(ico.size(), 6 + 16 + 40 + 5 * 3 * 4 + 4 * 3);
    const QImage back = ReadIcoImage(ico, 0);
    ASSERT_EQ(back.size(), QSize(5, 3));
    EXPECT_EQ(back.pixel(0, 0), qRgba(10, 20, 30, 255));
    EXPECT_EQ(qAlpha(back.pixel(4, 2)), 0);
}

TEST(IcoFile, RefusesWhatTheFormatCannotHold) {
    QString error;
    EXPECT_TRUE(EncodeIco({}, &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_TRUE(EncodeIco({QImage(257, 16, QImage::Format_ARGB32)}, &error).isEmpty());
    EXPECT_TRUE(error.contains(QLatin1String("257x16")));
    EXPECT_TRUE(EncodeIco({QImage()}, &error).isEmpty());
}
