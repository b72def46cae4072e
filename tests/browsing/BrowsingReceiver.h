#pragma once
// Records the calls that a browsing window makes on its opener by name.
#include <QObject>
#include <cstdint>
#include <vector>

namespace BrowsingTest {

class Receiver : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void UpdateDisplay(int32_t CrtNo) { updates.push_back(CrtNo); }
    Q_INVOKABLE void JumpToCart(int32_t CrtNo) { jumps.push_back(CrtNo); }
    Q_INVOKABLE void Form_KeyDown(int16_t keyCode, int16_t) { keys.push_back(keyCode); }
    std::vector<int32_t> updates, jumps;
    std::vector<int16_t> keys;
};

} // namespace BrowsingTest
