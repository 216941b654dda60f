#include "ManualBuilder.h"

#include "GeneratedTopics.h"
#include "ManualSource.h"
#include "PdfOutline.h"

#include "core/link/IDData.h"
#include "core/state/ShellState.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>

namespace {

// Layout units are device pixels of the PDF writer.
constexpr int Dpi = 300;
constexpr double BodyPt = 9.5;
constexpr double TablePt = 8.8;
// The property that marks the contents table (it keeps its own look).
constexpr int ContentsTableProperty = QTextFormat::UserProperty + 1;

// Device pixels (page geometry, the painter).
double Mm(double mm) { return mm * Dpi / 25.4; }
double ToPt(double px) { return px * 72.0 / Dpi; }
// Lengths inside the text formats (margins, padding, borders, picture sizes)
// are in pixels of a 96 dpi screen; the layout scales them to the device.
constexpr double FormatDpi = 96.0;
double Pt(double pt) { return pt * FormatDpi / 72.0; }
double ToFormat(double devicePx) { return devicePx * FormatDpi / Dpi; }

const QString BodyFamily = QStringLiteral("DejaVu Sans");
const QString MonoFamily = QStringLiteral("DejaVu Sans Mono");
const QColor Accent(0x1f, 0x4e, 0x79);

struct Geometry {
    QSizeF Page;
    QRectF Body;
    double PageHeightPt = 0;
};

struct Heading {
    QString Title;
    int Level = 1;
    int LocalPage = 0; // page inside the topic, 0-based
    double TopPx = 0;  // from the top of the body area
};

struct ContentsRow {
    QString Title;
    int Level = 1;
    int Page = 0; // 1-based, 0 while unknown
    double TopPt = 0;
};

struct Topic {
    TopicSource Source;
    QStringList Files; // the source files, more than one when topics follow on
    std::vector<TopicPart> Parts;
    std::unique_ptr<QTextDocument> Doc;
    QString Title;
    int Pages = 0;
    std::vector<Heading> Headings;
    bool HasContents = false;
    int FirstPage = 0;
    // Rows of the contents table with their row rectangles (contents topic).
    std::vector<QRectF> ContentsRects;
};

bool IsMonospace(const QTextCharFormat& f)
{
    if (f.fontFixedPitch())
        return true;
    for (const QString& family : f.fontFamilies().toStringList())
        if (family.contains(QLatin1String("mono"), Qt::CaseInsensitive) ||
            family.contains(QLatin1String("courier"), Qt::CaseInsensitive))
            return true;
    return false;
}

bool IsPicture(const QTextBlock& b) { return b.text().trimmed() == QString(QChar::ObjectReplacementCharacter); }

// A caption: a paragraph in italics right after a picture.
bool IsCaption(const QTextBlock& b)
{
    if (!b.previous().isValid() || !IsPicture(b.previous()) || b.text().trimmed().isEmpty())
        return false;
    for (auto it = b.begin(); !it.atEnd(); ++it)
        if (!it.fragment().charFormat().fontItalic() && !it.fragment().text().trimmed().isEmpty())
            return false;
    return true;
}

QImage Placeholder(const QString& name)
{
    QImage image(1200, 520, QImage::Format_RGB32);
    image.fill(QColor(0xf0, 0xf0, 0xf0));
    QPainter p(&image);
    p.setPen(QPen(QColor(0x90, 0x90, 0x90), 6, Qt::DashLine));
    p.drawRect(image.rect().adjusted(3, 3, -4, -4));
    QFont f(BodyFamily);
    f.setPixelSize(34);
    p.setFont(f);
    p.setPen(QColor(0x50, 0x50, 0x50));
    p.drawText(image.rect(), Qt::AlignCenter,
               QStringLiteral("Screenshot not available in this build:\n%1").arg(QFileInfo(name).fileName()));
    return image;
}

class Builder {
public:
    explicit Builder(const ManualOptions& options) : m_opt(options) {}
    ManualResult Run();

private:
    bool LoadTopics();
    QString Generated(const QString& marker);
    bool BuildDocument(Topic& topic, QPdfWriter& writer, const std::vector<ContentsRow>* contents);
    void InsertContents(QTextCursor& cursor, const std::vector<ContentsRow>& rows);
    static void Clean(QTextDocument& doc);
    void Style(QTextDocument& doc);
    void StyleTable(QTextTable* table);
    void PlaceImages(QTextDocument& doc, QTextDocument& owner);
    void KeepWithNext(QTextDocument& doc);
    void Measure(Topic& topic);
    bool Place();
    std::vector<ContentsRow> Contents(int depth) const;
    void Render(QPdfWriter& writer, QPainter& painter);
    void DrawFrame(QPainter& painter, int page, const QString& header);

    bool LoadCatalogue();
    QString Resource(const QString& relative) const;
    bool SubstituteValues(QString& text, const QString& file);

