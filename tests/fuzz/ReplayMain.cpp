// Replays fuzz inputs without libFuzzer: calls a harness's entry point once
// for every file of the folders given, so the seed corpora and every input
// that once crashed are part of the ordinary test run.
//   fuzz_replay HARNESS FOLDER...
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>
#include <cstring>

#define QVS_HARNESS(name) extern "C" int QvsFuzz_##name(const uint8_t* data, size_t size);
#include "Harnesses.def"
#undef QVS_HARNESS

namespace {

using Entry = int (*)(const uint8_t*, size_t);

struct Harness {
    const char* Name;
    Entry Run;
};

constexpr Harness Harnesses[] = {
#define QVS_HARNESS(name) {#name, QvsFuzz_##name},
#include "Harnesses.def"
#undef QVS_HARNESS
};

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: fuzz_replay HARNESS FOLDER...\n");
        return 2;
    }
    Entry run = nullptr;
    for (const Harness& h : Harnesses)
        if (std::strcmp(h.Name, argv[1]) == 0)
            run = h.Run;
    if (!run) {
        std::fprintf(stderr, "fuzz_replay: no harness '%s'\n", argv[1]);
        return 2;
    }
    int replayed = 0;
    for (int a = 2; a < argc; ++a) {
        const QDir dir(QString::fromLocal8Bit(argv[a]));
        if (!dir.exists())
            continue; // a harness without regressions has no folder
        const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
        for (const QFileInfo& fi : files) {
            if (fi.fileName() == QLatin1String("README") || fi.fileName().startsWith(QLatin1Char('.')))
                continue;
            QFile f(fi.filePath());
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "fuzz_replay: cannot read %s\n", qPrintable(fi.filePath()));
                return 1;
            }
            const QByteArray bytes = f.readAll();
            // Named before it runs: a failing input is the last name printed.
            std::fprintf(stderr, "%s\n", qPrintable(fi.filePath()));
            run(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
            ++replayed;
        }
    }
    if (replayed == 0) {
        std::fprintf(stderr, "fuzz_replay: no input found for %s\n", argv[1]);
        return 1;
    }
    std::printf("%s: %d passed, 0 failed\n", argv[1], replayed);
    return 0;
}
