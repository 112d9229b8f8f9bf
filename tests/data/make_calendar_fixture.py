#!/usr/bin/python3
"""Writes calendar_fixture.tsv: the Chinese sign and element of every day from
1935-02-04 (the first day of the Wood Pig year that January 1936 belongs to)
to 2020-01-24 according to an independent lunar calendar, Debian's
python3-lunardate (apt-get install python3-lunardate). Run it once from this
folder with the system Python:  /usr/bin/python3 make_calendar_fixture.py
The engine's tests compare every line with the program's own calendar."""
import datetime
import lunardate

SIGNS = ["Rat", "Ox", "Tiger", "Rabbit", "Dragon", "Snake", "Horse", "Goat", "Monkey", "Rooster",
         "Dog", "Pig"]
# Heavenly stems in pairs: Jia/Yi Wood, Bing/Ding Fire, Wu/Ji Earth, Geng/Xin Metal, Ren/Gui Water.
STEM_ELEMENTS = ["Wood", "Fire", "Earth", "Metal", "Water"]
FIRST, LAST = datetime.date(1935, 2, 4), datetime.date(2020, 1, 24)

with open("calendar_fixture.tsv", "w", encoding="ascii", newline="\n") as out:
    out.write("# Written by make_calendar_fixture.py from python3-lunardate; do not edit by hand.\n")
    out.write("# date<TAB>lunar year<TAB>sign<TAB>element, one line per day "
              f"from {FIRST} to {LAST}.\n")
    day = FIRST
    while day <= LAST:
        year = lunardate.LunarDate.fromSolarDate(day.year, day.month, day.day).year
        sign = SIGNS[(year - 4) % 12]
        element = STEM_ELEMENTS[((year - 4) % 10) // 2]
        out.write(f"{day.isoformat()}\t{year}\t{sign}\t{element}\n")
        day += datetime.timedelta(days=1)