    const ManualOptions& m_opt;
    ManualResult m_result;
    ShellState m_shell;
    IDData m_table{&m_shell};
    bool m_catalogueLoaded = false;
    Geometry m_geo;
    std::vector<Topic> m_topics;
    std::map<QString, QString> m_generated;
    int m_totalPages = 0;
};

bool Builder::LoadTopics()
{
    QString error;
    const std::vector<TopicSource> sources = ReadManifest(QDir(m_opt.SourceDir).filePath(QStringLiteral("manual.txt")), &error);
    if (sources.empty()) {
        m_result.Error = error;
        return false;
    }
    for (const TopicSource& s : sources) {
        QFile file(QDir(m_opt.SourceDir).filePath(s.File));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            m_result.Error = QStringLiteral("manual.txt:%1: cannot open %2: %3").arg(s.Line).arg(s.File, file.errorString());
            return false;
        }
        Topic t;
        t.Source = s;
        QString text = QString::fromUtf8(file.readAll());
        if (!SubstituteValues(text, s.File))
            return false;
        t.Parts = SplitTopic(text, m_opt.Version);
        if (s.FixedPage == FollowOn) {
            // The topic continues the one before it, in the same document.
            Topic& before = m_topics.back();
            before.Parts.insert(before.Parts.end(), t.Parts.begin(), t.Parts.end());
            for (const TopicPart& p : t.Parts)
                if (p.PartKind == TopicPart::Marker && p.Text == QLatin1String("contents"))
                    before.HasContents = true;
            before.Files << s.File;
            continue;
        }
        t.Files << s.File;
        for (const TopicPart& p : t.Parts)
            if (p.PartKind == TopicPart::Marker && p.Text == QLatin1String("contents"))
                t.HasContents = true;
        m_topics.push_back(std::move(t));
    }
    return true;
}

QString Builder::Resource(const QString& relative) const { return QDir(m_opt.ResourceDir).filePath(relative); }

bool Builder::LoadCatalogue()
{
    if (m_catalogueLoaded)
        return true;
    const std::string error = m_table.LoadCatalogue(Resource(QStringLiteral("ini/Ramlist.ini")));
    if (!error.empty()) {
        m_result.Error = QStringLiteral("catalogue %1: %2").arg(Resource(QStringLiteral("ini/Ramlist.ini")),
                                                                QString::fromStdString(m_table.LastLoadDetail()));
        return false;
    }
    m_catalogueLoaded = true;
    return true;
}

// {{limits:KEY}} and {{default:KEY}}: the limits or the factory setting of a
// catalogue parameter, so that the text follows the shipped catalogue.
bool Builder::SubstituteValues(QString& text, const QString& file)
{
    static const QRegularExpression value(QStringLiteral("\\{\\{(limits|default):([A-Z0-9_]+)\\}\\}"));
    QString out;
    qsizetype last = 0;
    auto it = value.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (!LoadCatalogue())
            return false;
        const std::optional<Key> key = KeyFromText(m.captured(2).toStdString());
        const CVarData* record = key ? m_table.Record(*key) : nullptr;
        if (!record) {
            m_result.Error = QStringLiteral("%1: {{%2:%3}}: no such parameter in the catalogue")
                                 .arg(file, m.captured(1), m.captured(2));
            return false;
        }
        out += text.mid(last, m.capturedStart() - last);
        out += m.captured(1) == QLatin1String("limits") ? LimitsText(*record) : DefaultText(*record);
        last = m.capturedEnd();
    }
    out += text.mid(last);
    text = out;
    return true;
}

QString Builder::Generated(const QString& marker)
{
    if (auto it = m_generated.find(marker); it != m_generated.end())
        return it->second;
    QString html;
    QString error;
    if (marker == QLatin1String("messages")) {
        html = MessagesHtml();
    } else if (marker == QLatin1String("diagnostics")) {
        html = DiagnosticsHtml(Resource(QStringLiteral("ini/DiagnosticList.ini")), &error);
        if (!error.isEmpty()) {
            m_result.Error = QStringLiteral("diagnostic list: ") + error;
            return {};
        }
    } else if (marker == QLatin1String("joysticks")) {
        html = JoysticksHtml(Resource(QStringLiteral("ini/JoylistNew.ini")), &error);
        if (!error.isEmpty()) {
            m_result.Error = QStringLiteral("joystick list: ") + error;
            return {};
        }
    } else if (marker == QLatin1String("parameters")) {
        if (!LoadCatalogue())
            return {};
        html = ParametersHtml(m_table);
    } else if (marker == QLatin1String("cli-help")) {
        html = CliHelpHtml(m_opt.CliPath, &error);
        if (!error.isEmpty()) {
            m_result.Warnings << QStringLiteral("qvs-cli --help: ") + error;
            html = QStringLiteral("<p><i>The command list could not be read from qvs-cli in this build; it is "
                                  "printed by <tt>qvs-cli --help</tt>.</i></p>");
        }
    } else {
        m_result.Error = QStringLiteral("unknown marker {{%1}}").arg(marker);
        return {};
    }
    m_generated[marker] = html;
    return html;
}

