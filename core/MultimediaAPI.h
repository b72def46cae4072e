#pragma once
// WAV file format and length, wave-format texts and the chooser, the broadcast "cart" chunk
// writer and the choice of wave devices that play or record 16-bit audio at a rate.
#include "platform/AcmTypes.h"

#include <cstdint>
#include <functional>
#include <string>

namespace MultimediaAPI {

// The first 18 bytes of a "fmt " chunk.
using WaveFormatInfo = Platform::Acm::WaveFormatEx;

struct CartTimer {
    char Usage[4];
    int32_t Value;
};

// The 2048-byte fixed part of the "cart" chunk, field by field as stored.
struct CartChunk {
    char Version[4];
    char Title[64];
    char Artist[64];
    char CutID[64];
    char ClientID[64];
    char Category[64];
    char Classification[64];
    char OutCue[64];
    char StartDate[10];
    char StartTime[8];
    char EndDate[10];
    char EndTime[8];
    char ProducerAppID[64];
    char ProducerAppVersion[64];
    char UserDef[64];
    int32_t LevelReference;
    CartTimer PostTimer[8];
    char Reserved[276];
    char URL[1024];
};
static_assert(sizeof(CartChunk) == 2048);

constexpr int32_t kCartChunkSize = 2048;

// A chunk of zero bytes with Version "0101", as new recordings carry.
CartChunk BlankCartChunk();
// The stored bytes of a chunk, and back (little-endian numbers).
std::string CartChunkBytes(const CartChunk& chunk);
CartChunk CartChunkFromBytes(const std::string& bytes);

// 0 = read; -1 = missing, empty or unopenable file or a failed format read; otherwise the
// RIFF error of the failing descend. A "fmt " chunk shorter than 18 bytes leaves the fields
// it does not hold at 0.
int32_t ReadWaveFormat(const std::string& FileName, WaveFormatInfo& Format, int32_t& DataLength);
float GetWaveLengthSeconds(const std::string& FileName);
// Tag name + " " + the text of the format the codecs complete from Format's tag, channels
// and rate; with UpdateFormat the completed head is copied back into Format.
std::string DescribeWaveFormat(WaveFormatInfo& Format, bool UpdateFormat);
// Shows the format chooser starting from Format. FormatBuffer: nullptr, or at least 4096
// bytes that then keep the whole chosen record. True when a format was chosen.
bool ChooseWaveFormat(WaveFormatInfo& Format, int32_t OwnerHwnd, uint8_t* FormatBuffer,
                      int32_t& FormatSize);
// Writes the chunk into an existing WAV file in place. An existing chunk of 2048 bytes or
// more is overwritten at its size; a shorter one becomes "JUNK" and a new chunk is appended.
bool WriteCartChunk(const std::string& FileName, const CartChunk& Chunk,
                    const std::string& TagText);

int16_t FindWaveOutDevice(int16_t StartIndex, int32_t SampleRate, int16_t Channels);
int16_t CountWaveOutDevices(int32_t SampleRate, int16_t Channels);
int16_t LastWaveOutDevice(int32_t SampleRate, int16_t Channels);
int16_t LastWaveInDevice(int32_t SampleRate, int16_t Channels);
int16_t CountWaveInDevices(int32_t SampleRate, int16_t Channels);

// What the device choice asks of the wave devices: their counts and each device's format
// bits (false when the query fails). The platform's wave devices answer unless another query
// is set; an empty one means no devices.
struct WaveDeviceQuery {
    std::function<int()> OutCount;
    std::function<bool(int id, uint32_t& formats)> OutFormats;
    std::function<int()> InCount;
    std::function<bool(int id, uint32_t& formats)> InFormats;
};
void SetWaveDeviceQuery(WaveDeviceQuery query);

} // namespace MultimediaAPI
