#pragma once
// The audiowall: carts 1..NoCarts in parts of 1000, each part a folder with one list file of
// 300-byte records; per-cart files named after the cart; reading and writing cart records.
// Store operations answer 0 for success, -1 for a refused or impossible request, or the number
// of the failed file operation.
#include "carts/CartRecord.h"
#include "core/MultimediaAPI.h"

#include <cstdint>
#include <string>

namespace Vantor_Cart_Routines {

// Part of a cart: 1..10 for carts 1..10000, 0 for 0, 11 outside 0..10000.
int16_t GetCartPart(int32_t cartNumber);
std::string GetCartPartLocation(int32_t cartNumber);
// Location + "/VNT" + five-digit number; empty outside 1..NoCarts or without a Location.
std::string GetCartBaseName(int32_t cartNumber);
std::string GetCartAudioFileName(int32_t cartNumber, bool ignoreLink, bool quoted);
std::string GetCartNotesFileName(int32_t cartNumber, bool& exists);

// Connects part partNumber, or every part for 0: 0 when connected, -1 when not.
int32_t ConnectAudiowallParts(int16_t partNumber, bool quiet);
// Closes and reopens a part's list file so that other programs see what was written.
bool ReopenPartListFile(int32_t partNumber);
void CloseAudiowallParts();

int32_t DeleteCart(int32_t cartNumber, bool deleteAudio, bool quiet, bool notify);

// The start-up reset: every player empty, then the cart data as ResetCartData leaves it.
void InitialiseCartData();
// State names, the blank record and the two settings that connecting puts back on; the
// players are left alone.
void ResetCartData();

void BackupAudiowallLists(bool force);

int16_t ReadCart(CartRecord& rec, int32_t cartNumber);
// With newAudio the cart chunk of the cart's audio file is brought up to date.
int32_t WriteCart(CartRecord& rec, int32_t cartNumber, bool skipPermission, bool newAudio);

// The recording into Carts::State().Recorder.RecorderCartNumber. Each answers false at once
// without a recorder or while it is closed. RecorderSave: Mode 1 keeps the recording, 2 asks
// the user, any other value discards it; true when the recording was kept.
bool RecorderSave(int32_t Mode);
bool RecorderResume();
bool RecorderPause();

// Rights and music information of a cart's tag file (stem + ".INF").
struct CartTagInfo {
    std::string ProductTitle, MusicTitle, RecordLabel, RecordNumber;
    std::string Composer, Performer, Publisher, CopyrightCode;
    float TotalDuration = 0;
    float MusicDuration = 0;
};

// False for cart 0 (info unchanged); else TotalDuration = PlayLength, then the tag file's
// values when the file exists.
bool ReadCartInfoFile(int32_t& cartNumber, CartTagInfo& info);
// Copies the cart record into the "cart" chunk of the cart's audio file (a linked file
// included), keeping the file's last-write time. True when written or there is no audio.
bool UpdateCartChunk(int32_t cartNumber);
// The chunk for a record, with timers in samples at sampleRate.
MultimediaAPI::CartChunk BuildCartChunk(int32_t cartNumber, const CartRecord& rec,
                                        const CartTagInfo* tags, int32_t sampleRate);

} // namespace Vantor_Cart_Routines
