#pragma once
// The program's title and version, as the cart chunk and the about texts name them.
#include <cstdint>

namespace AppInfo {

inline constexpr const char* kAppTitle = "VNTZEL";
inline constexpr int16_t kVersionMajor = 1;
inline constexpr int16_t kVersionMinor = 0;
inline constexpr int16_t kVersionRevision = 0;
inline constexpr const char* kProductName = "Vantor ZEL";
inline constexpr const char* kCompanyName = "Orbury Ltd.";
inline constexpr const char* kCopyright = "Copyright (C) Orbury Ltd.";
// The main window's caption.
inline constexpr const char* kMainCaption = "Orbury Vantor ZEL";

} // namespace AppInfo
