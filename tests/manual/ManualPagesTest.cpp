// The page F1 opens in each window of the program is the page where that
// window's topic starts in the built manual. The page numbers are taken from
// the windows themselves, so a window that moves to another page, or a
// topic that slips, fails here.
#include "ManualTestSupport.h"

#include "core/state/CoreContext.h"
#include "core/transport/CanAdapter.h"
#include "gui/pages/Page.h"
#include "gui/pages/config/FrmConfig.h"
#include "gui/pages/config/FrmJoySel.h"
#include "gui/pages/config/FrmMagSel.h"
#include "gui/shell/Dialogs.h"
#include "gui/shell/FrmPwd.h"
#include "gui/shell/frmMain.h"
#include "gui/shell/frmSectionColour.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

class SilentDialogs : public Dialogs {
public:
    void Message(QWidget*, const QString&, MessageIcon, const QString&) override {}
    bool Ask(QWidget*, const QString&, MessageIcon, const QString&) override { return false; }
    std::optional<QString> OpenFile(QWidget*, const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> SaveFile(QWidget*, const QString&, const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
};

struct FormPage {
    QString Form;  // what the test names
    int Page = 0;  // the form's F1 page (1-based)
    QString Topic; // a text of the topic's title
};

class ManualPages : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        TestApp();
        pdf = std::make_unique<PdfText>(QStringLiteral(QVS_MANUAL_PDF));
    }
    static void TearDownTestSuite() { pdf.reset(); }

    // The forms of a main window over the shipped lists, with their pages.
    static std::vector<FormPage> Forms()
    {
        QTemporaryDir dir;
        QDir root(dir.path());
        root.mkpath(QStringLiteral("res/ini"));
        root.mkpath(QStringLiteral("res/txt"));
        for (const char* f : {"Ramlist.ini", "DiagnosticList.ini", "JoylistNew.ini"})
            QFile::copy(QStringLiteral(QVS_SOURCE_DIR "/res/ini/") + QLatin1String(f),
                        root.filePath(QStringLiteral("res/ini/") + QLatin1String(f)));
        CoreContext context(dir.path(), [] { return std::unique_ptr<CanAdapter>(); });
        SilentDialogs dialogs;
        frmMain window(context, &dialogs);
        window.ManualOpener = [](const QString&, int, const QString&) {};
        window.EndProgram = [] {};

        const std::pair<const char*, const char*> topics[] = {{"A1", "The Configure page"},
                                                              {"A2", "The Monitor page"},
                                                              {"A3", "The Diagnostic page"},
                                                              {"A4", "The Debugger page"},
                                                              {"A5", "The Info page"}};
        std::vector<FormPage> forms;
        forms.push_back({QStringLiteral("main window"), window.property("ManualPage").toInt(),
                         QStringLiteral("Contents")});
        for (const auto& [tag, topic] : topics) {
            Page* page = window.PageByTag(QLatin1String(tag));
            EXPECT_NE(page, nullptr) << tag;
            if (page)
                forms.push_back({QLatin1String(tag), page->ManualPage(), QLatin1String(topic)});
        }
        auto* config = qobject_cast<FrmConfig*>(window.PageByTag(QStringLiteral("A1")));
        EXPECT_NE(config, nullptr);
        if (config) {
            EXPECT_NE(config->MagSelDialog(), nullptr);
            EXPECT_NE(config->JoySelDialog(), nullptr);
            if (config->MagSelDialog())
                forms.push_back({QStringLiteral("FrmMagSel"), config->MagSelDialog()->property("ManualPage").toInt(),
                                 QStringLiteral("Dither Settings")});
            if (config->JoySelDialog())
                forms.push_back({QStringLiteral("FrmJoySel"), config->JoySelDialog()->property("ManualPage").toInt(),
                                 QStringLiteral("Select a Joystick")});
        }
        forms.push_back({QStringLiteral("frmSectionColour"),
                         frmSectionColour::Instance(window).property("ManualPage").toInt(), QStringLiteral("Palette")});
        return forms;
    }

    static std::unique_ptr<PdfText> pdf;
};

std::unique_ptr<PdfText> ManualPages::pdf;

