// The message list of the manual is the program's own: every text of the
// catalogue is in the troubleshooting chapter of the built manual, every
// catalogue text is one the sources really hold, and the texts the windows
// show are in the catalogue.
#include "ManualTestSupport.h"

#include "core/state/MessageCatalog.h"
#include "gui/pages/DiagnosticList.h"
#include "gui/pages/FrmMonitor.h"
#include "gui/pages/config/FrmJoySel.h"
#include "gui/pages/frmDebug.h"
#include "gui/pages/frmDiagnostic.h"
#include "gui/shell/DrawText.h"
#include "gui/shell/FrmPwd.h"
#include "gui/shell/frmAbout.h"
#include "gui/shell/frmMain.h"

#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

#include <set>

namespace {

// The string literals of the program's sources, adjacent literals joined,
// escapes resolved. The catalogue itself is left out.
std::vector<std::string> SourceLiterals()
{
    std::vector<std::string> literals;
    QDirIterator it(QStringLiteral(QVS_SOURCE_DIR "/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.contains(QLatin1String("MessageCatalog")))
            continue;
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const std::string code = f.readAll().toStdString();
        std::string current;
        bool open = false; // a literal was read and may continue
        for (size_t i = 0; i < code.size(); ++i) {
            const char c = code[i];
            if (c == '/' && i + 1 < code.size() && code[i + 1] == '/') {
                i = code.find('\n', i);
                if (i == std::string::npos)
                    break;
                continue;
            }
            if (c == '\'' && i + 2 < code.size()) { // a character literal
                i += code[i + 1] == '\\' ? 3 : 2;
                continue;
            }
            if (c == '"') {
                for (++i; i < code.size() && code[i] != '"'; ++i) {
                    if (code[i] == '\\' && i + 1 < code.size()) {
                        const char e = code[++i];
                        current += e == 'r' ? '\r' : e == 'n' ? '\n' : e == 't' ? '\t' : e;
                    } else {
                        current += code[i];
                    }
                }
                open = true;
                continue;
            }
            if (open && !std::isspace(static_cast<unsigned char>(c))) {
                literals.push_back(current);
                current.clear();
                open = false;
            }
        }
        if (open)
            literals.push_back(current);
    }
    return literals;
}

// Whether piece is in one literal, or made of the end of one and the start
// of another (a text joined from two constants at run time).
bool InSources(const std::string& piece, const std::vector<std::string>& literals)
{
    for (const std::string& l : literals)
        if (l.find(piece) != std::string::npos)
            return true;
    for (size_t k = 1; k < piece.size(); ++k) {
        const std::string head = piece.substr(0, k), tail = piece.substr(k);
        bool headFound = false, tailFound = false;
        for (const std::string& l : literals) {
            headFound = headFound || (l.size() >= head.size() && l.compare(l.size() - head.size(), head.size(), head) == 0);
            tailFound = tailFound || l.rfind(tail, 0) == 0;
        }
        if (headFound && tailFound)
            return true;
    }
    return false;
}

TEST(MessageCatalog, EveryMessageIsInTheTroubleshootingChapter)
{
    const PdfText pdf(QStringLiteral(QVS_MANUAL_PDF));
    ASSERT_TRUE(pdf.Ok()) << QVS_MANUAL_PDF;
    const std::vector<Bookmark> marks = pdf.Bookmarks();
    int first = -1, last = pdf.Pages() - 1;
    for (size_t i = 0; i < marks.size(); ++i)
        if (marks[i].Level == 0 && marks[i].Title.contains(QLatin1String("Troubleshooting"))) {
            first = marks[i].Page;
            for (size_t j = i + 1; j < marks.size(); ++j)
                if (marks[j].Level == 0) {
                    last = marks[j].Page - 1;
                    break;
                }
        }
    ASSERT_GE(first, 0) << "no troubleshooting chapter";
    const QString chapter = Squash(pdf.Pages(first, last));
    ASSERT_GE(MessageCatalog().size(), 40u);
    for (const MessageEntry& e : MessageCatalog()) {
        for (const std::string& piece : FixedParts(e.Text))
            EXPECT_TRUE(chapter.contains(Squash(QString::fromStdString(piece))))
                << "\"" << piece << "\" of \"" << e.Text << "\" is not on pages " << first + 1 << "-" << last + 1;
        if (!e.Title.empty()) {
            EXPECT_TRUE(chapter.contains(Squash(QString::fromStdString(e.Title)))) << e.Text;
        }
    }
}

TEST(MessageCatalog, EveryTextIsTheProgramsOwn)
{
    const std::vector<std::string> literals = SourceLiterals();
    ASSERT_GT(literals.size(), 500u);
    for (const MessageEntry& e : MessageCatalog())
        for (const std::string& piece : FixedParts(e.Text))
            EXPECT_TRUE(InSources(piece, literals)) << "\"" << piece << "\" (of \"" << e.Text
                                                    << "\") is in no source file: a typo, or a text the program lost";
}

TEST(MessageCatalog, TheWindowsTextsAreListed)
{
    // Texts that windows show, kept as constants outside the core.
    const char* const texts[] = {FrmPwd::LoginSuccessful,       FrmPwd::PasswordNotCorrect,
                                 frmDebug::InvalidAddress,      frmDebug::ResetFailed,
                                 frmDebug::PowerResetNotice,    frmDebug::StatusMonitoring,
                                 frmDebug::WaitMark,            DiagnosticList::CorruptText,
                                 FrmJoySel::ListFailure,        FrmJoySel::ListTooLong,
                                 frmAbout::Unavailable,         frmMain::ManualMissing,
                                 DrawText::NotConnected,        DrawText::Connected,
                                 DrawText::ParameterOk,         DrawText::ParameterDiff,
                                 DrawText::FileToSave,          DrawText::FileOk,
                                 FrmMonitor::ReadyText,         FrmMonitor::NotReadyText,
                                 FrmMonitor::UndefinedJoystick, FrmMonitor::StatusText,
                                 frmDiagnostic::StatusText};
    for (const char* text : texts) {
        const std::string t(text);
        const bool listed = std::any_of(MessageCatalog().begin(), MessageCatalog().end(), [&](const MessageEntry& e) {
            return e.Text == t || e.Text.rfind(t + "\r{", 0) == 0;
        });
        EXPECT_TRUE(listed) << "\"" << t << "\" is not in MessageCatalog";
    }
}

TEST(MessageCatalog, EntriesAreCompleteAndUnique)
{
    std::set<std::string> seen;
    for (const MessageEntry& e : MessageCatalog()) {
        SCOPED_TRACE(e.Text);
        EXPECT_FALSE(e.Group.empty());
        EXPECT_FALSE(e.Where.empty());
        EXPECT_FALSE(e.Meaning.empty());
        EXPECT_FALSE(e.Action.empty());
        EXPECT_FALSE(FixedParts(e.Text).empty());
        EXPECT_TRUE(seen.insert(e.Text).second) << "listed twice";
        EXPECT_EQ(FindMessage(e.Text), &e);
        // Every "{" opens a variable part that is closed.
        std::string rest = e.Text;
        for (const std::string& v : VariableParts(e.Text))
            rest.erase(rest.find("{" + v + "}"), v.size() + 2);
        EXPECT_EQ(rest.find_first_of("{}"), std::string::npos);
    }
    EXPECT_EQ(FindMessage("no such message"), nullptr);
}

TEST(MessageCatalog, FixedAndVariablePartsOfATemplate)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(FixedParts("Value Not Correct : Restore With '{value}' ?"), (V{"Value Not Correct : Restore With '", "' ?"}));
    EXPECT_EQ(VariableParts("Value Not Correct : Restore With '{value}' ?"), V{"value"});
    // CR breaks the text; blanks at the ends of a piece stay.
    EXPECT_EQ(FixedParts("Configuration file Not Saved.\r\rCONTINUE ANYWAY?"),
              (V{"Configuration file Not Saved.", "CONTINUE ANYWAY?"}));
    EXPECT_EQ(FixedParts(" Configuration SAVED "), V{" Configuration SAVED "});
    EXPECT_EQ(FixedParts("{a}{b}"), V{});
    EXPECT_EQ(VariableParts("{a} and {b}"), (V{"a", "b"}));
    // A brace that is never closed is text.
    EXPECT_EQ(FixedParts("x {y"), V{"x {y"});
}

} // namespace
