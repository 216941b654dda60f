// The about box and its system information button.
#include "PaletteTestSupport.h"

#include "gui/shell/frmAbout.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

class AboutTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        QDir(folder.Path()).mkpath(QStringLiteral("res/ico"));
        QFile::copy(QStringLiteral(QVS_BIN_DIR "/res/ico/QvsStudio.ico"), folder.File(QStringLiteral("res/ico/QvsStudio.ico")));
        savedPath = qgetenv("PATH");
    }
    void TearDown() override
    {
        qputenv("PATH", savedPath);
        ShellFixture::TearDown();
    }
    QByteArray savedPath;
};

TEST_F(AboutTest, ShowsTitleVersionAndMaker)
{
    frmAbout* box = frmAbout::ShowAbout(*window);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowTitle(), "QvsStudio-[Info]");
    const QString version = QStringLiteral("Version : %1.%2.%3").arg(QVS_VERSION_MAJOR).arg(QVS_VERSION_MINOR).arg(QVS_VERSION_PATCH);
    EXPECT_EQ(box->lblVersion->text(), version);
    EXPECT_EQ(box->lblTitle->text(), "QvsStudio");
    EXPECT_EQ(box->LblFactory->text(), "Corvane");
    EXPECT_GE(box->lblDescription->text().count('\n'), 2);
    EXPECT_FALSE(box->picIcon->pixmap().isNull());
    EXPECT_EQ(box->cmdOK->text(), "OK");
    EXPECT_EQ(box->cmdSysInfo->text(), "&System Info...");

    QPointer<frmAbout> alive(box);
    QTest::mouseClick(box->cmdOK, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull()); // closed and gone
}

TEST_F(AboutTest, WithoutASystemInformationProgramTheBoxSaysSo)
{
    qputenv("PATH", "");
    frmAbout box(*window);
    QString started;
    box.Starter = [&](const QString& p) {
        started = p;
        return true;
    };
    QTest::mouseClick(box.cmdSysInfo, Qt::LeftButton);
    EXPECT_TRUE(started.isEmpty());
    EXPECT_EQ(dialogs.Texts(), QStringList({"System Information Is Unavailable At This Time"}));
}

TEST_F(AboutTest, AKnownProgramOnThePathIsStarted)
{
    QTemporaryDir bin;
    const QString program = QDir(bin.path()).filePath("kinfocenter");
    QFile f(program);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nexit 0\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", bin.path().toUtf8());

    frmAbout box(*window);
    QString started;
    box.Starter = [&](const QString& p) {
        started = p;
        return true;
    };
    box.StartSysInfo();
    EXPECT_EQ(started, program);
    EXPECT_TRUE(dialogs.Boxes.empty());

    // A program that does not start is the same as none.
    box.Starter = [](const QString&) { return false; };
    box.StartSysInfo();
    EXPECT_EQ(dialogs.Texts(), QStringList({"System Information Is Unavailable At This Time"}));
}

} // namespace
