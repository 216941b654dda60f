#include "core/state/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        qunsetenv("QVS_HOME");
    }
    QString Path(const QString& relative) const { return QDir::cleanPath(root.filePath(relative)); }
    QTemporaryDir root;
};

} // namespace

TEST_F(ProgramFolderTest, HomeOptionThenEnvironmentThenExecutableFolderThenInstalledShare)
{
    ASSERT_TRUE(QDir().mkpath(Path("build/bin/res")));
    ASSERT_TRUE(QDir().mkpath(Path("usr/bin")));

    EXPECT_EQ(FindProgramFolder(Path("elsewhere/"), Path("build/bin")), Path("elsewhere"));
    EXPECT_EQ(FindProgramFolder(QString(), Path("build/bin")), Path("build/bin"));
    // An executable folder without res/ is an installed program.
    EXPECT_EQ(FindProgramFolder(QString(), Path("usr/bin")), Path("usr/share/qvsstudio"));

    qputenv("QVS_HOME", Path("from-env").toLocal8Bit());
    EXPECT_EQ(FindProgramFolder(QString(), Path("build/bin")), Path("from-env"));
    EXPECT_EQ(FindProgramFolder(Path("elsewhere"), Path("build/bin")), Path("elsewhere"));
    qunsetenv("QVS_HOME");
}

TEST_F(ProgramFolderTest, ConfigurationFilesStayBesideTheProgramWhileItIsWritable)
{
    ASSERT_TRUE(QDir().mkpath(Path("prog/res/ini")));
    // res/txt is made on first use, so Save starts where Load will look.
    EXPECT_EQ(QDir::cleanPath(ConfigurationFilesFolder(Path("prog"), Path("docs"))), Path("prog/res/txt"));
    EXPECT_TRUE(QFileInfo(Path("prog/res/txt")).isDir());
    EXPECT_EQ(QDir::cleanPath(ConfigurationFilesFolder(Path("prog"), Path("docs"))), Path("prog/res/txt"));
}

TEST_F(ProgramFolderTest, ConfigurationFilesGoToTheDocumentsFolderWhenTheProgramFolderCannotTakeThem)
{
    // An installed program folder that is not there for this user (or
    // read-only): the documents folder.
    EXPECT_EQ(ConfigurationFilesFolder(Path("missing"), Path("docs")), Path("docs"));
    EXPECT_FALSE(QFileInfo::exists(Path("missing")));

    // res/txt taken by a file: never written over, never used as a folder.
    ASSERT_TRUE(QDir().mkpath(Path("odd/res")));
    QFile blocker(Path("odd/res/txt"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.write("not a folder");
    blocker.close();
    EXPECT_EQ(ConfigurationFilesFolder(Path("odd"), Path("docs")), Path("docs"));
    EXPECT_EQ(QFileInfo(Path("odd/res/txt")).size(), 12);

    // Without a documents folder given: a folder the user can write to.
    const QString fallback = ConfigurationFilesFolder(Path("missing"));
    EXPECT_TRUE(FolderWritable(fallback)) << fallback.toStdString();
}
