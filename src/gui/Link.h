// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A link that calls back instead of opening an address; Tab reaches it and Return follows it.
#include <QLabel>
#include <functional>
#include <string>

namespace bootdisk {

QLabel* MakeLink(QWidget* parent, const char* name, const std::string& text, std::function<void()> onClick);

}  // namespace bootdisk
