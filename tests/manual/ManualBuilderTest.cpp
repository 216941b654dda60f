// The layout tool on small manuals of its own: padding before a fixed page,
// the build failing when a topic would miss its page, follow-on topics, the
// contents, placeholders for missing pictures and the generated parts.
#include "ManualTestSupport.h"

#include "ManualBuilder.h"
#include "ManualSource.h"
#include "PdfOutline.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class Sandbox {
public:
    Sandbox() { QDir(dir.path()).mkpath(QStringLiteral("shots")); }
    void Write(const QString& name, const QString& text) const
    {
        QFile f(QDir(dir.path()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    QString Path(const QString& name = QString()) const { return QDir(dir.path()).filePath(name); }
    ManualOptions Options() const
    {
        ManualOptions o;
        o.SourceDir = dir.path();
        o.ShotsDir = Path(QStringLiteral("shots"));
        o.ResourceDir = QStringLiteral(QVS_SOURCE_DIR "/res");
        o.OutPath = Path(QStringLiteral("out.pdf"));
        o.Version = QStringLiteral("9.8.7");
        return o;
    }

private:
    QTemporaryDir dir;
};

QString Long(int paragraphs)
{
    QString text;
    for (int i = 0; i < paragraphs; ++i)
        text += QStringLiteral("Paragraph %1 of a topic that is far too long for the page it has.\n\n").arg(i);
    return text;
}

TEST(ManualBuilder, PadsWithBlankPagesUpToAFixedPage)
{
    TestApp();
    Sandbox s;
    s.Write(QStringLiteral("manual.txt"), QStringLiteral("# comment\n1 a.md\n\n4 b.md\n"));
    s.Write(QStringLiteral("a.md"), QStringLiteral("# Alpha\n\nShort.\n"));
    s.Write(QStringLiteral("b.md"), QStringLiteral("# Beta\n\nVersion {{version}}.\n"));
    const ManualResult r = BuildManual(s.Options());
    ASSERT_TRUE(r.Error.isEmpty()) << r.Error.toStdString();
    ASSERT_EQ(r.Topics.size(), 2u);
    EXPECT_EQ(r.Topics[0].FirstPage, 1);
    EXPECT_EQ(r.Topics[1].FirstPage, 4);
    EXPECT_EQ(r.Pages, 4);
    const PdfText pdf(s.Options().OutPath);
    ASSERT_TRUE(pdf.Ok());
    ASSERT_EQ(pdf.Pages(), 4);
    EXPECT_TRUE(pdf.Page(1).contains(QStringLiteral("intentionally left blank")));
    EXPECT_TRUE(pdf.Page(2).contains(QStringLiteral("intentionally left blank")));
    EXPECT_TRUE(pdf.Page(3).contains(QStringLiteral("Beta")));
    EXPECT_TRUE(pdf.Page(3).contains(QStringLiteral("Version 9.8.7.")));
}

TEST(ManualBuilder, FailsWhenATopicWouldMissItsFixedPage)
{
    TestApp();
    Sandbox s;
    s.Write(QStringLiteral("manual.txt"), QStringLiteral("1 a.md\n2 b.md\n"));
    s.Write(QStringLiteral("a.md"), QStringLiteral("# Alpha\n\n") + Long(120));
    s.Write(QStringLiteral("b.md"), QStringLiteral("# Beta\n\nText.\n"));
    const ManualResult r = BuildManual(s.Options());
    EXPECT_TRUE(r.Error.contains(QStringLiteral("must start on page 2"))) << r.Error.toStdString();
    EXPECT_TRUE(r.Error.contains(QStringLiteral("a.md"))) << r.Error.toStdString();
    EXPECT_FALSE(QFile::exists(s.Options().OutPath)) << "no manual is written with a topic on the wrong page";

    // A draft moves the topic instead and says so.
    ManualOptions draft = s.Options();
    draft.Draft = true;
    const ManualResult d = BuildManual(draft);
    ASSERT_TRUE(d.Error.isEmpty()) << d.Error.toStdString();
    EXPECT_GT(d.Topics[1].FirstPage, 2);
    EXPECT_FALSE(d.Warnings.isEmpty());
}

TEST(ManualBuilder, FollowOnTopicsShareAPageAndAllGetBookmarks)
{
    TestApp();
    Sandbox s;
    s.Write(QStringLiteral("manual.txt"), QStringLiteral("1 a.md\n+ b.md\n- c.md\n"));
    s.Write(QStringLiteral("a.md"), QStringLiteral("# Alpha\n\n## First section\n\nText.\n"));
    s.Write(QStringLiteral("b.md"), QStringLiteral("# Beta\n\nText.\n"));
    s.Write(QStringLiteral("c.md"), QStringLiteral("# Gamma\n\nText.\n\n{{pagebreak}}\n\n## Later\n\nText.\n"));
    const ManualResult r = BuildManual(s.Options());
    ASSERT_TRUE(r.Error.isEmpty()) << r.Error.toStdString();
    const PdfText pdf(s.Options().OutPath);
    ASSERT_EQ(pdf.Pages(), 3) << "Alpha and Beta on page 1, Gamma on 2, the page break gives 3";
    EXPECT_TRUE(pdf.Page(0).contains(QStringLiteral("Beta")));
    const std::vector<Bookmark> marks = pdf.Bookmarks();
    ASSERT_EQ(marks.size(), 5u);
    EXPECT_EQ(marks[0].Title, QStringLiteral("Alpha"));
    EXPECT_EQ(marks[1].Title, QStringLiteral("First section"));
    EXPECT_EQ(marks[1].Level, 1);
    EXPECT_EQ(marks[2].Title, QStringLiteral("Beta"));
    EXPECT_EQ(marks[2].Page, 0);
    EXPECT_EQ(marks[3].Page, 1);
    EXPECT_EQ(marks[4].Title, QStringLiteral("Later"));
    EXPECT_EQ(marks[4].Page, 2);
}

TEST(ManualBuilder, ContentsGiveEveryTopicItsPage)
{
    TestApp();
    Sandbox s;
    s.Write(QStringLiteral("manual.txt"), QStringLiteral("1 title.md\n- a.md\n5 b.md\n"));
    s.Write(QStringLiteral("title.md"), QStringLiteral("# The manual\n\n{{contents}}\n"));
    s.Write(QStringLiteral("a.md"), QStringLiteral("# Alpha\n\n## Alpha section\n\nText.\n"));
    s.Write(QStringLiteral("b.md"), QStringLiteral("# Beta\n\nText.\n"));
    const ManualResult r = BuildManual(s.Options());
    ASSERT_TRUE(r.Error.isEmpty()) << r.Error.toStdString();
    const PdfText pdf(s.Options().OutPath);
    const QString contents = pdf.Page(0).simplified();
    EXPECT_TRUE(contents.contains(QStringLiteral("Alpha 2"))) << contents.toStdString();
    EXPECT_TRUE(contents.contains(QStringLiteral("Alpha section 2"))) << contents.toStdString();
    EXPECT_TRUE(contents.contains(QStringLiteral("Beta 5"))) << contents.toStdString();
}

TEST(ManualBuilder, MissingPicturesBecomePlaceholders)
{
    TestApp();
    Sandbox s;
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(s.Path(QStringLiteral("shots/here.png"))));
    s.Write(QStringLiteral("manual.txt"), QStringLiteral("1 a.md\n"));
    s.Write(QStringLiteral("a.md"), QStringLiteral("# Alpha\n\n![A](shots/here.png \"50\")\n\n![B](shots/gone.png)\n"));
    const ManualResult r = BuildManual(s.Options());
    ASSERT_TRUE(r.Error.isEmpty()) << r.Error.toStdString();
    EXPECT_EQ(r.Images, QStringList{QStringLiteral("shots/here.png")});
    EXPECT_EQ(r.MissingImages, QStringList{QStringLiteral("shots/gone.png")});
    EXPECT_TRUE(QFile::exists(s.Options().OutPath));
}

TEST(ManualBuilder, GeneratedPartsComeFromTheProgram)
{
    TestApp();
    Sandbox s;
    s.Write(QStringLiteral("manual.txt"), QStringLiteral("1 a.md\n"));
    s.Write(QStringLiteral("a.md"), QStringLiteral("# Alpha\n\nMIN: {{limits:QVS_I0_MIN}}, factory {{default:QVS_I0_MIN}}.\n\n"
                                                   "{{messages}}\n\n{{joysticks}}\n"));
    const ManualResult r = BuildManual(s.Options());
    ASSERT_TRUE(r.Error.isEmpty()) << r.Error.toStdString();
    const PdfText pdf(s.Options().OutPath);
    const QString text = Squash(pdf.Pages(0, pdf.Pages() - 1));
    EXPECT_TRUE(text.contains(Squash(QStringLiteral("MIN: 100 to 1500 mA, factory 400 mA.")))) << "shipped catalogue";
    EXPECT_TRUE(text.contains(QStringLiteral("OperationFailed:")));
    EXPECT_TRUE(text.contains(QStringLiteral("JS2-XY")));

    s.Write(QStringLiteral("a.md"), QStringLiteral("# Alpha\n\n{{limits:QVS_NOT_A_KEY}}\n"));
    EXPECT_TRUE(BuildManual(s.Options()).Error.contains(QStringLiteral("QVS_NOT_A_KEY")));
    s.Write(QStringLiteral("a.md"), QStringLiteral("# Alpha\n\n{{nonsense}}\n"));
    EXPECT_TRUE(BuildManual(s.Options()).Error.contains(QStringLiteral("nonsense")));
    s.Write(QStringLiteral("a.md"), QStringLiteral("No heading.\n"));
    EXPECT_TRUE(BuildManual(s.Options()).Error.contains(QStringLiteral("heading")));
}

TEST(ManualSource, ManifestLinesAreChecked)
{
    Sandbox s;
    QString error;
    s.Write(QStringLiteral("m.txt"), QStringLiteral("# x\n1 a.md\n- b.md\n+ c.md\n10 d.md\n"));
    const std::vector<TopicSource> ok = ReadManifest(s.Path(QStringLiteral("m.txt")), &error);
    ASSERT_EQ(ok.size(), 4u) << error.toStdString();
    EXPECT_EQ(ok[1].FixedPage, 0);
    EXPECT_EQ(ok[2].FixedPage, FollowOn);
    EXPECT_EQ(ok[3].FixedPage, 10);
    EXPECT_EQ(ok[3].Line, 5);

    const std::pair<const char*, const char*> bad[] = {{"x a.md\n", "neither"},
                                                       {"5 a.md\n3 b.md\n", "does not follow"},
                                                       {"+ a.md\n", "cannot follow"},
                                                       {"1 a.md extra\n", "PAGE FILE"},
                                                       {"# nothing\n", "no topic"}};
    for (const auto& [text, why] : bad) {
        s.Write(QStringLiteral("m.txt"), QLatin1String(text));
        error.clear();
        EXPECT_TRUE(ReadManifest(s.Path(QStringLiteral("m.txt")), &error).empty()) << text;
        EXPECT_TRUE(error.contains(QLatin1String(why))) << error.toStdString();
    }
    EXPECT_TRUE(ReadManifest(s.Path(QStringLiteral("missing.txt")), &error).empty());
}

TEST(ManualSource, MarkersSplitATopic)
{
    const std::vector<TopicPart> parts =
        SplitTopic(QStringLiteral("# T {{version}}\n\n  {{pagebreak}}  \ntext {{messages}} inline\n{{messages}}\n"),
                   QStringLiteral("1.2"));
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_EQ(parts[0].Text.trimmed(), QStringLiteral("# T 1.2"));
    EXPECT_EQ(parts[1].PartKind, TopicPart::Marker);
    EXPECT_EQ(parts[1].Text, QStringLiteral("pagebreak"));
    EXPECT_EQ(parts[2].PartKind, TopicPart::Markdown) << "a marker inside a line is text";
    EXPECT_EQ(parts[3].Text, QStringLiteral("messages"));
}

TEST(PdfOutline, TitlesAreUtf16WithByteOrderMark)
{
    EXPECT_EQ(PdfTextString(QStringLiteral("A\u00e9")), QByteArray("<FEFF004100E9>"));
    QByteArray notPdf("hello");
    EXPECT_FALSE(AddOutlineAndLinks(notPdf, {}, {}, 842).isEmpty());
    EXPECT_EQ(notPdf, QByteArray("hello"));
}

} // namespace
