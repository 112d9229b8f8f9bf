// Any text through the setting codec: encoded characters lie in the shifted
// range, and decoding gives back every character that could be kept.
#include <QString>

#include <cstdlib>

#include "shell/updatereminder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString encoded = modHelp::EncodeSetting(input);
    for (QChar c : encoded)
        if (c.unicode() < modHelp::SettingShift || c.unicode() > 255) std::abort();
    // What survives: Latin-1 codes up to 255 - shift; anything beyond Latin-1 counts as "?".
    QString kept;
    for (QChar c : input) {
        const int code = c.unicode() <= 0xFF ? c.unicode() : '?';
        if (code + modHelp::SettingShift <= 255) kept.append(QChar(code));
    }
    if (modHelp::DecodeSetting(encoded) != kept) std::abort();
    for (QChar c : modHelp::DecodeSetting(input))
        if (c.unicode() > 255 - modHelp::SettingShift) std::abort();
    return 0;
}
