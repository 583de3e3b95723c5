// SPDX-License-Identifier: GPL-3.0-or-later
// The practice: the program asks, the child answers, the program checks.
// "Chi gioca?" first, then the class year, level and kind with the child's
// stars, then a round of questions, each shown and said, answered by
// keyboard, on-screen keys or buttons; praise or a hint, the right answer
// after a second miss, and the end with the stars and the mistakes. Every
// rule comes from the module; this file only shows, plays and keeps.
import { crea_tastierino } from './tastierino.js';
import * as progressi from './progressi.js';
import { grafia, memorizza, ricorda, scegli_grafia } from './impostazioni.js';

const LUNGHEZZA_RISPOSTA = 160;
// Milliseconds: after the praise has been said, before the next question;
// after the right answer has been said, time to read it; with no sound at
// all, time to read the praise.
const PAUSA_DOPO_LODE = 300;
const PAUSA_DOPO_ERRORE = 1500;
const PAUSA_SENZA_VOCE = 1200;
const MUSICA_PIANO = 0.15;
const MUSICA_NORMALE = 0.5;

const STATO_DETTO = {
  da_fare: 'da fare',
  in_corso: 'adesso',
  riprova: 'da riprovare',
  giusta: 'giusta',
  giusta_al_secondo: 'giusta al secondo tentativo',
  sbagliata: 'sbagliata',
};

const STELLE_DETTE = ['non ancora giocato', 'una stella', 'due stelle', 'tre stelle'];

const ORDINALI = ['prima', 'seconda', 'terza', 'quarta', 'quinta', 'sesta', 'settima', 'ottava',
  'nona', 'decima', 'undicesima', 'dodicesima', 'tredicesima', 'quattordicesima', 'quindicesima'];

const TASTI_CIFRE = [
  ['1', '2', '3', '4', '5', '6', '7'].map((t) => ({ tasto: t })),
  [
    { tasto: '8' }, { tasto: '9' }, { tasto: '0' },
    { tasto: ',', nome: 'virgola' },
    { tasto: 'Backspace', etichetta: '⌫', nome: 'Cancella' },
    { tasto: 'Enter', etichetta: 'OK', nome: 'OK, controlla', classe: 'tasto-ok' },
  ],
];

const lettere = (riga) => [...riga].map((l) => ({
  tasto: l,
  ...(l === "'" ? { nome: 'apostrofo' } : l === '-' ? { nome: 'trattino' } : {}),
}));
const TASTI_LETTERE = [
  lettere('qwertyuiop'),
  lettere("asdfghjkl'"),
  [...lettere('zxcvbnm-'), { tasto: ' ', etichetta: 'spazio', classe: 'tasto-largo' }],
  [
    ...lettere('àèéìòù'),
    { tasto: 'Backspace', etichetta: '⌫', nome: 'Cancella', classe: 'tasto-largo' },
    { tasto: 'Enter', etichetta: 'OK', nome: 'OK, controlla', classe: 'tasto-ok' },
  ],
];

// An element with attributes (properties for the few that are not
// attributes: textContent, hidden, checked...) and children.
function el(tag, attributi = {}, ...figli) {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(attributi)) {
    if (v === null || v === undefined || v === false) continue;
    if (k in PROPRIETA) e[k] = v;
    else e.setAttribute(k, v === true ? '' : String(v));
  }
  e.append(...figli.flat().filter((f) => f !== null && f !== undefined && f !== false));
  return e;
}
const PROPRIETA = { textContent: 1, hidden: 1, checked: 1, value: 1, type: 1, className: 1 };

function bottone(testo, attributi = {}) {
  return el('button', { type: 'button', textContent: testo, ...attributi });
}

// The seed of the address (?seme=7), a whole number of up to 64 bits, as the
// module takes it; null when there is none or it is not one.
function seme_da_indirizzo() {
  const s = new URLSearchParams(location.search).get('seme');
  if (s === null) return null;
  if (!/^\d{1,20}$/.test(s) || BigInt(s) > 2n ** 64n - 1n) {
    console.warn('Seme non valido nell\'indirizzo:', s);
    return null;
  }
  return BigInt(s).toString();
}

function messaggio_di(e) {
  return (e && e.message) || String(e);
}

class Esercizi {
  constructor(M, suono, radice) {
    this.M = M;
    this.suono = suono;
    this.radice = radice;
    this.classi = M.classi();
    this.tipi = M.tipi();
    this.seme = seme_da_indirizzo();
    this.giocatore = null; // {nome, tenuto}: nome null for a guest; tenuto false when nothing can be kept
    this.giri_giocatore = []; // the finished rounds of the child playing, oldest first
    this.giro = null;
    this.conta = true; // the round earns stars (not "Rifai gli errori")
    this.impostazioni = null; // {classe, livello, tipo} of the round under way
    this.lezione = null;
    this.domanda = null;
    // null while the child may answer; 'giusta' or 'sbagliata' once the
    // question is answered, until the next one; 'fine' at the end.
    this.attesa = null;
    this.turno = 0; // bumped to drop what an earlier sound or timer would do
    this.timer = null;
    this.effetti = 0; // the cheerful effects take turns
    this.silenzio = false;
    this.registro_pronto = true; // false: IndexedDB cannot be had
    this.avviso_registro = null; // what could not be kept, told once
    this.visibile = false;
    this.mostrata = false;
    this.occupato = false; // a name being added or a child's rounds being read
    this.volta_chi = 0; // "Chi gioca?" shown anew or left while the names were read
    this.costruisci();
    this.collega();
    // The quiet mode is the classroom's, not the child's: kept on this device.
    this.silenzio = this.silenzio_spunta.checked = ricorda('esercizi.silenzio') === 'si';
  }

