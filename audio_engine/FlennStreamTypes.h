#pragma once
// Enumerations of the streaming engine's type library, shared with the player controls.
#include <cstdint>

enum eSStatus : int32_t {
    statusTerminated = 0,
    statusPleaseTerminate = 1,
    statusRunning = 2,
    StatusProblem = 3,
    statusInitialising = 4,
};

enum ePlayStatus : int32_t {
    eStopped = 0,
    ePlaying = 1,
};

enum enRLCE : int32_t {
    rleNoEvents = 0,
    rleOnChange = 1,
    rleAlways = 2,
};

// Private messages of the engines' windows.
constexpr uint32_t WM_FLENN_CAPTURED = 0x465; // a captured block, re-posted
constexpr uint32_t WM_FLENN_PLAYED = 0x466;   // a played block, re-posted
constexpr uint32_t WM_FLENN_LEVELS = 0x468;   // a deferred level event
