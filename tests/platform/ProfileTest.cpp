#include "support/TestSupport.h"

#include "platform/NameCase.h"
#include "platform/Profile.h"
#include "platform/WholeFile.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Platform;
using TestSupport::ReadBytes;
using TestSupport::WriteBytes;

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("VNTZEL_WINDIR");
        oldWindir_ = old ? old : "";
        hadWindir_ = old != nullptr;
        setenv("VNTZEL_WINDIR", dir_.Path().c_str(), 1);
    }
    void TearDown() override {
        if (hadWindir_)
            setenv("VNTZEL_WINDIR", oldWindir_.c_str(), 1);
        else
            unsetenv("VNTZEL_WINDIR");
    }
    std::string File(const std::string& name) const { return dir_.File(name); }

    TestSupport::ScratchDir dir_;
    std::string oldWindir_;
    bool hadWindir_ = false;
};

// A file as people write them: mixed case, blanks, quotes, comments, both line ends, a
// repeated section and a last line without a line end.
const std::string kHandWritten = "; station settings\r\n"
                                 "[ General ]\r\n"
                                 "  DebugMode = 3 \r\n"
                                 "Name=\"  Quoted  \"\r\n"
                                 "Single='x'\n"
                                 "Half=\"abc\r\n"
                                 "Dup=first\r\n"
                                 "DUP=second\r\n"
                                 ";Commented=1\r\n"
                                 "NoEquals\r\n"
                                 "Empty=\r\n"
                                 "\r\n"
                                 "[general]\n"
                                 "Later=1\n"
                                 "[Other]\n"
                                 "Key = v";

} // namespace

TEST_F(ProfileTest, ReadsHandWrittenFile) {
    WriteBytes(File("hand.ini"), kHandWritten);
    const std::string ini = File("hand.ini");
    EXPECT_EQ(GetPrivateProfileString("GENERAL", "debugmode", "", ini), "3");
    EXPECT_EQ(GetPrivateProfileString(" general ", " Name ", "", ini), "  Quoted  ");
    EXPECT_EQ(GetPrivateProfileString("General", "Single", "", ini), "x");
    EXPECT_EQ(GetPrivateProfileString("General", "Half", "", ini), "\"abc");
    EXPECT_EQ(GetPrivateProfileString("General", "dup", "", ini), "first");
    EXPECT_EQ(GetPrivateProfileString("General", "Commented", "d", ini), "d");
    EXPECT_EQ(GetPrivateProfileString("General", "NoEquals", "d", ini), "d");
    EXPECT_EQ(GetPrivateProfileString("General", "Empty", "d", ini), "");
    // Only the first [General] is searched.
    EXPECT_EQ(GetPrivateProfileString("General", "Later", "d", ini), "d");
    EXPECT_EQ(GetPrivateProfileString("other", "KEY", "", ini), "v");
}

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesDefault) {
    WriteBytes(File("a.ini"), "[S]\r\nK=1\r\n");
    EXPECT_EQ(GetPrivateProfileString("S", "K", "def", File("none.ini")), "def");
    EXPECT_EQ(GetPrivateProfileString("T", "K", "def", File("a.ini")), "def");
    EXPECT_EQ(GetPrivateProfileString("S", "J", "def", File("a.ini")), "def");
    // Trailing blanks of a default are dropped.
    EXPECT_EQ(GetPrivateProfileString("S", "J", " d  ", File("a.ini")), " d");
    EXPECT_EQ(GetPrivateProfileInt("S", "J", -7, File("a.ini")), -7);
    EXPECT_EQ(GetPrivateProfileInt("S", "K", -7, File("none.ini")), -7);
    EXPECT_TRUE(GetPrivateProfileSection("T", File("a.ini")).empty());
    EXPECT_TRUE(GetPrivateProfileSection("S", File("none.ini")).empty());
}

TEST_F(ProfileTest, BufferSizeTruncates) {
    std::string longValue(300, 'v');
    WriteBytes(File("a.ini"), "[S]\r\nK=" + longValue + "\r\n");
    EXPECT_EQ(GetPrivateProfileString("S", "K", "", File("a.ini"), 255), std::string(254, 'v'));
    EXPECT_EQ(GetPrivateProfileString("S", "K", "", File("a.ini")), longValue);
    EXPECT_EQ(GetPrivateProfileString("S", "X", "abcdef", File("a.ini"), 4), "abc");
    EXPECT_EQ(GetPrivateProfileString("S", "K", "", File("a.ini"), 0), "");
}

