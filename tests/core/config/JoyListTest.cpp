// The joystick catalogue: the shipped list with the build's pictures, and
// the all-or-nothing rule for lists that are missing, corrupt or too long.
#include "core/config/ConfigModel.h"
#include "core/config/JoyList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace config;

namespace {

// A program folder's res/ with a joystick list of the given bytes.
class ListFolder {
public:
    explicit ListFolder(const QByteArray& bytes)
    {
        QDir(dir.path()).mkpath(QStringLiteral("ini"));
        QFile f(QDir(dir.path()).filePath(QStringLiteral("ini/JoylistNew.ini")));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString Res() const { return dir.path(); }

private:
    QTemporaryDir dir;
};

QByteArray Line(int id, const char* name = "JOY1AX")
{
    return QByteArray(name) + "\tC" + QByteArray::number(id) + "\td1\td2\td3\td4\t1\t1\t" + QByteArray::number(id) +
           "\t257\t0\r\n";
}

const QByteArray Header = "File\tCode\tL1\tL2\tL3\tL4\tType\tSections\tId\tJ0\tR0\r\n";

} // namespace

TEST(JoyList, ShippedCatalogueWithItsPictures)
{
    const JoyCatalogue c = LoadJoyCatalogue(QStringLiteral(QVS_BIN_DIR "/res"));
    ASSERT_TRUE(c.Error.empty()) << c.Error;
    EXPECT_GE(c.Size(), 10);
    EXPECT_LE(c.Size(), JoyCatalogue::MaxEntries);
    EXPECT_EQ(c.Ignored, 0);
    EXPECT_EQ(c.NotUsedId, 255);
    EXPECT_FALSE(c.NotUsedPicture.isEmpty());
    EXPECT_FALSE(c.CustomPicture.isEmpty());
    EXPECT_FALSE(c.UnknownPicture.isEmpty());

    // The entries the input type list refers to, a greyed one, one and two axes.
    bool generic = false, plc = false, digital = false, greyed = false, oneAxis = false, twoAxes = false;
    for (const CJoyData& e : c.Entries) {
        generic |= e.id == 1;
        plc |= e.id == 7;
        digital |= e.id == 6 && (e.JConfig_0 & 0xFF) == 16;
        greyed |= e.DrcTypeID < 1 && !e.JoyPicD.isEmpty();
        oneAxis |= e.SectionNum == 1 && !e.JoyPic.isEmpty();
        twoAxes |= e.SectionNum == 2 && !e.JoyPicX.isEmpty() && !e.JoyPicY.isEmpty();
        // Every entry has its main picture and a known signal range.
        EXPECT_FALSE(e.JoyPic.isEmpty()) << e.JoyFileName;
    }
    EXPECT_TRUE(generic && plc && digital && greyed && oneAxis && twoAxes);
    // A description with a Windows-1252 character arrives as UTF-8.
    bool degree = false;
    for (const CJoyData& e : c.Entries)
        degree |= e.DescrLine2.find("\xC2\xB1") != std::string::npos;
    EXPECT_TRUE(degree);
}

TEST(JoyList, MissingOrCorruptListGivesNoEntries)
{
    const JoyCatalogue none = LoadJoyCatalogue(QStringLiteral("/nonexistent/res"));
    EXPECT_FALSE(none.Error.empty());
    EXPECT_EQ(none.Size(), 0);

    // A bad number on the third entry: nothing of the file is kept.
    ListFolder bad(Header + Line(1, "NOTUSED") + Line(2) + "JOY1AX\tX\t\t\t\t\tone\t1\t3\t257\t0\r\n" + Line(4));
    const JoyCatalogue c = LoadJoyCatalogue(bad.Res());
    EXPECT_NE(c.Error.find("line 4"), std::string::npos) << c.Error;
    EXPECT_EQ(c.Size(), 0);
    EXPECT_EQ(c.NotUsedId, 0);
    EXPECT_EQ(FindJoyID(c.Entries, 1, 2), (std::array<int, 2>{0, 0}));
}

TEST(JoyList, AtMostSeventeenEntriesAndBlankLinesSkipped)
{
    QByteArray bytes = Header;
    for (int i = 1; i <= 17; ++i) {
        bytes += Line(i);
        if (i == 5)
            bytes += "\r\n"; // a blank line is no entry
    }
    bytes += "corrupt line that is never read\r\n";
    bytes += Line(19);
    ListFolder folder(bytes);
    const JoyCatalogue c = LoadJoyCatalogue(folder.Res());
    EXPECT_TRUE(c.Error.empty()) << c.Error;
    ASSERT_EQ(c.Size(), 17);
    EXPECT_EQ(c.Ignored, 2);
    EXPECT_EQ(c.Entries[16].id, 17);
    EXPECT_EQ(c.At(17), nullptr);
    EXPECT_EQ(c.At(-1), nullptr);
    // No NOTUSED entry: the not-used identifier is 0; no pictures in this folder.
    EXPECT_EQ(c.NotUsedId, 0);
    EXPECT_TRUE(c.Entries[0].JoyPic.isEmpty());
}