void Builder::InsertContents(QTextCursor& cursor, const std::vector<ContentsRow>& rows)
{
    // Two columns of entries, each a title and its page, filled down the
    // left half first. Built in a document without a layout (cheap), then
    // inserted as one piece.
    QTextDocument piece;
    QTextCursor pc(&piece);
    const int n = int(rows.size());
    const int perColumn = (n + 1) / 2;
    QTextTableFormat tf;
    tf.setBorder(0);
    tf.setCellSpacing(0);
    tf.setCellPadding(Pt(0.8));
    tf.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    tf.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 43),
                                  QTextLength(QTextLength::PercentageLength, 5),
                                  QTextLength(QTextLength::PercentageLength, 4),
                                  QTextLength(QTextLength::PercentageLength, 43),
                                  QTextLength(QTextLength::PercentageLength, 5)});
    tf.setProperty(ContentsTableProperty, true);
    QTextTable* table = pc.insertTable(std::max(1, perColumn), 5, tf);
    for (int i = 0; i < n; ++i) {
        const ContentsRow& row = rows[size_t(i)];
        const int r = i % std::max(1, perColumn);
        const int c = i < perColumn ? 0 : 3;
        QTextCharFormat cf;
        cf.setFontFamilies({BodyFamily});
        cf.setFontPointSize(row.Level == 1 ? 8.6 : 7.4);
        cf.setFontWeight(row.Level == 1 ? QFont::Bold : QFont::Normal);
        cf.setForeground(row.Level == 1 ? QBrush(Accent) : QBrush(QColor(0x33, 0x33, 0x33)));
        QTextBlockFormat bf;
        bf.setLeftMargin(row.Level == 1 ? 0 : Pt(9));
        bf.setTopMargin(row.Level == 1 && r > 0 ? Pt(2.5) : 0);
        QTextCursor cc = table->cellAt(r, c).firstCursorPosition();
        cc.setBlockFormat(bf);
        cc.insertText(row.Title, cf);
        QTextBlockFormat right = bf;
        right.setLeftMargin(0);
        right.setAlignment(Qt::AlignRight);
        cc = table->cellAt(r, c + 1).firstCursorPosition();
        cc.setBlockFormat(right);
        cc.insertText(row.Page > 0 ? QString::number(row.Page) : QStringLiteral("00"), cf);
    }
    cursor.insertFragment(QTextDocumentFragment(&piece));
    cursor.movePosition(QTextCursor::End);
}

bool Builder::BuildDocument(Topic& topic, QPdfWriter& writer, const std::vector<ContentsRow>* contents)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->documentLayout()->setPaintDevice(&writer);
    doc->setDocumentMargin(0);
    QFont font(BodyFamily);
    font.setPointSizeF(BodyPt);
    // No ligatures: the text of the PDF stays searchable as typed ("fi").
    font.setStyleStrategy(QFont::PreferNoShaping);
    doc->setDefaultFont(font);
    doc->setPageSize(m_geo.Body.size());

    QTextCursor cursor(doc.get());
    bool first = true;
    bool pendingBreak = false;
    for (const TopicPart& part : topic.Parts) {
        QTextDocument piece;
        if (part.PartKind == TopicPart::Marker) {
            if (part.Text == QLatin1String("pagebreak")) {
                pendingBreak = true;
                continue;
            }
            if (part.Text == QLatin1String("contents")) {
                if (!first)
                    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
                InsertContents(cursor, contents ? *contents : std::vector<ContentsRow>{});
                first = false;
                continue;
            }
            const QString html = Generated(part.Text);
            if (!m_result.Error.isEmpty())
                return false;
            piece.setHtml(html);
        } else {
            piece.setMarkdown(part.Text, QTextDocument::MarkdownDialectGitHub);
        }
        if (piece.isEmpty())
            continue;
        // Each piece is styled before it goes into the document: the piece
        // has no layout, while every format change of the laid-out document
        // would lay it out again.
        Clean(piece);
        Style(piece);
        PlaceImages(piece, *doc);
        if (!first)
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        const int start = cursor.position();
        const QTextBlock firstBlock = piece.begin();
        const bool firstInTable = QTextCursor(firstBlock).currentTable() != nullptr;
        QTextBlockFormat firstFormat = firstBlock.blockFormat();
        cursor.insertFragment(QTextDocumentFragment(&piece));
        // Inserting a fragment merges its first block into the block at the
        // cursor, which loses that block's format (a heading's level).
        QTextCursor at(doc->findBlock(start));
        if (!firstInTable) {
            if (pendingBreak)
                firstFormat.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            at.setBlockFormat(firstFormat);
        } else if (pendingBreak) {
            QTextBlockFormat bf = at.blockFormat();
            bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            at.setBlockFormat(bf);
        }
        pendingBreak = false;
        first = false;
    }
    // A chapter that follows another on the same page keeps a gap above it.
    for (QTextBlock b = doc->begin().next(); b.isValid(); b = b.next())
        if (b.blockFormat().headingLevel() == 1 && !QTextCursor(b).currentTable()) {
            QTextBlockFormat bf = b.blockFormat();
            bf.setTopMargin(Pt(20));
            QTextCursor(b).setBlockFormat(bf);
        }
    topic.Doc = std::move(doc);
    KeepWithNext(*topic.Doc);
    Measure(topic);
    if (topic.Title.isEmpty()) {
        m_result.Error = QStringLiteral("%1 has no level-1 heading (# Title)").arg(topic.Source.File);
        return false;
    }
    return true;
}