TEST_F(ProfileTest, IntReadsLeadingInteger) {
    WriteBytes(File("n.ini"), "[N]\nA=12abc\nB=-3\nC=  7\nD=0x10\nE=abc\nF=\nG=\"42\"\n"
                              "H=+5\nI=4294967297\nJ=- 4\n");
    const std::string ini = File("n.ini");
    EXPECT_EQ(GetPrivateProfileInt("N", "A", 99, ini), 12);
    EXPECT_EQ(GetPrivateProfileInt("N", "B", 99, ini), -3);
    EXPECT_EQ(GetPrivateProfileInt("N", "C", 99, ini), 7);
    EXPECT_EQ(GetPrivateProfileInt("N", "D", 99, ini), 0);
    EXPECT_EQ(GetPrivateProfileInt("N", "E", 99, ini), 0);
    EXPECT_EQ(GetPrivateProfileInt("N", "F", 99, ini), 99); // empty value: default
    EXPECT_EQ(GetPrivateProfileInt("N", "G", 99, ini), 42);
    EXPECT_EQ(GetPrivateProfileInt("N", "H", 99, ini), 5);
    EXPECT_EQ(GetPrivateProfileInt("N", "I", 99, ini), 1); // wraps at 32 bits
    EXPECT_EQ(GetPrivateProfileInt("N", "J", 99, ini), 0);
}

TEST_F(ProfileTest, SectionReadGivesRawLines) {
    WriteBytes(File("p.ini"), "[IncomingSerialCodes]\r\n"
                              "  <ESC>A = PLAY \r\n"
                              "; a comment\r\n"
                              "\r\n"
                              "B=\"quoted\"\n"
                              "NoEquals\r\n"
                              "[Next]\r\n"
                              "C=1\r\n");
    std::vector<std::string> lines = GetPrivateProfileSection("incomingserialcodes", File("p.ini"));
    EXPECT_EQ(lines, (std::vector<std::string>{"<ESC>A = PLAY", "B=\"quoted\"", "NoEquals"}));
}

TEST_F(ProfileTest, SectionReadTruncatesToBuffer) {
    WriteBytes(File("p.ini"), "[S]\r\nAB=1\r\nCD=2\r\n");
    // "AB=1\0CD=2\0\0" needs 11 characters.
    EXPECT_EQ(GetPrivateProfileSection("S", File("p.ini"), 11),
              (std::vector<std::string>{"AB=1", "CD=2"}));
    EXPECT_EQ(GetPrivateProfileSection("S", File("p.ini"), 10),
              (std::vector<std::string>{"AB=1", "CD="}));
    EXPECT_EQ(GetPrivateProfileSection("S", File("p.ini"), 6), (std::vector<std::string>{"AB=1"}));
    EXPECT_TRUE(GetPrivateProfileSection("S", File("p.ini"), 2).empty());
}

TEST_F(ProfileTest, WritesKeepOtherBytes) {
    const std::string before = "; top comment\r\n"
                               "[General]\r\n"
                               "  debugmode = 1 ; old\r\n"
                               "; keep me\r\n"
                               "Other=x\r\n"
                               "\r\n"
                               "[Audio]\r\n"
                               "KHz=44";
    WriteBytes(File("w.ini"), before);
    ASSERT_TRUE(WritePrivateProfileString("GENERAL", "DebugMode", "2", File("w.ini")));
    ASSERT_TRUE(WritePrivateProfileString("General", "NewKey", "n", File("w.ini")));
    ASSERT_TRUE(WritePrivateProfileString("Audio", "Bits", "16", File("w.ini")));
    ASSERT_TRUE(WritePrivateProfileString("Carts", "MouseClose", "1", File("w.ini")));
    EXPECT_EQ(ReadBytes(File("w.ini")), "; top comment\r\n"
                                        "[General]\r\n"
                                        "debugmode=2\r\n"
                                        "; keep me\r\n"
                                        "Other=x\r\n"
                                        "NewKey=n\r\n"
                                        "\r\n"
                                        "[Audio]\r\n"
                                        "KHz=44\r\n"
                                        "Bits=16\r\n"
                                        "[Carts]\r\n"
                                        "MouseClose=1\r\n");
    EXPECT_EQ(GetPrivateProfileString("General", "DebugMode", "", File("w.ini")), "2");
}