TEST_F(ManualPages, EveryWindowsF1PageStartsItsTopic)
{
    ASSERT_TRUE(pdf->Ok()) << QVS_MANUAL_PDF;
    const std::vector<FormPage> forms = Forms();
    ASSERT_EQ(forms.size(), 9u) << "main window, five pages, three dialogs";
    for (const FormPage& f : forms) {
        SCOPED_TRACE(f.Form.toStdString());
        ASSERT_GE(f.Page, 1);
        ASSERT_LE(f.Page, pdf->Pages());
        const QString text = pdf->Page(f.Page - 1);
        EXPECT_TRUE(text.contains(f.Topic)) << "page " << f.Page << " does not show \"" << f.Topic.toStdString()
                                            << "\":\n" << text.left(400).toStdString();
        // The topic starts there: the running header of the page before it
        // (its first line) names another chapter, or the page is blank.
        if (f.Page > 1) {
            const QString before = pdf->Page(f.Page - 2).section(QLatin1Char('\n'), 0, 0);
            EXPECT_FALSE(before.contains(f.Topic)) << "the topic already runs on page " << f.Page - 1;
        }
    }
}

TEST_F(ManualPages, BookmarksLeadToTheTopicsPages)
{
    ASSERT_TRUE(pdf->Ok());
    const std::vector<Bookmark> marks = pdf->Bookmarks();
    ASSERT_FALSE(marks.empty()) << "the manual has no bookmarks";
    for (const FormPage& f : Forms()) {
        if (f.Page == 1)
            continue; // the contents are on the title page's bookmark
        SCOPED_TRACE(f.Form.toStdString());
        const auto it = std::find_if(marks.begin(), marks.end(), [&](const Bookmark& b) {
            return b.Level == 0 && b.Title.contains(f.Topic);
        });
        ASSERT_NE(it, marks.end()) << "no chapter bookmark for \"" << f.Topic.toStdString() << "\"";
        EXPECT_EQ(it->Page + 1, f.Page);
    }
    // Sections are nested under their chapters, in page order.
    int lastPage = -1;
    bool nested = false;
    for (const Bookmark& b : marks) {
        EXPECT_GE(b.Page, lastPage) << b.Title.toStdString();
        lastPage = b.Page;
        nested = nested || b.Level == 1;
    }
    EXPECT_TRUE(nested);
}

TEST_F(ManualPages, ContentsListEveryChapterWithItsPage)
{
    ASSERT_TRUE(pdf->Ok());
    const QString contents = pdf->Page(0);
    EXPECT_TRUE(contents.contains(QStringLiteral("Contents")));
    for (const Bookmark& b : pdf->Bookmarks()) {
        if (b.Level != 0 || b.Page == 0)
            continue;
        SCOPED_TRACE(b.Title.toStdString());
        // "Title" and its page number, in the same row of the contents.
        const qsizetype at = contents.indexOf(b.Title);
        ASSERT_GE(at, 0);
        const QString rest = contents.mid(at + b.Title.size(), 12);
        EXPECT_TRUE(rest.simplified().startsWith(QString::number(b.Page + 1))) << rest.toStdString();
    }
    // Every entry of the contents is a link to its page (QtPdf has no link
    // reader here, so the annotations are counted in the file).
    QFile file(QStringLiteral(QVS_MANUAL_PDF));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const qsizetype links = file.readAll().count("/Subtype /Link");
    const std::vector<Bookmark> marks = pdf->Bookmarks();
    const auto entries = std::count_if(marks.begin(), marks.end(), [](const Bookmark& b) { return b.Page > 0; });
    EXPECT_EQ(links, entries);
}

TEST_F(ManualPages, EveryPageCarriesItsNumber)
{
    ASSERT_TRUE(pdf->Ok());
    for (int p = 0; p < pdf->Pages(); ++p) {
        const QStringList lines = pdf->Page(p).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        // The footer: the page number, beside the program version.
        const QRegularExpression footer(QStringLiteral("^%1( Version \\S+)?$").arg(p + 1));
        bool numbered = false;
        for (const QString& line : lines)
            numbered = numbered || footer.match(line.trimmed()).hasMatch();
        EXPECT_TRUE(numbered) << "page " << p + 1;
    }
}

TEST_F(ManualPages, TheAssistancePasswordIsNotPrinted)
{
    ASSERT_TRUE(pdf->Ok());
    const QString all = pdf->Pages(0, pdf->Pages() - 1);
    EXPECT_FALSE(all.contains(QLatin1String(FrmPwd::Password), Qt::CaseInsensitive));
    EXPECT_TRUE(all.contains(QStringLiteral("Password NOT Correct!"))) << "the login is documented";
}

} // namespace
