// SPDX-License-Identifier: GPL-3.0-or-later
// The page: the explorer (a number typed, grouped, written in words, said,
// and its digits' places) and the switch to the practice. Every rule comes
// from the WebAssembly module; this file only shows and plays.
import { Suono } from './suono.js';
import { crea_tastierino, TASTI_CIFRE } from './tastierino.js';
import { avvia_esercizi } from './esercizi.js';
import { grafia, ricorda, memorizza } from './impostazioni.js';

const $ = (id) => document.getElementById(id);

const EFFETTI = ['g0', 'g1', 'g2', 'g3', 'g4', 'g5', 'g6', 'g7', 'g8', 'g9', 'asino', 'sparo',
  'uccello', 'inizio', 'gallo', 'cane', 'laser', 'vetro'];
const MINUTO = 60000;
const RIAVVII = 2; // the tune starts again on every third minute's tick

// The background: 256 bands from top to bottom, red by the digit (0..9 ×
// 25), green its complement, blue fading from 255 to 0.
function sfumatura(rosso) {
  const r = Math.max(0, Math.min(255, rosso));
  const g = 255 - r;
  return `linear-gradient(to bottom, rgb(${r} ${g} 255), rgb(${r} ${g} 0))`;
}

class Esploratore {
  constructor(M, suono) {
    this.M = M;
    this.suono = suono;
    this.confermato = null; // the digits confirmed, without leading zeros; null while typing
    this.lampeggio = null;
    this.in_conferma = false;
    this.ingresso = $('numero');
    this.lettere = $('lettere');
    this.avviso = $('avviso');
    this.colora('5');
    this.collega();
  }

  colora(carattere) {
    // The value of the leading digits, anything else 0, as the window tints.
    const v = /^\d+/.exec(carattere);
    $('sfondo').style.backgroundImage = sfumatura(Math.min(v ? Number(v[0].slice(0, 5)) : 0, 1000) * 25);
  }

  messaggio(testo) {
    this.avviso.textContent = '';
    // A fresh text each time, so that a screen reader says it again.
    requestAnimationFrame(() => {
      this.avviso.textContent = testo;
    });
    clearTimeout(this.via_avviso);
    this.via_avviso = setTimeout(() => {
      this.avviso.textContent = '';
    }, 5000);
  }

  collega() {
    const i = this.ingresso;
    i.addEventListener('keydown', (e) => this.tasto_giu(e));
    // Characters arrive here whatever typed them: a keyboard, a tablet's
    // own keyboard, a paste or dictation.
    i.addEventListener('beforeinput', (e) => this.prima_di_scrivere(e));
    $('invio').addEventListener('click', () => this.invio());
    $('nuovo').addEventListener('click', () => this.nuovo());
    $('ascolta').addEventListener('click', () => this.ascolta());
    $('scomponi').addEventListener('click', () => this.scomponi());
    $('fine').addEventListener('click', () => this.fine());
    crea_tastierino($('tastierino-esplora'), TASTI_CIFRE, (t) => this.tasto_su_schermo(t),
      'Tastierino del numero');
  }

  // A key of the on-screen keypad, as if typed in the box.
  tasto_su_schermo(tasto) {
    if (this.in_conferma) return;
    if (tasto === 'Enter') {
      this.invio();
      return;
    }
    if (this.confermato !== null) {
      this.suono.effetto('sparo');
      this.messaggio('Premi il pulsante Nuovo Numero per continuare con un nuovo numero');
      return;
    }
    if (tasto === 'Backspace') {
      this.suono.effetto('sparo');
      this.ingresso.value = this.ingresso.value.slice(0, -1);
      return;
    }
    this.cifra(tasto);
  }

  cifra(c) {
    this.colora(c);
    // The tone sounds even when the box is full: the key was pressed.
    this.suono.effetto('g' + c);
    if (this.ingresso.value.length < this.M.cifre_massime()) this.ingresso.value += c;
  }

  tasto_giu(e) {
    if (e.isComposing || e.ctrlKey || e.altKey || e.metaKey) return;
    // While the words arrive the box is closed: keys fall, as on the desktop.
    if (this.in_conferma) {
      if (e.key !== 'Tab') e.preventDefault();
      return;
    }
    if (e.key === 'Enter' && this.confermato === null) {
      e.preventDefault();
      this.invio();
    } else if (this.confermato !== null && (e.key.length === 1 || e.key === 'Backspace' ||
        e.key === 'Delete' || e.key === 'Enter')) {
      e.preventDefault();
      this.suono.effetto('sparo');
      this.messaggio('Premi il pulsante Nuovo Numero per continuare con un nuovo numero');
    } else if (e.key === 'Backspace' || e.key === 'Delete') {
      // The box deletes as boxes do; the shot says so.
      this.suono.effetto('sparo');
    }
  }

