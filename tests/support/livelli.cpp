// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/livelli.h"

#include <algorithm>

namespace test_support {

std::vector<double> potenze(const std::vector<double>& s, std::size_t lunghezza) {
    std::vector<double> p;
    for (std::size_t i = 0; i < s.size(); i += lunghezza) {
        const std::size_t fine = std::min(s.size(), i + lunghezza);
        double somma = 0;
        for (std::size_t j = i; j < fine; ++j)
            somma += s[j] * s[j];
        p.push_back(somma / double(fine - i));
    }
    return p;
}

double rms_parlato(const std::vector<double>& s, int frequenza) {
    const auto p = potenze(s, std::size_t(frequenza / 100));
    if (p.empty())
        return -200;
    const double soglia = *std::max_element(p.begin(), p.end()) / 100.0;
    double somma = 0;
    int n = 0;
    for (double e : p) {
        if (e >= soglia) {
            somma += e;
            ++n;
        }
    }
    return decibel(somma / n);
}

} // namespace test_support
