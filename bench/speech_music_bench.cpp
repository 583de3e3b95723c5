// SPDX-License-Identifier: GPL-3.0-or-later
// How far the voice stands above the music in what the real program plays: the
// real window under the X server of bench/run.sh, its sound device recorded by
// SDL's disk driver, a twelve-digit number typed, confirmed and then said twice
// with the tune playing. Each spoken clip is found in the recording, then
// subtracted from it: the effects voice is added at unit gain, so what is left
// where the clip lies is exactly the music under it.
//
//   speech_music_bench <program folder>
#include "platform/audio/mixer.h"
#include "platform/audio/suono_sdl.h"
#include "platform/qt/resources.h"
#include "speech/clip_list.h"
#include "tools/audio_match/audio_match.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace contavoce;

namespace {

constexpr const char* numero = "987654321987"; // 19 clips, nearly all different
constexpr int volte = 2;
// Contavoce opens the device as float32 stereo at 44100 Hz and the disk driver
// writes that format raw, without a header.
constexpr platform::FormatoAudio formato{44100, 2};
constexpr std::size_t canali = 2;
constexpr std::size_t finestra = formato.frequenza / 10; // 100 ms
constexpr std::size_t passo = formato.frequenza / 100;   // windows every 10 ms
constexpr std::size_t trama = formato.frequenza / 100;   // 10 ms frames for "voiced"

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

double db_energia(double rapporto) {
    return 10 * std::log10(std::max(rapporto, 1e-12));
}

void dormi(double secondi) {
    std::this_thread::sleep_for(std::chrono::duration<double>(secondi));
}

// Runs xdotool and returns its standard output, or nothing if it failed.
std::optional<QString> xdotool(const QStringList& argomenti, int ms = 20000) {
    QProcess p;
    p.start("xdotool", argomenti);
    if (!p.waitForFinished(ms) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// Interleaved stereo to mono, the form the clips are looked for in.
std::vector<float> mono(std::span<const float> stereo) {
    std::vector<float> m(stereo.size() / canali);
    for (std::size_t i = 0; i < m.size(); ++i)
        m[i] = 0.5f * (stereo[canali * i] + stereo[canali * i + 1]);
    return m;
}

struct Sessione {
    std::vector<float> registrazione; // interleaved stereo
    std::string errore;
};

// The child's session, recorded.
Sessione registra(const QString& cartella, const QString& lavoro, double secondi_parlato) {
    Sessione s;
    const QString audio = lavoro + "/audio.raw";
    QProcess programma;
    auto ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert("QT_QPA_PLATFORM", "xcb");
    ambiente.insert("SDL_AUDIODRIVER", "disk");
    ambiente.insert("SDL_DISKAUDIOFILE", audio);
    programma.setProcessEnvironment(ambiente);
    programma.setWorkingDirectory(lavoro);
    programma.setStandardOutputFile(QProcess::nullDevice());
    programma.setStandardErrorFile(QProcess::nullDevice());
    programma.start(cartella + "/contavoce", {});
    if (!programma.waitForStarted(10000)) {
        s.errore = "contavoce did not start";
        return s;
    }
    const auto trovate = xdotool(
        {"search", "--sync", "--onlyvisible", "--pid", QString::number(programma.processId())},
        30000);
    if (!trovate || trovate->isEmpty()) {
        s.errore = "no window appeared";
        return s;
    }
    const QString finestra_x = trovate->split('\n').front();
    dormi(2.0); // the tune alone for a while, as when the window opens
    bool ok = xdotool({"windowfocus", "--sync", finestra_x}).has_value() &&
              xdotool({"type", "--delay", "150", numero}).has_value() &&
              xdotool({"key", "Return"}).has_value();
    // The words slide in and the confirmation jingle plays.
    dormi(5.0);
    for (int i = 0; ok && i < volte; ++i) {
        ok = xdotool({"key", "alt+a"}).has_value();
        dormi(secondi_parlato + 1.5);
    }
    ok = ok && xdotool({"key", "alt+f"}).has_value();
    if (!ok || !programma.waitForFinished(20000)) {
        s.errore = "the session could not be driven to its end";
        return s;
    }
    QFile f(audio);
    if (!f.open(QIODevice::ReadOnly)) {
        s.errore = "no recording";
        return s;
    }
    const QByteArray grezzo = f.readAll();
    s.registrazione.resize(std::size_t(grezzo.size()) / sizeof(float));
    std::memcpy(s.registrazione.data(), grezzo.constData(), s.registrazione.size() * sizeof(float));
    return s;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Absolute: the program runs in a folder of its own.
    const QString cartella = QDir(argc > 1 ? argv[1] : ".").absolutePath();
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("speech-to-music ratio: no X display (bench/run.sh starts one)\n");
        return 1;
    }

    // The clips in saying order, decoded as the mixer plays them.
    const ListaClip lista = lista_clip(numero, cartella.toStdString());
    std::map<std::string, platform::Clip> clip;
    std::vector<const platform::Clip*> ordine;
    double secondi_parlato = 0;
    for (int i = 1; i <= lista.n_file; ++i) {
        const std::string& nome = lista.Wave_name[std::size_t(i)];
        if (!clip.count(nome)) {
            const auto dati = platform::leggi_file(nome);
            auto c = dati ? platform::decodifica_wav(*dati, formato) : std::nullopt;
            if (!c) {
                std::printf("speech-to-music ratio: cannot read %s\n", nome.c_str());
                return 1;
            }
            clip.emplace(nome, std::move(*c));
        }
        ordine.push_back(&clip.at(nome));
        secondi_parlato += double(ordine.back()->frame()) / formato.frequenza;
    }

    QTemporaryDir lavoro;
    const Sessione sessione = registra(cartella, lavoro.path(), secondi_parlato);
    if (!sessione.errore.empty()) {
        std::printf("speech-to-music ratio: %s\n", sessione.errore.c_str());
        return 1;
    }
    const std::vector<float>& mix = sessione.registrazione;
    const std::size_t frame = mix.size() / canali;

    // Each clip is looked for after the one before; then the offset where
    // subtracting it leaves the least, which is exact alignment.
    audio_match::Correlatore correlatore(mono(mix));
    std::map<const platform::Clip*, std::vector<float>> curve;
    struct Posto {
        const platform::Clip* clip;
        std::size_t inizio;
    };
    std::vector<Posto> posti;
    std::size_t cursore = 0;
    for (int giro = 0; giro < volte; ++giro) {
        for (const platform::Clip* c : ordine) {
            if (!curve.count(c))
                curve[c] = correlatore.ncc(mono(c->campioni));
            const auto p =
                audio_match::primo_picco(curve[c], cursore, audio_match::soglia_ncc, c->frame());
            if (!p) {
                std::printf("speech-to-music ratio: a clip of %s not found after %.2f s\n", numero,
                            double(cursore) / formato.frequenza);
                return 1;
            }
            std::size_t migliore = p->posizione;
            double residuo_minimo = -1;
            for (std::size_t k = p->posizione > 3 ? p->posizione - 3 : 0;
                 k <= p->posizione + 3 && k + c->frame() <= frame; ++k) {
                double residuo = 0;
                for (std::size_t i = 0; i < c->campioni.size(); ++i) {
                    const double d = double(mix[k * canali + i]) - c->campioni[i];
                    residuo += d * d;
                }
                if (residuo_minimo < 0 || residuo < residuo_minimo) {
                    residuo_minimo = residuo;
                    migliore = k;
                }
            }
            posti.push_back({c, migliore});
            cursore = migliore + c->frame();
        }
    }

    // The voice alone, and where it is voiced: the 10 ms frames of each clip
    // within 20 dB of its loudest, the measure tools/speech levels the clips by.
    std::vector<float> voce(mix.size(), 0.0f);
    std::vector<char> sonoro(frame, 0);
    for (const Posto& p : posti) {
        const auto& s = p.clip->campioni;
        std::copy(s.begin(), s.end(), voce.begin() + std::ptrdiff_t(p.inizio * canali));
        std::vector<double> energia;
        for (std::size_t t = 0; t < p.clip->frame(); t += trama) {
            double e = 0;
            for (std::size_t i = t * canali; i < std::min(t + trama, p.clip->frame()) * canali; ++i)
                e += double(s[i]) * s[i];
            energia.push_back(e);
        }
        const double massima = *std::max_element(energia.begin(), energia.end());
        for (std::size_t k = 0; k < energia.size(); ++k)
            if (energia[k] >= massima / 100)
                std::fill_n(sonoro.begin() + std::ptrdiff_t(p.inizio + k * trama),
                            std::min(trama, p.clip->frame() - k * trama), char(1));
    }

    // 100 ms windows every 10 ms over each saying; one counts as "during speech"
    // when at least half of it is voiced. Samples the mix clamped would spoil
    // the subtraction and are counted.
    std::vector<double> rapporti, livelli_voce, livelli_musica;
    std::size_t saturati = 0;
    const std::size_t per_giro = ordine.size();
    for (int giro = 0; giro < volte; ++giro) {
        const Posto& primo = posti[std::size_t(giro) * per_giro];
        const Posto& ultimo = posti[std::size_t(giro + 1) * per_giro - 1];
        const std::size_t fine = ultimo.inizio + ultimo.clip->frame();
        for (std::size_t i = primo.inizio * canali; i < fine * canali; ++i)
            saturati += std::abs(mix[i]) >= 1.0f;
        for (std::size_t da = primo.inizio; da + finestra <= fine; da += passo) {
            const auto voci = std::count(sonoro.begin() + std::ptrdiff_t(da),
                                         sonoro.begin() + std::ptrdiff_t(da + finestra), 1);
            if (std::size_t(voci) * 2 < finestra)
                continue;
            double ev = 0, em = 0;
            for (std::size_t i = da * canali; i < (da + finestra) * canali; ++i) {
                const double m = double(mix[i]) - voce[i];
                ev += double(voce[i]) * voce[i];
                em += m * m;
            }
            const double n = double(finestra * canali);
            rapporti.push_back(db_energia(ev / std::max(em, 1e-12)));
            livelli_voce.push_back(db_energia(ev / n));
            livelli_musica.push_back(db_energia(em / n));
        }
    }
    if (rapporti.empty()) {
        std::printf("speech-to-music ratio: no voiced window\n");
        return 1;
    }

    // The tune alone: the second before the first digit's key tone.
    double da_sola = 0;
    if (const auto g = platform::risorsa(std::string("g") + numero[0], "wav")) {
        const auto tono = platform::decodifica_wav(
            std::span<const char>(g->constData(), std::size_t(g->size())), formato);
        if (tono) {
            const auto curva = correlatore.ncc(mono(tono->campioni));
            const auto p =
                audio_match::primo_picco(curva, 0, audio_match::soglia_ncc, tono->frame());
            if (p && p->posizione > formato.frequenza) {
                double e = 0;
                const std::size_t da = (p->posizione - formato.frequenza) * canali;
                for (std::size_t i = da; i < p->posizione * canali; ++i)
                    e += double(mix[i]) * mix[i];
                da_sola = e / double(formato.frequenza * canali);
            }
        }
    }

    std::printf("speech-to-music ratio during speech (real window under Xvfb, disk driver, tune "
                "playing, %s said %d times, %zu sliding 100 ms windows at least half voiced): "
                "median %.1f dB, worst 100 ms window %.1f dB; target >= 20 dB median, >= 14 dB "
                "worst\n",
                numero, volte, rapporti.size(), mediana(rapporti),
                *std::min_element(rapporti.begin(), rapporti.end()));
    std::printf("  levels (RMS, medians of those windows): voice %.1f dBFS, music under it %.1f "
                "dBFS; music alone before the first key %.1f dBFS; %zu samples clamped\n",
                mediana(livelli_voce), mediana(livelli_musica), db_energia(da_sola), saturati);
}
