#pragma once
// Shared pieces of the cart routines' source files.
#include "carts/CartsState.h"
#include "core/MainSettings.h"

#include <cstdint>
#include <string>

namespace Vantor_Cart_Routines::Internal {

inline int32_t NoCarts() {
    return MainSettings::Settings().Audio.NoCarts;
}

inline bool IsValidCart(int32_t cartNumber) {
    return cartNumber >= 1 && cartNumber <= NoCarts();
}

inline AudiowallPart& Part(int part) {
    return Carts::State().AudiowallParts.at(static_cast<size_t>(part));
}

// Record of a cart inside its part's list file (1..1000).
int32_t RecordNumber(int32_t cartNumber);

// Opens a record file and reads or writes record 1 (a cart's own .LST).
int ReadSingleEntry(const std::string& path, ListEntryBytes& bytes);
int WriteSingleEntry(const std::string& path, const ListEntryBytes& bytes);

// Reopens a part's list file on its file number: 0 or the error number.
int ReopenPartList(int part);

// Deletes a file (found ignoring case): 0 or the error number.
int DeleteFile(const std::string& path);

} // namespace Vantor_Cart_Routines::Internal
