// SPDX-License-Identifier: GPL-3.0-or-later
// The browser module against the native libraries: reads web_tabella's lines
// on stdin, computes each with the WebAssembly module and stops at the first
// difference. Usage: web_tabella | node confronto.js build/web
'use strict';
const fs = require('fs');
const path = require('path');
const readline = require('readline');

const sito = process.argv[2];
const byte = (s, i) => Buffer.byteLength(s.slice(0, i));

async function main() {
  const crea = require(path.resolve(sito, 'contavoce.js'));
  // Node's fetch does not take file paths: the module gets its bytes directly.
  const M = await crea({ wasmBinary: fs.readFileSync(path.join(sito, 'contavoce.wasm')) });
  let riga = 0;
  let contati = { N: 0, P: 0, G: 0, D: 0 };
  let giro = null;
  let domanda = null;
  const diverso = (atteso, avuto) => {
    console.error(`riga ${riga}: il modulo dà\n  ${avuto}\ninvece di\n  ${atteso}`);
    process.exit(1);
  };
  const rl = readline.createInterface({ input: process.stdin, crlfDelay: Infinity });
  for await (const linea of rl) {
    ++riga;
    const f = linea.split('\t');
    let avuto;
    switch (f[0]) {
      case 'N': {
        const c = f[1];
        avuto = ['N', c, M.in_lettere(c, 'originale'), M.in_lettere(c, 'scolastica'),
          M.raggruppa(c), M.senza_zeri(c), M.clip_numero(c).join(',')];
        break;
      }
      case 'P': {
        const p = M.posto(Number(f[1]), Number(f[2]));
        avuto = ['P', f[1], f[2], p.testo, p.clip.join(',')];
        break;
      }
      case 'G':
        if (giro) giro.delete();
        giro = new M.Giro({ classe: f[1], livello: Number(f[2]), tipo: f[3], domande: 6,
          seme: f[4], grafia: 'scolastica' });
        avuto = f;
        break;
      case 'D': {
        const d = (domanda = giro.domanda());
        const scelte = d.scelte.map((s) => `${s.sigla}|${s.nome}|${s.clip.join(',')};`).join('');
        avuto = ['D', d.consegna, d.testo, String(byte(d.testo, d.segnata_da)),
          String(byte(d.testo, d.segnata_a)), d.attesa, d.clip.join(','), d.clip_attesa,
          d.clip_attesa_detta.join(','), scelte, d.numero];
        break;
      }
      case 'R': {
        const r = f[1];
        const v = giro.rispondi(r);
        const esiti = ['vuota', 'giusta', 'riprova', 'sbagliata'];
        const g = v.gruppo_sbagliato;
        avuto = ['R', r, String(esiti.indexOf(v.esito)), v.giusta ? '1' : '0', v.messaggio,
          v.cifre_sbagliate.map((i) => byte(r, i) + ',').join(''), String(v.mancano),
          g ? `${byte(r, g[0])}-${byte(r, g[1])}` : ''];
        break;
      }
      case 'L':
        avuto = ['L', giro.chiusa() ? giro.lode() : ''];
        giro.prossima();
        break;
      case 'F':
        avuto = ['F', String(giro.giuste()), String(giro.giuste_al_primo()),
          String(giro.stelle()), String(giro.errori().length)];
        break;
      default:
        diverso('una riga nota', linea);
    }
    if (f[0] in contati) ++contati[f[0]];
    const testo = avuto.join('\t');
    if (testo !== linea) diverso(linea, testo);
  }
  if (contati.N < 1000000 || contati.D === 0) {
    console.error(`Troppo poco da confrontare: ${JSON.stringify(contati)}`);
    process.exit(1);
  }
  console.log(`uguali: ${contati.N} numeri, ${contati.P} posti, ${contati.G} giri, ${contati.D} domande`);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