  // ---------------------------------------------------------------- the page

  costruisci() {
    const r = this.radice;
    r.replaceChildren();
    r.classList.add('esercizi');
    this.descrizioni = el('div', { hidden: true });

    // "Chi gioca?"
    this.avviso = el('p', { id: 'es-avviso', class: 'es-avviso', role: 'status', 'aria-live': 'polite' });
    this.lista_bambini = el('ul', { class: 'es-bambini', 'aria-labelledby': 'es-chi-titolo' });
    this.ospite = bottone('Ospite', { id: 'chi-ospite' });
    this.descrivi(this.ospite, 'Gioca senza conservare i progressi');
    this.nome = el('input', {
      id: 'chi-nome', type: 'text', maxlength: 40, autocomplete: 'off', autocapitalize: 'words',
      spellcheck: 'false', enterkeyhint: 'done',
    });
    this.descrivi(this.nome, 'Scrivi il tuo nome e premi Invio');
    this.aggiungi = bottone('Aggiungi', { id: 'chi-aggiungi' });
    this.file_lezione = el('input', { type: 'file', accept: '.txt,.ini', hidden: true, id: 'es-file-lezione' });
    this.apri_lezione_bottone = bottone('Apri una lezione…', { id: 'es-apri-lezione', class: 'es-lezione-bottone' });
    this.descrivi(this.apri_lezione_bottone, 'Il giro preparato dall\'insegnante, da un file');
    this.chi = el('div', { class: 'es-chi' },
      el('h2', { id: 'es-chi-titolo', class: 'es-titolo', textContent: 'Chi gioca?' }),
      this.avviso,
      this.lista_bambini,
      el('div', { class: 'es-riga' }, this.ospite),
      el('div', { class: 'es-riga es-nuovo' },
        el('label', { for: 'chi-nome', textContent: 'Nuovo' }), this.nome, this.aggiungi),
      el('div', { class: 'es-riga' }, this.apri_lezione_bottone, this.file_lezione));

    // The choices of a round.
    this.classe = el('select', { id: 'classe' },
      this.classi.map((c) => el('option', { value: c.chiave, textContent: c.chiave })));
    this.classe.value = this.classi[0].chiave;
    this.livello = el('select', { id: 'livello' });
    this.tipo = el('select', { id: 'tipo' },
      this.tipi.map((t) => el('option', { value: t.chiave, textContent: t.nome })));
    this.domande = el('select', { id: 'domande' });
    const { minime, massime, di_norma } = this.M.domande_per_giro();
    for (let n = minime; n <= massime; ++n)
      this.domande.append(el('option', { value: n, textContent: String(n) }));
    this.domande.value = String(di_norma);
    this.descrivi(this.domande, `Domande per giro, da ${minime} a ${massime}`);
    this.inizia_bottone = bottone('Inizia', { id: 'inizia', class: 'es-principale' });
    this.descrivi(this.inizia_bottone, 'Comincia un giro di domande');
    this.silenzio_spunta = el('input', { type: 'checkbox', id: 'es-silenzio' });
    this.descrivi(this.silenzio_spunta, 'Musica e suoni più piani, per la classe');
    // The spelling is the one the explorer shows too, and kept like it.
    this.grafia = el('input', { type: 'checkbox', id: 'grafia-scuola',
      checked: grafia() === 'scolastica' });
    this.descrivi(this.grafia, 'Le parole scritte come a scuola: ventitré, un milione');
    const campo = (testo, controllo) => el('div', { class: 'es-campo' },
      el('label', { for: controllo.id, textContent: testo }), controllo);
    const spunta = (testo, controllo) => el('label', { class: 'es-spunta' },
      controllo, el('span', { textContent: testo }));
    this.impostazioni_barra = el('div', { class: 'es-impostazioni' },
      campo('Classe', this.classe), campo('Livello', this.livello), campo('Esercizio', this.tipo),
      campo('Domande', this.domande), this.inizia_bottone,
      spunta('In silenzio (classe)', this.silenzio_spunta), spunta('Grafia della scuola', this.grafia));
    this.nome_lezione = el('p', { class: 'es-nome-lezione', hidden: true });
    this.avviso_gioco = el('p', { class: 'es-avviso es-avviso-gioco', role: 'status', 'aria-live': 'polite' });

    // The child's stars and the step proposed.
    this.giocatore_riga = el('p', { class: 'es-giocatore' });
    this.tabella = el('table', { class: 'es-tabella' });
    this.proposta = el('p', { class: 'es-proposta' });
    this.progressi = el('div', { class: 'es-progressi' },
      el('p', { class: 'es-invito', textContent: 'Scegli la classe, il livello e l\'esercizio, poi premi Inizia.' }),
      this.giocatore_riga, this.tabella, this.proposta,
      el('div', { class: 'es-riga' }, bottone('Cambia giocatore', { class: 'es-cambia' })));

    // Where the round stands: shown during it and at its end.
    this.contatore = el('p', { id: 'contatore', class: 'es-contatore' });
    // One picture for screen readers (its label counts the dots), not a list of empty items.
    this.puntini = el('div', { class: 'es-puntini', role: 'img' });
    this.stato_giro = el('div', { class: 'es-stato', hidden: true }, this.contatore, this.puntini);

    // A question.
    this.consegna = el('h2', { id: 'es-consegna', class: 'es-consegna' });
    this.testo = el('p', { id: 'es-testo', class: 'es-testo' });
    this.risposta = el('input', {
      id: 'risposta', class: 'es-risposta', type: 'text', autocomplete: 'off', autocapitalize: 'off',
      spellcheck: 'false', maxlength: LUNGHEZZA_RISPOSTA, 'aria-describedby': 'es-consegna es-testo',
      enterkeyhint: 'done',
    });
    this.controlla_bottone = bottone('OK, controlla', { id: 'controlla', class: 'es-principale' });
    this.ripeti = bottone('Ripeti', { id: 'ripeti' });
    this.descrivi(this.ripeti, 'Fa sentire di nuovo la domanda');
    this.riga_risposta = el('div', { class: 'es-riga-risposta' },
      el('label', { for: 'risposta', class: 'nascosto', textContent: 'Risposta' }),
      this.risposta, this.controlla_bottone);
    this.scelte = el('div', {
      class: 'es-scelte', role: 'group', 'aria-label': 'Le risposte: scegline una', hidden: true,
    });
    this.esito = el('div', { id: 'esito', class: 'es-esito', 'aria-live': 'polite' });
    this.avanti_bottone = bottone('Avanti', { id: 'avanti', class: 'es-principale', hidden: true });
    this.descrivi(this.avanti_bottone, 'La prossima domanda');
    this.riga_avanti = el('div', { class: 'es-riga', hidden: true }, this.avanti_bottone);
    this.tasti_cifre = el('div', { class: 'es-tasti es-tasti-cifre', hidden: true });
    this.tasti_lettere = el('div', { class: 'es-tasti es-tasti-lettere', hidden: true });
    crea_tastierino(this.tasti_cifre, TASTI_CIFRE, (t) => this.tasto(t), 'Tastierino delle cifre');
    crea_tastierino(this.tasti_lettere, TASTI_LETTERE, (t) => this.tasto(t), 'Tastiera delle lettere');
    this.domanda_vista = el('div', { class: 'es-domanda', hidden: true },
      this.consegna, this.testo,
      el('div', { class: 'es-riga es-risposte' }, this.riga_risposta, this.ripeti),
      this.scelte, this.esito, this.riga_avanti,
      this.tasti_cifre, this.tasti_lettere);

    // The end of a round.
    this.stelle = el('p', { class: 'es-stelle', role: 'img' });
    this.punteggio = el('h2', { class: 'es-punteggio' });
    this.errori = el('div', { class: 'es-elenco-errori' });
    this.avviso_fine = el('p', { class: 'es-avviso', role: 'status' });
    this.rifai = bottone('Rifai gli errori', { id: 'rifai' });
    this.descrivi(this.rifai, 'Un giro con le domande sbagliate');
    this.altro_giro = bottone('Un altro giro', { id: 'altro-giro', class: 'es-principale' });
    this.descrivi(this.altro_giro, 'Un giro nuovo con le stesse scelte');
    this.risultato = el('div', { id: 'risultato', class: 'es-risultato', hidden: true },
      this.stelle, this.punteggio, this.errori, this.avviso_fine,
      el('div', { class: 'es-riga' }, this.rifai, this.altro_giro,
        bottone('Cambia giocatore', { class: 'es-cambia' })));

    this.gioco = el('div', { class: 'es-gioco', hidden: true },
      this.impostazioni_barra, this.nome_lezione, this.avviso_gioco, this.progressi,
      this.stato_giro, this.domanda_vista, this.risultato);
    r.append(this.chi, this.gioco, this.descrizioni);
    this.aggiorna_livelli();
  }

