// The INI engine of the settings file: lookups, in-place edits that keep every other byte,
// and damaged or unwritable files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

#include "settings/SettingsFile.h"

namespace {

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SettingsFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("KORVIX.ini");
};

TEST_F(SettingsFileTest, MissingFileReadsEmptyAndRoundTrips)
{
    {
        SettingsFile f(path);
        EXPECT_EQ(f.readInteger("MainForm", "Top", 35), 35);
        EXPECT_TRUE(f.readBool("Hardware", "HWdialog", true));
        f.writeInteger("MainForm", "Top", -12);
        f.writeInteger("MainForm", "Left", 2147483647);
        f.writeInteger("Colors", "Ch1", -2147483647 - 1);
        f.writeBool("Hardware", "HWdialog", false);
        f.writeBool("Hardware", "DemoMode", true);
        EXPECT_EQ(f.readInteger("MainForm", "Top", 0), -12);  // visible before the flush
        QString error;
        ASSERT_TRUE(f.flush(&error)) << error.toStdString();
    }
    EXPECT_EQ(readBytes(path),
              "[MainForm]\r\nTop=-12\r\nLeft=2147483647\r\n\r\n[Colors]\r\nCh1=-2147483648\r\n\r\n"
              "[Hardware]\r\nHWdialog=0\r\nDemoMode=1\r\n");
    SettingsFile again(path);
    EXPECT_EQ(again.readInteger("MainForm", "Top", 0), -12);
    EXPECT_EQ(again.readInteger("MainForm", "Left", 0), 2147483647);
    EXPECT_EQ(again.readInteger("Colors", "Ch1", 0), -2147483647 - 1);
    EXPECT_FALSE(again.readBool("Hardware", "HWdialog", true));
    EXPECT_TRUE(again.readBool("Hardware", "DemoMode", false));
}

TEST_F(SettingsFileTest, NamesMatchWithoutCaseAndKeepTheirSpelling)
{
    writeBytes(path, "[mainFORM]\r\n  tOp = 42 \r\n");
    SettingsFile f(path);
    EXPECT_EQ(f.readInteger("MainForm", "Top", 0), 42);
    EXPECT_EQ(f.readInteger("MAINFORM", "TOP", 0), 42);
    EXPECT_EQ(f.readInteger("MainForm", "To", 0), 0);  // a prefix is not a match
    f.writeInteger("MainForm", "TOP", 7);
    ASSERT_TRUE(f.flush());
    EXPECT_EQ(readBytes(path), "[mainFORM]\r\n  tOp = 7\r\n");
}

TEST_F(SettingsFileTest, EditsKeepEveryOtherLineByteExact)
{
    // Comments, an unknown section, Latin-1 text, a line without '=', a blank line ending a
    // section and a last line without a line end.
    const QByteArray before =
        "; written by hand\r\n"
        "[Colors]\r\n"
        "Ch1=16711680\r\n"
        "Note=Gr\xFC\xDF"
        "e \xE4\r\n"
        "just text\r\n"
        "; end of colours\r\n"
        "\r\n"
        "[Unknown]\r\n"
        "Ch1=5\r\n"
        "\r\n"
        "[Menu]\r\n"
        "Skin=4";
    writeBytes(path, before);
    SettingsFile f(path);
    f.writeInteger("Colors", "Ch1", 255);    // replaced in place
    f.writeInteger("Colors", "Ch2", 65280);  // appended after the section's last key line
    f.writeInteger("Menu", "Skin", 2);       // last line of the file
    f.writeInteger("Status", "Running", 1);  // new section at the end
    ASSERT_TRUE(f.flush());
    EXPECT_EQ(readBytes(path),
              "; written by hand\r\n"
              "[Colors]\r\n"
              "Ch1=255\r\n"
              "Note=Gr\xFC\xDF"
              "e \xE4\r\n"
              "Ch2=65280\r\n"
              "just text\r\n"
              "; end of colours\r\n"
              "\r\n"
              "[Unknown]\r\n"
              "Ch1=5\r\n"
              "\r\n"
              "[Menu]\r\n"
              "Skin=2\r\n"
              "\r\n"
              "[Status]\r\n"
              "Running=1\r\n");
}

