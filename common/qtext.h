// Engine texts (UTF-8 std::string) as the windows show them.
#pragma once

#include <QString>

#include <string_view>

inline QString Q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