  // A description read after the control's name, as the desktop's tooltips.
  descrivi(controllo, testo) {
    const id = `es-descrizione-${this.descrizioni.childElementCount + 1}`;
    this.descrizioni.append(el('span', { id, textContent: testo }));
    const gia = controllo.getAttribute('aria-describedby');
    controllo.setAttribute('aria-describedby', gia ? `${gia} ${id}` : id);
  }

  collega() {
    this.ospite.addEventListener('click', () => this.gioca_ospite());
    this.aggiungi.addEventListener('click', () => this.aggiungi_bambino());
    this.nome.addEventListener('keydown', (e) => {
      if (e.key === 'Enter' && !e.isComposing) {
        e.preventDefault();
        this.aggiungi_bambino();
      }
    });
    this.apri_lezione_bottone.addEventListener('click', () => this.file_lezione.click());
    this.file_lezione.addEventListener('change', () => this.leggi_file_lezione());
    this.classe.addEventListener('change', () => {
      this.aggiorna_livelli();
      this.mostra_progressi();
    });
    this.tipo.addEventListener('change', () => {
      this.proponi();
      this.mostra_progressi();
    });
    this.inizia_bottone.addEventListener('click', () => this.inizia());
    this.grafia.addEventListener('change', () =>
      scegli_grafia(this.grafia.checked ? 'scolastica' : 'originale'));
    this.silenzio_spunta.addEventListener('change', () => {
      this.silenzio = this.silenzio_spunta.checked;
      memorizza('esercizi.silenzio', this.silenzio ? 'si' : 'no');
      this.applica_musica();
    });
    for (const b of this.radice.querySelectorAll('.es-cambia'))
      b.addEventListener('click', () => this.mostra_chi());
    this.risposta.addEventListener('keydown', (e) => {
      if (e.key === 'Enter' && !e.isComposing) {
        e.preventDefault();
        this.controlla(this.risposta.value);
      }
    });
    this.controlla_bottone.addEventListener('click', () => this.controlla(this.risposta.value));
    this.ripeti.addEventListener('click', () => this.ripeti_domanda());
    this.avanti_bottone.addEventListener('click', () => this.avanti());
    this.rifai.addEventListener('click', () => this.rifai_errori());
    this.altro_giro.addEventListener('click', () => this.inizia());
    // A key of the screen keeps the focus where it is (the answer box), as
    // the desktop's keys do; by keyboard they are still reached with Tab.
    for (const t of [this.tasti_cifre, this.tasti_lettere])
      t.addEventListener('pointerdown', (e) => {
        if (e.target.closest('.tasto')) e.preventDefault();
      });
    // "<", ">" and "=" typed choose those signs.
    this.radice.addEventListener('keydown', (e) => this.tasto_di_scelta(e));
  }