TEST_F(SettingsFileTest, FirstOfDuplicatesWins)
{
    writeBytes(path, "[A]\nk=1\nk=2\n[B]\nk=8\n[a]\nk=3\nj=4\n");
    SettingsFile f(path);
    EXPECT_EQ(f.readInteger("A", "k", 0), 1);
    EXPECT_EQ(f.readInteger("A", "j", 0), 4);  // found in the repeated section
    f.writeInteger("A", "k", 9);
    f.writeInteger("A", "m", 5);  // goes into the first section of the name
    ASSERT_TRUE(f.flush());
    EXPECT_EQ(readBytes(path), "[A]\r\nk=9\r\nk=2\r\nm=5\r\n[B]\r\nk=8\r\n[a]\r\nk=3\r\nj=4\r\n");
}

TEST_F(SettingsFileTest, ValuesThatAreNotIntegersGiveTheDefault)
{
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        // clang-format off
        {"12", 12}, {"-12", -12}, {"+12", 12}, {"  5\t", 5}, {"007", 7},
        {"0x1F", 31}, {"0XfF", 255}, {"-0x10", -16}, {"0xFFFFFFFF", -1},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
        {"2147483648", -99}, {"-2147483649", -99}, {"99999999999999999999", -99}, {"0x100000000", -99},
        {"12abc", -99}, {"1 2", -99}, {"", -99}, {"-", -99}, {"0x", -99}, {"0xG", -99},
        {"abc", -99}, {"1.5", -99}, {"$10", -99},
        // clang-format on
    };
    for (const auto& c : cases) {
        writeBytes(path, QByteArray("[S]\r\nK=") + c.text + "\r\n");
        EXPECT_EQ(SettingsFile(path).readInteger("S", "K", -99), c.expected) << "value \"" << c.text << "\"";
    }
    writeBytes(path, "[S]\r\nZero=0\r\nTwo=2\r\nWord=yes\r\n");
    SettingsFile f(path);
    EXPECT_FALSE(f.readBool("S", "Zero", true));
    EXPECT_TRUE(f.readBool("S", "Two", false));
    EXPECT_TRUE(f.readBool("S", "Word", true));
    EXPECT_FALSE(f.readBool("S", "Word", false));
}

TEST_F(SettingsFileTest, AnyLineEndIsReadAndCrLfIsWritten)
{
    for (const QByteArray& eol : {QByteArray("\n"), QByteArray("\r"), QByteArray("\r\n")}) {
        writeBytes(path, "[S]" + eol + "A=1" + eol + eol + "[T]" + eol + "B=2");
        SettingsFile f(path);
        EXPECT_EQ(f.readInteger("S", "A", 0), 1);
        EXPECT_EQ(f.readInteger("T", "B", 0), 2);
        f.writeInteger("S", "A", 3);
        ASSERT_TRUE(f.flush());
        EXPECT_EQ(readBytes(path), "[S]\r\nA=3\r\n\r\n[T]\r\nB=2\r\n");
    }
}

TEST_F(SettingsFileTest, UnchangedFileIsNotRewrittenButAnyWriteIs)
{
    writeBytes(path, "[S]\nA=1\n");
    SettingsFile f(path);
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_TRUE(f.flush());
    EXPECT_FALSE(QFile::exists(path));
    f.writeInteger("S", "A", 1);  // the same value still counts as a write
    EXPECT_TRUE(f.flush());
    EXPECT_EQ(readBytes(path), "[S]\r\nA=1\r\n");
}

