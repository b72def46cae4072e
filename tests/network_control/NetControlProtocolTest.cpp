// The control protocol without sockets: framing, token reading and arbitration.
#include "network_control/LineFramer.h"
#include "network_control/NetControlArbiter.h"

#include <gtest/gtest.h>
#include <utility>

namespace {

// Keeps every line sent and every event raised, in order.
class FakeLinks : public NetControlLinks {
public:
    void SendToConnection(int16_t Index, const std::string& Text) override {
        log.push_back(std::to_string(Index) + ">" + Text);
    }
    std::string RemoteAddress(int16_t Index) override { return "10.0.0." + std::to_string(Index); }
    void ControlGranted(std::string& n, std::string& ip) override { Event("GRANT", n, ip); }
    void ControlDenied(std::string& n, std::string& ip) override { Event("DENY", n, ip); }
    void ControlEnded(std::string& n, std::string& ip) override { Event("END", n, ip); }
    void ControllerLine(const std::string& m) override { log.push_back("HOST:" + m); }
    void HelpMessageText(std::string& t) override { t += "-extra\r"; }
    void StatusMessageText(std::string&) override {}
    void ControlChanged() override {}
    void Event(const char* what, const std::string& n, const std::string& ip) {
        log.push_back(std::string(what) + " " + n + " " + ip);
    }
    std::vector<std::string> Take() { return std::exchange(log, {}); }
    std::vector<std::string> log;
};

using Lines = std::vector<std::string>;

} // namespace

TEST(NetControlProtocol, FramingSplitsJoinsStripsAndCaps) {
    LineFramer framer;
    framer.Append("HELP\rSTAT");
    std::string line;
    ASSERT_TRUE(framer.TakeLine(line));
    EXPECT_EQ(line, "HELP");
    EXPECT_FALSE(framer.TakeLine(line));
    framer.Append("US?\r\n\r");
    ASSERT_TRUE(framer.TakeLine(line));
    EXPECT_EQ(line, "STATUS?");
    ASSERT_TRUE(framer.TakeLine(line)); // CR LF CR: the line feed goes, an empty line stays
    EXPECT_EQ(line, "");

    framer.StripLineFeeds = false;
    framer.Append("A\r\nB\r");
    framer.TakeLine(line);
    framer.TakeLine(line);
    EXPECT_EQ(line, "\nB");

    // A line with no end: held to the cap, the rest dropped until its end arrives, then the
    // next line is whole again.
    framer.Clear();
    const std::string big(LineFramer::kMaxPendingLine + 1000, 'x');
    EXPECT_EQ(framer.Append(big), 1000u);
    EXPECT_EQ(framer.PendingSize(), LineFramer::kMaxPendingLine);
    EXPECT_EQ(framer.Append(std::string(5000, 'y')), 5000u);
    EXPECT_EQ(framer.Append("zz\rNEXT\r"), 2u);
    ASSERT_TRUE(framer.TakeLine(line));
    EXPECT_EQ(line, std::string(LineFramer::kMaxPendingLine, 'x'));
    ASSERT_TRUE(framer.TakeLine(line));
    EXPECT_EQ(line, "NEXT");
}

TEST(NetControlProtocol, TokenAndLeadingNumberRules) {
    int32_t start = 0, end = 0;
    EXPECT_EQ(modCorvane::GetToken("A  b c", start, " ", end, true), "A");
    EXPECT_EQ(end, 2);
    start = end + 1;
    EXPECT_EQ(modCorvane::GetToken("A  b c", start, " ", end, true), "b");
    start = 40;
    end = 7;
    EXPECT_EQ(modCorvane::GetToken("A", start, " ", end, true), "");
    EXPECT_EQ(end, 7); // unchanged when nothing is found
    EXPECT_EQ(modCorvane::LeadingNumber(" 12abc"), 12);
    EXPECT_EQ(modCorvane::LeadingNumber("x1"), 0);
    EXPECT_EQ(modCorvane::LeadingNumber("9e99"), 0);
}

