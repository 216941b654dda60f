#include "GeneratedTopics.h"

#include "core/files/Lists.h"
#include "core/link/CVarData.h"
#include "core/link/IDData.h"
#include "core/state/MessageCatalog.h"

#include <QProcess>

#include <map>

namespace {

QString Esc(const std::string& text) { return QString::fromStdString(text).toHtmlEscaped(); }

// Bits of the diagnostic words by the order the Diagnostic page shows them.
QString BitValue(int bit) { return QString::number(1 << bit); }

} // namespace

QString MessageTextHtml(const QString& text)
{
    QString html;
    QString piece;
    const auto flush = [&] {
        if (piece.isEmpty())
            return;
        html += QStringLiteral("<span style=\"font-family:'DejaVu Sans Mono'; background-color:#ececec; "
                               "white-space:pre-wrap;\">") +
                piece.toHtmlEscaped() + QStringLiteral("</span>");
        piece.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('{')) {
            const qsizetype close = text.indexOf(QLatin1Char('}'), i + 1);
            if (close > i) {
                flush();
                html += QStringLiteral("<i style=\"color:#1f4e79;\">") + text.mid(i + 1, close - i - 1).toHtmlEscaped() +
                        QStringLiteral("</i>");
                i = close;
                continue;
            }
        }
        if (c == QLatin1Char('\r')) {
            flush();
            html += QStringLiteral("<br/>");
            continue;
        }
        piece += c;
    }
    flush();
    return html;
}

QString MessagesHtml()
{
    QString html;
    std::string group;
    bool open = false;
    const auto close = [&] {
        if (open)
            html += QStringLiteral("</table>");
        open = false;
    };
    for (const MessageEntry& e : MessageCatalog()) {
        if (e.Group != group) {
            close();
            group = e.Group;
            html += QStringLiteral("<h2>%1</h2>").arg(Esc(group));
            html += QStringLiteral("<table width=\"100%\" cellpadding=\"3\">"
                                   "<tr><th width=\"38%\">Message</th><th width=\"34%\">When and what it means</th>"
                                   "<th width=\"28%\">What to do</th></tr>");
            open = true;
        }
        QString notes = QString::fromLatin1(MessageKindName(e.Kind));
        notes[0] = notes[0].toUpper();
        if (!e.Title.empty())
            notes += QStringLiteral(", title ") + Esc(e.Title);
        const QString text = QString::fromStdString(e.Text);
        if (text.startsWith(QLatin1Char(' ')) && text.endsWith(QLatin1Char(' ')))
            notes += QStringLiteral("; the text begins and ends with a blank");
        else if (text.endsWith(QLatin1Char(' ')))
            notes += QStringLiteral("; the text ends with a blank");
        else if (text.startsWith(QLatin1Char(' ')))
            notes += QStringLiteral("; the text begins with a blank");
        html += QStringLiteral("<tr><td>%1<br/><span style=\"font-size:7.5pt; color:#555555;\">%2.</span></td>"
                               "<td><b>%3</b> %4</td><td>%5</td></tr>")
                    .arg(MessageTextHtml(text), notes, Esc(e.Where), Esc(e.Meaning), Esc(e.Action));
    }
    close();
    return html;
}

QString DiagnosticsHtml(const QString& listPath, QString* error)
{
    std::vector<std::string> lines;
    try {
        lines = ReadListFile(listPath);
    } catch (const ListError& e) {
        *error = QString::fromStdString(e.what());
        return {};
    }
    std::map<int, std::vector<DiagnosticLine>> groups;
    for (size_t n = 0; n < lines.size(); ++n) {
        if (QString::fromStdString(lines[n]).trimmed().isEmpty())
            continue;
        try {
            DiagnosticLine d = ParseDiagnosticLine(lines[n]);
            groups[d.group].push_back(std::move(d));
        } catch (const ListError& e) {
            *error = QStringLiteral("%1 line %2: %3").arg(listPath).arg(n + 2).arg(QString::fromLatin1(e.what()));
            return {};
        }
    }
    QString html;
    for (const auto& [group, entries] : groups) {
        std::string key;
        for (const DiagnosticLine& d : entries)
            if (!d.entry.VarKey.empty()) {
                key = d.entry.VarKey;
                break;
            }
        if (key.empty())
            continue;
        html += QStringLiteral("<h3>Lamp row %1: error word %2 (RAM address %3)</h3>")
                    .arg(group + 1)
                    .arg(Esc(key))
                    .arg(entries.front().entry.address);
        html += QStringLiteral("<table width=\"100%\" cellpadding=\"3\"><tr><th width=\"11%\">Lamp</th>"
                               "<th width=\"25%\">List line (VarKey)</th><th width=\"29%\">Error ID</th>"
                               "<th width=\"35%\">Description: what to check</th></tr>");
        for (const DiagnosticLine& d : entries) {
            if (d.entry.VarKey.empty())
                continue;
            html += QStringLiteral("<tr><td>%1</td><td><span style=\"font-family:'DejaVu Sans Mono'; font-size:7.6pt; white-space:nowrap;\">%2 - %3"
                                   "</span></td><td>%4</td><td>%5</td></tr>")
                        .arg(Esc(d.entry.PageDescr), Esc(d.entry.VarKey), BitValue(d.bit), Esc(d.entry.Message0),
                             Esc(d.entry.Message1));
        }
        html += QStringLiteral("</table>");
    }
    return html;
}

