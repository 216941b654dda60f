#pragma once
// QPdfWriter writes no document outline (bookmarks) and no links between
// pages. This adds both to the finished PDF as an incremental update: new
// outline objects, a new catalogue object that names them, new link
// annotation arrays for the pages that have links, and an xref section that
// chains to the writer's own.
#include <QByteArray>
#include <QRectF>
#include <QString>

#include <vector>

struct OutlineItem {
    QString Title;
    int Level = 1;       // 1 = topic, 2 = section inside it
    int Page = 0;        // 0-based page index
    double TopPt = 0;    // distance of the heading from the top of the page, in points
};

struct LinkArea {
    int Page = 0;        // 0-based page the area is on
    QRectF RectPt;       // area on that page, points from the top-left corner
    int TargetPage = 0;  // 0-based page the link goes to
    double TargetTopPt = 0;
};

// Appends the update to pdf. pageHeightPt is the height of every page. ""
// on success, else why the PDF could not be understood (pdf is unchanged).
QString AddOutlineAndLinks(QByteArray& pdf, const std::vector<OutlineItem>& outline,
                           const std::vector<LinkArea>& links, double pageHeightPt);

// A PDF text string: UTF-16BE with its byte-order mark, written in hexadecimal.
QByteArray PdfTextString(const QString& text);