  // ------------------------------------------------------------ the view

  mostra() {
    this.visibile = true;
    this.radice.hidden = false;
    this.applica_musica();
    if (!this.mostrata) {
      this.mostrata = true;
      this.mostra_chi();
      return;
    }
    if (!this.giocatore) {
      this.metti_fuoco_chi();
    } else if (this.giro && this.attesa === 'giusta') {
      // Left during the praise: the next question, as it would have come.
      this.avanti();
    } else if (this.giro && this.attesa === null && this.domanda) {
      this.fuoco_domanda();
      this.di_domanda();
    }
  }

  nascondi() {
    this.visibile = false;
    this.nuovo_turno();
    this.suono.ferma();
    this.suono.volume_della_musica(MUSICA_NORMALE);
  }

  applica_musica() {
    if (this.visibile) this.suono.volume_della_musica(this.silenzio ? MUSICA_PIANO : MUSICA_NORMALE);
  }

  nuovo_turno() {
    clearTimeout(this.timer);
    this.timer = null;
    return ++this.turno;
  }

  lascia_giro() {
    if (this.giro) this.giro.delete();
    this.giro = null;
    this.domanda = null;
    this.attesa = null;
  }

  // ------------------------------------------------------------ who plays

  async mostra_chi() {
    const mia = ++this.volta_chi;
    this.nuovo_turno();
    this.suono.ferma();
    this.lascia_giro();
    this.giocatore = null;
    this.giri_giocatore = [];
    this.gioco.hidden = true;
    this.chi.hidden = false;
    this.nome.value = '';
    let nomi = [];
    try {
      nomi = await progressi.bambini();
      this.registro_pronto = true;
    } catch (e) {
      this.registro_pronto = false;
      this.avviso_registro = null; // said here, not again at the end of a round
      this.scrivi_avviso(messaggio_di(e));
    }
    if (mia !== this.volta_chi) return; // a guest already playing
    this.lista_bambini.replaceChildren(...nomi.map((n) => el('li', {},
      bottone(n, { class: 'bambino' }))));
    for (const b of this.lista_bambini.querySelectorAll('.bambino'))
      b.addEventListener('click', () => this.gioca_bambino(b.textContent));
    this.lista_bambini.hidden = nomi.length === 0;
    const avviso = this.prendi_avviso();
    if (avviso) this.scrivi_avviso(avviso);
    else if (nomi.length === 0 && this.registro_pronto && !this.avviso.textContent)
      this.scrivi_avviso('Nessun nome ancora: scrivi il tuo qui sotto e premi Invio.');
    this.metti_fuoco_chi();
  }

  metti_fuoco_chi() {
    (this.lista_bambini.querySelector('.bambino') ?? this.nome).focus();
  }

  scrivi_avviso(testo) {
    annuncia(this.avviso, testo);
  }

  // The sentence about what could not be kept, once.
  prendi_avviso() {
    const a = this.avviso_registro;
    this.avviso_registro = null;
    return a;
  }

  async gioca_bambino(nome) {
    if (this.occupato) return;
    this.occupato = true;
    let giri = [];
    try {
      giri = await progressi.giri_di(nome);
    } catch (e) {
      this.avviso_registro = messaggio_di(e);
    } finally {
      this.occupato = false;
    }
    this.giocatore = { nome, tenuto: true };
    this.giri_giocatore = giri;
    this.gioca();
  }

  async aggiungi_bambino() {
    if (this.occupato) return;
    this.occupato = true;
    const scritto = this.nome.value;
    try {
      const nome = await progressi.aggiungi_bambino(scritto);
      this.giocatore = { nome, tenuto: true };
    } catch (e) {
      if (e.codice === 'nome') {
        this.scrivi_avviso(e.message);
        this.nome.select();
        this.nome.focus();
        return;
      }
      // Nothing can be kept: the child still plays, under the name typed.
      const c = progressi.controlla_nome(scritto);
      if (c.errore) {
        this.scrivi_avviso(c.errore);
        this.nome.focus();
        return;
      }
      this.giocatore = { nome: c.nome, tenuto: false };
      this.avviso_registro = messaggio_di(e);
    } finally {
      this.occupato = false;
    }
    this.giri_giocatore = [];
    this.gioca();
  }

  gioca_ospite() {
    if (this.occupato) return;
    this.giocatore = { nome: null, tenuto: false };
    this.giri_giocatore = [];
    this.gioca();
  }

