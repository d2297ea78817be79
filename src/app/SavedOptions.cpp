// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SavedOptions.h"

namespace bootdisk {
namespace {

std::string ValueName(std::size_t position) { return "opt" + std::to_string(position); }

}  // namespace

void LoadOptions(ISettingsStore& store, const std::string& key, TOptionStates& states) {
    std::vector<std::string> names;
    for (std::size_t n = 0; n < kOptionCount; ++n) names.push_back(ValueName(n));
    const auto values = store.Read(key, names);
    if (!values) return;
    for (std::size_t n = 0; n < kOptionCount; ++n) {
        const auto found = values->find(ValueName(n));
        if (found != values->end() && found->second) states[n] = *found->second != 0;
    }
}

bool SaveOptions(ISettingsStore& store, const std::string& key, const TOptionStates& states) {
    std::map<std::string, std::uint32_t> values;
    for (std::size_t n = 0; n < kOptionCount; ++n) values[ValueName(n)] = states[n] ? 1 : 0;
    return store.Write(key, values);
}

}  // namespace bootdisk
