#pragma once
// The cart groups: 100 numbered lists of up to 20 carts, shown as five pages of 20, their
// sections in the main settings file, the rule that picks the item a group plays next, and
// the split's queue of cart-group items.
#include "core/SaveReport.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace Breaks {

constexpr int32_t kCartGroupCount = 100;
constexpr int16_t kCartGroupSlots = 20;
constexpr int32_t kCartGroupPages = 5;
constexpr int32_t kGroupsPerPage = 20;
constexpr int16_t kCartQueueLength = 100;

struct CartGroupRecord {
    std::array<int32_t, kCartGroupSlots> CartNumbers{}; // slot 1 in [0]; 0 = empty
    int16_t Mute = 0;          // non-zero: the source line is off while an item plays
    int32_t SelectionMode = 0; // 0 sequential, other values random
    int32_t PlayoutMode = 0;   // 1 played directly, other values through the queue
    int16_t CheckAgainstAds = 0;
    int16_t LastItemPlayed = 0; // 0..20
    int16_t NumberOfCarts = 0;  // the highest slot holding a cart, not a count
    int16_t NextItem = 0;       // a random group's item chosen by a cue, 0 = none
    std::string Description;

    int32_t& CartNumber(int16_t slot) { return CartNumbers[static_cast<size_t>(slot - 1)]; }
    int32_t CartNumber(int16_t slot) const { return CartNumbers[static_cast<size_t>(slot - 1)]; }
};

struct CartQueueItem {
    int32_t CartNumber = 0;
    int16_t GroupNumber = 0;
};

struct CartListQueueRecord {
    std::array<CartQueueItem, kCartQueueLength> Entries{}; // entry 1 in [0]
    int16_t Count = 0;
    int16_t PlayingPlayer = 0;
    int16_t CuedPlayer = 0;

    CartQueueItem& Entry(int16_t n) { return Entries[static_cast<size_t>(n - 1)]; }
};

// A uniform number in [0, 1).
using RandomSource = std::function<float()>;

struct CartGroupsState {
    std::array<CartGroupRecord, kCartGroupCount> CartGroups; // group 1 in [0]
    std::array<std::string, kCartGroupPages> CartGroupPageDescription;
    CartListQueueRecord CartListQueue; // split 1's
    RandomSource random;               // empty: a generator seeded at first use
};

// The cart groups of the current program context.
CartGroupsState& CartGroupState();
// Group 1..100, or nullptr.
CartGroupRecord* CartGroup(int32_t GroupNumber);

// Every random choice of a group goes through this source (empty: the default generator).
void SetRandomSource(RandomSource source);
float Rnd();

enum class ItemPurpose { Play, Cue, Length };
// The slot the group plays, cues or measures next. A play takes a cued random choice, and
// both a play and a cue of a random group leave their choice for the play that follows.
int16_t ChooseNextItem(CartGroupRecord& group, ItemPurpose purpose);
// The seconds to the segue point of the cart in the slot; 0 for an empty slot or a cart
// without audio.
float ItemSegueSeconds(const CartGroupRecord& group, int16_t item);
// Whether a cart has audio to play.
bool CartHasAudio(int32_t CartNumber);
// The segue seconds of the item the group's next play will take, 0 when it cannot play. A
// sequential group steps past items that cannot play; a random group makes its choice now,
// and the play then takes it (a choice that cannot play is dropped).
float PrepareCartGroupPlay(int32_t GroupNumber);

} // namespace Breaks

namespace ZEL_Specific {

void LoadCartGroups(const std::string& IniFile);
GeneralFunctions::SaveReport SaveCartGroups(const std::string& IniFile);
// Writes the group's LastItemPlayed to its section of the main settings file; a failure
// and its return are told once each.
void SaveLastItemPlayed(int32_t GroupNumber);
// The first cart number above 0 in slot order; 0 when none or outside 1..100.
int32_t FirstCartOfGroup(int32_t GroupNumber);

} // namespace ZEL_Specific