  gioca() {
    ++this.volta_chi;
    this.chi.hidden = true;
    annuncia(this.avviso);
    this.gioco.hidden = false;
    this.avviso_gioco.textContent = this.prendi_avviso() ?? '';
    if (this.lezione) { // the teacher's round, the same for every child
      this.inizia();
      return;
    }
    this.proponi();
    this.mostra_progressi();
    this.tipo.focus();
  }

  // ------------------------------------------------------------ a lesson

  async leggi_file_lezione() {
    const file = this.file_lezione.files[0];
    this.file_lezione.value = ''; // the same file chosen again is read again
    if (!file) return;
    let letta;
    try {
      // More than any lesson can be: the module says it is too big.
      const byte = new Uint8Array(await file.slice(0, 65536).arrayBuffer());
      try {
        letta = this.M.leggi_lezione(new TextDecoder('utf-8', { fatal: true }).decode(byte));
      } catch {
        letta = this.M.leggi_lezione(new TextDecoder('utf-8').decode(byte));
        if (!letta.errore) letta = { errore: 'Il file contiene byte che non sono testo UTF-8.' };
      }
    } catch (e) {
      letta = { errore: `Il file non si legge (${messaggio_di(e)}).` };
    }
    if (letta.errore) {
      this.scrivi_avviso('Questa lezione non si apre. ' + letta.errore);
      return;
    }
    this.apri_lezione(letta);
    this.scrivi_avviso('Lezione pronta: ora scegli chi gioca.');
  }

  apri_lezione(lezione) {
    this.lezione = lezione;
    this.classe.value = lezione.classe;
    this.aggiorna_livelli();
    this.livello.value = String(lezione.livello);
    this.tipo.value = lezione.tipi[0];
    if ([...this.domande.options].some((o) => o.value === String(lezione.domande)))
      this.domande.value = String(lezione.domande);
    if (lezione.grafia) this.grafia.checked = lezione.grafia === 'scolastica';
    this.nome_lezione.textContent = lezione.titolo ? `Lezione: ${lezione.titolo}` : 'Lezione dell\'insegnante';
    this.nome_lezione.hidden = false;
  }

  lascia_lezione() {
    this.lezione = null;
    this.nome_lezione.hidden = true;
    this.nome_lezione.textContent = '';
  }

  // ------------------------------------------------------------ the choices

  aggiorna_livelli() {
    const scelto = this.livello.value || '1';
    const classe = this.classi.find((c) => c.chiave === this.classe.value) ?? this.classi[0];
    this.livello.replaceChildren(...classe.livelli.map((l) =>
      el('option', { value: l.livello, textContent: `${l.livello}: ${l.descrizione}` })));
    this.livello.value = scelto;
    if (!this.livello.value) this.livello.value = '1';
  }

  // The step proposed for the chosen kind, put in the choices.
  proponi() {
    if (!this.giocatore || this.giocatore.nome === null) {
      this.proposta.textContent = '';
      return;
    }
    const passo = this.M.prossimo_passo(this.giri_giocatore, this.tipo.value);
    if (!passo) {
      this.proposta.textContent = 'Scegli da dove cominciare.';
      return;
    }
    this.classe.value = passo.classe;
    this.aggiorna_livelli();
    this.livello.value = String(passo.livello);
    const dove = `${passo.classe}, livello ${passo.livello}.`;
    this.proposta.textContent = {
      avanti: 'Ottimo lavoro! Ti propongo il passo dopo: ',
      indietro: 'Ti propongo di esercitarti un po\' su: ',
      resta: 'Ti propongo di continuare con: ',
    }[passo.verso] + dove;
  }

  mostra_progressi() {
    if (this.giro && !this.giro.finito()) return;
    this.risultato.hidden = true;
    this.stato_giro.hidden = true;
    this.domanda_vista.hidden = true;
    this.progressi.hidden = false;
    if (!this.giocatore || this.giocatore.nome === null) {
      this.giocatore_riga.textContent = 'Gioca un ospite: questa volta i progressi non vengono conservati.';
      this.tabella.replaceChildren();
      this.tabella.hidden = true;
      this.proposta.textContent = '';
      return;
    }
    const classe = this.classe.value;
    this.giocatore_riga.replaceChildren(el('strong', { textContent: this.giocatore.nome }),
      `: le stelle in ${classe}`);
    const livelli = [1, 2, 3];
    const intestazione = el('tr', {}, el('th', { scope: 'col', textContent: 'Esercizio' }),
      livelli.map((l) => el('th', { scope: 'col', textContent: `Livello ${l}` })));
    const righe = this.tipi.map((t) => el('tr', {},
      el('th', { scope: 'row', textContent: t.nome }),
      livelli.map((l) => {
        const n = this.M.stelle_migliori(this.giri_giocatore, classe, l, t.chiave);
        return el('td', {}, stelle_in_tabella(n));
      })));
    this.tabella.replaceChildren(el('caption', { class: 'nascosto', textContent: `Le stelle in ${classe}` }),
      el('thead', {}, intestazione), el('tbody', {}, righe));
    this.tabella.hidden = false;
  }

  // ------------------------------------------------------------ a round

