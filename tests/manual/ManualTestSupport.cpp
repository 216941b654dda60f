#include "ManualTestSupport.h"

#include <QEventLoop>
#include <QPdfBookmarkModel>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QRegularExpression>

#include <functional>

QApplication& TestApp()
{
    static int argc = 1;
    static char name[] = "manual_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* a = new QApplication(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        return a;
    }();
    return *app;
}

PdfText::PdfText(const QString& path) : m_doc(std::make_unique<QPdfDocument>())
{
    TestApp();
    m_doc->load(path);
    m_cache.resize(size_t(std::max(0, m_doc->pageCount())));
}

PdfText::~PdfText() = default;

bool PdfText::Ok() const { return m_doc->status() == QPdfDocument::Status::Ready && m_doc->pageCount() > 0; }

int PdfText::Pages() const { return m_doc->pageCount(); }

QString PdfText::Page(int page) const
{
    if (page < 0 || page >= Pages())
        return {};
    QString& text = m_cache[size_t(page)];
    if (text.isNull())
        text = m_doc->getAllText(page).text();
    return text;
}

QString PdfText::Pages(int first, int last) const
{
    static const QRegularExpression footer(QStringLiteral("^\\d+( Version \\S+)?$"));
    QString text;
    for (int p = first; p <= last; ++p)
        for (const QString& line : Page(p).split(QRegularExpression(QStringLiteral("[\r\n]+")))) {
            const QString l = line.trimmed();
            if (l.endsWith(QLatin1String("QvsStudio user manual")) || footer.match(l).hasMatch())
                continue;
            text += line + QLatin1Char('\n');
        }
    return text;
}

std::vector<Bookmark> PdfText::Bookmarks() const
{
    QPdfBookmarkModel model;
    model.setDocument(m_doc.get());
    std::vector<Bookmark> marks;
    std::function<void(const QModelIndex&, int)> walk = [&](const QModelIndex& parent, int level) {
        for (int r = 0; r < model.rowCount(parent); ++r) {
            const QModelIndex i = model.index(r, 0, parent);
            marks.push_back({model.data(i, int(QPdfBookmarkModel::Role::Title)).toString(), level,
                             model.data(i, int(QPdfBookmarkModel::Role::Page)).toInt()});
            walk(i, level + 1);
        }
    };
    walk(QModelIndex(), 0);
    return marks;
}

QString Squash(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (!c.isSpace())
            out += c;
    return out;
}

// Under the leak sanitizer (make test-asan): QtPdf 6.4 does not free what
// pdfium allocates for a page's text until the process ends. Nothing of
// this program is in those reports; everything else is still checked.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions()
{
    return "leak:libQt6Pdf.so\n";
}
