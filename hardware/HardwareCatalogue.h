#pragma once
// The action catalogue: the names of the line action codes and of their data values, and the
// rendering of one line into a row of the settings grid with its automatic description.
#include "hardware/HardwareAPI.h"

#include <array>
#include <string>

namespace HardwareCatalogue {

// Grid columns of the settings dialog.
enum GridColumn : int {
    colLine = 0,
    colType = 1,
    colActiveLow = 2,
    colDescription = 3,
    colAction = 4,
    colInfo1 = 5,
    colInfo2 = 6,
    colInfo3 = 7,
    colInfo4 = 8,
};
constexpr int kGridColumns = 9;
using GridRow = std::array<std::string, kGridColumns>;

// The name the grid shows for an action code ("Not in use" for any code not catalogued).
std::string ActionName(int32_t Action, bool OutputLine);

// Writes the Description, Action and Info cells of a row from the line, giving a line
// without a description its automatic one. Cells the line's action does not name keep their
// text.
void GetGridinfo(GridRow& Row, HardwareAPI::HardwareLine& Line);

} // namespace HardwareCatalogue
