#pragma once
// Lays the manual's topics out on A4 pages and writes QVSMANUAL.pdf: a
// title page with the contents, running headers, page numbers, the
// screenshots, PDF bookmarks and links from the contents to the topics.
//
// Each topic starts on a new page. A topic with a fixed page (the page F1
// opens) starts exactly there: the pages before it are padded with blank
// pages, and the build fails when the topics before it are too long.
#include <QString>
#include <QStringList>

#include <vector>

struct ManualOptions {
    QString SourceDir;      // res/manual: manual.txt and the topic files
    QString ShotsDir;       // the screenshots ("shots/NAME.png" in the topics)
    QString ResourceDir;    // res/: the catalogue and the lists the generated parts come from
    QString CliPath;        // qvs-cli, for {{cli-help}}; empty: a note instead
    QString OutPath;        // the PDF to write
    QString Version;        // for {{version}}
    // For writing: a topic that cannot start on its fixed page starts on
    // the next free one, with a warning instead of an error.
    bool Draft = false;
};

struct TopicPlacement {
    QString Title;
    QString File;
    int FixedPage = 0; // 0: none
    int FirstPage = 0; // 1-based
    int LastPage = 0;
};

struct ManualResult {
    QString Error; // empty on success
    QStringList Warnings;
    int Pages = 0;
    qint64 Bytes = 0;
    std::vector<TopicPlacement> Topics;
    QStringList Images;        // images found
    QStringList MissingImages; // images replaced by a placeholder
};

ManualResult BuildManual(const ManualOptions& options);
