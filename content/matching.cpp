#include "content/texts.h"

namespace zodiac::content {
namespace {
// Rat with Dog reads as Dog with Rat, so both entries share one text.
constexpr std::string_view kDogWithRat =
#include "matching/dog_with_rat.inc"
    ;
}  // namespace

// The order of the includes is the order of the entries: keep it unsorted.
// clang-format off
const std::array<MatchingEntry, 144> MatchingDescriptionTable{{
#include "matching/rat.inc"
#include "matching/ox.inc"
#include "matching/tiger.inc"
#include "matching/rabbit.inc"
#include "matching/dragon.inc"
#include "matching/snake.inc"
#include "matching/horse.inc"
#include "matching/goat.inc"
#include "matching/monkey.inc"
#include "matching/rooster.inc"
#include "matching/dog.inc"
#include "matching/pig.inc"
}};
// clang-format on

}  // namespace zodiac::content
