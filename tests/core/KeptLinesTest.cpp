// Lines kept while their file refuses them: written whole, in order, once, when it takes lines
// again; the failure and the return told once; what is past the limit counted and told.
#include "support/RefusingDisk.h"
#include "support/TestSupport.h"
#include "support/WaveTestSupport.h"

#include "core/GeneralFunctions.h"
#include "core/KeptLines.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The trace in a scratch system drive; what is told about one file is kept.
class Kept : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("VNTZEL_SYSTEMDRIVE", QByteArray::fromStdString(traces.Path()));
        teller = GeneralFunctions::AddProblemTeller([this](const std::string& text) {
            if (text.find(about) != std::string::npos) told.push_back(text);
        });
    }
    void TearDown() override {
        GeneralFunctions::RemoveProblemTeller(teller);
        qunsetenv("VNTZEL_SYSTEMDRIVE");
        EXPECT_EQ(KeptLines::Count(), 0u) << "lines left for the next test";
    }
    // Line i: its number first, of a size that crosses pages and limits mid-line.
    static std::string Line(int i) {
        return std::to_string(i) + "|" + std::string(60, static_cast<char>('a' + i % 26));
    }
    // Appends lines from next on until one is kept (none of them was written in part).
    void AppendUntilKept(const std::string& file, int& next) {
        for (const int end = next + 200; KeptLines::Count() == 0 && next < end; ++next)
            KeptLines::Append(file, Line(next));
        ASSERT_EQ(KeptLines::Count(), 1u);
    }
    static std::string Lines(int from, int to) {
        std::string text;
        for (int i = from; i < to; ++i)
            text += Line(i) + "\r\n";
        return text;
    }

    TestSupport::ScratchDir traces;
    std::string about;
    std::vector<std::string> told;
    int teller = 0;
};

} // namespace

TEST_F(Kept, AFileThatFillsMidLineTakesItsKeptLinesWholeInOrderOnceFreed) {
    TestSupport::RefusingDisk disk;
    const std::string rec = about = disk.File("261207.REC");
    int next = 0;
    for (; next < 3; ++next)
        KeptLines::Append(rec, Line(next));
    disk.Fill(rec);
    AppendUntilKept(rec, next);
    const int firstKept = next - 1;
    KeptLines::Append(rec, Line(next++));
    KeptLines::Append(rec, Line(next++));
    EXPECT_EQ(KeptLines::Count(), 3u);
    // The line cut by the full disk was taken back: the file ends with its last whole line.
    EXPECT_EQ(TestSupport::ReadBytes(rec), Lines(0, firstKept));
    const std::string refused = "Cannot write to " + rec + " (" + disk.Cause() +
                                "): its lines are kept and written when it takes them again";
    EXPECT_EQ(told, std::vector<std::string>{refused});

    // The next line once freed writes the kept ones first.
    disk.Free();
    KeptLines::Append(rec, Line(next++));
    EXPECT_EQ(TestSupport::ReadBytes(rec), Lines(0, next));
    EXPECT_EQ(KeptLines::Count(), 0u);
    EXPECT_EQ(told, (std::vector<std::string>{refused, rec + " takes lines again: 3 kept lines "
                                                             "written"}));

    // A second failure: its kept line is written by the retries, with no line after it.
    disk.Fill(rec);
    AppendUntilKept(rec, next);
    EXPECT_EQ(told.size(), 3u);
    disk.Free();
    EXPECT_TRUE(TestSupport::PumpUntil([] { return KeptLines::Count() == 0; }, 30000));
    EXPECT_EQ(TestSupport::ReadBytes(rec), Lines(0, next));
    ASSERT_EQ(told.size(), 4u);
    EXPECT_EQ(told[3], rec + " takes lines again: 1 kept lines written");
}

TEST_F(Kept, PastTheLimitLinesAreLostCountedAndToldOnceEach) {
    const std::string folder = traces.File("dest");
    const std::string err = about = folder + "/261207.ERR";
    const std::string line(1000, 'e');
    const size_t room = KeptLines::kLimitBytes / (line.size() + 2);
    for (size_t i = 0; i < room + 54; ++i)
        KeptLines::Append(err, line);
    EXPECT_EQ(KeptLines::Count(), room);
    EXPECT_EQ(told, (std::vector<std::string>{
                        "Cannot write to " + err +
                            " (No such file or directory): its lines are kept and written when "
                            "it takes them again",
                        "Lines for " + err + " lost: more than 1 MB kept"}));

    fs::create_directories(folder);
    KeptLines::Append(err, "last");
    std::string expected;
    for (size_t i = 0; i < room; ++i)
        expected += line + "\r\n";
    EXPECT_EQ(TestSupport::ReadBytes(err), expected + "last\r\n");
    ASSERT_EQ(told.size(), 4u);
    EXPECT_EQ(told[2], "54 lines for " + err + " lost: more than 1 MB kept");
    EXPECT_EQ(told[3], err + " takes lines again: " + std::to_string(room) + " kept lines written");

    // Lines still kept as the program ends are told lost, after a last try.
    const std::string rec = about = traces.File("gone") + "/261207.REC";
    KeptLines::Append(rec, "one");
    KeptLines::Append(rec, "two");
    KeptLines::WriteBeforeEnd();
    EXPECT_EQ(told.back(),
              "2 kept lines for " + rec + " lost: the program ended before it took them");
    fs::create_directories(traces.File("gone"));
    KeptLines::WriteBeforeEnd();
    EXPECT_EQ(TestSupport::ReadBytes(rec), "one\r\ntwo\r\n");
}
