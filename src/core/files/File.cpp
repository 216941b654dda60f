#include "core/files/File.h"

#include "core/files/TextCodec.h"
#include "core/link/IDData.h"
#include "core/link/NumberText.h"
#include "core/link/StringEval.h"
#include "core/state/PageRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace ConfigFile {

namespace {

const QString CR = QStringLiteral("\r");
const QString CRLF = QStringLiteral("\r\n");
const QString TAB = QStringLiteral("\t");

// "00000": at least five digits, a minus sign before them when negative.
QString FiveDigits(int64_t v)
{
    const QString digits = QString::number(v < 0 ? -v : v).rightJustified(5, u'0');
    return v < 0 ? QStringLiteral("-") + digits : digits;
}

struct PendingValue {
    int index;
    int32_t value;
};

} // namespace

QString Separator() { return QStringLiteral(";") + QString(43, u'-'); }

QString BuildInfoStr(const InfoBlock& info)
{
    QString comments = info.Comments;
    comments.replace(CRLF, CRLF + TAB);
    const QString S = Separator();
    return S + CR + "Author:" + TAB + info.Author + TAB + CR + "Date:" + TAB + info.Date + TAB + CR +
           "Revision:" + TAB + info.Revision + TAB + CR + "Company:" + TAB + info.Company + TAB + CR +
           "Additional Comments:" + TAB + CR + TAB + comments + CR + S + CR;
}

void ExtractInfo(const QString& collected, const QString& bareName, InfoBlock& info)
{
    std::string rest = collected.toStdString();
    QString* boxes[4] = {&info.Author, &info.Date, &info.Revision, &info.Company};
    for (QString* box : boxes) {
        NextField(rest); // the key text
        *box = QString::fromStdString(NextField(rest));
    }
    NextField(rest); // CR LF and "Additional Comments:"
    QString comments = QString::fromStdString(rest).mid(2);
    // The collection adds one CR LF after the last comment line; taking it off
    // again keeps the comments from growing by an empty line on every
    // save/load cycle.
    if (comments.endsWith(CRLF))
        comments.chop(2);
    info.Comments = comments;
    info.FileName = bareName;
}

bool IsSaved(const IDData& table, int16_t allPagesReadKey, int index)
{
    const CVarData* r = table.At(index);
    if (!r)
        return false;
    if ((allPagesReadKey & r->DataS.QVSPageDomain) == 0)
        return false;
    if (const CVarData* sections = table.Record(Key::QVS_NUM_PROP_REG))
        return r->DataS.DrcTypeID < sections->DataS.QvsDownloadValueE2;
    return true;
}

QString FormatParameterLine(const IDData& table, int index)
{
    const CVarData* r = table.At(index);
    if (!r)
        return {};
    return QString::fromStdString(r->DataS.TooltipDecription) + TAB + QString::number(r->DataS.Address) +
           TAB + FiveDigits(FileValueOf(table, index)) + CR;
}

int64_t FileValueOf(const IDData& table, int index)
{
    const CVarData* r = table.At(index);
    if (!r)
        return 0;
    if (!table.IsKey(index, Key::QVS_PROG_VERS))
        return r->DataS.QvsDownloadValueE2;
    const double v = std::nearbyint(r->DataS.QvsDisplayValueRAM);
    return std::isfinite(v) && v >= -2147483648.0 && v <= 2147483647.0 ? static_cast<int64_t>(v) : 0;
}

QByteArray BuildFile(const IDData& table, const PageRegistry& pages, const InfoBlock& info)
{
    const int16_t k = pages.AllPagesReadKey();
    QString text = BuildInfoStr(info);
    text += QStringLiteral("Variable Name") + TAB + "Address" + TAB + "Value" + CR;
    for (int i = 1; i < table.VarTableEnd; ++i)
        if (IsSaved(table, k, i))
            text += FormatParameterLine(table, i);
    text += CRLF;
    return EncodeCp1252(text);
}

void SaveConfiguration(const QString& path, const IDData& table, const PageRegistry& pages,
                       InfoBlock& info)
{
    const QByteArray bytes = BuildFile(table, pages, info);
    // A device or folder of that name is never replaced by a file.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        throw FileError(path.toStdString() + " is not a regular file");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError("cannot create " + path.toStdString() + ": " + file.errorString().toStdString());
    // QSaveFile buffers: a full disk shows only when the buffer is flushed,
    // and commit() does not see that failure (it would put the partial file
    // in place of the previous one). Flush first and check.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const std::string why = file.errorString().toStdString();
        file.cancelWriting();
        throw FileError("cannot write " + path.toStdString() + ": " + why);
    }
    if (!file.commit())
        throw FileError("cannot write " + path.toStdString() + ": " + file.errorString().toStdString());
    info.FileName = QFileInfo(path).fileName();
}

