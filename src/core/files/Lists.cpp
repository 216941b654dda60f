#include "core/files/Lists.h"

#include "core/files/TextCodec.h"
#include "core/link/IDData.h"
#include "core/link/NumberText.h"
#include "core/link/StringEval.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

int16_t Field16(std::string& rest, const char* name)
{
    const std::string f = NextField(rest);
    try {
        return TextToInt16(f);
    } catch (const ConversionError&) {
        throw ListError(std::string(name) + ": '" + f + "' is not a 16-bit number");
    }
}

int32_t Field32(std::string& rest, const char* name)
{
    const std::string f = NextField(rest);
    try {
        return TextToInt32(f);
    } catch (const ConversionError&) {
        throw ListError(std::string(name) + ": '" + f + "' is not a 32-bit number");
    }
}

} // namespace

void CJoyData::Load(const std::string& line)
{
    std::string rest = line;
    JoyFileName = NextField(rest);
    Code = NextField(rest);
    DescrLine1 = NextField(rest);
    DescrLine2 = NextField(rest);
    DescrLine3 = NextField(rest);
    DescrLine4 = NextField(rest);
    DrcTypeID = Field16(rest, "DrcTypeID");
    SectionNum = Field16(rest, "SectionNum");
    id = Field16(rest, "id");
    JConfig_0 = Field32(rest, "JConfig_0");
    RConfig_0 = Field32(rest, "RConfig_0");
    if (SectionNum != 1) {
        JConfig_1 = Field32(rest, "JConfig_1");
        RConfig_1 = Field32(rest, "RConfig_1");
        if (SectionNum != 2) {
            JConfig_2 = Field32(rest, "JConfig_2");
            RConfig_2 = Field32(rest, "RConfig_2");
            if (SectionNum != 3) {
                JConfig_3 = Field32(rest, "JConfig_3");
                RConfig_3 = Field32(rest, "RConfig_3");
            }
        }
    }
}

void CDiagnosticData::Load(std::string auxString)
{
    Message0.clear();
    Message1.clear();
    Message2.clear();
    PageDescr = NextField(auxString);
    if (!auxString.empty())
        VarKey = NextField(auxString);
    if (!auxString.empty())
        Message0 = NextField(auxString);
    if (!auxString.empty())
        Message1 = NextField(auxString);
    if (!auxString.empty())
        Message2 = NextField(auxString);
}

DiagnosticLine ParseDiagnosticLine(const std::string& line)
{
    DiagnosticLine d;
    std::string rest = line;
    d.group = Field16(rest, "group");
    d.bit = Field16(rest, "bit");
    d.entry.address = Field16(rest, "address");
    d.entry.Load(rest);
    return d;
}

std::vector<std::string> ReadListFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ListError("cannot open " + path.toStdString() + ": " + file.errorString().toStdString());
    if (file.size() > IDData::MaxFileBytes)
        throw ListError(path.toStdString() + " is larger than 4 MiB");
    std::vector<std::string> lines = SplitLines(DecodeCp1252(file.read(IDData::MaxFileBytes + 1)));
    if (file.error() != QFileDevice::NoError)
        throw ListError("cannot read " + path.toStdString());
    if (!lines.empty())
        lines.erase(lines.begin());
    return lines;
}

PaletteColours ReadPaletteFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ListError("cannot open " + path.toStdString() + ": " + file.errorString().toStdString());
    if (file.size() > IDData::MaxFileBytes)
        throw ListError(path.toStdString() + " is larger than 4 MiB");
    const std::vector<std::string> lines = SplitLines(DecodeCp1252(file.read(IDData::MaxFileBytes + 1)));
    if (lines.size() < 8)
        throw ListError(path.toStdString() + " holds " + std::to_string(lines.size()) +
                        " lines instead of 8");
    PaletteColours c;
    for (int i = 0; i < 8; ++i) {
        int32_t v = 0;
        try {
            v = TextToInt32(lines[static_cast<size_t>(i)]);
        } catch (const ConversionError&) {
            throw ListError(path.toStdString() + " line " + std::to_string(i + 1) + ": '" +
                            lines[static_cast<size_t>(i)] + "' is not a colour number");
        }
        (i < 4 ? c.Back[static_cast<size_t>(i)] : c.Text[static_cast<size_t>(i - 4)]) = v;
    }
    return c;
}

QByteArray PaletteFileText(const PaletteColours& colours)
{
    QByteArray out;
    const auto line = [&](int32_t v) {
        if (v >= 0)
            out += ' ';
        out += QByteArray::number(v);
        out += "\r\n";
    };
    for (int32_t v : colours.Back)
        line(v);
    for (int32_t v : colours.Text)
        line(v);
    return out;
}

void WritePaletteFile(const QString& path, const PaletteColours& colours)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        throw ListError(path.toStdString() + " is not a regular file");
    QSaveFile file(path);
    const QByteArray bytes = PaletteFileText(colours);
    // flush() before commit(): commit() misses a write failure of the
    // buffer (a full disk) and would replace the old file with a short one.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        const std::string why = file.errorString().toStdString();
        file.cancelWriting();
        throw ListError("cannot write " + path.toStdString() + ": " + why);
    }
    if (!file.commit())
        throw ListError("cannot write " + path.toStdString() + ": " + file.errorString().toStdString());
}