void Builder::Clean(QTextDocument& doc)
{
    // The Markdown import leaves an empty paragraph after a code block; when
    // a table follows, it lands in the table's first cell. Both would show
    // as a gap.
    std::vector<int> separators; // positions of block separators to delete
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (!b.text().isEmpty() || !b.next().isValid())
            continue;
        QTextTable* table = QTextCursor(b).currentTable();
        QTextTable* nextTable = QTextCursor(b.next()).currentTable();
        if (table) {
            if (nextTable == table && table->cellAt(b.position()) == table->cellAt(b.next().position()) &&
                table->cellAt(b.position()).firstCursorPosition().block() == b)
                separators.push_back(b.position());
        } else if (!nextTable && b.previous().isValid() && !QTextCursor(b.previous()).currentTable() &&
                   b.previous().blockFormat().hasProperty(QTextFormat::BlockCodeFence) &&
                   !b.blockFormat().hasProperty(QTextFormat::BlockCodeFence) && b.next().text().size() > 0) {
            separators.push_back(b.position());
        }
    }
    for (auto it = separators.rbegin(); it != separators.rend(); ++it) {
        QTextCursor c(&doc);
        c.setPosition(*it);
        const QTextBlockFormat keep = doc.findBlock(*it + 1).blockFormat();
        c.deleteChar();
        c.setBlockFormat(keep);
    }
}

void Builder::Style(QTextDocument& doc)
{
    struct Change {
        int Position, Length;
        QTextCharFormat Format;
    };
    std::vector<Change> changes;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QTextCursor c(b);
        QTextBlockFormat bf = b.blockFormat();
        const int level = bf.headingLevel();
        const bool inTable = c.currentTable() != nullptr;
        const bool code = bf.hasProperty(QTextFormat::BlockCodeFence) || bf.nonBreakableLines();
        if (level > 0) {
            bf.setTopMargin(level == 1 ? 0 : Pt(level == 2 ? 11 : 7));
            bf.setBottomMargin(Pt(level == 1 ? 9 : 3.5));
        } else if (code) {
            // A line too long for the page wraps rather than being cut off.
            bf.setNonBreakableLines(false);
            bf.setBackground(QColor(0xf2, 0xf2, 0xf2));
            bf.setLeftMargin(Pt(4));
            bf.setRightMargin(Pt(4));
            bf.setTopMargin(0);
            bf.setBottomMargin(b.next().isValid() && (b.next().blockFormat().hasProperty(QTextFormat::BlockCodeFence) ||
                                                      b.next().blockFormat().nonBreakableLines())
                                   ? 0
                                   : Pt(5));
        } else if (bf.hasProperty(QTextFormat::BlockQuoteLevel)) {
            bf.setBackground(QColor(0xe9, 0xf1, 0xf9));
            bf.setLeftMargin(Pt(6));
            bf.setRightMargin(0);
            bf.setTopMargin(Pt(1));
            bf.setBottomMargin(Pt(6));
        } else if (inTable) {
            bf.setTopMargin(0);
            bf.setBottomMargin(b.next().isValid() && QTextCursor(b.next()).currentTable() == c.currentTable() &&
                                       c.currentTable()->cellAt(b.position()) ==
                                           c.currentTable()->cellAt(b.next().position())
                                   ? Pt(2)
                                   : 0);
        } else if (IsCaption(b)) {
            bf.setAlignment(Qt::AlignHCenter);
            bf.setTopMargin(0);
            bf.setBottomMargin(Pt(8));
        } else if (b.textList()) {
            bf.setTopMargin(0);
            bf.setBottomMargin(Pt(2));
        } else {
            bf.setTopMargin(0);
            bf.setBottomMargin(Pt(5));
        }
        if (!inTable && b.previous().isValid() && QTextCursor(b.previous()).currentTable())
            bf.setTopMargin(std::max(bf.topMargin(), Pt(7)));
        c.setBlockFormat(bf);

        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat cf = fragment.charFormat();
            if (cf.isImageFormat())
                continue;
            bool changed = false;
            if (level > 0) {
                cf.clearProperty(QTextFormat::FontSizeAdjustment);
                cf.clearProperty(QTextFormat::FontFamily);
                cf.setFontFamilies({BodyFamily});
                cf.setFontPointSize(level == 1 ? 17 : level == 2 ? 12.5 : 10.5);
                cf.setFontWeight(QFont::Bold);
                cf.setForeground(level <= 2 ? QBrush(Accent) : QBrush(Qt::black));
                changed = true;
            } else if (IsMonospace(cf) || code) {
                const double size = cf.hasProperty(QTextFormat::FontPointSize) ? cf.fontPointSize()
                                                                              : (inTable ? TablePt : BodyPt) * 0.92;
                // The old single-family property would win over the list.
                cf.clearProperty(QTextFormat::FontFamily);
                cf.setFontFamilies({MonoFamily});
                cf.setFontFixedPitch(true);
                cf.setFontPointSize(size);
                changed = true;
            } else if (IsCaption(b)) {
                cf.setFontPointSize(8.2);
                cf.setForeground(QColor(0x44, 0x44, 0x44));
                changed = true;
            } else if (inTable && !cf.hasProperty(QTextFormat::FontPointSize)) {
                cf.setFontPointSize(TablePt);
                changed = true;
            }
            if (changed)
                changes.push_back({fragment.position(), fragment.length(), cf});
        }
    }
    for (const Change& ch : changes) {
        QTextCursor c(&doc);
        c.setPosition(ch.Position);
        c.setPosition(ch.Position + ch.Length, QTextCursor::KeepAnchor);
        c.setCharFormat(ch.Format);
    }

    std::function<void(QTextFrame*)> walk = [&](QTextFrame* frame) {
        for (QTextFrame* child : frame->childFrames()) {
            if (auto* table = qobject_cast<QTextTable*>(child))
                if (!table->format().hasProperty(ContentsTableProperty))
                    StyleTable(table);
            walk(child);
        }
    };
    walk(doc.rootFrame());
}

