#pragma once
// The split's doors to the network, the playout system and the ZOZ link, keeping every word.
#include "breaks/SplitLinks.h"

#include <string>
#include <vector>

namespace TestSupport {

class RecordingSender : public SplitSender {
public:
    void SendMessageToNetwork(const std::string& text) override { sent.push_back(text); }
    void SendMessageToVantor(const std::string& text) override { vantor.push_back(text); }
    void SetNowZOZInformation(int32_t cart, int16_t type, const std::string& title) override {
        zoz.push_back(std::to_string(cart) + "/" + std::to_string(type) + "/" + title);
    }
    std::vector<std::string> sent;   // to the network
    std::vector<std::string> vantor; // to the playout system
    std::vector<std::string> zoz;
};

} // namespace TestSupport
