// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's texts are UTF-8 with lone CR line breaks; Qt shows and returns Unicode.
#include <QString>
#include <string>

#include "base/Text.h"

namespace bootdisk {

inline QString Ui(const std::string& text) { return QString::fromStdString(WithLineFeeds(text)); }
inline std::string FromUi(const QString& text) { return text.toStdString(); }

}  // namespace bootdisk
