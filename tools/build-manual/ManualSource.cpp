#include "ManualSource.h"

#include <QFile>
#include <QRegularExpression>

std::vector<TopicSource> ReadManifest(const QString& path, QString* error)
{
    std::vector<TopicSource> topics;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return {};
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    int lastFixed = 0;
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QRegularExpression(QStringLiteral("\\s+")));
        if (fields.size() != 2) {
            *error = QStringLiteral("%1:%2: expected \"PAGE FILE\"").arg(path).arg(n + 1);
            return {};
        }
        TopicSource t;
        t.File = fields[1];
        t.Line = n + 1;
        if (fields[0] == QLatin1String("+")) {
            if (topics.empty()) {
                *error = QStringLiteral("%1:%2: the first topic cannot follow another").arg(path).arg(n + 1);
                return {};
            }
            t.FixedPage = FollowOn;
        } else if (fields[0] != QLatin1String("-")) {
            bool ok = false;
            t.FixedPage = fields[0].toInt(&ok);
            if (!ok || t.FixedPage < 1) {
                *error = QStringLiteral("%1:%2: page '%3' is neither a page number nor - or +")
                             .arg(path)
                             .arg(n + 1)
                             .arg(fields[0]);
                return {};
            }
            if (t.FixedPage <= lastFixed) {
                *error = QStringLiteral("%1:%2: page %3 does not follow page %4")
                             .arg(path)
                             .arg(n + 1)
                             .arg(t.FixedPage)
                             .arg(lastFixed);
                return {};
            }
            lastFixed = t.FixedPage;
        }
        topics.push_back(t);
    }
    if (topics.empty())
        *error = QStringLiteral("%1 lists no topic").arg(path);
    return topics;
}

std::vector<TopicPart> SplitTopic(const QString& text, const QString& version)
{
    static const QRegularExpression marker(QStringLiteral("^\\s*\\{\\{([a-z-]+)\\}\\}\\s*$"));
    QString body = text;
    body.replace(QLatin1String("{{version}}"), version);
    std::vector<TopicPart> parts;
    QString markdown;
    const auto flush = [&] {
        if (!markdown.trimmed().isEmpty())
            parts.push_back({TopicPart::Markdown, markdown});
        markdown.clear();
    };
    for (const QString& line : body.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = marker.match(line);
        if (m.hasMatch()) {
            flush();
            parts.push_back({TopicPart::Marker, m.captured(1)});
        } else {
            markdown += line + QLatin1Char('\n');
        }
    }
    flush();
    return parts;
}
