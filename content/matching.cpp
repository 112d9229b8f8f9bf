#include "content/texts.h"

namespace zodiac::content {
namespace {
// Rat with Dog reads as Dog with Rat, so both entries share one text.
constexpr std::string_view kDogWithRat =
#include "matching/dog_with_rat.inc"
    ;
}  // namespace

const std::array<MatchingEntry, 144> MatchingDescriptionTable{{
#include "matching/dog.inc"
#include "matching/dragon.inc"
#include "matching/goat.inc"
#include "matching/horse.inc"
#include "matching/monkey.inc"
#include "matching/ox.inc"
#include "matching/pig.inc"
#include "matching/rabbit.inc"
#include "matching/rat.inc"
#include "matching/rooster.inc"
#include "matching/snake.inc"
#include "matching/tiger.inc"
}};

}  // namespace zodiac::content
