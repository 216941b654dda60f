#include "PdfOutline.h"

#include <QRegularExpression>

#include <map>
#include <optional>

namespace {

// The body of object "num 0 obj ... endobj" (without the keywords).
std::optional<QByteArray> ObjectBody(const QByteArray& pdf, int num)
{
    const QByteArray head = "\n" + QByteArray::number(num) + " 0 obj";
    qsizetype at = pdf.indexOf(head);
    if (at < 0)
        return std::nullopt;
    at += head.size();
    const qsizetype end = pdf.indexOf("endobj", at);
    if (end < 0)
        return std::nullopt;
    return pdf.mid(at, end - at).trimmed();
}

std::optional<int> Reference(const QByteArray& dict, const char* key)
{
    const QRegularExpression re(QStringLiteral("/%1\\s+(\\d+)\\s+0\\s+R").arg(QLatin1String(key)));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(dict));
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toInt();
}

std::optional<long long> Number(const QByteArray& dict, const char* key)
{
    const QRegularExpression re(QStringLiteral("/%1\\s+(\\d+)").arg(QLatin1String(key)));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(dict));
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toLongLong();
}

// The page objects of a page tree, in order.
bool CollectPages(const QByteArray& pdf, int node, std::vector<int>& pages, int depth)
{
    if (depth > 16)
        return false;
    const std::optional<QByteArray> body = ObjectBody(pdf, node);
    if (!body)
        return false;
    if (!body->contains("/Type /Pages")) {
        pages.push_back(node);
        return true;
    }
    const qsizetype kids = body->indexOf("/Kids");
    const qsizetype open = body->indexOf('[', kids);
    const qsizetype close = body->indexOf(']', open);
    if (kids < 0 || open < 0 || close < 0)
        return false;
    static const QRegularExpression ref(QStringLiteral("(\\d+)\\s+0\\s+R"));
    auto it = ref.globalMatch(QString::fromLatin1(body->mid(open + 1, close - open - 1)));
    while (it.hasNext())
        if (!CollectPages(pdf, it.next().captured(1).toInt(), pages, depth + 1))
            return false;
    return true;
}

QByteArray Num(double v) { return QByteArray::number(v, 'f', 2); }

QByteArray Destination(int pageObject, double topPt, double pageHeightPt)
{
    return "[" + QByteArray::number(pageObject) + " 0 R /XYZ null " + Num(pageHeightPt - topPt) + " null]";
}

} // namespace

QByteArray PdfTextString(const QString& text)
{
    QByteArray hex = "<FEFF";
    for (QChar c : text)
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex + ">";
}

