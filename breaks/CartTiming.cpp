#include "breaks/CartTiming.h"

#include "breaks/BreaksState.h"
#include "carts/Vantor_Cart_Routines.h"

namespace BreakCarts {

void SetCartReader(CartReader reader) {
    Breaks::State().cartReader = std::move(reader);
}

int16_t ReadCartTiming(int32_t CartNumber, CartTiming& Timing) {
    Timing = CartTiming{};
    const CartReader& reader = Breaks::State().cartReader;
    int16_t result;
    if (reader) {
        result = reader(CartNumber, Timing);
    } else {
        Vantor_Cart_Routines::CartRecord rec;
        result = Vantor_Cart_Routines::ReadCart(rec, CartNumber);
        Timing = CartTiming{rec.PlayLength, rec.Extro};
    }
    if (result != 0) Timing = CartTiming{};
    return result;
}

} // namespace BreakCarts
