// SPDX-License-Identifier: GPL-3.0-or-later
// Checks a recorded child's session (tests/e2e/sessione.sh): the screenshots
// show the grouped number, the words, the green panel and the red digit; the
// recording holds every sound in the order the child caused them (a chosen
// digit's place said after its laser), with the music underneath, and ends
// with the breaking glass.
//
//   analizza_sessione --audio audio.raw --bin <program folder> --foto <folder>
//       --origine X,Y --lungo 907836451223 --clic 8,11 --tastiera 9,10
//
// The first number is always 2304, listened to; the second, only confirmed, is `--lungo`.
// The digits of `--clic` are clicked, those of `--tastiera` chosen from the keyboard,
// after which Enter on the focused decompose button closes the panel.
//
//   analizza_sessione --risposte CLASSE,LIVELLO,TIPO,SEME
//   analizza_sessione --esercizi audio.raw --bin <program folder> --risposte CLASSE,LIVELLO,0,SEME
//
// The first prints the answers of a practice round (risposte_esercizi.h); the
// second checks the recording of the session's practice.
//
// Prints one line per check; exits 1 if any fails.
#include "platform/audio/mixer.h"
#include "platform/audio/suono_sdl.h"
#include "platform/qt/resources.h"
#include "tests/e2e/risposte_esercizi.h"
#include "tools/audio_match/audio_match.h"

#include <QColor>
#include <QCommandLineParser>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QRect>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace contavoce;
using audio_match::frequenza_analisi;