TEST_F(ProfileTest, EditedFileKeepsItsLineEnds) {
    WriteBytes(File("lf.ini"), "[A]\nX=1\n");
    ASSERT_TRUE(WritePrivateProfileString("A", "Y", "2", File("lf.ini")));
    ASSERT_TRUE(WritePrivateProfileString("B", "Z", "3", File("lf.ini")));
    EXPECT_EQ(ReadBytes(File("lf.ini")), "[A]\nX=1\nY=2\n[B]\nZ=3\n");
}

TEST_F(ProfileTest, NewFileGetsCrLf) {
    ASSERT_TRUE(WritePrivateProfileString("Section", "Key", "value", File("new.ini")));
    ASSERT_TRUE(WritePrivateProfileString("Section", "Second", "", File("new.ini")));
    EXPECT_EQ(ReadBytes(File("new.ini")), "[Section]\r\nKey=value\r\nSecond=\r\n");
    // A missing folder is not made.
    EXPECT_FALSE(WritePrivateProfileString("S", "K", "v", File("nofolder/x.ini")));
}

TEST_F(ProfileTest, DeletesKeysAndSections) {
    WriteBytes(File("d.ini"), "[Hardware1]\r\nCardType=4\r\n; note\r\nLineType1=1\r\n\r\n"
                              "[Hardware2]\r\nCardType=0\r\n\r\n"
                              "[Keep]\r\nA=1\r\n");
    ASSERT_TRUE(WritePrivateProfileString("hardware1", "LINETYPE1", std::nullopt, File("d.ini")));
    ASSERT_TRUE(WritePrivateProfileString("Hardware1", "Missing", std::nullopt, File("d.ini")));
    ASSERT_TRUE(WritePrivateProfileString("Hardware2", std::nullopt, std::nullopt, File("d.ini")));
    ASSERT_TRUE(WritePrivateProfileString("Missing", std::nullopt, std::nullopt, File("d.ini")));
    EXPECT_EQ(ReadBytes(File("d.ini")), "[Hardware1]\r\nCardType=4\r\n; note\r\n\r\n"
                                        "[Keep]\r\nA=1\r\n");
    // Deleting from a missing file makes no file.
    ASSERT_TRUE(WritePrivateProfileString("S", "K", std::nullopt, File("none.ini")));
    EXPECT_FALSE(std::filesystem::exists(File("none.ini")));
}

TEST_F(ProfileTest, WritesWholeSections) {
    WriteBytes(File("s.ini"), "[A]\r\nold=1\r\n; gone\r\n\r\n[B]\r\nb=2\r\n");
    ASSERT_TRUE(
        WritePrivateProfileSection("a", std::vector<std::string>{"x=1", "y=2"}, File("s.ini")));
    ASSERT_TRUE(WritePrivateProfileSection("C", std::vector<std::string>{"z=3"}, File("s.ini")));
    EXPECT_EQ(ReadBytes(File("s.ini")), "[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nb=2\r\n[C]\r\nz=3\r\n");
    ASSERT_TRUE(WritePrivateProfileSection("B", std::nullopt, File("s.ini")));
    EXPECT_EQ(ReadBytes(File("s.ini")), "[A]\r\nx=1\r\ny=2\r\n\r\n[C]\r\nz=3\r\n");
    ASSERT_TRUE(WritePrivateProfileSection("A", std::vector<std::string>{}, File("s.ini")));
    EXPECT_EQ(ReadBytes(File("s.ini")), "[A]\r\n\r\n[C]\r\nz=3\r\n");
}

TEST_F(ProfileTest, UnsafeNamesAndValuesCannotAddLines) {
    WriteBytes(File("u.ini"), "[S]\r\nK=1\r\n");
    ASSERT_TRUE(WritePrivateProfileString("S", "K", "a\r\n[Evil]\r\nX=1", File("u.ini")));
    EXPECT_EQ(ReadBytes(File("u.ini")), "[S]\r\nK=a\r\n");
    EXPECT_FALSE(WritePrivateProfileString("S", "A=B", "1", File("u.ini")));
    EXPECT_FALSE(WritePrivateProfileString("S\r\n[T]", "A", "1", File("u.ini")));
    EXPECT_FALSE(WritePrivateProfileString("", "A", "1", File("u.ini")));
    EXPECT_FALSE(WritePrivateProfileString("S", "", "1", File("u.ini")));
    EXPECT_FALSE(WritePrivateProfileString("S", "[T]", "1", File("u.ini")));
    EXPECT_FALSE(WritePrivateProfileString("S", " ;K", "1", File("u.ini")));
    EXPECT_EQ(ReadBytes(File("u.ini")), "[S]\r\nK=a\r\n");
}

