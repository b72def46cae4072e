#pragma once
// Audio, cart and player settings that the audiowall reads. The values before loading are the
// defaults a missing key gives.
#include <cstdint>

namespace AudioSettings {

struct AudioSettingsRecord {
    int32_t NoCarts = 9999;                 // highest cart number (Audwall.ini)
    int16_t MaintainLegacyCartList = 1;     // write records into the part list files
    int16_t UseIndividualCartListFiles = 0; // one .LST per cart
    int16_t AllowAudioFileLinking = 0;      // follow a cart's .FLK link file (Audwall.ini)
    int16_t PlayCartsInstantly = 1;
    int16_t AdvertVolume = 100;          // volume of every advert a break plays or cues, 0..100
    int16_t UseCopyrightInCartChunk = 0; // the tag file's titles go into the cart chunk
    int16_t GeneralVolume = 100;         // volume of carts loaded without one of their own
    int16_t TotalNumberCartPlayers = 2;
    int16_t FirstPlayerInOrder = 1;
    int16_t LastPlayerInOrder = 255;
    int16_t OnlyAllowEjectStoppedCarts = 0;
    int16_t KeyboardClose = 0; // keyboard eject of a playing cart
    int16_t MouseClose = 0;    // mouse eject of a playing cart
};

} // namespace AudioSettings
