// The joystick list, the diagnostic list and the palette file, read from a
// file as the program reads them. The first input byte picks the list, the
// rest is the file.
#include "FuzzSupport.h"

#include "core/files/Lists.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <unistd.h>

namespace {

QString ScratchFile()
{
    static const QString path = [] {
        const QString dir = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                               : QDir::tempPath();
        return dir + QStringLiteral("/qvs-fuzz-lists-%1.ini").arg(::getpid());
    }();
    static const bool removedAtExit = [] {
        static const QByteArray local = path.toLocal8Bit();
        std::atexit([] { ::unlink(local.constData()); });
        return true;
    }();
    (void)removedAtExit;
    return path;
}

void WriteScratch(const QByteArray& bytes)
{
    QFile f(ScratchFile());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        fuzz::Fail(__FILE__, __LINE__, "cannot write the scratch file " + ScratchFile().toStdString());
}

void Joysticks(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        CJoyData e;
        try {
            e.Load(line);
        } catch (const ListError&) {
            continue;
        }
        // Pairs the line does not hold stay 0.
        if (e.SectionNum == 1)
            FUZZ_CHECK(e.JConfig_1 == 0 && e.RConfig_1 == 0 && e.JConfig_3 == 0, line);
        if (e.SectionNum == 2)
            FUZZ_CHECK(e.JConfig_2 == 0 && e.RConfig_2 == 0 && e.JConfig_3 == 0, line);
        if (e.SectionNum == 3)
            FUZZ_CHECK(e.JConfig_3 == 0 && e.RConfig_3 == 0, line);
    }
}

void Diagnostics(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        try {
            const DiagnosticLine d = ParseDiagnosticLine(line);
            FUZZ_CHECK(d.entry.address >= -32768 && d.entry.address <= 32767, line);
            FUZZ_CHECK(d.entry.VarID == 0, line);
            FUZZ_CHECK(d.entry.PageDescr.size() <= line.size(), line);
        } catch (const ListError&) {
        }
    }
}

void Palette()
{
    PaletteColours c;
    try {
        c = ReadPaletteFile(ScratchFile());
    } catch (const ListError&) {
        return;
    }
    // What was read is written back and reads the same.
    WriteScratch(PaletteFileText(c));
    const PaletteColours again = ReadPaletteFile(ScratchFile());
    FUZZ_CHECK(again.Back == c.Back && again.Text == c.Text, "palette round trip");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t which = data[0] % 3;
    WriteScratch(QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1)));
    if (which == 2) {
        Palette();
        return 0;
    }
    std::vector<std::string> lines;
    try {
        lines = ReadListFile(ScratchFile());
    } catch (const ListError&) {
        fuzz::Fail(__FILE__, __LINE__, "the scratch file cannot be read back");
    }
    if (which == 0)
        Joysticks(lines);
    else
        Diagnostics(lines);
    return 0;
}
