#include "breaks/CartTiming.h"

#include "breaks/BreaksState.h"

namespace BreakCarts {

void SetCartReader(CartReader reader) {
    Breaks::State().cartReader = std::move(reader);
}

int16_t ReadCartTiming(int32_t CartNumber, CartTiming& Timing) {
    Timing = CartTiming{};
    const CartReader& reader = Breaks::State().cartReader;
    if (!reader) return -1;
    int16_t result = reader(CartNumber, Timing);
    if (result != 0) Timing = CartTiming{};
    return result;
}

} // namespace BreakCarts