  inizia() {
    const classe = this.classe.value;
    const livello = Number(this.livello.value);
    const tipo = this.tipo.value;
    const grafia = this.grafia.checked ? 'scolastica' : 'originale';
    // Another class year, level or kind chosen: the child's own round.
    const l = this.lezione;
    if (l && (l.classe !== classe || l.livello !== livello || l.tipi[0] !== tipo)) this.lascia_lezione();
    const opzioni = this.lezione
      ? { classe: l.classe, livello: l.livello, tipi: [...l.tipi], domande: l.domande, seme: l.seme,
        grafia: l.grafia ?? grafia }
      : { classe, livello, tipo, domande: Number(this.domande.value), grafia,
        ...(this.seme ? { seme: this.seme } : {}) };
    let nuovo;
    try {
      nuovo = new this.M.Giro(opzioni);
    } catch (e) {
      this.avviso_gioco.textContent = messaggio_di(e);
      return;
    }
    this.avviso_gioco.textContent = '';
    this.lascia_giro();
    this.giro = nuovo;
    this.conta = true;
    this.impostazioni = { classe: opzioni.classe, livello: opzioni.livello,
      tipo: opzioni.tipi ? opzioni.tipi[0] : opzioni.tipo };
    this.mostra_domanda();
  }

  mostra_domanda() {
    const d = this.giro.domanda();
    if (!d) {
      this.mostra_fine();
      return;
    }
    this.nuovo_turno();
    this.domanda = d;
    this.attesa = null;
    this.progressi.hidden = true;
    this.risultato.hidden = true;
    this.stato_giro.hidden = false;
    this.contatore.hidden = false;
    this.domanda_vista.hidden = false;
    this.contatore.textContent = `Domanda ${this.giro.indice() + 1} di ${this.giro.totale()}`;
    this.aggiorna_puntini();
    this.consegna.textContent = d.consegna;
    this.scrivi_testo(d);
    annuncia(this.esito);
    this.avanti_bottone.hidden = true;
    this.riga_avanti.hidden = true;
    const a_scelta = d.risposta === 'scelta';
    this.riga_risposta.hidden = a_scelta;
    this.risposta.value = '';
    this.risposta.readOnly = false;
    // The keys of the screen are the keyboard: the device's own would cover them.
    this.risposta.inputMode = 'none';
    this.risposta.classList.toggle('es-parole', d.risposta === 'lettere');
    this.tasti_cifre.hidden = d.risposta !== 'cifre';
    this.tasti_lettere.hidden = d.risposta !== 'lettere';
    this.scelte.hidden = !a_scelta;
    this.scelte.replaceChildren(...(a_scelta ? d.scelte : []).map((s) => {
      const b = bottone(s.sigla, { class: 'scelta', 'aria-label': s.nome });
      b.dataset.sigla = s.sigla;
      b.addEventListener('click', () => this.controlla(s.sigla));
      return b;
    }));
    this.fuoco_domanda();
    this.di_domanda();
  }

  fuoco_domanda() {
    if (!this.domanda) return;
    if (this.domanda.risposta === 'scelta') this.scelte.querySelector('.scelta')?.focus();
    else this.risposta.focus();
  }

  // The question's text, the digit asked about marked.
  scrivi_testo(d) {
    const t = d.testo;
    this.misura_testo(t);
    if (!t) {
      this.testo.replaceChildren(el('span', { 'aria-hidden': 'true', textContent: '? ? ?' }),
        el('span', { class: 'nascosto', textContent: 'Ascolta: premi Ripeti' }));
      return;
    }
    if (d.segnata_a > d.segnata_da && d.segnata_a <= t.length) {
      const segnata = t.slice(d.segnata_da, d.segnata_a);
      const posizione = [...t.slice(0, d.segnata_da)].filter((c) => c >= '0' && c <= '9').length;
      const ordinale = ORDINALI[posizione] ?? `${posizione + 1}ª`;
      this.testo.replaceChildren(t.slice(0, d.segnata_da),
        el('strong', { class: 'es-segnata', textContent: segnata }), t.slice(d.segnata_a),
        // The colour is not heard: the same said in words.
        el('span', { class: 'nascosto', textContent: ` Cifra segnata: ${segnata}, la ${ordinale} da sinistra.` }));
      return;
    }
    this.testo.textContent = t;
  }

  // Long words (a number of the fifth class in letters) get a smaller size, to fit a line.
  misura_testo(t) {
    this.testo.classList.toggle('es-lungo', [...t].length > 24);
  }

  aggiorna_puntini(corrente = this.giro.indice()) {
    const stati = this.giro.stati();
    this.puntini.replaceChildren(...stati.map((s, i) => el('span', {
      class: `es-puntino es-${s}${i === corrente ? ' es-corrente' : ''}`,
      title: `Domanda ${i + 1}: ${STATO_DETTO[s] ?? s}`,
    })));
    const conta = (...quali) => stati.filter((s) => quali.includes(s)).length;
    const parti = [
      `giuste ${conta('giusta')}`,
      `giuste al secondo tentativo ${conta('giusta_al_secondo')}`,
      `sbagliate ${conta('sbagliata')}`,
      `da fare ${conta('da_fare', 'in_corso', 'riprova')}`,
    ];
    this.puntini.setAttribute('aria-label', `Le domande del giro: ${parti.join(', ')}.`);
  }

  di_domanda() {
    if (!this.domanda || !this.visibile) return;
    this.applica_musica();
    this.suono.frase(this.domanda.clip);
  }

  ripeti_domanda() {
    if (!this.giro || this.giro.finito() || this.attesa !== null) return;
    this.di_domanda();
    this.fuoco_domanda();
  }

