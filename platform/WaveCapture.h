#pragma once
// The capture device and the file-fed input source run on one virtual clock that only moves
// when it is told to, so tests check exactly what came out and when, faster than real time.
// The capture device mixes every stream opened on it onto one stereo timeline at its rate.
#include "platform/WaveDevices.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Platform::WaveCapture {

// One output stream as it came out of the capture device, after volume.
struct StreamRecord {
    HWaveOut handle = 0;
    WaveFormat format;
    std::vector<int16_t> samples; // interleaved, in the stream's own format
    // Stretches of continuous play: device frame where each began, and its frames.
    struct Run {
        uint64_t startFrame;
        uint64_t frames;
    };
    std::vector<Run> runs;
};

// Moves the virtual clock on: every stream plays (or captures) what it has for that time.
void AdvanceFrames(uint64_t frames);
void AdvanceMilliseconds(uint32_t milliseconds);
uint64_t NowFrames();
uint32_t Rate();
// Empties the timeline and every record, sets the clock to 0 and the timeline rate.
// Open streams keep playing from there.
void Reset(uint32_t rate = 44100);
// The mixed timeline, stereo interleaved, frame i at virtual time i / Rate().
std::vector<int16_t> Timeline();
// Every output stream opened since the last Reset, in order of opening.
std::vector<StreamRecord> Streams();
// When set, the timeline is also appended to this raw 16-bit stereo file as it grows.
void SetOutputFile(const std::string& path);

// File-fed input: the next captured block is swallowed by the device and never returned
// (as a driver losing a buffer would).
void LoseNextInputBlock();

} // namespace Platform::WaveCapture
