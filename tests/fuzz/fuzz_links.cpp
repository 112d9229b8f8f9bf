// Any text through the report's address detection: links lie inside the
// text, in order, without overlap or blanks, and start as an address does.
#include <QString>

#include <cstdlib>

#include "report/modrtb.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    int end = 0;
    for (const modRTB::Link& link : modRTB::FindLinks(text)) {
        if (link.start < end || link.length <= 0 || link.start + link.length > text.size())
            std::abort();
        if (text.mid(link.start, link.length) != link.text) std::abort();
        for (QChar c : link.text)
            if (c.isSpace()) std::abort();
        const QString lower = link.text.toLower();
        if (!lower.startsWith(QStringLiteral("http:")) &&
            !lower.startsWith(QStringLiteral("https:")) &&
            !lower.startsWith(QStringLiteral("ftp:")) &&
            !lower.startsWith(QStringLiteral("file:")) &&
            !lower.startsWith(QStringLiteral("news:")) &&
            !lower.startsWith(QStringLiteral("mailto:")) &&
            !lower.startsWith(QStringLiteral("www.")))
            std::abort();
        end = link.start + link.length;
    }
    return 0;
}