void Builder::StyleTable(QTextTable* table)
{
    QTextTableFormat tf = table->format();
    const QColor line(0x9a, 0xa7, 0xb4);
    tf.setBorder(Pt(0.75));
    tf.setBorderBrush(line);
    tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tf.setBorderCollapse(true);
    tf.setCellSpacing(0);
    tf.setCellPadding(Pt(2.6));
    tf.setHeaderRowCount(1);
    tf.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    tf.setTopMargin(Pt(2));
    // No bottom margin: a table whose margin runs over the end of a page
    // gets its header row repeated on the next one, over what follows. The
    // block after the table keeps the distance instead.
    tf.setBottomMargin(0);
    tf.setAlignment(Qt::AlignLeft);
    table->setFormat(tf);
    // With collapsed borders the lines between cells are the cells' own.
    for (int row = 0; row < table->rows(); ++row)
        for (int col = 0; col < table->columns(); ++col) {
            QTextTableCell cell = table->cellAt(row, col);
            if (cell.row() != row || cell.column() != col)
                continue;
            QTextTableCellFormat cf = cell.format().toTableCellFormat();
            cf.setBorder(Pt(0.75));
            cf.setBorderBrush(line);
            cf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            if (row == 0)
                cf.setBackground(QColor(0xdc, 0xe6, 0xf0));
            cell.setFormat(cf);
        }
    for (int col = 0; col < table->columns(); ++col) {
        QTextTableCell cell = table->cellAt(0, col);
        QTextCursor c = cell.firstCursorPosition();
        c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        c.mergeCharFormat(bold);
    }
}

void Builder::PlaceImages(QTextDocument& doc, QTextDocument& owner)
{
    struct Image {
        int Position;
        QTextImageFormat Format;
        QTextBlock Block;
    };
    std::vector<Image> images;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                images.push_back({it.fragment().position(), it.fragment().charFormat().toImageFormat(), b});
    for (Image& im : images) {
        const QString name = im.Format.name();
        QString path = name.startsWith(QLatin1String("shots/")) ? QDir(m_opt.ShotsDir).filePath(name.mid(6))
                                                                : QDir(m_opt.SourceDir).filePath(name);
        QImage image(path);
        if (image.isNull()) {
            image = Placeholder(name);
            if (!m_result.MissingImages.contains(name))
                m_result.MissingImages << name;
        } else if (!m_result.Images.contains(name)) {
            m_result.Images << name;
        }
        owner.addResource(QTextDocument::ImageResource, QUrl(name), image);
        // Width: the title gives a share of the text width in percent; else
        // the picture's size on a 96 dpi screen, at most the text width.
        bool ok = false;
        const double percent = im.Format.property(QTextFormat::ImageTitle).toString().toDouble(&ok);
        const double textWidth = ToFormat(m_geo.Body.width());
        double width = ok && percent > 0 ? textWidth * percent / 100.0 : std::min(textWidth, image.width() * 0.8);
        double height = width * image.height() / std::max(1, image.width());
        const double maxHeight = ToFormat(m_geo.Body.height()) * 0.62;
        if (height > maxHeight) {
            width *= maxHeight / height;
            height = maxHeight;
        }
        im.Format.setWidth(width);
        im.Format.setHeight(height);
        QTextCursor c(&doc);
        c.setPosition(im.Position);
        c.setPosition(im.Position + 1, QTextCursor::KeepAnchor);
        c.setCharFormat(im.Format);
        if (im.Block.text().trimmed() == QString(QChar::ObjectReplacementCharacter)) {
            QTextBlockFormat bf = im.Block.blockFormat();
            bf.setAlignment(Qt::AlignHCenter);
            bf.setTopMargin(Pt(3));
            bf.setBottomMargin(Pt(2));
            QTextCursor(im.Block).setBlockFormat(bf);
        }
    }
}

