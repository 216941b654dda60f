// build-manual: lays the manual sources out into QVSMANUAL.pdf. Exits with 1
// when a topic cannot start on its fixed page or a source is broken.
#include "ManualBuilder.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Fonts and images need a GUI application; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Builds the QvsStudio manual (PDF) from its sources."));
    parser.addHelpOption();
    const QCommandLineOption source(QStringLiteral("source"), QStringLiteral("Folder of manual.txt and the topics."),
                                    QStringLiteral("dir"));
    const QCommandLineOption shots(QStringLiteral("shots"), QStringLiteral("Folder of the screenshots."),
                                   QStringLiteral("dir"));
    const QCommandLineOption resources(QStringLiteral("resources"),
                                       QStringLiteral("The res/ folder: catalogue, joystick and diagnostic lists."),
                                       QStringLiteral("dir"));
    const QCommandLineOption cli(QStringLiteral("cli"), QStringLiteral("qvs-cli, whose --help goes into the manual."),
                                 QStringLiteral("file"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("The PDF to write."), QStringLiteral("file"));
    const QCommandLineOption version(QStringLiteral("program-version"), QStringLiteral("The version printed."),
                                     QStringLiteral("text"));
    const QCommandLineOption draft(QStringLiteral("draft"),
                                   QStringLiteral("Lay out even when a topic misses its fixed page (for writing)."));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("List the pages of every topic."));
    parser.addOptions({source, shots, resources, cli, out, version, draft, verbose});
    parser.process(app);
    if (!parser.isSet(source) || !parser.isSet(out)) {
        std::fprintf(stderr, "build-manual: --source and --out are required\n");
        return 2;
    }

    QElapsedTimer clock;
    clock.start();
    ManualOptions options;
    options.SourceDir = parser.value(source);
    options.ShotsDir = parser.value(shots);
    options.ResourceDir = parser.value(resources);
    options.CliPath = parser.value(cli);
    options.OutPath = parser.value(out);
    options.Draft = parser.isSet(draft);
    options.Version = parser.isSet(version) ? parser.value(version)
                                            : QStringLiteral("%1.%2.%3")
                                                  .arg(QVS_VERSION_MAJOR)
                                                  .arg(QVS_VERSION_MINOR)
                                                  .arg(QVS_VERSION_PATCH);
    const ManualResult result = BuildManual(options);
    for (const QString& w : result.Warnings)
        std::fprintf(stderr, "build-manual: warning: %s\n", qPrintable(w));
    for (const QString& m : result.MissingImages)
        std::fprintf(stderr, "build-manual: warning: %s is missing, a placeholder is shown\n", qPrintable(m));
    if (!result.Error.isEmpty()) {
        std::fprintf(stderr, "build-manual: error: %s\n", qPrintable(result.Error));
        return 1;
    }
    std::printf("build-manual: %s: %d pages, %lld bytes, %lld screenshots, %lld ms\n", qPrintable(options.OutPath),
                result.Pages, static_cast<long long>(result.Bytes), static_cast<long long>(result.Images.size()),
                static_cast<long long>(clock.elapsed()));
    for (const TopicPlacement& t : parser.isSet(verbose) ? result.Topics : std::vector<TopicPlacement>{})
        std::printf("  %3d-%-3d %s%s\n", t.FirstPage, t.LastPage, qPrintable(t.Title),
                    t.FixedPage > 0 ? " (fixed)" : "");
    return 0;
}