QString AddOutlineAndLinks(QByteArray& pdf, const std::vector<OutlineItem>& outline,
                           const std::vector<LinkArea>& links, double pageHeightPt)
{
    const qsizetype trailerAt = pdf.lastIndexOf("trailer");
    const qsizetype startxrefAt = pdf.lastIndexOf("startxref");
    if (trailerAt < 0 || startxrefAt < trailerAt)
        return QStringLiteral("no trailer");
    const QByteArray trailer = pdf.mid(trailerAt, startxrefAt - trailerAt);
    const std::optional<long long> size = Number(trailer, "Size");
    const std::optional<int> root = Reference(trailer, "Root");
    const std::optional<int> info = Reference(trailer, "Info");
    bool ok = false;
    const long long prevXref = pdf.mid(startxrefAt + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    if (!size || !root || !ok)
        return QStringLiteral("the trailer lacks /Size, /Root or startxref");
    const std::optional<QByteArray> catalog = ObjectBody(pdf, *root);
    if (!catalog || !catalog->startsWith("<<") || !catalog->endsWith(">>") || catalog->contains("/Outlines"))
        return QStringLiteral("unexpected catalogue object");
    const std::optional<int> pagesRoot = Reference(*catalog, "Pages");
    if (!pagesRoot)
        return QStringLiteral("the catalogue has no /Pages");
    std::vector<int> pages;
    if (!CollectPages(pdf, *pagesRoot, pages, 0) || pages.empty())
        return QStringLiteral("the page tree cannot be read");

    std::map<int, QByteArray> objects; // object number -> body
    int next = static_cast<int>(*size);

    // Outline: level-1 items at the top, level-2 items below the level-1 item
    // before them. Topics start closed so the panel lists the topics.
    const int rootOutline = next++;
    struct Node {
        int Object;
        const OutlineItem* Item;
        std::vector<size_t> Children;
    };
    std::vector<Node> nodes;
    std::vector<size_t> top;
    for (const OutlineItem& item : outline) {
        if (item.Page < 0 || item.Page >= int(pages.size()))
            return QStringLiteral("outline item '%1' points to page %2 of %3").arg(item.Title).arg(item.Page + 1).arg(pages.size());
        nodes.push_back({next++, &item, {}});
        if (item.Level <= 1 || top.empty())
            top.push_back(nodes.size() - 1);
        else
            nodes[top.back()].Children.push_back(nodes.size() - 1);
    }
    const auto writeLevel = [&](const std::vector<size_t>& level, int parent) {
        for (size_t i = 0; i < level.size(); ++i) {
            const Node& n = nodes[level[i]];
            QByteArray d = "<<\n/Title " + PdfTextString(n.Item->Title) + "\n/Parent " + QByteArray::number(parent) +
                           " 0 R\n/Dest " + Destination(pages[size_t(n.Item->Page)], n.Item->TopPt, pageHeightPt) + "\n";
            if (i > 0)
                d += "/Prev " + QByteArray::number(nodes[level[i - 1]].Object) + " 0 R\n";
            if (i + 1 < level.size())
                d += "/Next " + QByteArray::number(nodes[level[i + 1]].Object) + " 0 R\n";
            if (!n.Children.empty())
                d += "/First " + QByteArray::number(nodes[n.Children.front()].Object) + " 0 R\n/Last " +
                     QByteArray::number(nodes[n.Children.back()].Object) + " 0 R\n/Count -" +
                     QByteArray::number(qsizetype(n.Children.size())) + "\n";
            objects[n.Object] = d + ">>";
        }
    };
    writeLevel(top, rootOutline);
    for (size_t t : top)
        writeLevel(nodes[t].Children, nodes[t].Object);
    QByteArray rootDict = "<<\n/Type /Outlines\n";
    if (!top.empty())
        rootDict += "/First " + QByteArray::number(nodes[top.front()].Object) + " 0 R\n/Last " +
                    QByteArray::number(nodes[top.back()].Object) + " 0 R\n/Count " +
                    QByteArray::number(qsizetype(top.size())) + "\n";
    objects[rootOutline] = rootDict + ">>";

    QByteArray newCatalog = catalog->left(catalog->size() - 2).trimmed();
    newCatalog += "\n/Outlines " + QByteArray::number(rootOutline) + " 0 R\n/PageMode /UseOutlines\n>>";
    objects[*root] = newCatalog;

    // Links: the annotation array of each page that has some. QPdfWriter
    // gives every page an array object of its own.
    std::map<int, QByteArray> annots; // page index -> annotations
    for (const LinkArea& l : links) {
        if (l.Page < 0 || l.Page >= int(pages.size()) || l.TargetPage < 0 || l.TargetPage >= int(pages.size()))
            return QStringLiteral("a link points outside the document");
        const QRectF& r = l.RectPt;
        annots[l.Page] += "<< /Type /Annot /Subtype /Link /Rect [" + Num(r.left()) + " " +
                          Num(pageHeightPt - r.bottom()) + " " + Num(r.right()) + " " + Num(pageHeightPt - r.top()) +
                          "] /Border [0 0 0] /Dest " +
                          Destination(pages[size_t(l.TargetPage)], l.TargetTopPt, pageHeightPt) + " >>\n";
    }
    for (const auto& [page, list] : annots) {
        const std::optional<QByteArray> pageDict = ObjectBody(pdf, pages[size_t(page)]);
        const std::optional<int> array = pageDict ? Reference(*pageDict, "Annots") : std::nullopt;
        if (!array)
            return QStringLiteral("page %1 has no annotation array object").arg(page + 1);
        const std::optional<QByteArray> old = ObjectBody(pdf, *array);
        if (!old || !old->startsWith('[') || !old->endsWith(']'))
            return QStringLiteral("unexpected annotation array on page %1").arg(page + 1);
        objects[*array] = old->left(old->size() - 1) + "\n" + list + "]";
    }

    QByteArray update;
    if (!pdf.endsWith('\n'))
        update += '\n';
    std::map<int, long long> offsets;
    for (const auto& [num, body] : objects) {
        offsets[num] = pdf.size() + update.size();
        update += QByteArray::number(num) + " 0 obj\n" + body + "\nendobj\n";
    }
    const long long xrefAt = pdf.size() + update.size();
    update += "xref\n";
    for (auto it = offsets.begin(); it != offsets.end();) {
        auto run = it;
        int count = 0;
        while (run != offsets.end() && run->first == it->first + count) {
            ++run;
            ++count;
        }
        update += QByteArray::number(it->first) + " " + QByteArray::number(count) + "\n";
        for (; it != run; ++it)
            update += QByteArray::number(it->second).rightJustified(10, '0') + " 00000 n \n";
    }
    update += "trailer\n<<\n/Size " + QByteArray::number(next) + "\n/Root " + QByteArray::number(*root) + " 0 R\n";
    if (info)
        update += "/Info " + QByteArray::number(*info) + " 0 R\n";
    update += "/Prev " + QByteArray::number(prevXref) + "\n>>\nstartxref\n" + QByteArray::number(xrefAt) + "\n%%EOF\n";
    pdf += update;
    return {};
}