  prima_di_scrivere(e) {
    if (!e.inputType.startsWith('insert')) return;
    e.preventDefault();
    if (this.confermato !== null || this.in_conferma) return;
    for (const c of e.data ?? '') {
      if (c >= '0' && c <= '9') {
        this.cifra(c);
      } else {
        // Anything but a digit: the bray, the gradient of a non-digit, nothing typed.
        this.colora(c);
        this.suono.effetto('asino');
      }
    }
  }

  async invio() {
    if (this.confermato !== null || this.in_conferma || this.ingresso.value === '') return;
    this.in_conferma = true;
    const cifre = this.ingresso.value;
    $('invio').disabled = true;
    this.lettere.hidden = false;
    $('azioni').hidden = false;
    this.suono.effetto('uccello');
    this.confermato = this.M.senza_zeri(cifre);
    this.ingresso.readOnly = true;
    this.ingresso.value = this.M.raggruppa(cifre);
    let parole = this.M.in_lettere(this.confermato, grafia());
    if (parole) parole = parole[0].toUpperCase() + parole.slice(1);
    // The words are ready now; they slide in, then the buttons wake up.
    this.lettere.dataset.parole = parole;
    this.lettere.setAttribute('aria-label', parole || this.ingresso.value);
    await this.animazione(parole);
    this.suono.effetto('inizio');
    for (const id of ['nuovo', 'ascolta', 'scomponi']) $(id).disabled = false;
    this.in_conferma = false;
    $('nuovo').focus();
  }

  // The words slide in from the right along one line, the box flashing red
  // and yellow, two characters a frame every 20 ms; over 95 characters they
  // appear at once.
  animazione(parole) {
    const L = [...parole].length;
    const primo = 190 + (L % 2) - L;
    const box = this.lettere;
    box.classList.add('in-arrivo');
    const passi = [];
    for (let k = primo; k >= L; k -= 2) passi.push(k);
    return new Promise((fatto) => {
      const fine = () => {
        box.classList.remove('in-arrivo', 'giallo');
        box.textContent = parole;
        fatto();
      };
      if (passi.length === 0 || matchMedia('(prefers-reduced-motion: reduce)').matches) {
        fine();
        return;
      }
      let i = 0;
      const passo = () => {
        if (i >= passi.length) {
          fine();
          return;
        }
        const k = passi[i++];
        box.classList.toggle('giallo', k % 10 === 0);
        box.textContent = '\u00a0'.repeat(k - L) + parole;
        setTimeout(passo, 20);
      };
      passo();
    });
  }

  ascolta() {
    if (this.confermato === null) return;
    this.ferma_posto();
    return this.suono.frase(this.M.clip_numero(this.confermato));
  }

  nuovo() {
    if (this.confermato === null) return;
    this.ferma_posto();
    this.suono.ferma();
    this.suono.effetto('gallo');
    $('invio').disabled = false;
    this.lettere.hidden = true;
    this.lettere.textContent = '';
    this.ingresso.readOnly = false;
    this.ingresso.value = '';
    this.colora(this.confermato.slice(0, 1));
    this.confermato = null;
    for (const id of ['nuovo', 'ascolta', 'scomponi']) $(id).disabled = true;
    this.chiudi_pannello();
    this.ingresso.focus();
  }

  chiudi_pannello() {
    $('pannello').hidden = true;
    $('scomponi').setAttribute('aria-expanded', 'false');
    this.ferma_lampeggio();
  }

  scomponi() {
    if (this.confermato === null) return;
    if (!$('pannello').hidden) {
      this.ferma_posto();
      this.suono.ferma();
      this.chiudi_pannello();
      this.suono.effetto('laser');
      return;
    }
    this.suono.effetto('cane');
    const cifre = $('cifre');
    cifre.replaceChildren();
    const n = this.confermato.slice(-12);
    // Twelve boxes, the number's digits at the right, the units last.
    for (let i = 0; i < 12; i++) {
      const k = i - (12 - n.length);
      const b = document.createElement('button');
      b.type = 'button';
      b.className = 'cifra';
      b.dataset.indice = String(i);
      if (k < 0) {
        b.hidden = true;
      } else {
        b.textContent = n[k];
        const posto = this.M.posto(Number(n[k]), 12 - i);
        b.setAttribute('aria-label', posto.testo);
        b.addEventListener('click', () => this.scegli(i));
      }
      cifre.append(b);
    }
    $('posto').textContent = '';
    $('pannello').hidden = false;
    $('scomponi').setAttribute('aria-expanded', 'true');
    cifre.querySelector('button:not([hidden])')?.focus();
  }

  // A digit box chosen: the laser, the digit red and blinking, its place
  // written, then said once the laser has ended.
  async scegli(indice) {
    this.ferma_posto();
    this.suono.ferma();
    const scatole = [...$('cifre').children];
    const b = scatole[indice];
    if (!b || b.hidden) return;
    for (const s of scatole) s.classList.remove('scelta', 'bianca');
    b.classList.add('scelta');
    b.setAttribute('aria-pressed', 'true');
    for (const s of scatole) if (s !== b) s.removeAttribute('aria-pressed');
    // The blink: a second red, a second white, from the click.
    this.lampeggio = setInterval(() => b.classList.toggle('bianca'), 1000);
    const posto = this.M.posto(Number(b.textContent), 12 - indice);
    $('posto').textContent = posto.testo;
    const mio = (this.turno_posto = (this.turno_posto ?? 0) + 1);
    const durata = await this.suono.effetto('laser');
    await new Promise((r) => setTimeout(r, durata * 1000));
    if (mio !== this.turno_posto) return; // another digit or button came first
    this.suono.frase(posto.clip);
  }

