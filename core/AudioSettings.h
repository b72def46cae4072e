#pragma once
// Audio, cart and player settings: the cart players and their devices, the audiowall part
// folders, volumes, the look of the cart buttons, the recording format, and the audiowall's
// own settings in Audwall.ini. The values before loading are the defaults a missing key gives;
// the cart subsystem loads them (carts/AudioSettingsLoader.h).
#include <cstdint>
#include <string>

namespace AudioSettings {

// Platform colour values (0x00BBGGRR; the top bit marks a system colour).
constexpr int32_t kButtonFaceColour = static_cast<int32_t>(0x8000000F);
constexpr int32_t kButtonTextColour = static_cast<int32_t>(0x80000012);

struct AudioSettingsRecord {
    // [CartPlayers]
    int16_t AutomaticPlayerAssignment = 1;
    int32_t TotalNumberCartPlayers = -1; // -1: one player per suitable wave-out device
    int16_t Instant = 0;
    int32_t EditPlayer = 0;
    int16_t FirstPlayerInOrder = 1;
    int16_t LastPlayerInOrder = 255;
    int16_t RegisterAsToolbars = 0;
    // [Carts]
    int16_t KeyboardClose = 0;
    int16_t MouseClose = 1;
    int16_t HighlightPlayedCarts = 0;
    int32_t HighlightPLayedCartsInterval = 0;
    // [FileLocations]
    std::string AudioEditorPath;
    // [Audio]
    int32_t AudioEditorPriority = 10;
    int16_t AudioEditorRunAtIdleSpeed = 0;
    int16_t MaintainLegacyCartList = 1;     // write records into the part list files
    int16_t UseIndividualCartListFiles = 0; // one .LST per cart
    int16_t LockPlayerWhenRecording = 0;
    int16_t UseLargeFSBuffers = 0;
    int16_t FSDebugMode = 0;
    int16_t SelectedCartMode = 1;
    int32_t SelectedCartColor = 0xC00000;
    int32_t SelectedCartColorText = 0xFFFFFF;
    int32_t CartPlayedRecentColor = 0x0000FF;
    int16_t ShowTimesBarInColor = 1;
    int32_t TimesBarColor = 0xC00000;
    int32_t TimesBarColorText = 0xFFFFFF;
    int32_t CartNumberColor = 0x0000FF;
    int16_t DisplayCartHasAudioAsSquare = 0;
    int32_t EmptyCartNumberColor = 0x9A9A9A;
    int32_t EmptyCartBackColor = kButtonFaceColour;
    int32_t EmptyCartForeColor = kButtonTextColour;
    int16_t CartFontBold = 0;
    int16_t CartFontSize = 8;
    int16_t DisplayCartTimeHours = 0;
    int16_t CartShowCompressed = 0;
    std::string CartFontName = "MS Sans Serif";
    int16_t PlayerFadeFirePercent = 65; // notify volume of a player fade
    int32_t PlayerFadeSeconds = 2;
    int16_t PlayCartsInstantly = 1;
    int16_t OnlyAllowEjectStoppedCarts = 0;
    int16_t UseLegacyFileCopyMode = 0;
    int16_t UsePlayerDucking = 1;
    int16_t GeneralVolume = 100;
    int16_t SweptVolume = 100;
    int16_t DuckAudioVolume = 90;
    int16_t CartGroupVolume = 100;
    int16_t AdvertVolume = 100; // volume of every advert a break plays or cues, 0..100
    int32_t RecordingSoundCard = 0;
    int32_t KHz = 44100;
    int16_t Channels = 2;
    int16_t Format = 1;
    int16_t AllowDifferentFormat = 0;
    int16_t RecordLocal = 0;
    // Audwall.ini
    int32_t NoCarts = 9999; // highest cart number
    std::string PictureFileExtension = "JPG";
    int16_t AllowAudioFileLinking = 0; // follow a cart's .FLK link file
    int16_t UseCopyrightInCartChunk = 0;
    int16_t AskBeforeProcess = 0;
    int16_t NormaliseAudioPercent = 63;
    int16_t AutoTopAudio = 1;
    int16_t AllowCDDB = 0;
    std::string ServerAddress = "gnudb.gnudb.org";
    std::string EmailAddress;
    int16_t AllowSubmit = 0;
};

// The product key the program reads its registry settings under.
inline constexpr const char* kProductKey = "Software\\OrburyCo\\Vantor v2";

} // namespace AudioSettings