LoadReport LoadConfigurationBytes(const QByteArray& bytes, const QString& bareName, IDData& table,
                                  InfoBlock& info)
{
    const std::vector<std::string> lines = SplitLines(DecodeCp1252(bytes));
    if (lines.empty())
        throw FileError("the file is empty");

    const std::string S = Separator().toStdString();
    QString collected;
    size_t i = 1; // the first line (the first separator) is ignored
    bool separatorFound = false;
    for (; i < lines.size(); ++i) {
        if (lines[i].find(S) != std::string::npos) {
            separatorFound = true;
            ++i;
            break;
        }
        QString line = QString::fromStdString(lines[i]);
        if (line.startsWith(TAB))
            line.remove(0, 1);
        collected += line + CRLF;
    }
    if (separatorFound) {
        if (i >= lines.size())
            throw FileError("the file ends after the information block (no parameter header)");
        ++i; // the column header
    }

    LoadReport report;
    std::vector<PendingValue> pending;
    const CVarData* ditherEdit = table.Record(Key::QVS_DITHER_EDIT);
    const bool ditherAllowed = ditherEdit && ditherEdit->DataS.CedValueE2 == 170;
    for (; separatorFound && i < lines.size(); ++i) {
        std::string rest = lines[i];
        const std::string description = NextField(rest);
        if (description.empty() || description.find("---") != std::string::npos)
            continue;
        const double address = LeadingNumber(NextField(rest));
        int32_t value = 0;
        try {
            value = RoundToInt32(LeadingNumber(NextField(rest)));
        } catch (const ConversionError&) {
            throw FileError("line " + std::to_string(i + 1) + ": value outside the 32-bit range");
        }
        int found = 0;
        for (int r = 1; r < table.VarTableEnd; ++r) {
            if (table.At(r)->DataS.Address == address) {
                found = r;
                break;
            }
        }
        if (found == 0) {
            // Any number can stand in a damaged file; the report holds it
            // clamped to the 32-bit range (a cast of a larger one is undefined).
            report.UnknownAddresses.push_back(
                static_cast<int32_t>(std::clamp(address, -2147483648.0, 2147483647.0)));
            continue;
        }
        if (table.IsKey(found, Key::QVS_DITHER_FREQ) && !ditherAllowed)
            continue;
        pending.push_back({found, value});
    }
    // Text that is no configuration file (no separator, or only lines the
    // catalogue does not know) would otherwise "load" as nothing but
    // comments and be reported as a success.
    if (pending.empty())
        throw FileError("no line of the file sets a parameter of the catalogue");

    // Convert every value on copies first: a formula that fails on one value
    // must not leave the others half applied.
    std::vector<CVarDataS> converted;
    converted.reserve(pending.size());
    for (const PendingValue& p : pending) {
        CVarData copy = *table.At(p.index);
        try {
            copy.LoadFromFile(p.value);
        } catch (const std::exception& e) {
            throw FileError("value " + std::to_string(p.value) + " of " + copy.DataS.Name +
                            " cannot be converted: " + e.what());
        }
        copy.WriteE2inCED();
        converted.push_back(copy.DataS);
    }
    for (size_t n = 0; n < pending.size(); ++n) {
        CVarDataS& target = table.At(pending[n].index)->DataS;
        target.QvsDownloadValueE2 = converted[n].QvsDownloadValueE2;
        target.QvsDisplayValueE2 = converted[n].QvsDisplayValueE2;
        target.CedValueE2 = converted[n].CedValueE2;
    }
    for (const PendingValue& p : pending) {
        const CVarDataS& d = table.At(p.index)->DataS;
        if (d.QvsDownloadValueE2 < d.CedValE2Min || d.QvsDownloadValueE2 > d.CedValE2Max)
            if (std::find(report.OutOfRange.begin(), report.OutOfRange.end(), p.index) ==
                report.OutOfRange.end())
                report.OutOfRange.push_back(p.index);
    }
    report.Applied = static_cast<int>(pending.size());
    ExtractInfo(collected, bareName, info);
    return report;
}

LoadReport LoadConfiguration(const QString& path, const QString& bareName, IDData& table,
                             InfoBlock& info)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError("cannot open " + path.toStdString() + ": " + file.errorString().toStdString());
    // A picture or an archive picked by mistake is refused before it is read
    // whole (a configuration file has a few kilobytes).
    if (file.size() > IDData::MaxFileBytes)
        throw FileError(path.toStdString() + " is larger than 4 MiB: not a configuration file");
    const QByteArray bytes = file.read(IDData::MaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw FileError("cannot read " + path.toStdString() + ": " + file.errorString().toStdString());
    return LoadConfigurationBytes(bytes, bareName, table, info);
}

bool FileExistsFs(const QString& path) { return QFileInfo(path).isFile(); }

bool PathExists(const QString& path) { return !path.isEmpty() && QFileInfo::exists(path); }

} // namespace ConfigFile