namespace {

constexpr const char* primo_numero = "2304";
// The music alone, measured in the analysis format, never drops this low for long.
constexpr double soglia_musica_db = -45;
// What saying it takes: "due" "mila" "tre" "cento" "quattro".
constexpr const char* clip_primo_numero[] = {"va2", "va_mila", "va3", "va100", "va4"};

// What a digit of the first number (box k, 8..11) says after the laser: its
// word, then its place in the plural ("zero decine" too).
std::vector<std::string> valore_detto(int k) {
    static const char* const posti[] = {"va_unita", "va_decine", "va_centinaia", "va_migliaia"};
    if (k < 8 || k > 11)
        return {"(no digit in box " + std::to_string(k) + ")"};
    return {std::string("va") + primo_numero[k - 8], posti[11 - k]};
}

// Prints each check as it is made and counts the failures.
class Esito {
public:
    void operator()(bool ok, const QString& cosa) {
        std::printf("%s: %s\n", ok ? "ok  " : "FAIL", qPrintable(cosa));
        if (!ok)
            ++fallimenti_;
    }
    int fallimenti() const { return fallimenti_; }

private:
    int fallimenti_ = 0;
};

// ---- audio ----------------------------------------------------------------

// A clip as the mixer would play it, then brought to the analysis format the
// same way as the recording.
std::optional<std::vector<float>> modello(std::span<const char> wav) {
    const auto clip = platform::decodifica_wav(wav, {44100, 2});
    if (!clip)
        return std::nullopt;
    return audio_match::a_mono_11025(clip->campioni);
}

struct Evento {
    std::string nome;
    std::string descrizione;
    // Played in the practice window's quiet mode: no music under it, and an
    // effect at its softer level.
    bool in_silenzio = false;
};

double db(double rms) {
    return 20 * std::log10(std::max(rms, 1e-9));
}

// A recording of the device's output (float stereo), in the analysis format.
std::optional<std::vector<float>> cattura_di(Esito& verifica, const QString& file_audio) {
    QFile f(file_audio);
    if (!f.open(QIODevice::ReadOnly)) {
        verifica(false, "the recording " + file_audio + " can be read");
        return std::nullopt;
    }
    const QByteArray grezzo = f.readAll();
    std::vector<float> stereo(std::size_t(grezzo.size()) / sizeof(float));
    std::memcpy(stereo.data(), grezzo.constData(), stereo.size() * sizeof(float));
    return audio_match::a_mono_11025(stereo);
}

// One of the program's own sounds, as `modello` makes it.
std::optional<std::vector<float>> modello_risorsa(const char* nome) {
    const auto dati = platform::risorsa(nome, "wav");
    return dati ? modello(std::span<const char>(dati->constData(), std::size_t(dati->size())))
                : std::nullopt;
}

// The refusals: no key of the session may bring them (chords type nothing, keys
// typed after Enter are dropped).
constexpr const char* mai_sentiti[] = {"ASINO", "SPARO"};

void verifica_audio(Esito& verifica, const QString& file_audio, const QString& cartella,
                    const std::vector<Evento>& attesi) {
    const auto letta = cattura_di(verifica, file_audio);
    if (!letta)
        return;
    const std::vector<float>& cattura = *letta;
    const double durata = double(cattura.size()) / frequenza_analisi;
    verifica(durata > 10, QString("the recording lasts %1 s").arg(durata, 0, 'f', 1));
    if (durata <= 10)
        return;

    std::map<std::string, std::vector<float>> modelli;
    for (const Evento& e : attesi) {
        if (modelli.count(e.nome))
            continue;
        std::optional<std::vector<float>> m;
        if (e.nome.ends_with(".wav")) {
            if (const auto dati = platform::leggi_file(cartella.toStdString() + "/" + e.nome))
                m = modello(*dati);
        } else {
            m = modello_risorsa(e.nome.c_str());
        }
        verifica(m.has_value(), QString("the sound %1 can be decoded").arg(e.nome.c_str()));
        if (!m)
            return;
        modelli[e.nome] = std::move(*m);
    }

    audio_match::Correlatore correlatore(cattura);
    std::map<std::string, std::vector<float>> curve;
    for (const auto& [nome, m] : modelli)
        curve[nome] = correlatore.ncc(m);

    // Each sound is looked for after the end of the one before, so the order is checked too.
    struct Trovato {
        std::size_t inizio, fine;
    };
    std::vector<Trovato> trovati;
    std::size_t cursore = 0;
    for (const Evento& e : attesi) {
        const auto& m = modelli[e.nome];
        const auto p =
            audio_match::primo_picco(curve[e.nome], cursore, audio_match::soglia_ncc, m.size());
        if (!p) {
            verifica(false, QString("%1 (%2) heard after %3 s")
                                .arg(e.nome.c_str(), e.descrizione.c_str())
                                .arg(double(cursore) / frequenza_analisi, 0, 'f', 2));
            return;
        }
        verifica(true, QString("%1 (%2) at %3 s, correlation %4")
                           .arg(e.nome.c_str(), e.descrizione.c_str())
                           .arg(double(p->posizione) / frequenza_analisi, 0, 'f', 2)
                           .arg(p->valore, 0, 'f', 3));
        trovati.push_back({p->posizione, p->posizione + m.size()});
        cursore = trovati.back().fine - std::min(m.size() / 10, trovati.back().fine);
    }

    for (const char* nome : mai_sentiti) {
        const auto m = modello_risorsa(nome);
        if (!m) {
            verifica(false, QString("the sound %1 can be decoded").arg(nome));
            continue;
        }
        const auto p =
            audio_match::primo_picco(correlatore.ncc(*m), 0, audio_match::soglia_ncc, m->size());
        verifica(!p, p ? QString("%1 heard at %2 s")
                             .arg(nome)
                             .arg(double(p->posizione) / frequenza_analisi, 0, 'f', 2)
                       : QString("%1 never heard").arg(nome));
    }

    const std::size_t margine = frequenza_analisi / 20;
    // In the quiet mode: silence between the sounds, and the effects well
    // below their own level (the models are at full level, through the same
    // chain as the recording).
    bool silenzio = false;
    int tratti_silenzio = 0, tratti_quieti = 0;
    double effetto_piu_forte = -200;
    for (std::size_t i = 1; i < trovati.size(); ++i) {
        if (!attesi[i].in_silenzio)
            continue;
        silenzio = true;
        const Trovato& t = trovati[i];
        if (!attesi[i].nome.ends_with(".wav")) {
            const double r =
                db(audio_match::rms(cattura, t.inizio, t.fine)) -
                db(audio_match::rms(modelli[attesi[i].nome], 0, modelli[attesi[i].nome].size()));
            effetto_piu_forte = std::max(effetto_piu_forte, r);
        }
        const std::size_t da = trovati[i - 1].fine;
        if (!attesi[i - 1].in_silenzio || t.inizio < da + 2 * margine + frequenza_analisi / 2)
            continue;
        // Unlisted clips may fall in between (the rest of a number said, up
        // to the answer): a stretch without music has a moment of silence,
        // unless the answer came while the number was still being said.
        double quieto = 0;
        for (std::size_t k = da + margine; k + 2 * margine <= t.inizio; k += margine / 2)
            quieto = std::min(quieto, db(audio_match::rms(cattura, k, k + margine)));
        ++tratti_silenzio;
        tratti_quieti += quieto < -60 ? 1 : 0;
    }
    if (silenzio) {
        verifica(tratti_silenzio >= 10 && tratti_quieti * 2 >= tratti_silenzio,
                 QString("quiet mode: no music between the sounds (%1 of %2 stretches with a "
                         "moment below -60 dBFS)")
                     .arg(tratti_quieti)
                     .arg(tratti_silenzio));
        verifica(effetto_piu_forte < -8,
                 QString("quiet mode: the effects %1 dB from their own level at most")
                     .arg(effetto_piu_forte, 0, 'f', 1));
    }

    // Between the sounds the music goes on: every stretch of half a second or
    // more without an effect is above the floor.
    double minimo = 0;
    int tratti = 0;
    std::size_t da = frequenza_analisi / 2;
    for (const Trovato& t : trovati) {
        if (t.inizio > da + 2 * margine + frequenza_analisi / 2) {
            const double r = db(audio_match::rms(cattura, da + margine, t.inizio - margine));
            minimo = tratti++ == 0 ? r : std::min(minimo, r);
        }
        da = std::max(da, t.fine);
    }
    if (!silenzio)
        verifica(tratti >= 5 && minimo > soglia_musica_db,
                 QString("music between the sounds: %1 stretches, quietest %2 dBFS (floor %3)")
                     .arg(tratti)
                     .arg(minimo, 0, 'f', 1)
                     .arg(soglia_musica_db));

    // "Fine": the music stops, the glass breaks, and nothing follows.
    const Trovato& ultimo = trovati.back();
    const double vetro_ncc = curve[attesi.back().nome][ultimo.inizio];
    verifica(vetro_ncc > 0.95,
             QString("the last sound plays alone (correlation %1)").arg(vetro_ncc, 0, 'f', 3));
    const double coda =
        (double(cattura.size()) - double(ultimo.fine)) / frequenza_analisi; // may be < 0
    verifica(coda < 1.0,
             QString("the recording ends %1 s after the last sound").arg(coda, 0, 'f', 3));
    if (ultimo.fine < cattura.size()) {
        const double r = db(audio_match::rms(cattura, ultimo.fine, cattura.size()));
        verifica(r < -60, QString("silence after the last sound (%1 dBFS)").arg(r, 0, 'f', 1));
    }
}

// A run started after the music was paused in the one before: silent until the
// child presses the music button, then the tune until "Fine" breaks the glass.
void verifica_pausa_ricordata(Esito& verifica, const QString& file_audio) {
    const auto letta = cattura_di(verifica, file_audio);
    if (!letta)
        return;
    const std::vector<float>& cattura = *letta;
    const auto m = modello_risorsa("VETRO");
    const std::size_t s = frequenza_analisi;
    if (!m || cattura.size() < 3 * s) {
        verifica(false, "restart: a recording with the glass in it");
        return;
    }
    audio_match::Correlatore correlatore(cattura);
    const auto p =
        audio_match::primo_picco(correlatore.ncc(*m), 0, audio_match::soglia_ncc, m->size());
    verifica(p && p->posizione > 3 * s, "restart: Fine breaks the glass at the end");
    if (!p || p->posizione <= 3 * s)
        return;
    const double inizio = db(audio_match::rms(cattura, s / 4, s * 7 / 4));
    verifica(inizio < -60,
             QString("restart: no music before the button (%1 dBFS)").arg(inizio, 0, 'f', 1));
    const double ripresa = db(audio_match::rms(cattura, p->posizione - s * 3 / 2, p->posizione));
    verifica(ripresa > soglia_musica_db,
             QString("restart: the music after the button (%1 dBFS)").arg(ripresa, 0, 'f', 1));
}

// ---- pixels ---------------------------------------------------------------

bool vicino(QRgb p, QColor c, int tolleranza = 60) {
    return std::abs(qRed(p) - c.red()) + std::abs(qGreen(p) - c.green()) +
               std::abs(qBlue(p) - c.blue()) <=
           tolleranza;
}

// Black text and its anti-aliased edge; red is not dark.
bool scuro(QRgb p) {
    return std::max({qRed(p), qGreen(p), qBlue(p)}) < 110;
}

bool rosso_(QRgb p) {
    return qRed(p) > 180 && qGreen(p) < 110 && qBlue(p) < 110;
}

struct Quadro {
    QImage img;
    QPoint origine;