  // A key of the screen: typed into the answer box at the caret, or OK.
  tasto(t) {
    if (!this.giro || this.attesa !== null) return;
    const r = this.risposta;
    if (t === 'Enter') {
      this.controlla(r.value);
      return;
    }
    const da = r.selectionStart ?? r.value.length;
    const a = r.selectionEnd ?? da;
    if (t === 'Backspace') {
      if (a > da) r.setRangeText('', da, a, 'end');
      else if (da > 0) r.setRangeText('', da - 1, da, 'end');
    } else if (r.value.length - (a - da) + t.length <= LUNGHEZZA_RISPOSTA) {
      r.setRangeText(t, da, a, 'end');
    }
  }

  tasto_di_scelta(e) {
    if (!this.domanda || this.domanda.risposta !== 'scelta' || this.attesa !== null) return;
    if (e.ctrlKey || e.altKey || e.metaKey || e.key.length !== 1) return;
    if (e.target.closest('input, select, textarea')) return;
    const s = this.domanda.scelte.find((c) => c.sigla === e.key);
    if (!s) return;
    e.preventDefault();
    this.controlla(s.sigla);
  }

  controlla(scritto) {
    if (!this.giro || this.giro.finito() || this.attesa !== null || !this.domanda) return;
    const d = this.domanda;
    const v = this.giro.rispondi(scritto);
    this.aggiorna_puntini();
    switch (v.esito) {
      case 'vuota':
        annuncia(this.esito, v.messaggio || '');
        this.fuoco_domanda();
        return;
      case 'giusta':
        this.giusta(d);
        break;
      case 'riprova':
        this.riprova(d, scritto, v);
        break;
      case 'sbagliata':
        this.sbagliata(d, scritto);
        break;
      default:
        return;
    }
  }

  segna_scelta(sigla, classe) {
    const b = [...this.scelte.children].find((c) => c.dataset.sigla === sigla);
    if (b) b.classList.add(classe);
  }

  giusta(d) {
    this.attesa = 'giusta';
    this.risposta.readOnly = true;
    const lode = this.giro.lode();
    annuncia(this.esito, el('strong', { class: 'es-verde', textContent: this.M.testo_lode(lode) }));
    if (d.risposta === 'scelta') this.segna_scelta(d.attesa, 'es-giusta-scelta');
    this.loda(lode);
  }

  async loda(lode) {
    const mio = this.nuovo_turno();
    const effetto = this.effetti++ % 2 ? 'uccello' : 'gallo';
    this.applica_musica();
    let detto = false;
    try {
      const durata = await this.suono.effetto(effetto, { piano: this.silenzio });
      if (mio !== this.turno) return;
      detto = await this.suono.frase([lode], { dopo: durata });
    } catch (e) {
      console.warn('Suono non riuscito:', e);
    }
    if (mio !== this.turno) return;
    const sentito = detto && this.suono.pronto();
    this.timer = setTimeout(() => this.avanti(), sentito ? PAUSA_DOPO_LODE : PAUSA_SENZA_VOCE);
  }

  riprova(d, scritto, v) {
    const segnati = new Array(scritto.length).fill(false);
    for (const k of v.cifre_sbagliate) if (k >= 0 && k < segnati.length) segnati[k] = true;
    let mostrato = scritto;
    if (v.gruppo_sbagliato) {
      let [da, a] = v.gruppo_sbagliato;
      a = Math.min(a, scritto.length);
      if (a === da) { // what is missing is at the end
        mostrato += ' …';
        da = scritto.length;
        a = mostrato.length;
        segnati.length = mostrato.length;
        segnati.fill(false, scritto.length);
      }
      for (let k = da; k < a; ++k) segnati[k] = true;
    }
    if (v.mancano > 0) {
      // A mark the child sees for each digit still to type.
      mostrato += '?'.repeat(v.mancano);
      while (segnati.length < mostrato.length) segnati.push(true);
    }
    const figli = [el('strong', { class: 'es-rosso', textContent: 'Riprova.' }), ' ', v.messaggio];
    // A choice is marked on its button instead.
    if (mostrato && d.risposta !== 'scelta')
      figli.push(el('br'), el('span', { class: 'es-scritto' }, segna(mostrato, segnati)));
    annuncia(this.esito, ...figli);
    if (d.risposta === 'scelta') {
      this.segna_scelta(scritto, 'es-sbagliata-scelta');
    } else {
      // The next keys replace what was typed; the arrows keep it.
      this.risposta.select();
    }
    this.applica_musica();
    this.suono.frase(['es_riprova']);
  }

  sbagliata(d, scritto) {
    this.attesa = 'sbagliata';
    this.risposta.readOnly = true;
    const inizio = d.clip_attesa === 'es_numero_era' ? 'Il numero era ' : 'La risposta era ';
    annuncia(this.esito, inizio, el('strong', { class: 'es-verde', textContent: d.attesa }));
    if (d.risposta === 'scelta') {
      this.segna_scelta(scritto, 'es-sbagliata-scelta');
      this.segna_scelta(d.attesa, 'es-giusta-scelta');
    }
    this.avanti_bottone.hidden = false;
    this.riga_avanti.hidden = false;
    this.avanti_bottone.focus();
    this.di_risposta_giusta(d);
  }

