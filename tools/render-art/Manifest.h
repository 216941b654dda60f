#pragma once
// The art manifest: one line per rendered file.
//
//   # comment (only at the start of a line); blank lines are ignored
//   source.svg | output/path.ext | sizes | options
//
// - source: SVG file, relative to the manifest's folder.
// - output: path relative to the output root, '/' separated; blanks are kept
//   ("ico/Green 16.ico"). The format follows the extension: .jpg, .png, .ico.
// - sizes: WxH, or for an icon a comma-separated list of WxH, each optionally
//   followed by ":other.svg" to draw that size from a simpler source.
// - options, separated by blanks:
//     NAME=value     value of the placeholder {{NAME}} in the SVG (upper case)
//     quality=N      JPEG quality 1..100 (default 92)
//     bg=#rrggbb     colour under the picture for JPEG (default #ffffff)
//     effect=disabled  greyed, faded copy (for unavailable choices)
#include <QColor>
#include <QList>
#include <QMap>
#include <QSize>
#include <QString>

namespace art {

enum class OutputFormat { Jpeg, Png, Ico };

struct SizeSpec {
    QSize size;
    QString source;  // empty: the entry's source
};

struct ArtEntry {
    int line = 0;
    QString source;
    QString output;
    OutputFormat format = OutputFormat::Png;
    QList<SizeSpec> sizes;
    QMap<QString, QString> vars;
    int quality = 92;
    QColor background = QColor(255, 255, 255);
    bool disabled = false;
};

// Parses the manifest text. On a fault returns false with *error naming the
// line ("line 7: ..."); *entries is then left empty.
bool ParseManifest(const QString& text, QList<ArtEntry>* entries, QString* error);

}  // namespace art