    int conta(QRect r, const std::function<bool(QRgb)>& pred) const {
        int n = 0;
        r.translate(origine);
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (img.valid(x, y) && pred(img.pixel(x, y)))
                    ++n;
        return n;
    }
    double quota(QRect r, const std::function<bool(QRgb)>& pred) const {
        return double(conta(r, pred)) / (r.width() * r.height());
    }
    // Horizontal extent of the pixels matching `pred`, 0 if none.
    int larghezza(QRect r, const std::function<bool(QRgb)>& pred) const {
        int sinistra = INT_MAX, destra = -1;
        r.translate(origine);
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (img.valid(x, y) && pred(img.pixel(x, y))) {
                    sinistra = std::min(sinistra, x);
                    destra = std::max(destra, x);
                }
        return destra < 0 ? 0 : destra - sinistra + 1;
    }
};

const QRect casella(88, 48, 257, 41);
// "Scomponi il numero" and "Nuovo Numero" inside their panel.
const QRect pulsante_scomponi(456, 184, 97, 49), pulsante_nuovo(456, 72, 97, 49);
const QRect parole(8, 104, 425, 57);
const QRect pannello(24, 184, 393, 145);
const QColor verde(0, 255, 0), bianco(255, 255, 255), rosso(255, 0, 0);

QRect cifra(int k) {
    static constexpr int left[12] = {600,  960,  1320, 1800, 2160, 2520,
                                     3000, 3360, 3720, 4200, 4560, 4920};
    return {24 + left[k] / 15, 184 + 48, 25, 41};
}

QString raggruppa(const QString& cifre) {
    QString r;
    for (int i = 0; i < cifre.size(); ++i) {
        if (i > 0 && (cifre.size() - i) % 3 == 0)
            r += '.';
        r += cifre[i];
    }
    return r;
}

// The confirmed number in the entry box: ink of the width the grouped number
// has in the box's font, on the box's green.
void verifica_conferma(Esito& verifica, const Quadro& q, const QString& numero,
                       const QString& nome) {
    QFont font("Arial");
    font.setPointSizeF(24);
    font.setBold(true);
    const QString testo = raggruppa(numero);
    const int atteso = QFontMetrics(font).tightBoundingRect(testo).width();
    const auto inchiostro = [](QRgb p) { return !vicino(p, verde, 150); };
    const int misurato = q.larghezza(casella.adjusted(2, 2, -2, -2), inchiostro);
    verifica(std::abs(misurato - atteso) <= std::max(6, atteso / 10),
             QString("%1: the entry box shows text %2 px wide, \"%3\" is %4 px")
                 .arg(nome)
                 .arg(misurato)
                 .arg(testo)
                 .arg(atteso));
    verifica(q.quota(casella, [](QRgb p) { return vicino(p, verde); }) > 0.6,
             nome + ": the entry box stays green");
    // The box is disabled by now; its number must still be read in dark ink.
    const int scuri = q.conta(casella, scuro);
    verifica(scuri > 200, QString("%1: the grouped number is dark (%2 px)").arg(nome).arg(scuri));
    const double bianchi = q.quota(parole, [](QRgb p) { return vicino(p, bianco, 30); });
    const int testo_parole = q.conta(parole, scuro);
    verifica(bianchi > 0.6 && testo_parole > 150,
             QString("%1: the words box is white (%2%) with dark text (%3 px)")
                 .arg(nome)
                 .arg(bianchi * 100, 0, 'f', 0)
                 .arg(testo_parole));
}

// The focus ring's dark blue.
bool anello_(QRgb p) {
    return vicino(p, QColor(0x00, 0x00, 0xa0), 40);
}

void verifica_tastiera(Esito& verifica, const std::function<Quadro(const QString&)>& carica,
                       const std::vector<int>& tastiera) {
    // The ring shows all round the focused button (2 px of 97 x 49 make some
    // 560 px) and nowhere else.
    const Quadro pulsanti = carica("anello_pulsante");
    if (!pulsanti.img.isNull()) {
        const int su_scomponi = pulsanti.conta(pulsante_scomponi, anello_);
        const int su_nuovo = pulsanti.conta(pulsante_nuovo, anello_);
        verifica(su_scomponi > 400 && su_nuovo < 20,
                 QString("focus ring on the decompose button (%1 px; %2 on the new-number one)")
                     .arg(su_scomponi)
                     .arg(su_nuovo));
    }
    for (int k : tastiera) {
        const Quadro q = carica(QString("tastiera_%1").arg(k));
        if (q.img.isNull())
            continue;
        const int rossi = q.conta(cifra(k), rosso_);
        const int anello = q.conta(cifra(k), anello_);
        verifica(rossi > 30 && anello > 150,
                 QString("box %1 chosen from the keyboard: red digit (%2 px) inside the focus "
                         "ring (%3 px)")
                     .arg(k)
                     .arg(rossi)
                     .arg(anello));
    }
    // The words box's frame is a pixel wide: the ring runs on over its text area.
    const Quadro su_parole = carica("anello_parole");
    if (!su_parole.img.isNull()) {
        const int n = su_parole.conta(parole, anello_);
        verifica(n > 1700, QString("focus ring 2 px wide around the words box (%1 px)").arg(n));
    }
    const Quadro chiuso = carica("chiuso_con_invio");
    if (!chiuso.img.isNull())
        verifica(chiuso.quota(pannello, [](QRgb p) { return vicino(p, verde, 30); }) < 0.2,
                 "Enter on the focused decompose button closed the panel");
}

void verifica_foto(Esito& verifica, const QString& cartella, QPoint origine, const QString& lungo,
                   const std::vector<int>& clic, const std::vector<int>& tastiera) {
    const QString numero = primo_numero;
    const auto carica = [&](const QString& nome) {
        Quadro q{QImage(cartella + "/" + nome + ".png").convertToFormat(QImage::Format_RGB32),
                 origine};
        verifica(!q.img.isNull(), "screenshot " + nome + " can be read");
        return q;
    };

    const Quadro conferma = carica("conferma_2304");
    if (!conferma.img.isNull()) {
        verifica_conferma(verifica, conferma, numero, "first number");
        verifica(conferma.quota(pannello, [](QRgb p) { return vicino(p, verde, 30); }) < 0.2,
                 "first number: the panel is still closed");
    }

    // The number's digits fill the last boxes; the others are hidden.
    const int primo_mostrato = 12 - int(numero.size());
    const Quadro aperto = carica("pannello");
    if (!aperto.img.isNull()) {
        verifica(aperto.quota(pannello, [](QRgb p) { return vicino(p, verde, 30); }) > 0.5,
                 "panel: green");
        for (int k = 0; k < 12; ++k) {
            if (k < primo_mostrato) {
                verifica(aperto.quota(cifra(k), [](QRgb p) { return vicino(p, verde, 30); }) > 0.9,
                         QString("panel: box %1 hidden").arg(k));
                continue;
            }
            const double bianchi =
                aperto.quota(cifra(k), [](QRgb p) { return vicino(p, bianco, 30); });
            verifica(bianchi > 0.5,
                     QString("panel: box %1 white (%2%)").arg(k).arg(bianchi * 100, 0, 'f', 0));
            // The last box starts blinking (red, then white on white) as soon as
            // the panel opens; the others show their digit in black.
            if (k == 11)
                continue;
            const int scuri = aperto.conta(cifra(k), scuro);
            verifica(scuri > 30, QString("panel: box %1 shows the digit %2 (%3 dark px)")
                                     .arg(k)
                                     .arg(numero[k - primo_mostrato])
                                     .arg(scuri));
        }
    }

    // A clicked digit turns red and every other digit black.
    for (int k : clic) {
        const Quadro q = carica(QString("cifra_%1").arg(k));
        if (q.img.isNull())
            continue;
        const int rossi = q.conta(cifra(k), rosso_);
        verifica(rossi > 30 && q.conta(cifra(k), scuro) == 0,
                 QString("clicked box %1 shows a red digit (%2 px)").arg(k).arg(rossi));
        int altri_rossi = 0, senza_cifra = 0;
        for (int j = primo_mostrato; j < 12; ++j) {
            if (j == k)
                continue;
            altri_rossi += q.conta(cifra(j), rosso_);
            senza_cifra += q.conta(cifra(j), scuro) > 30 ? 0 : 1;
        }
        verifica(altri_rossi == 0 && senza_cifra == 0,
                 QString("box %1 clicked: the other digits are black (%2 red px, %3 boxes without "
                         "a digit)")
                     .arg(k)
                     .arg(altri_rossi)
                     .arg(senza_cifra));
    }

    verifica_tastiera(verifica, carica, tastiera);

    const Quadro secondo = carica("conferma_lungo");
    if (!secondo.img.isNull()) {
        verifica_conferma(verifica, secondo, lungo, "twelve digits");
        verifica(secondo.quota(pannello, [](QRgb p) { return vicino(p, verde, 30); }) < 0.2,
                 "twelve digits: the panel is closed");
    }
}

std::vector<Evento> sessione_attesa(const QString& lungo, const std::vector<int>& clic,
                                    const std::vector<int>& tastiera) {
    std::vector<Evento> e;
    const auto toni = [&](const QString& cifre) {
        for (QChar c : cifre)
            e.push_back({"G" + std::string(1, char(c.toLatin1())),
                         "key " + std::string(1, char(c.toLatin1()))});
    };
    toni(QString(primo_numero));
    e.push_back({"UCCELLO", "Enter"});
    e.push_back({"INIZIO", "confirmed"});
    for (const char* c : clip_primo_numero)
        e.push_back({std::string(c) + ".wav", "saying 2304"});
    e.push_back({"CANE", "panel"});
    const auto valore = [&](int k, const std::string& come) {
        e.push_back({"laser.wav", "digit " + std::to_string(k) + come});
        for (const std::string& c : valore_detto(k))
            e.push_back({c + ".wav", "digit " + std::to_string(k) + "'s place said"});
    };
    for (int k : clic)
        valore(k, "");
    for (int k : tastiera)
        valore(k, " from the keyboard");
    e.push_back({"laser.wav", "panel closed with Enter"});
    e.push_back({"GALLO", "new number"});
    toni(lungo);
    e.push_back({"UCCELLO", "Enter"});
    e.push_back({"INIZIO", "confirmed"});
    e.push_back({"VETRO", "Fine"});
    return e;
}

} // namespace