TEST_F(SettingsFileTest, DamagedContentIsReadForWhatCanBeUnderstood)
{
    // Deterministic binary garbage with NULs, stray brackets and equals signs around valid
    // entries, a line too long to look into, and a UTF-8 byte-order mark in front.
    QByteArray garbage;
    quint32 seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage.append(static_cast<char>(seed >> 16));
    }
    const QByteArray overlong = "K=" + QByteArray(100 * 1024, '1');
    const QByteArray content = QByteArrayLiteral("\xEF\xBB\xBF[S]\r\nno equals sign\r\nK\0=5\r\n") + overlong +
                               QByteArrayLiteral("\r\n=\r\n\0\0\0\r\nK=6\r\n") + garbage +
                               QByteArrayLiteral("\r\n[T]\r\n\0=1\r\nL=7\r\n");
    writeBytes(path, content);
    SettingsFile f(path);
    EXPECT_EQ(f.readInteger("S", "K", -1), 6);  // "K\0" is another name; the overlong line is skipped
    EXPECT_EQ(f.readInteger("T", "L", -1), 7);
    EXPECT_EQ(f.readInteger("S", "no equals sign", -1), -1);
    f.writeInteger("T", "L", 8);
    ASSERT_TRUE(f.flush());

    EXPECT_EQ(SettingsFile(path).readInteger("T", "L", -1), 8);
    // Apart from line ends, only that one digit changed.
    const auto withoutLineEnds = [](QByteArray b) { return b.replace('\r', "").replace('\n', ""); };
    QByteArray expected = content;
    expected[expected.size() - 3] = '8';
    EXPECT_TRUE(withoutLineEnds(readBytes(path)) == withoutLineEnds(expected));
}

TEST_F(SettingsFileTest, OversizedFileIsTreatedAsEmpty)
{
    QByteArray big = "[S]\r\nK=5\r\n";
    big.append(QByteArray(5 * 1024 * 1024, 'x'));
    writeBytes(path, big);
    SettingsFile f(path);
    EXPECT_EQ(f.readInteger("S", "K", -1), -1);
    f.writeInteger("S", "K", 6);
    ASSERT_TRUE(f.flush());
    EXPECT_EQ(readBytes(path), "[S]\r\nK=6\r\n");
}

TEST_F(SettingsFileTest, WriteFailureIsReportedWithPathAndReason)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("KORVIX.ini"));  // a folder where the file should be
    SettingsFile f(path);
    EXPECT_EQ(f.readInteger("S", "K", 3), 3);
    f.writeInteger("S", "K", 4);
    QString error;
    EXPECT_FALSE(f.flush(&error));
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(path))) << error.toStdString();
    EXPECT_GT(error.size(), QDir::toNativeSeparators(path).size() + 30) << error.toStdString();
    EXPECT_FALSE(f.remove());  // a folder is not removed

    SettingsFile missingFolder(dir.filePath("no/such/folder/KORVIX.ini"));
    missingFolder.writeInteger("S", "K", 4);
    EXPECT_FALSE(missingFolder.flush(&error));
    EXPECT_TRUE(error.contains("folder")) << error.toStdString();
}

TEST_F(SettingsFileTest, ReadOnlyFolderIsReported)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write into a read-only folder";
    const QString folder = dir.filePath("locked");
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    SettingsFile f(folder + "/KORVIX.ini");
    f.writeInteger("S", "K", 1);
    QString error;
    EXPECT_FALSE(f.flush(&error));
    EXPECT_TRUE(error.contains("KORVIX.ini")) << error.toStdString();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(SettingsFileTest, RemoveDeletesTheFile)
{
    writeBytes(path, "[S]\r\nK=5\r\n");
    SettingsFile f(path);
    EXPECT_TRUE(f.remove());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(f.readInteger("S", "K", -1), -1);
    EXPECT_TRUE(f.flush());  // nothing to write after the removal
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(f.remove());  // nothing left to remove is no failure
    EXPECT_TRUE(QDir(dir.path()).exists());
}

}  // namespace
