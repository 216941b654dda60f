#include "IcoFile.h"

#include <QBuffer>

namespace art {
namespace {

void PutU8(QByteArray& out, unsigned v) { out.append(static_cast<char>(v & 0xFF)); }
void PutU16(QByteArray& out, unsigned v) {
    PutU8(out, v);
    PutU8(out, v >> 8);
}
void PutU32(QByteArray& out, quint32 v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

// 32-bit device-independent bitmap as icon files hold it: a 40-byte header
// whose height counts both the colour and the mask rows, the colour rows
// bottom-up in BGRA, then the 1-bit AND mask (rows padded to 32 bits) that
// marks fully transparent pixels for readers that ignore alpha.
QByteArray EncodeBitmap(const QImage& source) {
    const QImage img = source.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width();
    const int h = img.height();
    const int maskStride = ((w + 31) / 32) * 4;
    const quint32 colourBytes = static_cast<quint32>(w) * h * 4;
    const quint32 maskBytes = static_cast<quint32>(maskStride) * h;

    QByteArray out;
    out.reserve(40 + colourBytes + maskBytes);
    PutU32(out, 40);                      // header size
    PutU32(out, static_cast<quint32>(w));
    PutU32(out, static_cast<quint32>(h * 2));
    PutU16(out, 1);                       // planes
    PutU16(out, 32);                      // bits per pixel
    PutU32(out, 0);                       // no compression
    PutU32(out, colourBytes + maskBytes);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);

    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            PutU8(out, qBlue(line[x]));
            PutU8(out, qGreen(line[x]));
            PutU8(out, qRed(line[x]));
            PutU8(out, qAlpha(line[x]));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(line[x]) == 0)
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
    return out;
}

QByteArray EncodePng(const QImage& img) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!img.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG"))
        return {};
    return png;
}

}  // namespace

QByteArray EncodeIco(const QList<QImage>& images, QString* error) {
    if (images.isEmpty()) {
        *error = QStringLiteral("an icon needs at least one image");
        return {};
    }
    if (images.size() > 0xFFFF) {
        *error = QStringLiteral("too many images for one icon");
        return {};
    }
    QList<QByteArray> payloads;
    for (const QImage& img : images) {
        if (img.isNull() || img.width() < 1 || img.height() < 1 || img.width() > 256 ||
            img.height() > 256) {
            *error = QStringLiteral("icon images must be 1 to 256 pixels wide and high (got %1x%2)")
                         .arg(img.width())
                         .arg(img.height());
            return {};
        }
        const bool large = img.width() == 256 || img.height() == 256;
        QByteArray data = large ? EncodePng(img) : EncodeBitmap(img);
        if (data.isEmpty()) {
            *error = QStringLiteral("PNG encoding failed (is the PNG writer available?)");
            return {};
        }
        payloads.append(data);
    }

    QByteArray out;
    PutU16(out, 0);  // reserved
    PutU16(out, 1);  // resource type: icon
    PutU16(out, static_cast<unsigned>(images.size()));
    quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
    for (int i = 0; i < images.size(); ++i) {
        const QImage& img = images[i];
        PutU8(out, img.width() == 256 ? 0 : img.width());  // 0 stands for 256
        PutU8(out, img.height() == 256 ? 0 : img.height());
        PutU8(out, 0);   // no palette
        PutU8(out, 0);   // reserved
        PutU16(out, 1);  // colour planes
        PutU16(out, 32); // bits per pixel
        PutU32(out, static_cast<quint32>(payloads[i].size()));
        PutU32(out, offset);
        offset += static_cast<quint32>(payloads[i].size());
    }
    for (const QByteArray& data : payloads)
        out.append(data);
    return out;
}

}  // namespace art