int main(int argc, char** argv) {
    // Fonts are measured, never shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser opzioni;
    for (const char* nome : {"audio", "bin", "foto", "origine", "lungo", "clic", "pausa",
                             "tastiera", "risposte", "esercizi"})
        opzioni.addOption({nome, nome, nome});
    opzioni.process(app);
    if (opzioni.isSet("risposte")) {
        const QStringList r = opzioni.value("risposte").split(',');
        if (r.size() != 4)
            return 2;
        if (!opzioni.isSet("esercizi")) {
            std::fputs(qPrintable(sessione::risposte(r[0].toInt(), r[1].toInt(), r[2].toInt(),
                                                     r[3].toULongLong())),
                       stdout);
            return 0;
        }
        std::vector<Evento> attesi;
        for (const auto& [nome, descrizione] :
             sessione::eventi(r[0].toInt(), r[1].toInt(), r[3].toULongLong()))
            attesi.push_back({nome, descrizione, true});
        // The practice window closed, its quiet mode ends: the glass of
        // "Fine" breaks over the music again.
        attesi.back().in_silenzio = false;
        Esito verifica;
        verifica_audio(verifica, opzioni.value("esercizi"), opzioni.value("bin"), attesi);
        std::printf("%s\n", verifica.fallimenti() ? "practice FAILED" : "practice ok");
        return verifica.fallimenti() ? 1 : 0;
    }
    if (opzioni.isSet("pausa")) {
        Esito verifica;
        verifica_pausa_ricordata(verifica, opzioni.value("pausa"));
        return verifica.fallimenti() ? 1 : 0;
    }
    const QStringList o = opzioni.value("origine").split(',');
    const QPoint origine = o.size() == 2 ? QPoint(o[0].toInt(), o[1].toInt()) : QPoint();
    const auto cifre = [&](const char* opzione) {
        std::vector<int> v;
        for (const QString& k : opzioni.value(opzione).split(',', Qt::SkipEmptyParts))
            v.push_back(k.toInt());
        return v;
    };
    const std::vector<int> clic = cifre("clic"), tastiera = cifre("tastiera");
    const QString lungo = opzioni.value("lungo");

    Esito verifica;
    verifica_foto(verifica, opzioni.value("foto"), origine, lungo, clic, tastiera);
    verifica_audio(verifica, opzioni.value("audio"), opzioni.value("bin"),
                   sessione_attesa(lungo, clic, tastiera));
    std::printf("%s\n", verifica.fallimenti() ? "session FAILED" : "session ok");
    return verifica.fallimenti() ? 1 : 0;
}
