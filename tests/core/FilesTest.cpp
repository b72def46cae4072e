#include "support/TestSupport.h"

#include "core/GeneralFunctions.h"
#include "platform/Files.h"
#include "platform/Screen.h"

#include <QCoreApplication>
#include <filesystem>
#include <gtest/gtest.h>

using namespace GeneralFunctions;
namespace fs = std::filesystem;

TEST(PathHelpers, SplittingAcceptsBothSeparators) {
    EXPECT_EQ(GetFileName("C:\\a/b.wav"), "b.wav");
    EXPECT_EQ(GetFileTitle("C:\\a/b.wav"), "b");
    EXPECT_EQ(GetFileName("plain"), "plain");
    EXPECT_EQ(GetFileExtension("C:\\dir.x\\readme"), "readme");
    EXPECT_EQ(GetFileExtension("/x/a.b.wav"), "wav");
    EXPECT_EQ(SplitFileExtension("C:\\dir.x\\readme"), "C:\\dir.x\\readme");
    EXPECT_EQ(SplitFileExtension("a.b.wav"), "a.b");
    EXPECT_EQ(GetFileTitle("/x/.hidden"), "");
    EXPECT_EQ(GetDirectoryPart("C:\\a\\b.wav", true), "C:\\a\\");
    EXPECT_EQ(GetDirectoryPart("C:\\a\\b.wav", false), "C:\\a");
    EXPECT_EQ(GetDirectoryPart("/a/b/c.wav", false), "/a/b");
    EXPECT_EQ(GetDirectoryPart("b.wav", true), "\\");
    EXPECT_EQ(GetDirectoryPart("b.wav", false), "");
    EXPECT_EQ(GetDirectoryPart("", true), "");
}

TEST(PathHelpers, QuoteIfSpaced) {
    std::string text = "  C:\\My Files\\a.ini ";
    EXPECT_EQ(QuoteIfSpaced(text), "\"C:\\My Files\\a.ini\"");
    EXPECT_EQ(text, "C:\\My Files\\a.ini");
    text = " \"C:\\My Files\" ";
    EXPECT_EQ(QuoteIfSpaced(text), "\"C:\\My Files\"");
    text = " nospace ";
    EXPECT_EQ(QuoteIfSpaced(text), "nospace");
    text = "   ";
    EXPECT_EQ(QuoteIfSpaced(text), "");
}

TEST(FileHelpers, SafeFileLenAndOpenTests) {
    TestSupport::ScratchDir dir;
    TestSupport::WriteBytes(dir.File("Empty.wav"), "");
    TestSupport::WriteBytes(dir.File("Five.wav"), "12345");
    EXPECT_EQ(SafeFileLen(dir.File("missing.wav")), -1);
    EXPECT_EQ(SafeFileLen(dir.File("empty.WAV")), 0);
    EXPECT_EQ(SafeFileLen(dir.File("FIVE.wav")), 5);
    EXPECT_EQ(SafeFileLen(dir.Path()), -1); // a folder is not a file
    EXPECT_EQ(SafeFileLen(""), -1);
    EXPECT_TRUE(CanOpenFile(dir.File("five.wav")));
    EXPECT_FALSE(CanOpenFile(dir.File("missing.wav")));

    FileTimesRecord none = GetFileWriteTime(dir.File("Empty.wav"));
    EXPECT_EQ(none.CreationTime, 0);
    EXPECT_EQ(none.LastWriteTime, 0);
    EXPECT_EQ(none.LastAccessTime, 0);
    EXPECT_EQ(GetFileWriteTime(dir.File("missing.wav")).LastWriteTime, 0);
    fs::last_write_time(dir.File("Five.wav"),
                        fs::file_time_type::clock::from_sys(
                            std::chrono::sys_seconds{std::chrono::seconds{1700000000}}));
    // 100-ns units since 1601.
    EXPECT_EQ(GetFileWriteTime(dir.File("Five.wav")).LastWriteTime,
              (1700000000LL + 11644473600LL) * 10000000LL);
    EXPECT_EQ(GetShortPath(dir.File("FIVE.WAV")), dir.File("Five.wav"));
    EXPECT_EQ(GetShortPath(dir.File("none")), "");
}