TEST_F(ProfileTest, RelativeNameLivesInWindowsFolderFoundIgnoringCase) {
    WriteBytes(File("Audwall.ini"), "[Audiowall]\r\nAllowAudioFileLinking=1\r\n");
    EXPECT_EQ(ProfilePath("VNTZEL.INI"), File("VNTZEL.INI"));
    EXPECT_EQ(GetPrivateProfileInt("Audiowall", "AllowAudioFileLinking", 0, "AUDWALL.INI"), 1);
    ASSERT_TRUE(
        WritePrivateProfileString("CartChunk", "UseCopyrightInCartChunk", "0", "AUDWALL.INI"));
    EXPECT_FALSE(std::filesystem::exists(File("AUDWALL.INI")));
    EXPECT_EQ(ReadBytes(File("Audwall.ini")),
              "[Audiowall]\r\nAllowAudioFileLinking=1\r\n[CartChunk]\r\n"
              "UseCopyrightInCartChunk=0\r\n");
    // A new file keeps the exact name asked for.
    ASSERT_TRUE(WritePrivateProfileString("General", "DebugMode", "0", "VNTZEL.INI"));
    EXPECT_TRUE(std::filesystem::exists(File("VNTZEL.INI")));
}

TEST_F(ProfileTest, EveryCallReadsTheFileAfresh) {
    WriteBytes(File("c.ini"), "[S]\r\nK=1\r\n");
    EXPECT_EQ(GetPrivateProfileInt("S", "K", 0, File("c.ini")), 1);
    WriteBytes(File("c.ini"), "[S]\r\nK=2\r\n");
    EXPECT_EQ(GetPrivateProfileInt("S", "K", 0, File("c.ini")), 2);
    WriteBytes(File("c.ini"), "[S]\r\nK=3\r\nJ=4\r\n");
    ASSERT_TRUE(WritePrivateProfileString("S", "K", "5", File("c.ini")));
    EXPECT_EQ(ReadBytes(File("c.ini")), "[S]\r\nK=5\r\nJ=4\r\n");
}

TEST_F(ProfileTest, AccentedNamesMatchIgnoringCase) {
    // Windows-1252 bytes: "[Générale]" and "Clé".
    WriteBytes(File("a.ini"), "[G\xE9n\xE9rale]\r\nCl\xE9=1\r\n");
    EXPECT_EQ(GetPrivateProfileInt("G\xC9N\xC9RALE", "CL\xC9", 0, File("a.ini")), 1);
    EXPECT_EQ(GetPrivateProfileInt("G\xC9N\xC9RALE", "CLE", 0, File("a.ini")), 0);
    EXPECT_TRUE(SameNameIgnoringCase("\x8A\x9F", "\x9A\xFF"));
    EXPECT_FALSE(SameNameIgnoringCase("\xD7", "\xF7")); // the multiplication and division signs
}

