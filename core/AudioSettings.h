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
    int16_t AdvertVolume = 100; // volume of every advert a break plays or cues, 0..100
};

} // namespace AudioSettings
