#include "ArtRenderer.h"

#include "IcoFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>

#include <filesystem>
#include <system_error>

namespace art {

bool FillPlaceholders(const QByteArray& svg, const QMap<QString, QString>& vars, QByteArray* out,
                      QString* error) {
    static const QRegularExpression re(
        QStringLiteral("\\{\\{([A-Z][A-Z0-9_]*)(?::([^}]*))?\\}\\}"));
    const QString text = QString::fromUtf8(svg);
    QString result;
    result.reserve(text.size());
    QSet<QString> used;
    qsizetype pos = 0;
    auto it = re.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        result.append(QStringView(text).mid(pos, m.capturedStart() - pos));
        const QString name = m.captured(1);
        if (vars.contains(name)) {
            result.append(vars.value(name));
            used.insert(name);
        } else if (m.capturedStart(2) >= 0) {
            result.append(m.captured(2));
        } else {
            *error = QStringLiteral("placeholder {{%1}} has no value and no default").arg(name);
            return false;
        }
        pos = m.capturedEnd();
    }
    result.append(QStringView(text).mid(pos));
    for (auto v = vars.cbegin(); v != vars.cend(); ++v) {
        if (!used.contains(v.key())) {
            *error = QStringLiteral("placeholder %1 is not used by the drawing").arg(v.key());
            return false;
        }
    }
    *out = result.toUtf8();
    return true;
}

QImage RenderSvg(const QByteArray& svg, QSize size, QString* error) {
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) {
        *error = QStringLiteral("the SVG cannot be read");
        return {};
    }
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::TextAntialiasing);
    renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

QImage DisabledLook(const QImage& source) {
    QImage img = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = line[x];
            // Luminance, squeezed into the light half of the grey scale.
            const int grey = qGray(c);
            const int v = 150 + grey * 95 / 255;
            line[x] = qRgba(v, v, v, qAlpha(c));
        }
    }
    return img;
}

ArtRenderer::ArtRenderer(QString artDir, QString outRoot, QString previewDir)
    : artDir_(std::move(artDir)), outRoot_(std::move(outRoot)), previewDir_(std::move(previewDir)) {}

bool ArtRenderer::LoadSource(const QString& name, QByteArray* svg, QString* error) {
    auto hit = cache_.constFind(name);
    if (hit != cache_.constEnd()) {
        *svg = *hit;
        return true;
    }
    QFile f(QDir(artDir_).filePath(name));
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(f.fileName(), f.errorString());
        return false;
    }
    *svg = f.readAll();
    cache_.insert(name, *svg);
    return true;
}

bool ArtRenderer::WriteFile(const QString& path, const QByteArray& data, QString* error) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    // Written beside the target and renamed over it, so an interrupted build
    // never leaves a truncated picture. (QSaveFile would also sync every file
    // to disk, which multiplies the render time for no gain in a build.)
    const QString temp = path + QStringLiteral(".part");
    QFile f(temp);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size()) {
        *error = QStringLiteral("cannot write %1: %2").arg(temp, f.errorString());
        f.remove();
        return false;
    }
    f.close();
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(temp).toStdString(), QFile::encodeName(path).toStdString(), ec);
    if (ec) {
        *error = QStringLiteral("cannot replace %1: %2").arg(path, QString::fromStdString(ec.message()));
        QFile::remove(temp);
        return false;
    }
    return true;
}

bool ArtRenderer::Render(const ArtEntry& entry, QString* error) {
    QList<QImage> images;
    for (const SizeSpec& wanted : entry.sizes) {
        QByteArray raw;
        QByteArray svg;
        const QString source = wanted.source.isEmpty() ? entry.source : wanted.source;
        if (!LoadSource(source, &raw, error))
            return false;
        if (!FillPlaceholders(raw, entry.vars, &svg, error)) {
            *error = source + QStringLiteral(": ") + *error;
            return false;
        }
        QImage img = RenderSvg(svg, wanted.size, error);
        if (img.isNull()) {
            *error = source + QStringLiteral(": ") + *error;
            return false;
        }
        if (entry.disabled)
            img = DisabledLook(img);
        images.append(img);
    }

    QByteArray data;
    QImage preview = images.constFirst();
    if (entry.format == OutputFormat::Ico) {
        data = EncodeIco(images, error);
        if (data.isEmpty())
            return false;
        for (const QImage& img : images) {
            if (img.width() > preview.width())
                preview = img;
        }
    } else {
        QImage img = images.constFirst();
        const char* format = "PNG";
        if (entry.format == OutputFormat::Jpeg) {
            // JPEG has no transparency: lay the drawing on its background.
            QImage flat(img.size(), QImage::Format_RGB32);
            flat.fill(entry.background);
            QPainter p(&flat);
            p.drawImage(0, 0, img);
            p.end();
            img = flat;
            preview = flat;
            format = "JPEG";
        }
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, format);
        if (entry.format == OutputFormat::Jpeg) {
            writer.setQuality(entry.quality);
            writer.setOptimizedWrite(true);
        }
        if (!writer.write(img)) {
            *error = QStringLiteral("%1 encoding failed: %2").arg(QLatin1String(format), writer.errorString());
            return false;
        }
    }
    if (!WriteFile(QDir(outRoot_).filePath(entry.output), data, error))
        return false;

    if (!previewDir_.isEmpty()) {
        QString name = entry.output;
        name.replace(QLatin1Char('/'), QLatin1Char('_'));
        name.replace(QLatin1Char(' '), QLatin1Char('_'));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        preview.save(&buffer, "PNG");
        if (!WriteFile(QDir(previewDir_).filePath(name + QStringLiteral(".png")), png, error))
            return false;
    }
    return true;
}

}  // namespace art
