#include "Manifest.h"

#include <QRegularExpression>
#include <QSet>

namespace art {
namespace {

bool ParseSize(const QString& text, QSize* size) {
    static const QRegularExpression re(QStringLiteral("^([0-9]{1,4})x([0-9]{1,4})$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return false;
    const int w = m.captured(1).toInt();
    const int h = m.captured(2).toInt();
    if (w < 1 || h < 1 || w > 4096 || h > 4096)
        return false;
    *size = QSize(w, h);
    return true;
}

bool ValidRelativePath(const QString& path) {
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char('\\')))
        return false;
    const QStringList parts = path.split(QLatin1Char('/'));
    for (const QString& p : parts) {
        if (p.isEmpty() || p == QLatin1String(".") || p == QLatin1String(".."))
            return false;
    }
    return true;
}

bool ParseLine(const QString& line, ArtEntry* e, QString* why) {
    const QStringList fields = line.split(QLatin1Char('|'));
    if (fields.size() < 3 || fields.size() > 4) {
        *why = QStringLiteral("expected 'source | output | sizes | options'");
        return false;
    }
    e->source = fields[0].trimmed();
    e->output = fields[1].trimmed();
    const QString sizes = fields[2].trimmed();
    const QString options = fields.size() > 3 ? fields[3].trimmed() : QString();

    if (!e->source.endsWith(QLatin1String(".svg")) || !ValidRelativePath(e->source)) {
        *why = QStringLiteral("source '%1' is not a relative .svg path").arg(e->source);
        return false;
    }
    if (!ValidRelativePath(e->output)) {
        *why = QStringLiteral("output '%1' is not a relative '/' path").arg(e->output);
        return false;
    }
    const QString ext = e->output.section(QLatin1Char('.'), -1).toLower();
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        e->format = OutputFormat::Jpeg;
    else if (ext == QLatin1String("png"))
        e->format = OutputFormat::Png;
    else if (ext == QLatin1String("ico"))
        e->format = OutputFormat::Ico;
    else {
        *why = QStringLiteral("output '%1' must end in .jpg, .png or .ico").arg(e->output);
        return false;
    }

    QSet<QString> seenSizes;
    for (const QString& raw : sizes.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString token = raw.trimmed();
        SizeSpec wanted;
        const QString sizeText = token.section(QLatin1Char(':'), 0, 0);
        wanted.source = token.section(QLatin1Char(':'), 1);
        if (!ParseSize(sizeText, &wanted.size)) {
            *why = QStringLiteral("bad size '%1' (expected WxH, 1..4096)").arg(token);
            return false;
        }
        if (!wanted.source.isEmpty() &&
            (!wanted.source.endsWith(QLatin1String(".svg")) || !ValidRelativePath(wanted.source))) {
            *why = QStringLiteral("size source '%1' is not a relative .svg path").arg(wanted.source);
            return false;
        }
        if (seenSizes.contains(sizeText)) {
            *why = QStringLiteral("size %1 given twice").arg(sizeText);
            return false;
        }
        seenSizes.insert(sizeText);
        e->sizes.append(wanted);
    }
    if (e->sizes.isEmpty()) {
        *why = QStringLiteral("no size given");
        return false;
    }
    if (e->format != OutputFormat::Ico) {
        if (e->sizes.size() != 1 || !e->sizes[0].source.isEmpty()) {
            *why = QStringLiteral("only icons take several sizes or size sources");
            return false;
        }
    } else {
        for (const SizeSpec& s : e->sizes) {
            if (s.size.width() > 256 || s.size.height() > 256) {
                *why = QStringLiteral("icon sizes are at most 256x256");
                return false;
            }
        }
    }

    static const QRegularExpression varName(QStringLiteral("^[A-Z][A-Z0-9_]*$"));
    for (const QString& opt : options.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const qsizetype eq = opt.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            *why = QStringLiteral("option '%1' is not NAME=value").arg(opt);
            return false;
        }
        const QString key = opt.left(eq);
        const QString value = opt.mid(eq + 1);
        if (key == QLatin1String("quality")) {
            bool ok = false;
            e->quality = value.toInt(&ok);
            if (!ok || e->quality < 1 || e->quality > 100) {
                *why = QStringLiteral("quality must be 1..100");
                return false;
            }
        } else if (key == QLatin1String("bg")) {
            e->background = QColor::fromString(value);
            if (!e->background.isValid() || !value.startsWith(QLatin1Char('#'))) {
                *why = QStringLiteral("bg must be a #rrggbb colour");
                return false;
            }
        } else if (key == QLatin1String("effect")) {
            if (value != QLatin1String("disabled")) {
                *why = QStringLiteral("unknown effect '%1'").arg(value);
                return false;
            }
            e->disabled = true;
        } else if (varName.match(key).hasMatch()) {
            if (e->vars.contains(key)) {
                *why = QStringLiteral("placeholder %1 given twice").arg(key);
                return false;
            }
            e->vars.insert(key, value);
        } else {
            *why = QStringLiteral("unknown option '%1'").arg(key);
            return false;
        }
    }
    return true;
}

}  // namespace

bool ParseManifest(const QString& text, QList<ArtEntry>* entries, QString* error) {
    entries->clear();
    QList<ArtEntry> result;
    QSet<QString> outputs;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        ArtEntry e;
        e.line = i + 1;
        QString why;
        if (!ParseLine(line, &e, &why)) {
            *error = QStringLiteral("line %1: %2").arg(e.line).arg(why);
            return false;
        }
        // File systems of the target may ignore case, so two outputs that only
        // differ in case would overwrite each other.
        const QString key = e.output.toLower();
        if (outputs.contains(key)) {
            *error = QStringLiteral("line %1: output '%2' is listed twice").arg(e.line).arg(e.output);
            return false;
        }
        outputs.insert(key);
        result.append(e);
    }
    *entries = result;
    return true;
}

}  // namespace art