QString JoysticksHtml(const QString& listPath, QString* error)
{
    std::vector<std::string> lines;
    try {
        lines = ReadListFile(listPath);
    } catch (const ListError& e) {
        *error = QString::fromStdString(e.what());
        return {};
    }
    QString html = QStringLiteral("<table width=\"100%\" cellpadding=\"3\"><tr><th width=\"16%\">Code</th>"
                                  "<th width=\"62%\">Description</th><th width=\"8%\">Axes</th>"
                                  "<th width=\"14%\">Can be chosen</th></tr>");
    for (size_t n = 0; n < lines.size() && n < 17; ++n) {
        if (QString::fromStdString(lines[n]).trimmed().isEmpty())
            continue;
        CJoyData j;
        try {
            j.Load(lines[n]);
        } catch (const ListError& e) {
            *error = QStringLiteral("%1 line %2: %3").arg(listPath).arg(n + 2).arg(QString::fromLatin1(e.what()));
            return {};
        }
        QStringList description;
        for (const std::string* d : {&j.DescrLine1, &j.DescrLine2, &j.DescrLine3, &j.DescrLine4})
            if (!d->empty())
                description << Esc(*d);
        html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td><td>%3</td><td>%4</td></tr>")
                    .arg(Esc(j.Code), description.join(QStringLiteral("; ")))
                    .arg(j.SectionNum)
                    .arg(j.DrcTypeID >= 1 ? QStringLiteral("yes") : QStringLiteral("no (greyed)"));
    }
    return html + QStringLiteral("</table>");
}

namespace {

// The display value of a raw value; the raw value when the formula fails.
int32_t Display(const CVarData& record, int32_t raw)
{
    try {
        return record.E2DisplayOf(raw);
    } catch (const std::exception&) {
        return raw;
    }
}

} // namespace

QString LimitsText(const CVarData& record)
{
    const CVarDataS& d = record.DataS;
    QString text = QStringLiteral("%1 to %2").arg(Display(record, d.CedValE2Min)).arg(Display(record, d.CedValE2Max));
    if (!d.Unit.empty())
        text += QLatin1Char(' ') + QString::fromStdString(d.Unit);
    return text;
}

QString DefaultText(const CVarData& record)
{
    const CVarDataS& d = record.DataS;
    QString text = QString::number(Display(record, d.CedValueDefault));
    if (!d.Unit.empty())
        text += QLatin1Char(' ') + QString::fromStdString(d.Unit);
    return text;
}

QString ParametersHtml(const IDData& table)
{
    QString config = QStringLiteral("<h2>Configuration parameters (EEPROM)</h2>"
                                    "<table width=\"100%\" cellpadding=\"3\"><tr><th width=\"20%\">Name</th>"
                                    "<th width=\"10%\">Address</th><th width=\"19%\">Limits</th>"
                                    "<th width=\"11%\">Factory</th><th width=\"40%\">Description</th></tr>");
    QString live = QStringLiteral("<h2>Live values (RAM)</h2>"
                                  "<table width=\"100%\" cellpadding=\"3\"><tr><th width=\"24%\">Name</th>"
                                  "<th width=\"11%\">Address</th><th width=\"8%\">Unit</th>"
                                  "<th width=\"57%\">Description</th></tr>");
    for (int i = 1; i < table.VarTableEnd; ++i) {
        const CVarData* r = table.At(i);
        if (!r)
            continue;
        const CVarDataS& d = r->DataS;
        if (d.QVSPageDomain != 0)
            config += QStringLiteral("<tr><td>%1</td><td>%2</td><td style=\"white-space:nowrap;\">%3</td>"
                                     "<td style=\"white-space:nowrap;\">%4</td><td>%5</td></tr>")
                          .arg(Esc(d.Name))
                          .arg(d.Address)
                          .arg(LimitsText(*r).toHtmlEscaped(), DefaultText(*r).toHtmlEscaped(), Esc(d.TooltipDecription));
        else
            live += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td></tr>")
                        .arg(Esc(d.Name))
                        .arg(d.Address)
                        .arg(Esc(d.Unit), Esc(d.TooltipDecription));
    }
    return config + QStringLiteral("</table>") + live + QStringLiteral("</table>");
}

QString CliHelpHtml(const QString& cliPath, QString* error)
{
    if (cliPath.isEmpty())
        return QStringLiteral("<p><i>This build has no qvs-cli; the command list is printed by "
                              "<tt>qvs-cli --help</tt>.</i></p>");
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QVS_BUS"));
    process.setProcessEnvironment(env);
    process.start(cliPath, {QStringLiteral("--help")});
    if (!process.waitForStarted(10000)) {
        *error = QStringLiteral("cannot start %1: %2").arg(cliPath, process.errorString());
        return {};
    }
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(1000);
        *error = QStringLiteral("%1 --help did not finish within 10 s").arg(cliPath);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = QStringLiteral("%1 --help failed: %2").arg(cliPath, QString::fromLocal8Bit(process.readAllStandardError()));
        return {};
    }
    QString text = QString::fromLocal8Bit(process.readAllStandardOutput());
    // The program's own name as the help shows it, whatever the build path.
    text.replace(cliPath, QStringLiteral("qvs-cli"));
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return QStringLiteral("<pre style=\"font-family:'DejaVu Sans Mono'; font-size:7.5pt;\">") +
           text.toHtmlEscaped() + QStringLiteral("</pre>");
}