TEST(NetControlProtocol, ArbitrationByReleaseAndRequestMode) {
    const char* outcome[3][3] = {
        {"FAIL", "FAIL", "TAKE"}, {"TAKE", "TAKE", "TAKE"}, {"FAIL", "FAIL", "TAKE"}};
    for (int release = 0; release < 3; ++release) {
        for (int request = 0; request < 3; ++request) {
            FakeLinks links;
            NetControlArbiter arbiter(links);
            arbiter.ProcessLine(1, "NET_CONTROL_LOGON holder " + std::to_string(release) + ",0");
            links.Take();
            arbiter.ProcessLine(2, "NET_CONTROL_LOGON B 0," + std::to_string(request));
            Lines expected = std::string(outcome[release][request]) == "TAKE"
                                 ? Lines{"1>NET_CONTROL_END", "END HOLDER 10.0.0.1",
                                         "2>NET_CONTROL_START", "GRANT B 10.0.0.2"}
                                 : Lines{"2>NET_CONTROL_FAIL HOLDER " + std::to_string(release),
                                         "DENY B 10.0.0.2"};
            EXPECT_EQ(links.Take(), expected) << release << "," << request;
        }
    }
}

TEST(NetControlProtocol, WordsAnswersAndControllerLines) {
    FakeLinks links;
    NetControlArbiter arbiter(links);
    arbiter.ProcessLine(1, "NET_CONTROL?");
    arbiter.ProcessLine(1, "SHOW X"); // nobody holds control: dropped
    arbiter.ProcessLine(1, "net_control_logon studio");
    EXPECT_EQ(arbiter.NetworkControllerMode(), qsrlWaitRelease);
    arbiter.ProcessLine(1, "NET_CONTROL_LOGON STUDIO 1");
    arbiter.ProcessLine(2, "NET_CONTROL?");
    arbiter.ProcessLine(2, "NOT MINE");
    arbiter.ProcessLine(1, "Play It");
    arbiter.ProcessLine(2, "NET_CONTROL_LOGOFF"); // not the holder: ignored
    arbiter.ProcessLine(1, "NET_CONTROL_LOGOFF");
    EXPECT_EQ(links.Take(), (Lines{"1>NET_CONTROL ", "1>NET_CONTROL_START", "GRANT STUDIO 10.0.0.1",
                                   "1>NET_CONTROL_START", "GRANT STUDIO 10.0.0.1",
                                   "2>NET_CONTROL STUDIO 1", "HOST:Play It", "1>NET_CONTROL_END",
                                   "END STUDIO 10.0.0.1", "0>NET_CONTROL_AVAILABLE"}));

    arbiter.ProcessLine(3, "LIST games ");
    arbiter.ProcessLine(3, "LIST");
    arbiter.ProcessLine(3, "VERSION?");
    arbiter.ProcessLine(3, "HELP");
    Lines answers = links.Take();
    EXPECT_EQ(answers[0], "3>-\r-Chess\r-Draughts\r-Backgammon\r-Tic-Tac-Toe\r-Global "
                          "Thermonuclear war\r-");
    EXPECT_EQ(answers[1], "3>-Currently the only option is to LIST GAMES");
    EXPECT_EQ(answers[2], "3>VERSION 2.5.31");
    EXPECT_EQ(answers[3], "3>" + NetControlArbiter::HelpText("\r") + "-extra\r");

    // The holder's connection closes: everyone hears control is free.
    arbiter.ProcessLine(2, "NET_CONTROL_LOGON B");
    links.Take();
    arbiter.ConnectionClosed(3);
    EXPECT_TRUE(links.Take().empty());
    arbiter.ConnectionClosed(2);
    EXPECT_EQ(links.Take(), (Lines{"END B 10.0.0.2", "0>NET_CONTROL_AVAILABLE"}));
    EXPECT_FALSE(arbiter.HasController());
    EXPECT_EQ(NetControlArbiter::StatusText("\r", "", ""), "-\r-No Current Controller\r-\r");
    EXPECT_EQ(NetControlArbiter::StatusText("\r", "1.2.3.4", "A"),
              "-\r-Current Controller    :1.2.3.4\r-                      :A\r-\r");
}