void Builder::KeepWithNext(QTextDocument& doc)
{
    // A heading or a picture must not end a page: it moves to the next page
    // with the block that follows it (a picture keeps its caption).
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    const double pageHeight = m_geo.Body.height();
    const auto top = [&](const QTextBlock& b) {
        if (QTextTable* t = QTextCursor(b).currentTable())
            if (t->firstCursorPosition().block() == b)
                return layout->frameBoundingRect(t).top();
        return layout->blockBoundingRect(b).top();
    };
    for (int pass = 0; pass < 50; ++pass) {
        bool changed = false;
        for (QTextBlock b = doc.begin(); b.isValid() && !changed; b = b.next()) {
            const QTextBlock next = b.next();
            if (!next.isValid() || QTextCursor(b).currentTable())
                continue;
            const bool picture = b.text().trimmed() == QString(QChar::ObjectReplacementCharacter);
            if (b.blockFormat().headingLevel() == 0 && !picture)
                continue;
            if (b.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                continue;
            const QRectF r = layout->blockBoundingRect(b);
            const int page = int(std::floor(r.top() / pageHeight + 1e-6));
            const int nextPage = int(std::floor(top(next) / pageHeight + 1e-6));
            const bool atPageTop = r.top() - page * pageHeight < Mm(8);
            if (nextPage > page && !atPageTop) {
                QTextBlockFormat bf = b.blockFormat();
                bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                QTextCursor(b).setBlockFormat(bf);
                changed = true;
            }
        }
        if (!changed)
            break;
    }
}

void Builder::Measure(Topic& topic)
{
    QTextDocument& doc = *topic.Doc;
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    const double pageHeight = m_geo.Body.height();
    topic.Pages = std::max(1, doc.pageCount());
    topic.Headings.clear();
    topic.Title.clear();
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const int level = b.blockFormat().headingLevel();
        if (level < 1 || level > 2 || QTextCursor(b).currentTable())
            continue;
        const QRectF r = layout->blockBoundingRect(b);
        const int page = int(std::floor(r.top() / pageHeight + 1e-6));
        const QString text = b.text().simplified();
        if (level == 1 && topic.Title.isEmpty())
            topic.Title = text;
        topic.Headings.push_back({text, level, page, r.top() - page * pageHeight});
    }
    topic.ContentsRects.clear();
    std::function<void(QTextFrame*)> walk = [&](QTextFrame* frame) {
        for (QTextFrame* child : frame->childFrames()) {
            if (auto* table = qobject_cast<QTextTable*>(child); table && table->format().hasProperty(ContentsTableProperty)) {
                // Entry i is in row i % rows, in the left (columns 0-1) or
                // right (columns 3-4) half.
                const int rowsPerColumn = table->rows();
                const double half = m_geo.Body.width() / 2;
                for (int i = 0; i < 2 * rowsPerColumn; ++i) {
                    const int r = i % rowsPerColumn;
                    const int c = i < rowsPerColumn ? 0 : 3;
                    const QTextBlock a = table->cellAt(r, c).firstCursorPosition().block();
                    const QTextBlock z = table->cellAt(r, c + 1).firstCursorPosition().block();
                    if (a.text().isEmpty())
                        continue;
                    const QRectF ra = layout->blockBoundingRect(a);
                    const QRectF rz = layout->blockBoundingRect(z);
                    const double left = c == 0 ? 0 : half + m_geo.Body.width() * 0.02;
                    const double right = c == 0 ? half - m_geo.Body.width() * 0.02 : m_geo.Body.width();
                    topic.ContentsRects.push_back(QRectF(QPointF(left, std::min(ra.top(), rz.top())),
                                                         QPointF(right, std::max(ra.bottom(), rz.bottom()))));
                }
            }
            walk(child);
        }
    };
    walk(doc.rootFrame());
}

