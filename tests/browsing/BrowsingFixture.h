#pragma once
// An audiowall of described carts for the browsing windows, with cart players on the capture
// device, and a receiver that records the calls made on it by name.
#include "BrowsingReceiver.h"
#include "carts/PlayersFixture.h"

#include <vector>

namespace BrowsingTest {

class BrowsingTest : public CartsTest::PlayersTest {
protected:
    // A record without an audio file: lines, extro and play length as given.
    void Describe(int32_t cart, const std::string& l1, const std::string& l2 = "",
                  const std::string& l3 = "", float extro = 60, float playLength = 60) {
        Vantor_Cart_Routines::CartRecord rec;
        rec.Description1 = CartsTest::Padded(l1);
        rec.Description2 = CartsTest::Padded(l2);
        rec.Description3 = CartsTest::Padded(l3);
        rec.TotalLength = rec.AudioEnd = std::max(playLength, extro + 1);
        rec.PlayLength = playLength;
        rec.Extro = extro;
        rec.BackColor = 0x00FF00;
        ASSERT_EQ(Vantor_Cart_Routines::WriteCart(rec, cart, true, false), 0);
    }
};

} // namespace BrowsingTest
