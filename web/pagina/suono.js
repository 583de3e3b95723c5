// SPDX-License-Identifier: GPL-3.0-or-later
// The page's sound, on the Web Audio API: effects played at once, phrases of
// clips chained without gaps (each clip scheduled on the audio clock at the
// previous one's end, not on a timer), and the background tune.
//
// Browsers start audio only after a gesture: sblocca() is called on the
// first key or touch, and nothing before it is lost, only silent.

const ANTICIPO = 0.03; // seconds between a request and its first clip: room for the scheduler

export class Suono {
  constructor(radice = 'suoni/') {
    this.radice = radice;
    this.contesto = null;
    this.buffer = new Map(); // name -> Promise<AudioBuffer>
    this.frase_in_corso = null; // {sorgenti, fine, risolvi}
    // What the phrases started, for the tests and the benchmark: one entry per
    // clip, {nome, inizio, durata} in the audio clock's seconds.
    this.programma = [];
    this.effetti = []; // likewise the effects asked for, {nome, quando}, whether or not audible
    this.musica_sorgente = null;
    this.musica_suona = false;
  }

  // The audio context, made or resumed inside a gesture.
  sblocca() {
    if (!this.contesto) {
      const Contesto = window.AudioContext || window.webkitAudioContext;
      if (!Contesto) return false;
      this.contesto = new Contesto({ latencyHint: 'interactive' });
      this.volume = this.contesto.createGain();
      this.volume.connect(this.contesto.destination);
      this.volume_musica = this.contesto.createGain();
      this.volume_musica.gain.value = 0.5;
      this.volume_musica.connect(this.contesto.destination);
    }
    if (this.contesto.state === 'suspended') this.contesto.resume();
    return true;
  }

  pronto() {
    return this.contesto !== null;
  }

  // The sound `nome` decoded, loaded once; null when it cannot be (a missing
  // file, no audio): the page goes on silent rather than stopping.
  carica(nome) {
    if (!this.contesto) return Promise.resolve(null);
    if (!this.buffer.has(nome)) {
      const p = fetch(this.radice + nome + '.ogg')
        .then((r) => {
          if (!r.ok) throw new Error(`${nome}: ${r.status}`);
          return r.arrayBuffer();
        })
        .then((dati) => this.contesto.decodeAudioData(dati))
        .catch((e) => {
          console.warn('Suono non disponibile:', e.message || e);
          this.buffer.delete(nome); // tried again next time
          return null;
        });
      this.buffer.set(nome, p);
    }
    return this.buffer.get(nome);
  }

  // Loads sounds ahead, so that the first key's tone is not late.
  precarica(nomi) {
    return Promise.all(nomi.map((n) => this.carica(n)));
  }

  _sorgente(buffer, uscita) {
    const s = this.contesto.createBufferSource();
    s.buffer = buffer;
    s.connect(uscita);
    return s;
  }

  // An effect, at once and over whatever plays; `piano` softer (the practice's quiet mode).
  // Resolves with its duration in seconds (0 when silent).
  async effetto(nome, { piano = false } = {}) {
    this.effetti.push({ nome, quando: performance.now() });
    const b = await this.carica(nome);
    if (!b) return 0;
    let uscita = this.volume;
    if (piano) {
      uscita = this.contesto.createGain();
      uscita.gain.value = 0.35;
      uscita.connect(this.volume);
    }
    this._sorgente(b, uscita).start();
    return b.duration;
  }

  // Says the clips `nomi` one after the other with no gap, dropping a phrase
  // still under way. Resolves true once the last has ended, false when
  // another phrase or ferma() cut it short.
  async frase(nomi, { dopo = 0 } = {}) {
    this.ferma();
    const mia = { sorgenti: [], risolvi: null, fermata: false };
    this.frase_in_corso = mia;
    const buffer = await Promise.all(nomi.map((n) => this.carica(n)));
    if (mia.fermata || !this.contesto) return false;
    let t = this.contesto.currentTime + ANTICIPO + dopo;
    return new Promise((risolvi) => {
      mia.risolvi = risolvi;
      let ultima = null;
      nomi.forEach((nome, i) => {
        const b = buffer[i];
        if (!b) return; // a clip that cannot be had is left out, the rest is said
        const s = this._sorgente(b, this.volume);
        s.start(t);
        this.programma.push({ nome, inizio: t, durata: b.duration });
        mia.sorgenti.push(s);
        t += b.duration;
        ultima = s;
      });
      if (!ultima) {
        this.frase_in_corso = null;
        risolvi(true);
        return;
      }
      ultima.onended = () => {
        if (mia.fermata) return;
        if (this.frase_in_corso === mia) this.frase_in_corso = null;
        risolvi(true);
      };
    });
  }

  parla() {
    return this.frase_in_corso !== null;
  }

  // Drops what is left of the phrase under way.
  ferma() {
    const f = this.frase_in_corso;
    if (!f) return;
    this.frase_in_corso = null;
    f.fermata = true;
    for (const s of f.sorgenti) {
      try {
        s.stop();
      } catch {
        // not started yet: nothing to stop
      }
    }
    if (f.risolvi) f.risolvi(false);
  }

  // The tune from its start (the music button's "Suona musica" and the
  // three-minute restart).
  async avvia_musica() {
    this.ferma_musica();
    this.musica_suona = true;
    const b = await this.carica('musica');
    if (!b || !this.musica_suona) return;
    this.ferma_musica();
    this.musica_suona = true;
    this.musica_sorgente = this._sorgente(b, this.volume_musica);
    this.musica_sorgente.start();
  }

  ferma_musica() {
    this.musica_suona = false;
    if (this.musica_sorgente) {
      try {
        this.musica_sorgente.stop();
      } catch {
        // already ended
      }
      this.musica_sorgente = null;
    }
  }

  // The practice's quiet mode: the tune softer or at its level.
  volume_della_musica(quanto) {
    if (this.volume_musica) this.volume_musica.gain.value = quanto;
  }
}
