// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/dispositivo_in_ascolto.h"

#include <algorithm>
#include <cmath>

namespace contavoce::prova {

std::optional<platform::FormatoAudio> DispositivoInAscolto::apri(platform::FormatoAudio voluto,
                                                                 int frame, bool esatto,
                                                                 Richiamo richiamo, void* dati) {
    richiamo_ = richiamo;
    dati_ = dati;
    return vero_->apri(voluto, frame, esatto, &DispositivoInAscolto::ascolta, this);
}

void DispositivoInAscolto::ascolta(void* dati, std::uint8_t* flusso, int byte) {
    auto& d = *static_cast<DispositivoInAscolto*>(dati);
    d.prima_del_richiamo();
    d.richiamo_(d.dati_, flusso, byte);
    d.orecchio_->richiami.fetch_add(1, std::memory_order_relaxed);
    const auto* s = reinterpret_cast<const float*>(flusso);
    const int n = byte / int(sizeof(float));
    auto& o = *d.orecchio_;
    const std::size_t da = o.registrati.load(std::memory_order_relaxed);
    const std::size_t k = std::min(std::size_t(n), o.campioni.size() - da);
    std::copy_n(s, k, o.campioni.begin() + std::ptrdiff_t(da));
    o.registrati.store(da + k, std::memory_order_release);
    double e = 0;
    for (int i = 0; i < n; ++i)
        e += double(s[i]) * s[i];
    const double rms = n > 0 ? std::sqrt(e / n) : 0.0;
    for (double m = d.orecchio_->massimo; rms > m;)
        d.orecchio_->massimo.compare_exchange_weak(m, rms);
}

} // namespace contavoce::prova
