// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The string table holds Windows-1252 texts; Qt shows and returns Unicode.
#include <QString>
#include <string>

#include "base/Text.h"

namespace bootdisk {

inline QString Ui(const std::string& text) { return QString::fromStdString(Cp1252ToUtf8(text)); }
inline std::string FromUi(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

}  // namespace bootdisk
