// Saving and loading under faults: a save killed half-way, a full disk, a
// damaged file. A failure never costs the previous file, and a load that
// fails changes nothing.
#include "FaultSupport.h"

#include "core/files/File.h"
#include "core/files/Lists.h"
#include "core/link/IDData.h"
#include "core/state/PageRegistry.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace faults;

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SaveFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        ASSERT_EQ(table.LoadCatalogue(QStringLiteral(QVS_BIN_DIR "/res/ini/Ramlist.ini")), "");
        pages.Add(&configure);
        pages.Add(&infoPage);
        ASSERT_TRUE(dir.isValid());
    }

    QByteArray FileOf(const QString& author)
    {
        InfoBlock b;
        b.Author = author;
        return ConfigFile::BuildFile(table, pages, b);
    }

    // The files in a folder besides the one given (left-over temporary files).
    static QStringList Others(const QString& folder, const QString& name)
    {
        QStringList l = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        l.removeAll(name);
        return l;
    }

    IDData table;
    PageKeys configure{10, 11, 0}, infoPage{10000, 10001, 0};
    PageRegistry pages;
    QTemporaryDir dir;
};

TEST_F(SaveFaults, KilledDuringSaveLeavesACompleteFile)
{
    const QString path = dir.filePath(QStringLiteral("MySettings.txt"));
    InfoBlock previous;
    previous.Author = QStringLiteral("previous");
    ConfigFile::SaveConfiguration(path, table, pages, previous);
    const QByteArray previousBytes = ReadAll(path);
    ASSERT_FALSE(previousBytes.isEmpty());

    QRandomGenerator rng(20240601);
    int previousSeen = 0, childSeen = 0;
    long leftovers = 0;
    for (int round = 0; round < 20; ++round) {
        QProcess child;
        child.start(BinaryPath("fault_save_child"), {path});
        ASSERT_TRUE(child.waitForStarted(5000));
        // Half the rounds are killed while the first save may still run,
        // the others after some saves have gone through.
        if (round % 2 == 1) {
            ASSERT_TRUE(child.waitForReadyRead(5000)) << child.readAllStandardError().toStdString();
        }
        ::usleep(static_cast<useconds_t>(rng.bounded(1000, 30000)));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(5000));

        const QByteArray now = ReadAll(path);
        InfoBlock info;
        IDData copy;
        ASSERT_EQ(copy.LoadCatalogue(QStringLiteral(QVS_BIN_DIR "/res/ini/Ramlist.ini")), "");
        ASSERT_NO_THROW(ConfigFile::LoadConfigurationBytes(now, QStringLiteral("MySettings.txt"), copy, info))
            << "round " << round;
        if (info.Author == previous.Author) {
            EXPECT_EQ(now, previousBytes);
            ++previousSeen;
        } else {
            ASSERT_TRUE(info.Author.startsWith(QStringLiteral("child "))) << info.Author.toStdString();
            EXPECT_EQ(now, FileOf(info.Author)) << "round " << round << ": a torn file";
            ++childSeen;
        }
        // A kill between creating and renaming the temporary file leaves
        // it behind; it never replaces the configuration file.
        leftovers += Others(dir.path(), QStringLiteral("MySettings.txt")).size();
        for (const QString& f : Others(dir.path(), QStringLiteral("MySettings.txt")))
            QFile::remove(dir.filePath(f));
    }
    std::printf("FAULT-MATRIX | save killed 20 times | complete file every time (%d previous, %d newer) | "
                "left-over temporary files: %ld\n",
                previousSeen, childSeen, leftovers);
}

TEST_F(SaveFaults, FullDiskKeepsThePreviousFile)
{
    TinyFileSystem fs(64);
    QString folder;
    std::unique_ptr<QTemporaryDir> readOnly;
    if (fs.Ok()) {
        folder = fs.Path();
    } else if (::geteuid() != 0) {
        readOnly = std::make_unique<QTemporaryDir>();
        folder = readOnly->path();
    } else {
        GTEST_SKIP() << "no tiny file system (" << fs.Why().toStdString()
                     << ") and a read-only folder does not stop root";
    }
    const QString path = folder + QStringLiteral("/MySettings.txt");
    InfoBlock previous;
    previous.Author = QStringLiteral("previous");
    ConfigFile::SaveConfiguration(path, table, pages, previous);
    const QByteArray previousBytes = ReadAll(path);

    const QString filler = folder + QStringLiteral("/filler");
    if (fs.Ok()) {
        // Fill the file system to the last byte.
        QFile f(filler);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const QByteArray block(1024, 'x');
        while (f.write(block) == block.size() && f.flush()) {
        }
        f.close();
    } else {
        ASSERT_EQ(::chmod(folder.toLocal8Bit().constData(), 0555), 0);
    }

    InfoBlock next;
    next.Author = QStringLiteral("next");
    std::string why;
    try {
        ConfigFile::SaveConfiguration(path, table, pages, next);
    } catch (const FileError& e) {
        why = e.what();
    }
    EXPECT_FALSE(why.empty()) << "a save onto a full disk reported success";
    // The caller shows this text for the failure.
    EXPECT_STREQ(ConfigFile::SaveFailedText, "Configuration NOT SAVED!");
    EXPECT_EQ(ReadAll(path), previousBytes);
    EXPECT_EQ(next.FileName, QString()) << "a failed save named the file as saved";
    QStringList others = Others(folder, QStringLiteral("MySettings.txt"));
    others.removeAll(QStringLiteral("filler"));
    EXPECT_TRUE(others.isEmpty()) << others.join(' ').toStdString();
    std::printf("FAULT-MATRIX | save onto a full disk (%s) | FileError \"%s\" | previous file intact: %s\n",
                fs.Ok() ? "64 KiB tmpfs" : "read-only folder", why.c_str(),
                ReadAll(path) == previousBytes ? "yes" : "NO");

    // With room again the same save goes through.
    if (fs.Ok())
        QFile::remove(filler);
    else
        ::chmod(folder.toLocal8Bit().constData(), 0755);
    EXPECT_NO_THROW(ConfigFile::SaveConfiguration(path, table, pages, next));
    EXPECT_EQ(ReadAll(path), FileOf(QStringLiteral("next")));
}

