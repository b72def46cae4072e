#pragma once
// The split's cued break: up to 100 adverts with their lengths, players and times.
#include <array>
#include <cstdint>
#include <string>

struct AdvertEntry {
    int32_t CartNumber = 0;
    std::string Title;        // log columns 24-53
    std::string Reference;    // log column 60 on
    float Length = 0.0f;      // the cart's play length, seconds
    float SegueLength = 0.0f; // the cart's Extro time, seconds
};

constexpr int16_t kMaxBreakAdverts = 100;

struct AdBreak {
    std::array<AdvertEntry, kMaxBreakAdverts> Adverts; // Adverts[0] is advert 1
    int16_t AdvertCount = 0;
    int16_t CurrentAdvert = 0; // 1-based
    int16_t PlayingPlayer = 0;
    int16_t CuedPlayer = 0;
    float Elapsed = 0.0f, Remaining = 0.0f, Total = 0.0f;
    int16_t NearEndSent = 0;

    AdvertEntry& Advert(int16_t number) { return Adverts[static_cast<size_t>(number - 1)]; }
    const AdvertEntry& Advert(int16_t number) const {
        return Adverts[static_cast<size_t>(number - 1)];
    }
};