bool Builder::Place()
{
    int next = 1;
    for (size_t i = 0; i < m_topics.size(); ++i) {
        Topic& t = m_topics[i];
        if (t.Source.FixedPage > 0) {
            if (next > t.Source.FixedPage && m_opt.Draft) {
                m_result.Warnings << QStringLiteral("draft: \"%1\" starts on page %2 instead of %3")
                                         .arg(t.Title)
                                         .arg(next)
                                         .arg(t.Source.FixedPage);
                t.FirstPage = next;
                next += t.Pages;
                continue;
            }
            if (next > t.Source.FixedPage) {
                const Topic* before = i > 0 ? &m_topics[i - 1] : nullptr;
                m_result.Error = QStringLiteral("\"%1\" (%2) must start on page %3, the page F1 opens, but the topics "
                                                "before it end on page %4: shorten \"%5\" (%6) by %7 page(s)")
                                     .arg(t.Title, t.Source.File)
                                     .arg(t.Source.FixedPage)
                                     .arg(next - 1)
                                     .arg(before ? before->Title : QString(), before ? before->Files.join(QStringLiteral(" + ")) : QString())
                                     .arg(next - t.Source.FixedPage);
                return false;
            }
            next = t.Source.FixedPage;
        }
        t.FirstPage = next;
        next += t.Pages;
    }
    m_totalPages = next - 1;
    return true;
}

std::vector<ContentsRow> Builder::Contents(int depth) const
{
    std::vector<ContentsRow> rows;
    for (const Topic& t : m_topics) {
        if (t.HasContents)
            continue;
        for (const Heading& h : t.Headings) {
            if (h.Level > depth)
                continue;
            rows.push_back({h.Title, h.Level, t.FirstPage > 0 ? t.FirstPage + h.LocalPage : 0,
                            ToPt(m_geo.Body.top() + h.TopPx)});
        }
    }
    return rows;
}

void Builder::DrawFrame(QPainter& painter, int page, const QString& header)
{
    const double h = m_geo.Page.height();
    const QRectF body = m_geo.Body;
    QFont small(BodyFamily);
    small.setPointSizeF(7.5);
    small.setStyleStrategy(QFont::PreferNoShaping);
    painter.setFont(small);
    painter.setPen(QColor(0x55, 0x55, 0x55));
    if (!header.isEmpty()) {
        const QRectF headRect(body.left(), Mm(10), body.width(), Mm(8));
        painter.drawText(headRect, Qt::AlignLeft | Qt::AlignBottom, header);
        painter.drawText(headRect, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("QvsStudio user manual"));
        painter.setPen(QPen(QColor(0x9a, 0xa7, 0xb4), Pt(0.6)));
        painter.drawLine(QPointF(body.left(), Mm(19)), QPointF(body.right(), Mm(19)));
        painter.setPen(QColor(0x55, 0x55, 0x55));
    }
    const QRectF footRect(body.left(), h - Mm(15), body.width(), Mm(6));
    painter.drawText(footRect, Qt::AlignHCenter | Qt::AlignTop, QString::number(page));
    painter.drawText(footRect, Qt::AlignRight | Qt::AlignTop, QStringLiteral("Version ") + m_opt.Version);
}

void Builder::Render(QPdfWriter& writer, QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::LosslessImageRendering);
    const double pageHeight = m_geo.Body.height();
    int page = 1;
    const auto newPage = [&] {
        if (page > 1)
            writer.newPage();
    };
    for (size_t i = 0; i < m_topics.size(); ++i) {
        Topic& t = m_topics[i];
        for (; page < t.FirstPage; ++page) {
            // Padding before a topic that starts on a fixed page.
            newPage();
            DrawFrame(painter, page, QString());
            QFont f(BodyFamily);
            f.setPointSizeF(9);
            f.setItalic(true);
            painter.setFont(f);
            painter.setPen(QColor(0x77, 0x77, 0x77));
            painter.drawText(m_geo.Body, Qt::AlignCenter, QStringLiteral("This page is intentionally left blank."));
        }
        for (int k = 0; k < t.Pages; ++k, ++page) {
            newPage();
            // The header names the chapter in force at the top of the page.
            QString header;
            for (const Heading& h : t.Headings)
                if (h.Level == 1 && (h.LocalPage < k || (h.LocalPage == k && h.TopPx < Mm(10))))
                    header = h.Title;
            if (header.isEmpty())
                for (const Heading& h : t.Headings)
                    if (h.Level == 1 && h.LocalPage == k) {
                        header = h.Title;
                        break;
                    }
            if (header.isEmpty())
                header = t.Title;
            // The frame comes first on every page, the title page too: when a
            // page starts with a laid-out table, QtPdf's text extraction
            // splits its words letter by letter.
            DrawFrame(painter, page, t.HasContents ? QString() : header);
            painter.save();
            painter.translate(m_geo.Body.left(), m_geo.Body.top() - k * pageHeight);
            const QRectF clip(0, k * pageHeight, m_geo.Body.width(), pageHeight);
            // The layout draws the lines that touch the clip; the clip path
            // cuts off what belongs to the neighbouring pages.
            painter.setClipRect(clip);
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = clip;
            context.palette.setColor(QPalette::Text, Qt::black);
            t.Doc->documentLayout()->draw(&painter, context);
            painter.restore();
        }
    }
}

