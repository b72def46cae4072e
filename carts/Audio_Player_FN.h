#pragma once
// Cart player helpers of the program: the cart information report.
#include "carts/CartRecord.h"

#include <cstdint>
#include <string>

namespace Browsing {
class frmPrintPreview;
}

namespace Audio_Player_FN {

// The report text of a cart record (lines ended by CR LF).
std::string CartInfoReportText(int32_t cartNumber, const Vantor_Cart_Routines::CartRecord& rec);
// Builds the report of a cart and shows it in viewer; nothing for a cart outside 1..NoCarts
// or an empty one.
void BuildCartInfoReport(int32_t& cartNumber, Browsing::frmPrintPreview& viewer);

} // namespace Audio_Player_FN