  ferma_lampeggio() {
    clearInterval(this.lampeggio);
    this.lampeggio = null;
    for (const s of $('cifre').children) s.classList.remove('scelta', 'bianca');
  }

  ferma_posto() {
    this.turno_posto = (this.turno_posto ?? 0) + 1;
  }

  fine() {
    this.ferma_posto();
    this.suono.ferma();
    musica.ferma();
    this.suono.effetto('vetro');
    $('esplora').hidden = true;
    $('esercizi').hidden = true;
    document.querySelector('.viste').hidden = true;
    $('saluto').hidden = false;
    $('ricomincia').focus();
  }
}

// The music button and the minute timer: the tune from the start, again on
// every third minute; "Pausa musica" stops both, "Suona musica" starts them.
class Musica {
  constructor(suono) {
    this.suono = suono;
    this.bottone = $('musica');
    this.conta = 0;
    this.timer = null;
    // A pause is remembered, as the desktop program remembers it.
    this.in_pausa = ricorda('musica') === 'pausa';
    if (this.in_pausa) this.mostra_pausa();
    this.bottone.addEventListener('click', () => this.commuta());
  }

  mostra_pausa() {
    this.bottone.textContent = 'Suona musica';
    this.bottone.setAttribute('aria-pressed', 'true');
  }

  avvia() {
    this.in_pausa = false;
    this.bottone.textContent = 'Pausa musica';
    this.bottone.setAttribute('aria-pressed', 'false');
    this.suono.avvia_musica();
    clearInterval(this.timer);
    this.timer = setInterval(() => this.minuto(), MINUTO);
  }

  minuto() {
    if (this.conta === RIAVVII) {
      this.conta = 0;
      this.suono.avvia_musica();
    } else {
      ++this.conta;
    }
  }

  ferma() {
    this.in_pausa = true;
    this.mostra_pausa();
    clearInterval(this.timer);
    this.timer = null;
    this.suono.ferma_musica();
  }

  commuta() {
    this.suono.sblocca();
    if (this.in_pausa) this.avvia();
    else this.ferma();
    memorizza('musica', this.in_pausa ? 'pausa' : 'suona');
  }
}

let musica;

// `esercizi()` makes the practice view the first time it is asked for, so
// that its page is not built before the explorer can answer a key.
function mostra_vista(nome, esercizi) {
  const esplora = nome === 'esplora';
  $('esplora').hidden = !esplora;
  $('vai-esplora').setAttribute('aria-pressed', String(esplora));
  $('vai-esercizi').setAttribute('aria-pressed', String(!esplora));
  if (esplora) {
    esercizi(false)?.nascondi();
    $('esercizi').hidden = true;
    $('numero').focus();
  } else {
    $('esercizi').hidden = false;
    esercizi(true).mostra();
  }
}

async function avvia() {
  const M = await window.creaContavoce();
  const suono = new Suono('suoni/');
  musica = new Musica(suono);
  const esploratore = new Esploratore(M, suono);
  let vista_esercizi = null;
  const esercizi = (crea) => {
    if (!vista_esercizi && crea) vista_esercizi = avvia_esercizi({ M, suono, radice: $('esercizi') });
    return vista_esercizi;
  };
  $('vai-esplora').addEventListener('click', () => mostra_vista('esplora', esercizi));
  $('vai-esercizi').addEventListener('click', () => mostra_vista('esercizi', esercizi));
  $('ricomincia').addEventListener('click', () => location.reload());
  // The first gesture opens the sound and starts the tune: browsers allow
  // audio only from then on.
  const primo_gesto = () => {
    if (!suono.sblocca()) return;
    suono.precarica(EFFETTI);
    if (!musica.in_pausa) musica.avvia();
    for (const t of ['keydown', 'pointerdown']) removeEventListener(t, primo_gesto, true);
  };
  for (const t of ['keydown', 'pointerdown']) addEventListener(t, primo_gesto, true);
  document.documentElement.dataset.pronto = 'si';
  // For the page's tests and the benchmark: the parts that are otherwise out of reach.
  window.contavoce = { M, suono, esploratore, musica };
  $('numero').focus();
}

if ('serviceWorker' in navigator && location.protocol !== 'file:') {
  navigator.serviceWorker.register('sw.js').catch((e) => console.warn('Niente uso offline:', e));
}
// contavoce.js is deferred: it has run before DOMContentLoaded, modules after it.
avvia().catch((e) => {
  $('avviso').textContent = 'Contavoce non è partito: ' + (e.message || e);
  throw e;
});
