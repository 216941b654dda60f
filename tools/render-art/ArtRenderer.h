#pragma once
// Renders manifest entries: fills the SVG placeholders, draws the SVG into an
// image of the requested size and writes JPEG, PNG or icon files.
#include "Manifest.h"

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QSize>
#include <QString>

namespace art {

// Replaces every {{NAME}} / {{NAME:default}} in the SVG text with the value
// from vars, else its default. A placeholder with neither, or a var that the
// text never uses (a typo in the manifest), is an error.
bool FillPlaceholders(const QByteArray& svg, const QMap<QString, QString>& vars, QByteArray* out,
                      QString* error);

// Draws SVG text into a transparent ARGB image of the given size, keeping the
// aspect ratio of the drawing (centred).
QImage RenderSvg(const QByteArray& svg, QSize size, QString* error);

// Greyed and faded copy, for pictures of choices that cannot be taken.
QImage DisabledLook(const QImage& img);

class ArtRenderer {
public:
    // artDir: folder of the SVG sources; outRoot: folder the outputs are
    // relative to; previewDir (optional): a PNG copy of every output is
    // written there as well, for looking at the results.
    ArtRenderer(QString artDir, QString outRoot, QString previewDir = {});

    // Renders one entry and writes its file atomically.
    bool Render(const ArtEntry& entry, QString* error);

private:
    bool LoadSource(const QString& name, QByteArray* svg, QString* error);
    bool WriteFile(const QString& path, const QByteArray& data, QString* error);

    QString artDir_;
    QString outRoot_;
    QString previewDir_;
    QMap<QString, QByteArray> cache_;
};

}  // namespace art