  // The right answer said; once heard, and a moment to read it, the next
  // question comes by itself, as on the desktop. With no sound it waits for
  // "Avanti".
  async di_risposta_giusta(d) {
    const mio = this.nuovo_turno();
    this.applica_musica();
    const detto = await this.suono.frase([d.clip_attesa, ...d.clip_attesa_detta]);
    if (mio !== this.turno || !detto || !this.suono.pronto()) return;
    this.timer = setTimeout(() => this.avanti(), PAUSA_DOPO_ERRORE);
  }

  avanti() {
    if (!this.giro || (this.attesa !== 'giusta' && this.attesa !== 'sbagliata')) return;
    this.nuovo_turno();
    this.suono.ferma();
    if (this.giro.prossima()) this.mostra_domanda();
    else this.mostra_fine();
  }

  // ------------------------------------------------------------ the end

  async mostra_fine() {
    const giro = this.giro;
    this.nuovo_turno();
    this.attesa = 'fine';
    this.domanda = null;
    this.domanda_vista.hidden = true;
    this.progressi.hidden = true;
    this.contatore.hidden = true;
    this.stato_giro.hidden = false;
    this.aggiorna_puntini(giro.totale());
    const n = giro.stelle();
    this.stelle.replaceChildren(
      el('span', { class: 'es-oro', textContent: '★'.repeat(n) }),
      el('span', { class: 'es-grigio', textContent: '☆'.repeat(Math.max(0, 3 - n)) }));
    this.stelle.setAttribute('aria-label', n === 1 ? 'Una stella su tre' : `${n} stelle su tre`);
    this.punteggio.textContent = `${giro.giuste()} giuste su ${giro.totale()}`;
    const errori = giro.errori();
    // Only what is shown is in the page: nothing hidden for a reader to find.
    if (errori.length === 0) {
      this.errori.replaceChildren(el('p', { class: 'es-nessun-errore', textContent: 'Nessun errore!' }));
    } else {
      this.errori.replaceChildren(
        el('h3', { class: 'es-titolo-errori', id: 'es-titolo-errori',
          textContent: 'Le domande sbagliate, con la risposta giusta' }),
        el('ul', { class: 'es-errori', 'aria-labelledby': 'es-titolo-errori' }, errori.map((e) => el('li', {},
          `${e.testo || e.consegna}  →  `, el('strong', { textContent: e.attesa }),
          e.data ? `   (avevi scritto: ${e.data})` : ''))));
    }
    this.rifai.disabled = errori.length === 0;
    this.avviso_fine.textContent = '';
    this.risultato.hidden = false;
    (errori.length ? this.rifai : this.altro_giro).focus();
    this.suono.ferma();
    this.applica_musica();
    if (this.visibile) this.suono.effetto('inizio', { piano: this.silenzio });
    await this.salva(giro);
  }

  // The finished round kept for the child (a guest's and a round of the
  // mistakes again are not).
  async salva(giro) {
    const g = this.giocatore;
    if (!this.conta || !g || g.nome === null || !this.impostazioni) return;
    const esito = { ...this.impostazioni, giuste: giro.giuste(), totale: giro.totale() };
    // This child's list, even if another child is chosen while it is written.
    const giri = this.giri_giocatore;
    if (!g.tenuto) {
      giri.push(esito); // for this visit's stars at least
      return;
    }
    try {
      giri.push(await progressi.salva_giro(g.nome, esito));
    } catch (e) {
      giri.push(esito);
      if (g === this.giocatore) this.avviso_fine.textContent = messaggio_di(e);
    }
  }

  rifai_errori() {
    if (!this.giro || !this.giro.finito()) return;
    const di_nuovo = this.giro.rifai_errori();
    if (!di_nuovo) return;
    this.giro.delete();
    this.giro = di_nuovo;
    this.conta = false;
    this.mostra_domanda();
  }
}

// Puts `figli` in the live region `dove`; the same words again are put after
// a frame, so that a screen reader says them again.
function annuncia(dove, ...figli) {
  const prima = dove.textContent;
  const mio = {};
  dove.annuncio = mio;
  dove.replaceChildren(...figli);
  if (!prima || dove.textContent !== prima) return;
  const nodi = [...dove.childNodes];
  dove.replaceChildren();
  requestAnimationFrame(() => {
    if (dove.annuncio === mio) dove.replaceChildren(...nodi);
  });
}

// `testo` with the characters marked in `segnati` in red, underlined.
function segna(testo, segnati) {
  const pezzi = [];
  let i = 0;
  while (i < testo.length) {
    const s = Boolean(segnati[i]);
    let j = i + 1;
    while (j < testo.length && Boolean(segnati[j]) === s) ++j;
    const pezzo = testo.slice(i, j);
    pezzi.push(s ? el('strong', { class: 'es-segnata', textContent: pezzo }) : pezzo);
    i = j;
  }
  return pezzi;
}

function stelle_in_tabella(n) {
  const detto = el('span', { class: 'nascosto', textContent: STELLE_DETTE[n] ?? STELLE_DETTE[0] });
  if (!(n > 0)) return [el('span', { class: 'es-grigio', 'aria-hidden': 'true', textContent: '–' }), detto];
  return [el('span', { 'aria-hidden': 'true' },
    el('span', { class: 'es-oro', textContent: '★'.repeat(n) }),
    el('span', { class: 'es-grigio', textContent: '☆'.repeat(3 - n) })), detto];
}

export function avvia_esercizi({ M, suono, radice }) {
  const vista = new Esercizi(M, suono, radice);
  return {
    mostra: () => vista.mostra(),
    nascondi: () => vista.nascondi(),
  };
}
