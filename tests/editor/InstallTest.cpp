// `cmake --install` into a temporary prefix: every file where a Linux desktop
// looks for it, the programs byte for byte as built (the editor carries the
// player behind its image), valid .desktop files and a MIME type the system's
// database accepts, and an installed tool that still builds quests.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct ProgramRun {
    int exitCode;
    QString output; // stdout and stderr together
};

ProgramRun RunProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(120000))
        return {-1, program + QStringLiteral(" did not run: ") + process.errorString()};
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {code, QString::fromUtf8(process.readAll())};
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class InstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix_ = new QTemporaryDir;
        ASSERT_TRUE(prefix_->isValid());
        install_ = new ProgramRun(RunProgram(QStringLiteral(NORVO_CMAKE_COMMAND),
                                      {QStringLiteral("--install"), QStringLiteral(NORVO_BUILD_DIR),
                                       QStringLiteral("--prefix"), prefix_->path()}));
    }
    static void TearDownTestSuite() {
        delete install_;
        delete prefix_;
    }
    static QString Installed(const char* relative) {
        return prefix_->filePath(QString::fromUtf8(relative));
    }

    static QTemporaryDir* prefix_;
    static ProgramRun* install_;
};

QTemporaryDir* InstallTest::prefix_ = nullptr;
ProgramRun* InstallTest::install_ = nullptr;

TEST_F(InstallTest, PutsEveryFileUnderThePrefix) {
    ASSERT_EQ(install_->exitCode, 0) << install_->output.toStdString();
    for (const char* file : {"bin/norvo-engine", "bin/norvo-quest", "share/doc/norvo/readme.html",
                             "share/icons/hicolor/48x48/apps/norvo-creator.png",
                             "share/icons/hicolor/48x48/apps/norvo-engine.png",
                             "share/icons/hicolor/scalable/apps/norvo-creator.svg",
                             "share/icons/hicolor/scalable/apps/norvo-engine.svg",
                             "share/applications/norvo-creator.desktop",
                             "share/applications/norvo-engine.desktop",
                             "share/mime/packages/norvo-quest.xml"})
        EXPECT_TRUE(QFile::exists(Installed(file))) << file;
    EXPECT_TRUE(QFileInfo(Installed("bin/norvo-engine")).isExecutable());
    EXPECT_TRUE(Bytes(Installed("share/doc/norvo/readme.html")).contains("<meta charset=\"utf-8\">"));
}

TEST_F(InstallTest, ProgramsAreInstalledByteForByteAsBuilt) {
    ASSERT_EQ(install_->exitCode, 0) << install_->output.toStdString();
    const QByteArray engine = Bytes(QStringLiteral(NORVO_ENGINE_FILE));
    ASSERT_FALSE(engine.isEmpty());
    EXPECT_TRUE(Bytes(Installed("bin/norvo-engine")) == engine);
    const QString creator = QStringLiteral(NORVO_CREATOR_FILE);
    if (creator.isEmpty())
        GTEST_SKIP() << "this build has no norvo-creator";
    const QByteArray built = Bytes(creator);
    ASSERT_FALSE(built.isEmpty());
    EXPECT_TRUE(Bytes(Installed("bin/norvo-creator")) == built)
        << "the installed editor differs from the built one (stripped?)";
    EXPECT_TRUE(QFileInfo(Installed("bin/norvo-creator")).isExecutable());
}

TEST_F(InstallTest, DesktopFilesAndTheMimeTypeAreValid) {
    ASSERT_EQ(install_->exitCode, 0) << install_->output.toStdString();
    const ProgramRun desktop = RunProgram(QStringLiteral(NORVO_DESKTOP_FILE_VALIDATE),
                                   {Installed("share/applications/norvo-creator.desktop"),
                                    Installed("share/applications/norvo-engine.desktop")});
    EXPECT_EQ(desktop.exitCode, 0) << desktop.output.toStdString();
    EXPECT_TRUE(desktop.output.trimmed().isEmpty()) << desktop.output.toStdString();
    EXPECT_TRUE(Bytes(Installed("share/applications/norvo-creator.desktop"))
                    .contains("\nExec=norvo-creator %f\n"));

    const ProgramRun mime = RunProgram(QStringLiteral(NORVO_UPDATE_MIME_DATABASE),
                                {QStringLiteral("-V"), Installed("share/mime")});
    ASSERT_EQ(mime.exitCode, 0) << mime.output.toStdString();
    EXPECT_FALSE(mime.output.contains(QStringLiteral("rror"))) << mime.output.toStdString();
    EXPECT_TRUE(QFile::exists(Installed("share/mime/application/x-norvo-quest.xml")));
    EXPECT_TRUE(Bytes(Installed("share/mime/globs2")).contains("application/x-norvo-quest:*.nvx"));
}

TEST_F(InstallTest, InstalledToolBuildsAQuestThatPlays) {
    ASSERT_EQ(install_->exitCode, 0) << install_->output.toStdString();
    const QString built = prefix_->filePath(QStringLiteral("lighthouse"));
    const ProgramRun build = RunProgram(Installed("bin/norvo-quest"),
                                 {QStringLiteral("build"),
                                  QStringLiteral(NORVO_SOURCE_DIR_DEFAULT "/examples/lighthouse.nvx"),
                                  QStringLiteral("-o"), built});
    ASSERT_EQ(build.exitCode, 0) << build.output.toStdString();
    const ProgramRun play = RunProgram(built, {QStringLiteral("--transcript"), QStringLiteral("1")});
    EXPECT_EQ(play.exitCode, 0) << play.output.toStdString();
    EXPECT_TRUE(play.output.contains(QStringLiteral("\"location\""))) << play.output.toStdString();
}

} // namespace
