// SPDX-License-Identifier: GPL-3.0-or-later
// The children of this device and the rounds they finished, kept in the
// browser's IndexedDB: nothing leaves the device. Every function is async and
// rejects with an ErroreProgressi whose message is one Italian sentence for
// the child; `codice` tells a refused name ('nome') from a store that cannot
// be had ('non_disponibile') or written ('scrittura').

const NOME_DB = 'contavoce';
const VERSIONE_DB = 1;
const LUNGHEZZA_MASSIMA_NOME = 40;

export const AVVISO_NON_DISPONIBILE =
  'I progressi non vengono salvati: questo browser non lascia conservare i dati.';
export const AVVISO_SCRITTURA = 'I progressi non vengono salvati: non riesco a scrivere il registro.';
export const AVVISO_PIENO = 'I progressi non vengono salvati: il disco è pieno.';

export class ErroreProgressi extends Error {
  constructor(messaggio, codice) {
    super(messaggio);
    this.name = 'ErroreProgressi';
    this.codice = codice;
  }
}

let db_aperto = null; // Promise<IDBDatabase>, dropped on failure so that a later call tries again

function apri() {
  if (db_aperto) return db_aperto;
  db_aperto = new Promise((fatto, fallito) => {
    let richiesta;
    try {
      // Some private modes have no indexedDB at all, others throw on open.
      if (!globalThis.indexedDB) throw new Error('no indexedDB');
      richiesta = indexedDB.open(NOME_DB, VERSIONE_DB);
    } catch {
      fallito(new ErroreProgressi(AVVISO_NON_DISPONIBILE, 'non_disponibile'));
      return;
    }
    richiesta.onupgradeneeded = () => {
      const db = richiesta.result;
      if (!db.objectStoreNames.contains('bambini')) db.createObjectStore('bambini', { keyPath: 'nome' });
      if (!db.objectStoreNames.contains('giri')) {
        const giri = db.createObjectStore('giri', { autoIncrement: true });
        giri.createIndex('bambino', 'bambino');
      }
    };
    richiesta.onsuccess = () => {
      const db = richiesta.result;
      // A newer page in another tab wants the database: let it have it, and
      // open it again on the next call.
      db.onversionchange = () => {
        db.close();
        db_aperto = null;
      };
      db.onclose = () => {
        db_aperto = null;
      };
      fatto(db);
    };
    richiesta.onerror = () => {
      fallito(new ErroreProgressi(AVVISO_NON_DISPONIBILE, 'non_disponibile'));
    };
    // Another tab holds an older version open: wait for it rather than fail.
    richiesta.onblocked = () => console.warn('Il registro dei progressi è aperto in un\'altra scheda.');
  });
  db_aperto.catch(() => {
    db_aperto = null;
  });
  return db_aperto;
}

function errore_di_scrittura(e) {
  const pieno = e && e.name === 'QuotaExceededError';
  return new ErroreProgressi(pieno ? AVVISO_PIENO : AVVISO_SCRITTURA, 'scrittura');
}

// Runs `lavoro(negozi)` in one transaction and resolves with what it put in
// `esito.valore` once the transaction has completed (written, for readwrite).
async function transazione(nomi, modo, lavoro) {
  const db = await apri();
  return new Promise((fatto, fallito) => {
    let t;
    try {
      t = db.transaction(nomi, modo);
    } catch (e) {
      fallito(modo === 'readwrite' ? errore_di_scrittura(e)
        : new ErroreProgressi(AVVISO_NON_DISPONIBILE, 'non_disponibile'));
      return;
    }
    const esito = { valore: undefined, rifiuto: null };
    t.oncomplete = () => (esito.rifiuto ? fallito(esito.rifiuto) : fatto(esito.valore));
    t.onabort = () => {
      fallito(esito.rifiuto ?? (modo === 'readwrite' ? errore_di_scrittura(t.error)
        : new ErroreProgressi(AVVISO_NON_DISPONIBILE, 'non_disponibile')));
    };
    const negozi = Object.fromEntries([nomi].flat().map((n) => [n, t.objectStore(n)]));
    lavoro(negozi, esito, t);
  });
}

// Lower case, for names that differ only by capitals: "Luca" and "luca" are one child.
function chiave(nome) {
  return nome.toLocaleLowerCase('it');
}

// The name as it is kept, or the reason it cannot be one (as the desktop register says it).
export function controlla_nome(nome) {
  const n = String(nome ?? '').normalize('NFC').trim();
  if (n === '') return { errore: 'Scrivi un nome.' };
  if ([...n].length > LUNGHEZZA_MASSIMA_NOME)
    return { errore: `Il nome è troppo lungo: al massimo ${LUNGHEZZA_MASSIMA_NOME} lettere.` };
  if (/[\u0000-\u001f\u007f-\u009f\u2028\u2029]/.test(n))
    return { errore: 'Il nome può avere solo lettere, spazi e segni che si vedono.' };
  return { nome: n };
}

// The children's names, in alphabetical order.
export async function bambini() {
  const tutti = await transazione('bambini', 'readonly', (n, esito) => {
    const r = n.bambini.getAll();
    r.onsuccess = () => {
      esito.valore = r.result;
    };
  });
  return tutti.map((b) => b.nome).sort((a, b) => a.localeCompare(b, 'it', { sensitivity: 'base' }));
}

// Adds a child; resolves with the name as kept.
export async function aggiungi_bambino(nome) {
  const c = controlla_nome(nome);
  if (c.errore) throw new ErroreProgressi(c.errore, 'nome');
  return transazione('bambini', 'readwrite', (n, esito, t) => {
    // The look for a double and the addition in one transaction: two tabs
    // adding the same name cannot both succeed.
    const r = n.bambini.getAll();
    r.onsuccess = () => {
      const doppio = r.result.find((b) => chiave(b.nome) === chiave(c.nome));
      if (doppio) {
        esito.rifiuto = new ErroreProgressi(
          `C'è già un bambino che si chiama ${doppio.nome}: scegli il suo nome nella lista.`, 'nome');
        t.abort();
        return;
      }
      n.bambini.add({ nome: c.nome, creato: new Date().toISOString() });
      esito.valore = c.nome;
    };
  });
}

// The rounds `nome` finished, oldest first: {classe, livello, tipo, giuste, totale, quando}.
export async function giri_di(nome) {
  return transazione('giri', 'readonly', (n, esito) => {
    // Keys grow with each round: the index gives them in the order they were kept.
    const r = n.giri.index('bambino').getAll(String(nome));
    r.onsuccess = () => {
      esito.valore = r.result.map(({ classe, livello, tipo, giuste, totale, quando }) =>
        ({ classe, livello, tipo, giuste, totale, quando }));
    };
  });
}

// Keeps a finished round of `nome`: esito = {classe, livello, tipo, giuste, totale}.
export async function salva_giro(nome, esito) {
  const { classe, livello, tipo, giuste, totale } = esito ?? {};
  if (typeof classe !== 'string' || typeof tipo !== 'string' || !Number.isInteger(livello) ||
      !Number.isInteger(giuste) || !Number.isInteger(totale) || giuste < 0 || giuste > totale)
    throw new ErroreProgressi(AVVISO_SCRITTURA, 'scrittura');
  const giro = { bambino: String(nome), classe, livello, tipo, giuste, totale,
    quando: new Date().toISOString() };
  await transazione('giri', 'readwrite', (n) => {
    n.giri.add(giro);
  });
  return giro;
}
