#pragma once
// What the advert-log code needs of a cart: its play length and its segue (Extro) point.
// They come from the cart store unless another reader is installed (tests install their own).
#include <cstdint>
#include <functional>

namespace BreakCarts {

struct CartTiming {
    float PlayLength = 0.0f; // seconds; not above 0 = the store does not know the cart
    float Extro = 0.0f;      // seconds: the segue point
};

// 0 when the cart was read into Timing; non-zero otherwise (Timing then holds the blank
// record: play length 0).
using CartReader = std::function<int16_t(int32_t CartNumber, CartTiming& Timing)>;

void SetCartReader(CartReader reader); // empty: the cart store
int16_t ReadCartTiming(int32_t CartNumber, CartTiming& Timing);

} // namespace BreakCarts
