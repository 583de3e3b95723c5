// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/impostazioni.h"

#include "window/zoom.h"

#include <QSettings>

namespace contavoce {
namespace {

constexpr const char* chiave_zoom = "zoom";
constexpr const char* chiave_pausa = "musica_in_pausa";
constexpr const char* chiave_grafia = "grafia";
constexpr const char* chiave_silenzio = "esercizi_in_silenzio";

// Only a plain true counts: QVariant would read any other word as true too.
bool vero(const QVariant& valore) {
    return valore.toString().compare("true", Qt::CaseInsensitive) == 0;
}

} // namespace

Ricordate leggi_impostazioni(QSettings& file) {
    Ricordate i;
    bool ok = false;
    const int zoom = file.value(chiave_zoom).toInt(&ok);
    if (ok && zoom_valido(zoom))
        i.zoom = zoom;
    i.musica_in_pausa = vero(file.value(chiave_pausa));
    i.silenzio = vero(file.value(chiave_silenzio));
    if (file.value(chiave_grafia).toString() == "scolastica")
        i.grafia = Grafia::scolastica;
    return i;
}

void ricorda_zoom(QSettings& file, int percento) {
    file.setValue(chiave_zoom, percento);
    file.sync();
}

void ricorda_pausa_musica(QSettings& file, bool in_pausa) {
    file.setValue(chiave_pausa, in_pausa);
    file.sync();
}

void ricorda_grafia(QSettings& file, Grafia grafia) {
    file.setValue(chiave_grafia, grafia == Grafia::scolastica ? "scolastica" : "originale");
    file.sync();
}

void ricorda_silenzio(QSettings& file, bool silenzio) {
    file.setValue(chiave_silenzio, silenzio);
    file.sync();
}

} // namespace contavoce