ManualResult Builder::Run()
{
    if (!LoadTopics())
        return m_result;

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(Dpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(QStringLiteral("QvsStudio user manual"));
    writer.setCreator(QStringLiteral("QvsStudio build-manual %1").arg(m_opt.Version));
    m_geo.Page = QSizeF(writer.width(), writer.height());
    m_geo.Body = QRectF(Mm(20), Mm(24), m_geo.Page.width() - Mm(40), m_geo.Page.height() - Mm(24) - Mm(21));
    m_geo.PageHeightPt = writer.pageLayout().fullRectPoints().height();

    // Pass 1: every topic except the contents, which needs their pages.
    for (Topic& t : m_topics)
        if (!t.HasContents && !BuildDocument(t, writer, nullptr))
            return m_result;
    // The contents with both levels when it fits one page, else the topics only.
    int depth = 2;
    const auto buildContents = [&]() {
        for (Topic& t : m_topics)
            if (t.HasContents) {
                const std::vector<ContentsRow> rows = Contents(depth);
                if (!BuildDocument(t, writer, &rows))
                    return false;
            }
        return true;
    };
    const auto contentsPages = [&] {
        int pages = 0;
        for (const Topic& t : m_topics)
            if (t.HasContents)
                pages = std::max(pages, t.Pages);
        return pages;
    };
    if (!buildContents())
        return m_result;
    if (contentsPages() > 1) {
        m_result.Warnings << QStringLiteral("the contents with sections do not fit on one page; listing the topics only");
        depth = 1;
        if (!buildContents())
            return m_result;
    }
    // Place, then lay the contents out again with the page numbers; repeat
    // while that changes the length of the contents.
    for (int attempt = 0;; ++attempt) {
        if (!Place())
            return m_result;
        const int before = contentsPages();
        if (!buildContents())
            return m_result;
        if (contentsPages() == before)
            break;
        if (attempt == 3) {
            m_result.Error = QStringLiteral("the contents do not settle on a number of pages");
            return m_result;
        }
    }
    if (!Place())
        return m_result;

    QPainter painter;
    if (!painter.begin(&writer)) {
        m_result.Error = QStringLiteral("cannot start the PDF");
        return m_result;
    }
    Render(writer, painter);
    painter.end();
    buffer.close();
    QByteArray pdf = buffer.data();

    // Bookmarks and the links of the contents.
    std::vector<OutlineItem> outline;
    std::vector<LinkArea> links;
    for (const Topic& t : m_topics) {
        if (t.HasContents) {
            outline.push_back({t.Title, 1, t.FirstPage - 1, ToPt(m_geo.Body.top())});
            continue;
        }
        for (const Heading& h : t.Headings)
            outline.push_back({h.Title, h.Level, t.FirstPage - 1 + h.LocalPage, ToPt(m_geo.Body.top() + h.TopPx)});
    }
    const std::vector<ContentsRow> rows = Contents(depth);
    for (const Topic& t : m_topics) {
        if (!t.HasContents)
            continue;
        for (size_t r = 0; r < rows.size() && r < t.ContentsRects.size(); ++r) {
            const QRectF& rect = t.ContentsRects[r];
            const int localPage = int(std::floor(rect.top() / m_geo.Body.height() + 1e-6));
            const double y = m_geo.Body.top() + rect.top() - localPage * m_geo.Body.height();
            links.push_back({t.FirstPage - 1 + localPage,
                             QRectF(ToPt(m_geo.Body.left() + rect.left()), ToPt(y), ToPt(rect.width()),
                                    ToPt(rect.height())),
                             rows[r].Page - 1, rows[r].TopPt});
        }
    }
    if (const QString e = AddOutlineAndLinks(pdf, outline, links, m_geo.PageHeightPt); !e.isEmpty())
        m_result.Warnings << QStringLiteral("no bookmarks: ") + e;

    QSaveFile out(m_opt.OutPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(pdf) != pdf.size() || !out.commit()) {
        m_result.Error = QStringLiteral("cannot write %1: %2").arg(m_opt.OutPath, out.errorString());
        return m_result;
    }
    m_result.Warnings.removeDuplicates();
    m_result.Pages = m_totalPages;
    m_result.Bytes = pdf.size();
    for (const Topic& t : m_topics)
        m_result.Topics.push_back(
            {t.Title, t.Files.join(QStringLiteral(" + ")), t.Source.FixedPage, t.FirstPage, t.FirstPage + t.Pages - 1});
    return m_result;
}

} // namespace

ManualResult BuildManual(const ManualOptions& options)
{
    Builder builder(options);
    return builder.Run();
}