TEST_F(SaveFaults, PaletteOnAFullDiskKeepsThePreviousFile)
{
    TinyFileSystem fs(64);
    if (!fs.Ok())
        GTEST_SKIP() << "no tiny file system: " << fs.Why().toStdString();
    const QString path = fs.Path() + QStringLiteral("/colour.ini");
    PaletteColours previous;
    previous.Back = {255, 65280, 16711680, 0};
    WritePaletteFile(path, previous);
    const QByteArray previousBytes = ReadAll(path);
    {
        QFile f(fs.Path() + QStringLiteral("/filler"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const QByteArray block(512, 'x');
        while (f.write(block) == block.size() && f.flush()) {
        }
    }
    PaletteColours next;
    next.Text = {1, 2, 3, 4};
    EXPECT_THROW(WritePaletteFile(path, next), ListError);
    EXPECT_EQ(ReadAll(path), previousBytes);
    const PaletteColours back = ReadPaletteFile(path);
    EXPECT_EQ(back.Back, previous.Back);
}

TEST_F(SaveFaults, SaveOntoSomethingThatIsNotAFileFails)
{
    const QString folder = dir.filePath(QStringLiteral("a folder"));
    ASSERT_TRUE(QDir().mkpath(folder));
    InfoBlock b;
    EXPECT_THROW(ConfigFile::SaveConfiguration(folder, table, pages, b), FileError);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_THROW(ConfigFile::SaveConfiguration(dir.filePath(QStringLiteral("missing/x.txt")), table, pages, b),
                 FileError);
}

TEST_F(SaveFaults, LoadOfADamagedFileChangesNothing)
{
    // The table holds values of its own (a file loaded earlier).
    for (int i = 1; i < table.VarTableEnd; ++i) {
        CVarDataS& d = table.At(i)->DataS;
        d.QvsDownloadValueE2 = d.CedValueE2 = d.CedValE2Min;
    }
    const QString good = dir.filePath(QStringLiteral("good.txt"));
    InfoBlock saved;
    saved.Author = QStringLiteral("saved");
    ConfigFile::SaveConfiguration(good, table, pages, saved);
    const QByteArray bytes = ReadAll(good);
    const QByteArray separator = ConfigFile::Separator().toLatin1();
    const qsizetype second = bytes.indexOf(separator, separator.size());
    ASSERT_GT(second, 0);
    QByteArray overflow = bytes;
    const qsizetype lastValue = overflow.lastIndexOf('\t');
    overflow.replace(lastValue + 1, 5, "99999999999");

    const struct {
        const char* Name;
        QByteArray Bytes;
    } damaged[] = {
        {"empty file", QByteArray()},
        {"ends after the information block", bytes.left(second + separator.size() + 1)},
        {"a value outside the 32-bit range", overflow},
    };
    for (const auto& d : damaged) {
        // Different values in the table than in the file: a load that applied
        // anything would show.
        for (int i = 1; i < table.VarTableEnd; ++i) {
            CVarDataS& r = table.At(i)->DataS;
            r.QvsDownloadValueE2 = r.CedValueE2 = r.CedValE2Max;
        }
        const auto before = Snapshot(table);
        InfoBlock info;
        info.Author = QStringLiteral("unchanged");
        const QString path = dir.filePath(QStringLiteral("damaged.txt"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(d.Bytes);
        f.close();
        std::string why;
        try {
            ConfigFile::LoadConfiguration(path, QStringLiteral("damaged.txt"), table, info);
        } catch (const FileError& e) {
            why = e.what();
        }
        EXPECT_FALSE(why.empty()) << d.Name << ": loaded";
        const auto changed = Changed(before, Snapshot(table));
        EXPECT_TRUE(changed.empty()) << d.Name << ": " << IndexList(changed);
        EXPECT_EQ(info.Author, QStringLiteral("unchanged")) << d.Name;
        EXPECT_TRUE(info.FileName.isEmpty()) << d.Name;
        std::printf("FAULT-MATRIX | load of a damaged file: %s | FileError \"%s\" | changed: %s\n", d.Name,
                    why.c_str(), IndexList(changed).c_str());
    }
    // A file that cannot be opened at all.
    InfoBlock info;
    EXPECT_THROW(ConfigFile::LoadConfiguration(dir.filePath(QStringLiteral("none.txt")), QStringLiteral("none.txt"),
                                               table, info),
                 FileError);
    EXPECT_THROW(ConfigFile::LoadConfiguration(dir.path(), QStringLiteral("x"), table, info), FileError);
}

} // namespace
