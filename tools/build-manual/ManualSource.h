#pragma once
// The sources of the manual: the manifest res/manual/manual.txt lists the
// topics in order, each with the page it must start on (the pages the
// program's F1 key opens), "-" for the next free page, or "+" to follow the
// topic before it on the same page.
//
// A topic file is Markdown. Lines of their own that hold only a marker
// insert something in their place:
//   {{pagebreak}}          the next block starts a new page
//   {{contents}}           the table of contents (title page)
//   {{messages}}           the message list, generated from MessageCatalog
//   {{diagnostics}}        the diagnostic list res/ini/DiagnosticList.ini
//   {{cli-help}}           the text of "qvs-cli --help"
// and {{version}} anywhere is replaced by the program version.
#include <QString>
#include <QStringList>

#include <vector>

inline constexpr int FollowOn = -1;

struct TopicSource {
    QString File;      // file name inside the source folder
    int FixedPage = 0; // the page the topic must start on, 0 = next free page, FollowOn = "+"
    int Line = 0;      // line of the manifest, for messages
};

// Reads the manifest. Lines: "PAGE FILE" with PAGE a number, "-" or "+"; blank
// lines and lines starting with "#" are skipped. Returns an empty list and
// sets error when the manifest cannot be read or a line is malformed, or
// when the fixed pages do not increase.
std::vector<TopicSource> ReadManifest(const QString& path, QString* error);

// One piece of a topic file: Markdown text, or a marker line.
struct TopicPart {
    enum Kind { Markdown, Marker } PartKind = Markdown;
    QString Text; // the Markdown, or the marker's name ("pagebreak", "messages", ...)
};

// Splits a topic file at its marker lines and replaces {{version}}.
std::vector<TopicPart> SplitTopic(const QString& text, const QString& version);
