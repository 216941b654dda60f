// render-art: renders the program's pictures and icons from their SVG
// sources, as listed in the art manifest (see Manifest.h for its format).
//
//   render-art --manifest res/art/manifest.txt --out bin/res [--preview DIR]
//
// The SVG files are found next to the manifest. Exit status 0 when every
// entry was written, 1 on the first fault (reported with its manifest line).
#include "ArtRenderer.h"
#include "Manifest.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

namespace {

// Warnings of the SVG module (unknown elements, bad attributes, missing
// references) mean a drawing does not look as written: they fail the entry.
QStringList g_svgWarnings;

void CollectSvgWarnings(QtMsgType type, const QMessageLogContext& ctx, const QString& msg) {
    // A missing runtime folder is normal in build containers and irrelevant here.
    if (msg.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    if (ctx.category && QByteArray(ctx.category).startsWith("qt.svg")) {
        g_svgWarnings.append(msg);
        return;
    }
    if (type != QtDebugMsg)
        QTextStream(stderr) << msg << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    // Rendering never needs a screen; this keeps the tool usable in builds
    // without a display server.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(CollectSvgWarnings);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("render-art"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Renders SVG art to JPEG, PNG and icon files."));
    parser.addHelpOption();
    const QCommandLineOption manifestOpt(QStringLiteral("manifest"),
                                         QStringLiteral("Manifest file."), QStringLiteral("file"));
    const QCommandLineOption outOpt(QStringLiteral("out"),
                                    QStringLiteral("Output root folder."), QStringLiteral("dir"));
    const QCommandLineOption previewOpt(QStringLiteral("preview"),
                                        QStringLiteral("Also write a PNG of every output here."),
                                        QStringLiteral("dir"));
    const QCommandLineOption quietOpt(QStringLiteral("quiet"), QStringLiteral("Print nothing on success."));
    parser.addOptions({manifestOpt, outOpt, previewOpt, quietOpt});
    parser.process(app);

    QTextStream err(stderr);
    if (!parser.isSet(manifestOpt) || !parser.isSet(outOpt)) {
        err << "render-art: --manifest and --out are required\n";
        return 2;
    }
    const QString manifestPath = parser.value(manifestOpt);
    QFile manifest(manifestPath);
    if (!manifest.open(QIODevice::ReadOnly)) {
        err << "render-art: cannot read " << manifestPath << ": " << manifest.errorString() << "\n";
        return 1;
    }
    QList<art::ArtEntry> entries;
    QString error;
    if (!art::ParseManifest(QString::fromUtf8(manifest.readAll()), &entries, &error)) {
        err << manifestPath << ": " << error << "\n";
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    art::ArtRenderer renderer(QFileInfo(manifestPath).absolutePath(), parser.value(outOpt),
                              parser.value(previewOpt));
    for (const art::ArtEntry& entry : entries) {
        g_svgWarnings.clear();
        const bool ok = renderer.Render(entry, &error);
        if (ok && !g_svgWarnings.isEmpty())
            error = g_svgWarnings.join(QStringLiteral("; "));
        if (!ok || !g_svgWarnings.isEmpty()) {
            err << manifestPath << ":" << entry.line << ": " << entry.output << ": " << error << "\n";
            return 1;
        }
    }
    if (!parser.isSet(quietOpt)) {
        QTextStream(stdout) << "render-art: " << entries.size() << " files in " << timer.elapsed()
                            << " ms\n";
    }
    return 0;
}
