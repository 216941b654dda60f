#pragma once
// Reading the built manual: page texts and bookmarks through QtPdf.
#include <QApplication>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QPdfDocument;

// The QApplication of the test executable (offscreen).
QApplication& TestApp();

struct Bookmark {
    QString Title;
    int Level = 0; // 0 = top level
    int Page = 0;  // 0-based
};

class PdfText {
public:
    // Loads the PDF; Ok() tells whether it could be read.
    explicit PdfText(const QString& path);
    ~PdfText();
    bool Ok() const;
    int Pages() const;
    // The text of a 0-based page.
    QString Page(int page) const;
    // The text of pages first..last (0-based, inclusive) joined, without
    // the running headers and the footers, so that a text running over a
    // page break reads on.
    QString Pages(int first, int last) const;
    std::vector<Bookmark> Bookmarks() const;

private:
    std::unique_ptr<QPdfDocument> m_doc;
    mutable std::vector<QString> m_cache;
};

// The text with every white-space character removed: a table cell may wrap
// a message at any blank or hyphen, so texts are compared without them.
QString Squash(const QString& text);