TEST_F(ProfileTest, HeadersCommentsMarksAndLastLinesAsWindowsReadsThem) {
    // A name ends at the first "]" whatever follows it; a header without one; a byte-order mark.
    WriteBytes(File("h.ini"), "\xEF\xBB\xBF[Hardware1] ; card [2] in slot\r\nCardType=4\r\n"
                              "[Open\r\nK=1\r\n");
    EXPECT_EQ(GetPrivateProfileString("Hardware1", "CardType", "", File("h.ini")), "4");
    EXPECT_EQ(GetPrivateProfileString("Open", "K", "", File("h.ini")), "1");
    ASSERT_TRUE(WritePrivateProfileString("Hardware1", std::string("CardType"), std::string("5"),
                                          File("h.ini")));
    EXPECT_EQ(ReadBytes(File("h.ini")),
              "\xEF\xBB\xBF[Hardware1] ; card [2] in slot\r\nCardType=5\r\n"
              "[Open\r\nK=1\r\n");

    // Deleting a section keeps the comment lines inside it.
    WriteBytes(File("k.ini"), ";c0\r\n[S]\r\n;c1\r\nK=1\r\n[S2]\r\n;c2");
    ASSERT_TRUE(WritePrivateProfileString("S", std::nullopt, std::nullopt, File("k.ini")));
    ASSERT_TRUE(WritePrivateProfileSection("S2", std::nullopt, File("k.ini")));
    EXPECT_EQ(ReadBytes(File("k.ini")), ";c0\r\n;c1\r\n;c2");

    // Comments that head the next section stay with it; a new key goes before them.
    WriteBytes(File("c.ini"), "[A]\r\na=1\r\n\r\n; about B\r\n[B]\r\nb=2\r\n; about C\r\n[C]\r\n");
    ASSERT_TRUE(WritePrivateProfileString("A", std::string("n"), std::string("9"), File("c.ini")));
    ASSERT_TRUE(WritePrivateProfileString("B", std::nullopt, std::nullopt, File("c.ini")));
    EXPECT_EQ(ReadBytes(File("c.ini")),
              "[A]\r\na=1\r\nn=9\r\n\r\n; about B\r\n; about C\r\n[C]\r\n");

    // An updated last line without a line end gets one.
    WriteBytes(File("e.ini"), "[S]\r\nK=1");
    ASSERT_TRUE(WritePrivateProfileString("S", std::string("K"), std::string("2"), File("e.ini")));
    EXPECT_EQ(ReadBytes(File("e.ini")), "[S]\r\nK=2\r\n");
}

// A write as another user (root writes anywhere): its exit status is the result.
template <typename Write> bool AsNobody(Write write) {
    pid_t child = ::fork();
    if (child == 0) {
        bool ok = ::setgid(65534) == 0 && ::setuid(65534) == 0 && write();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool WriteAsNobody(const std::string& path, const std::string& value) {
    return AsNobody([&] { return WritePrivateProfileString("S", std::string("K"), value, path); });
}

TEST_F(ProfileTest, AClosedFolderTakesSettingsInPlaceNeverALogAndAReadOnlyFileFails) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs to act as another user";
    namespace fs = std::filesystem;
    fs::create_directory(File("ro"));
    fs::permissions(dir_.Path(), fs::perms(0755));
    fs::permissions(File("ro"), fs::perms(0755)); // the other user may not create files here
    const std::string path = File("ro/x.ini");
    WriteBytes(path, "[S]\r\nK=1\r\n");
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    fs::permissions(path, fs::perms(0640));
    EXPECT_TRUE(WriteAsNobody(path, "2"));
    EXPECT_EQ(ReadBytes(path), "[S]\r\nK=2\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    // An in-place write cut short (a file size limit) fails, cuts nothing and puts back the
    // old bytes it wrote over, whether the old file reached the limit or not.
    const std::string big = File("ro/big.ini");
    for (size_t length : {2000u, 1u}) {
        const std::string before = "[S]\r\nK=" + std::string(length, 'a') + "\r\n";
        WriteBytes(big, before);
        ASSERT_EQ(::chown(big.c_str(), 65534, 65534), 0);
        EXPECT_TRUE(AsNobody([&] {
            TestSupport::FileSizeLimit full(1024);
            return full.Set() &&
                   !WritePrivateProfileString("S", std::string("K"), std::string(3000, 'b'), big);
        }));
        EXPECT_EQ(ReadBytes(big), before) << length;
    }
    // Any other file there, a log, is never written in place: the write fails, the old bytes
    // stay.
    const std::string log = File("ro/x.LOG");
    WriteBytes(log, "10:00:00 old line\r\n");
    ASSERT_EQ(::chown(log.c_str(), 65534, 65534), 0);
    EXPECT_FALSE(AsNobody([&] { return ReplaceWholeFile(log, "new"); }));
    EXPECT_EQ(ReadBytes(log), "10:00:00 old line\r\n");
    // A read-only file fails and stays as it was.
    fs::permissions(path, fs::perms(0440));
    EXPECT_FALSE(WriteAsNobody(path, "3"));
    EXPECT_EQ(ReadBytes(path), "[S]\r\nK=2\r\n");
}
