// Received bytes of a control connection: framed in two chunks (the first byte says where the
// input splits) and each line run through the arbitration as if from connection 1 or 2.
#include "network_control/LineFramer.h"
#include "network_control/NetControlArbiter.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

class NullLinks : public NetControlLinks {
public:
    void SendToConnection(int16_t, const std::string& Text) override { sent += Text.size(); }
    std::string RemoteAddress(int16_t Index) override { return "127.0.0." + std::to_string(Index); }
    void ControlGranted(std::string&, std::string&) override {}
    void ControlDenied(std::string&, std::string&) override {}
    void ControlEnded(std::string&, std::string&) override {}
    void ControllerLine(const std::string& Message) override { sent += Message.size(); }
    void HelpMessageText(std::string&) override {}
    void StatusMessageText(std::string&) override {}
    void ControlChanged() override {}
    size_t sent = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const size_t split = bytes.empty() ? 0 : data[0] % (bytes.size() + 1);
    NullLinks links;
    NetControlArbiter arbiter(links);
    LineFramer framer;
    framer.StripLineFeeds = (data[0] & 1) != 0;
    std::string line;
    int16_t from = 1;
    for (const std::string& chunk : {bytes.substr(0, split), bytes.substr(split)}) {
        framer.Append(chunk);
        while (framer.TakeLine(line)) {
            arbiter.ProcessLine(from, line);
            from = static_cast<int16_t>(3 - from);
        }
        if (framer.PendingSize() > LineFramer::kMaxPendingLine) __builtin_trap();
    }
    return 0;
}