TEST(FileHelpers, CreatePathMakesTreesAndReportsFailure) {
    TestSupport::ScratchDir dir;
    TestSupport::ScriptedBoxes boxes;
    std::string before = fs::current_path().string();
    EXPECT_TRUE(CreatePath(dir.File("a\\b/c"), false));
    EXPECT_TRUE(fs::is_directory(dir.File("a/b/c")));
    EXPECT_TRUE(CreatePath(dir.File("a/b/c/"), false)); // existing tree
    EXPECT_TRUE(CreatePath(dir.File("A/B/d"), false));  // existing levels in another case
    EXPECT_TRUE(fs::is_directory(dir.File("a/b/d")));
    EXPECT_EQ(fs::current_path().string(), before);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(Platform::ScreenMousePointer(), Platform::vbDefault);

    TestSupport::WriteBytes(dir.File("file"), "x");
    EXPECT_FALSE(CreatePath(dir.File("file/sub"), true));
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_FALSE(CreatePath(dir.File("file/sub"), false));
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].prompt,
              "There was a problem While Attempting to Create Directories on Destination Drive. "
              "and the error's description was reported as : \n\n\"Path not found\" (76)");
    EXPECT_EQ(Platform::ScreenMousePointer(), Platform::vbDefault);
}

TEST(FileHelpers, TempFileNamesAreFreeAndNotCreated) {
    TestSupport::ScratchDir dir;
    std::string a = MakeTempFileName(dir.Path(), "TMP");
    std::string b = MakeTempFileName(dir.Path(), "WAV");
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(GetDirectoryPart(a, false), dir.Path());
    std::string prefix = QCoreApplication::applicationName().toUpper().left(3).toStdString();
    EXPECT_EQ(GetFileName(a).substr(0, 3), prefix);
    EXPECT_EQ(GetFileExtension(a), "TMP");
    EXPECT_EQ(GetFileExtension(b), "WAV");
    EXPECT_FALSE(fs::exists(a));
    EXPECT_TRUE(fs::is_empty(dir.Path()));
    EXPECT_EQ(MakeTempFileName(dir.File("no/such"), "TMP"), "");
    EXPECT_EQ(MakeTempFileName("", "TMP").substr(0, Platform::TempFolder().size()),
              Platform::TempFolder());
}

TEST(HostFacts, FoldersVersionAndNames) {
    TestSupport::ScratchDir dir;
    qputenv("VNTZEL_WINDIR", QByteArray::fromStdString(dir.Path()));
    qputenv("VNTZEL_APPDIR", "/opt/vntzel");
    EXPECT_EQ(GetWindowsFolder(), dir.Path());
    EXPECT_EQ(GetSpecialFolderPath(CSIDL_PROGRAM_FILES_COMMON), "/opt/vntzel");
    EXPECT_EQ(GetSpecialFolderPath(CSIDL_WINDOWS), dir.Path());
    EXPECT_EQ(GetSpecialFolderPath(9999), "");
    qunsetenv("VNTZEL_WINDIR");
    qunsetenv("VNTZEL_APPDIR");

    LoadOSVersion();
    const OSVERSIONINFO& v = State().OSVersion;
    EXPECT_EQ(v.dwOSVersionInfoSize, 148);
    EXPECT_EQ(v.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_GT(v.dwMajorVersion, 0);
    EXPECT_LE(v.szCSDVersion.size(), 128u);
    EXPECT_FALSE(GetComputerName().empty());
    EXPECT_EQ(GetDriveList(3), "C");
    EXPECT_EQ(GetDriveList(4), "");
    FileVersionRecord version = GetFileVersionText("/bin/sh");
    EXPECT_EQ(version.FileMajor + version.FileMinor + version.ProductMajor, 0);
    // A file that cannot be read (a folder) has no version either.
    version = GetFileVersionText("/tmp");
    EXPECT_EQ(version.FileMajor + version.FileMinor + version.FileRevision, 0);
}

TEST(HostFacts, BrowseForFolder) {
    std::string askedStart;
    Platform::SetFolderChooserHook([&](const std::string&, const std::string& start) {
        askedStart = start;
        return std::string("C:\\");
    });
    EXPECT_EQ(BrowseForFolder(0, "Pick", "/data", true), "C:");
    EXPECT_EQ(askedStart, "/data");
    EXPECT_EQ(State().browseStartFolder, "/data");
    Platform::SetFolderChooserHook(
        [](const std::string&, const std::string&) { return std::string("/srv/audio"); });
    EXPECT_EQ(BrowseForFolder(0, "Pick", "", false), "/srv/audio");
    Platform::SetFolderChooserHook({});
    // Headless: no dialog, cancelled.
    EXPECT_EQ(BrowseForFolder(0, "Pick", "/data", true), "");
}
