// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/LZHModel.h"

#include <algorithm>

namespace bootdisk::lzh {

void TLZHModel::StartHuff() {
    for (unsigned i = 0; i < kSymbols; ++i) {
        freq_[i] = 1;
        son_[i] = std::uint16_t(i + kNodes);
        prnt_[i + kNodes] = std::uint16_t(i);
    }
    for (unsigned i = 0, j = kSymbols; j < kNodes; i += 2, ++j) {
        freq_[j] = std::uint16_t(freq_[i] + freq_[i + 1]);
        son_[j] = std::uint16_t(i);
        prnt_[i] = prnt_[i + 1] = std::uint16_t(j);
    }
    std::fill(freq_.begin() + kNodes, freq_.end(), std::uint16_t(0xFFFF));
    prnt_[kRoot] = 0;
}

// Halves every leaf frequency and builds the tree anew from the leaves, keeping it in
// frequency order by inserting each new internal node after the last one not above it.
void TLZHModel::Reconst() {
    unsigned leaves = 0;
    for (unsigned i = 0; i < kNodes; ++i) {
        if (son_[i] >= kNodes) {
            freq_[leaves] = std::uint16_t((freq_[i] + 1) / 2);
            son_[leaves] = son_[i];
            ++leaves;
        }
    }
    for (unsigned i = 0, j = kSymbols; j < kNodes; i += 2, ++j) {
        const auto f = std::uint16_t(freq_[i] + freq_[i + 1]);
        unsigned k = j;
        while (f < freq_[k - 1]) --k;
        std::copy_backward(freq_.begin() + k, freq_.begin() + j, freq_.begin() + j + 1);
        std::copy_backward(son_.begin() + k, son_.begin() + j, son_.begin() + j + 1);
        freq_[k] = f;
        son_[k] = std::uint16_t(i);
    }
    for (unsigned i = 0; i < kNodes; ++i) {
        const unsigned k = son_[i];
        prnt_[k] = std::uint16_t(i);
        if (k < kNodes) prnt_[k + 1] = std::uint16_t(i);
    }
}

void TLZHModel::Update(unsigned symbol) {
    RebuildIfFull();
    unsigned c = prnt_[symbol + kNodes];
    do {
        const unsigned k = ++freq_[c];
        if (k > freq_[c + 1]) {
            // Swap c with the last node l whose frequency is still below k.
            unsigned l = c + 1;
            while (k > freq_[l + 1]) ++l;
            freq_[c] = freq_[l];
            freq_[l] = std::uint16_t(k);
            Exchange(c, l);
            c = l;
        }
        c = prnt_[c];
    } while (c != 0);
}

}  // namespace bootdisk::lzh
