#include "app/ConnectionSettings.h"
#include "app/DataFolder.h"
#include "app/RecentFiles.h"
#include "app/TempFolder.h"
#include "app/TextLines.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace kvd;

namespace {

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(ConnectionSettings, DefaultsAreCom1At19200With8N2AndStation1) {
    const ConnectionSettings s;
    EXPECT_EQ(s.portText(), "COM1");
    EXPECT_EQ(s.baud(), 19200);
    EXPECT_EQ(s.dataBits(), 8);
    EXPECT_EQ(s.parity(), 0);
    EXPECT_EQ(s.stopBits(), 2.0f);
    EXPECT_EQ(s.stationText, "1");
}

TEST(ConnectionSettings, LoadTakesLinesAsTheyStand) {
    const ConnectionSettings defaults;
    const struct {
        const char* what;
        QByteArray file;
        ConnectionSettings expected;
    } cases[] = {
        {"all lines", "2\n3\n021\n1-3\n", {2, 3, 0, 2, 1, "1-3", {}}},
        {"windows line ends", "4\r\n0\r\n100\r\n7\r\n", {4, 0, 1, 0, 0, "7", {}}},
        {"two-character third line keeps the format", "2\n3\n21\n9\n", {2, 3, 1, 2, 1, "9", {}}},
        {"four-character third line keeps the format", "2\n3\n1210\n9\n", {2, 3, 1, 2, 1, "9", {}}},
        {"no range checks", "-1\n17\n999\n\n", {-1, 17, 9, 9, 9, "", {}}},
        {"garbage reads as zero", "abc\nxyz\nabc\n1,3,5-12\n", {0, 0, 0, 0, 0, "1,3,5-12", {}}},
        {"missing lines keep their values", "5\n", {5, 2, 1, 2, 1, "1", {}}},
        {"empty file", "", defaults},
        {"device path in line 1",
         "/dev/ttyUSB1\n2\n121\n1\n",
         {33, 2, 1, 2, 1, "1", "/dev/ttyUSB1"}},
        {"pseudo-terminal", "/dev/pts/9\n2\n121\n1\n", {-1, 2, 1, 2, 1, "1", "/dev/pts/9"}},
        {"huge number", "99999999999999999999\n1\n121\n1\n", {2147483647, 1, 1, 2, 1, "1", {}}},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        writeFile(dir.filePath(kConnectionFile), c.file);
        ConnectionSettings s;
        LoadConnectionSettings(s, dir.path(), QString());
        EXPECT_EQ(s, c.expected) << c.what;
    }
}

TEST(ConnectionSettings, HugeOrBinaryFileNeverCrashes) {
    QTemporaryDir dir;
    QByteArray junk(3 << 20, 'x');
    junk[10] = '\0';
    junk[5000] = '\n';
    writeFile(dir.filePath(kConnectionFile), junk);
    ConnectionSettings s;
    LoadConnectionSettings(s, dir.path(), QString());
    EXPECT_EQ(s.portSelection, 0);
}

TEST(ConnectionSettings, FallsBackToTheTemporaryFolderBothWays) {
    QTemporaryDir program, temp;
    writeFile(temp.filePath(kConnectionFile), "2\n1\n121\n4\n");
    ConnectionSettings s;
    LoadConnectionSettings(s, program.path() + "/missing", temp.path());
    EXPECT_EQ(s.portSelection, 2);
    EXPECT_EQ(s.stationText, "4");

    s = ConnectionSettings{2, 2, 1, 2, 1, "1-3", {}};
    ASSERT_TRUE(SaveConnectionSettings(s, program.path(), temp.path()));
    EXPECT_EQ(readFile(program.filePath(kConnectionFile)), "2\n2\n121\n1-3\n");

    // Program folder not writable: the temporary folder takes it.
    ASSERT_TRUE(SaveConnectionSettings(s, program.path() + "/missing", temp.path()));
    EXPECT_EQ(readFile(temp.filePath(kConnectionFile)), "2\n2\n121\n1-3\n");
    EXPECT_FALSE(SaveConnectionSettings(s, program.path() + "/missing", temp.path() + "/gone"));
}

TEST(ConnectionSettings, RoundTripKeepsADevicePath) {
    QTemporaryDir dir;
    ConnectionSettings s;
    s.portDevice = "/dev/serial/by-id/usb-adapter-if00";
    s.stationText = "3,5";
    ASSERT_TRUE(SaveConnectionSettings(s, dir.path(), QString()));
    ConnectionSettings back;
    LoadConnectionSettings(back, dir.path(), QString());
    EXPECT_EQ(back.portText(), s.portDevice);
    EXPECT_EQ(back.stationText, "3,5");
}

TEST(TextLines, LeadingIntIsForgivingAndBounded) {
    const struct {
        const char* text;
        int value;
    } cases[] = {{"12", 12},
                 {"  7x", 7},
                 {"-3", -3},
                 {"+4", 4},
                 {"", 0},
                 {"abc", 0},
                 {"１２", 0},
                 {"2147483648", 2147483647},
                 {"-99999999999", -2147483647 - 1}};
    for (const auto& c : cases)
        EXPECT_EQ(leadingInt(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(RecentFiles, KeepsEightMostRecentAndTheFrameworkFour) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("profile.ini");
    RecentFileList list;
    for (int i = 0; i < 10; ++i)
        list.add(QStringLiteral("/p/project%1.qf7").arg(i));
    list.add("/p/project5.qf7"); // again: moves to the top, no duplicate
    ASSERT_EQ(list.paths().size(), 8);
    EXPECT_EQ(list.paths().first(), "/p/project5.qf7");
    EXPECT_EQ(list.paths().count("/p/project5.qf7"), 1);
    EXPECT_EQ(list.frameworkPaths().size(), 4);
    {
        QSettings s(ini, QSettings::IniFormat);
        list.save(s);
    }
    QSettings s(ini, QSettings::IniFormat);
    EXPECT_EQ(s.value("My Recent File List/MyFile1").toString(), "/p/project5.qf7");
    EXPECT_EQ(s.value("Recent File List/File4").toString(), list.frameworkPaths().last());
    RecentFileList back;
    back.load(s);
    EXPECT_EQ(back.paths(), list.paths());
}

TEST(RecentFiles, MenuTextsFitThirtyCharacters) {
    const struct {
        const char* path;
        const char* shown;
    } cases[] = {
        {"/p/a.qf7", "/p/a.qf7"},
        {"/home/engineer/projects/line4/pump-station-2.qf7", "/home/.../pump-station-2.qf7"},
        {"/x/a-very-long-project-file-name-indeed.qf7", "a-very-long-project-file-na..."},
    };
    for (const auto& c : cases) {
        const QString shown = abbreviatePath(c.path, 30);
        EXPECT_EQ(shown, c.shown);
        EXPECT_LE(shown.size(), 30);
    }
}

TEST(TempFolder, UsesOnlyAPrivateFolder) {
    QTemporaryDir base;
    const QString privateDir = base.filePath("run");
    const QString openDir = base.filePath("open");
    QDir().mkpath(privateDir);
    QDir().mkpath(openDir);
    ::chmod(QFile::encodeName(privateDir).constData(), 0700);
    ::chmod(QFile::encodeName(openDir).constData(), 0777);
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");

    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(privateDir));
    EXPECT_EQ(userTempFolder(), privateDir);

    // A world-writable runtime folder is passed over for a private one of our own.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(openDir));
    const QString fallback = userTempFolder();
    EXPECT_NE(fallback, openDir);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(fallback).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, ::geteuid());

    qputenv("XDG_RUNTIME_DIR", saved);
}

TEST(DataFolder, ProgramFolderFirstThenTheInstalledDataFolder) {
    QTemporaryDir root;
    const QString bin = root.filePath("bin");
    const QString share = root.filePath("share/kvd-manager");
    QDir().mkpath(bin);
    QDir().mkpath(share);
    writeFile(share + "/KVD.SPE", "installed");
    EXPECT_EQ(findDataFile(bin + "/", "KVD.SPE"), QDir::cleanPath(share + "/KVD.SPE"));
    writeFile(bin + "/KVD.SPE", "beside the program");
    EXPECT_EQ(findDataFile(bin + "/", "KVD.SPE"), QDir::cleanPath(bin + "/KVD.SPE"));
    EXPECT_EQ(findDataFile(bin + "/", "KVD PARAM.DAT"), "");
}
