// The long texts of the zodiac engine: trait paragraphs, famous people, element
// paragraphs and the matching descriptions. Plain data, compiled in, no Qt.
#pragma once

#include <array>
#include <string_view>

namespace zodiac::content {

// The long fields of one sign's profile.
struct SignTexts {
    std::string_view PositiveTraits;
    std::string_view NegativeTraits;
    std::string_view FamousPersons;
};

// One entry per sign, in sign order: Rat, Ox, Tiger, Rabbit, Dragon, Snake,
// Horse, Goat, Monkey, Rooster, Dog, Pig.
extern const std::array<SignTexts, 12> SignTextTable;

// One paragraph per element, in the order Metal, Water, Wood, Fire, Earth.
extern const std::array<std::string_view, 5> ElementDescriptionTable;

// One matching description per ordered pair, keyed "User_Partner" with the
// key words of the signs (Rabbit is "AnimalOne", Rooster "AnimalTwo").
struct MatchingEntry {
    std::string_view Key;
    std::string_view Text;
};

// 144 entries: the Rat's twelve first, then the Ox's, and so on in sign order.
extern const std::array<MatchingEntry, 144> MatchingDescriptionTable;

}  // namespace zodiac::content
