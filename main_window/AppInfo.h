#pragma once
// The program's title and version under the main window's names.
#include "core/AppInfo.h"

namespace MainWindow {

using AppInfo::kAppTitle;
using AppInfo::kVersionMajor;
using AppInfo::kVersionMinor;
using AppInfo::kVersionRevision;
using AppInfo::kProductName;
using AppInfo::kCompanyName;
using AppInfo::kCopyright;
using AppInfo::kMainCaption;

} // namespace MainWindow
