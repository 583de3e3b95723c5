// SPDX-License-Identifier: GPL-3.0-or-later
// The page in Debian's Chromium, headless, as a child and a teacher use it:
// a number typed, grouped and in words; "Ascolta" and the clips it scheduled;
// the panel and a digit's place; a practice round with a right and a wrong
// answer; the page again with the server gone; axe-core's accessibility
// check; every control at least 48 px; screenshots at 1920×1080 and 768×1024.
// Usage: node pagina.js SITE_FOLDER SCREENSHOT_FOLDER
'use strict';
const fs = require('fs');
const path = require('path');
const puppeteer = require('puppeteer-core');
const { servi } = require('../../web/servitore.js');

const [sito, schermate] = process.argv.slice(2);
const CHROMIUM = process.env.CONTAVOCE_CHROMIUM || '/usr/bin/chromium';
const attendi = (ms) => new Promise((r) => setTimeout(r, ms));
let errori = 0;
function verifica(cond, cosa, dettagli = '') {
  if (cond) {
    console.log(`ok   ${cosa}`);
  } else {
    ++errori;
    console.log(`FAIL ${cosa} ${dettagli}`);
  }
}

async function testo(p, sel) {
  return p.$eval(sel, (e) => e.textContent.trim());
}

// Every visible control at least 48×48 CSS pixels: a child's finger on a tablet.
async function bersagli_piccoli(p) {
  return p.evaluate(() => [...document.querySelectorAll('button, input, select, a, [role=button]')]
    .filter((e) => e.offsetParent !== null && getComputedStyle(e).visibility !== 'hidden')
    .map((e) => [e, e.getBoundingClientRect()])
    .filter(([, r]) => (r.width < 48 || r.height < 48) && r.width * r.height > 0)
    .filter(([e]) => !(e.type === 'checkbox' && e.closest('label')?.getBoundingClientRect().height >= 48))
    .map(([e, r]) => `${e.id || e.className || e.tagName} ${Math.round(r.width)}×${Math.round(r.height)}`));
}

async function accessibilita(p, dove) {
  await p.addScriptTag({ path: require.resolve('axe-core/axe.min.js') });
  const r = await p.evaluate(() => axe.run(document, {
    runOnly: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'best-practice'],
  }));
  const gravi = r.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical');
  verifica(gravi.length === 0, `axe: nessun problema grave (${dove})`,
    gravi.map((v) => `\n  ${v.id}: ${v.help} — ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`).join(''));
  const piccoli = await bersagli_piccoli(p);
  verifica(piccoli.length === 0, `bersagli di almeno 48 px (${dove})`, piccoli.join(', '));
}

// The whiteboard, the upright tablet and that tablet zoomed to 150%: a
// screenshot and the checks at each, nothing to scroll sideways.
async function alle_due_misure(p, vista) {
  for (const [w, h, zoom] of [[1920, 1080, 1], [768, 1024, 1], [512, 683, 1.5]]) {
    await p.setViewport({ width: w, height: h, deviceScaleFactor: zoom });
    await attendi(200);
    await p.screenshot({ path: path.join(schermate, `${vista}-${w}x${h}.png`), fullPage: w < h });
    await accessibilita(p, `${vista}, ${w}×${h}`);
    const di_lato = await p.evaluate(() => document.documentElement.scrollWidth - innerWidth);
    verifica(di_lato <= 0, `niente da scorrere di lato (${vista}, ${w}×${h})`, `${di_lato} px`);
  }
  await p.setViewport({ width: 1920, height: 1080 });
}

async function esplora(p) {
  await p.waitForSelector('html[data-pronto]');
  await p.focus('#numero');
  await p.keyboard.type('0a2304');
  verifica(await p.$eval('#numero', (e) => e.value) === '02304', 'solo le cifre entrano nella casella');
  await p.keyboard.press('Enter');
  await p.waitForFunction(() => !document.getElementById('nuovo').disabled, { timeout: 10000 });
  const effetti = await p.evaluate(() => window.contavoce.suono.effetti.map((e) => e.nome).join(' '));
  verifica(effetti === 'g0 asino g2 g3 g0 g4 uccello inizio',
    'i suoni dei tasti: le note, l\'asino, l\'uccello e l\'inizio', effetti);
  verifica(await p.$eval('html', () => getComputedStyle(document.getElementById('sfondo')).backgroundImage)
    === 'linear-gradient(rgb(100, 155, 255), rgb(100, 155, 0))', 'lo sfondo segue l\'ultima cifra (4)');
  verifica(await p.$eval('#numero', (e) => e.value) === '2.304', 'il numero raggruppato: 2.304');
  verifica(await testo(p, '#lettere') === 'Duemilatrecentoquattro', 'le lettere: Duemilatrecentoquattro');

  const prima = await p.evaluate(() => window.contavoce.suono.programma.length);
  const t0 = await p.evaluate(() => window.contavoce.suono.contesto.currentTime);
  await p.click('#ascolta');
  await p.waitForFunction((n) => window.contavoce.suono.programma.length >= n + 5, {}, prima);
  const { programma, frequenza } = await p.evaluate((n) => ({
    programma: window.contavoce.suono.programma.slice(n),
    frequenza: window.contavoce.suono.contesto.sampleRate,
  }), prima);
  verifica(JSON.stringify(programma.map((c) => c.nome)) ===
    JSON.stringify(['va2', 'va_mila', 'va3', 'va100', 'va4']), 'Ascolta: le clip di 2304 in ordine',
    JSON.stringify(programma.map((c) => c.nome)));
  const quanto = 128 / frequenza; // one render quantum
  const buchi = programma.slice(1).map((c, i) => c.inizio - (programma[i].inizio + programma[i].durata));
  verifica(buchi.every((b) => Math.abs(b) <= quanto), 'ogni clip parte alla fine della precedente',
    JSON.stringify(buchi));
  verifica(programma[0].inizio - t0 < 0.5, 'la prima clip parte subito', String(programma[0].inizio - t0));
  const fine = programma.at(-1).inizio + programma.at(-1).durata;
  await p.waitForFunction((f) => window.contavoce.suono.contesto.currentTime > f &&
    !window.contavoce.suono.parla(), { timeout: 10000 }, fine);
  verifica(true, 'la frase è finita sull\'orologio dell\'audio');

  await p.click('#scomponi');
  verifica(await p.$eval('#pannello', (e) => !e.hidden), 'Scomponi apre il pannello');
  const cifre = await p.$$eval('#cifre button:not([hidden])', (b) => b.map((x) => x.textContent).join(''));
  verifica(cifre === '2304', 'le cifre nel pannello', cifre);
  const n = await p.evaluate(() => window.contavoce.suono.programma.length);
  await p.click('#cifre button[data-indice="9"]');
  verifica(await testo(p, '#posto') === '3 centinaia', 'il posto della cifra scelta: 3 centinaia');
  await p.waitForFunction((k) => window.contavoce.suono.programma.length >= k + 2, { timeout: 10000 }, n);
  const detto = await p.evaluate((k) => window.contavoce.suono.programma.slice(k).map((c) => c.nome), n);
  verifica(JSON.stringify(detto) === JSON.stringify(['va3', 'va_centinaia']), 'il posto detto: tre centinaia',
    JSON.stringify(detto));
  verifica(await p.$eval('#cifre button[data-indice="9"]', (b) => b.classList.contains('scelta')),
    'la cifra scelta è segnata');
}

async function esercizi(p) {
  await p.click('#vai-esercizi');
  await p.waitForSelector('#chi-nome', { visible: true });
  await p.type('#chi-nome', 'Anna');
  await p.click('#chi-aggiungi');
  await p.waitForSelector('#inizia', { visible: true });
  await p.select('#classe', 'terza');
  await p.select('#livello', '1');
  await p.select('#tipo', 'cifre');
  await p.$eval('#domande', (e) => { e.value = '5'; e.dispatchEvent(new Event('change', { bubbles: true })); });
  await p.click('#inizia');
  await p.waitForSelector('#risposta', { visible: true });
  // The same round in the same module: the answers the page expects.
  const attese = await p.evaluate((grafia) => {
    const g = new window.contavoce.M.Giro({ classe: 'terza', livello: 1, tipo: 'cifre', domande: 5,
      seme: '7', grafia });
    const a = [];
    while (!g.finito()) {
      a.push({ attesa: g.domanda().attesa, testo: g.domanda().testo });
      g.rispondi(g.domanda().attesa);
      g.prossima();
    }
    g.delete();
    return a;
  }, await p.$eval('#grafia-scuola', (e) => (e.checked ? 'scolastica' : 'originale')));
  verifica(await testo(p, '#contatore') === 'Domanda 1 di 5', 'il contatore: Domanda 1 di 5');
  verifica((await p.$eval('#esercizi', (e) => e.textContent)).includes(attese[0].testo),
    'la prima domanda è quella del seme 7', attese[0].testo);
  await p.type('#risposta', attese[0].attesa);
  await p.click('#controlla');
  await p.waitForFunction(() => /Giusto|Esatto|Molto bene|Ben fatto/.test(
    document.getElementById('esito').textContent), { timeout: 5000 });
  verifica(true, 'una risposta giusta è lodata');
  await p.waitForFunction(() => document.getElementById('contatore').textContent.includes('Domanda 2'),
    { timeout: 15000 }).catch(async () => {
    if (await p.$('#avanti')) await p.click('#avanti');
  });
  await p.waitForFunction(() => document.getElementById('contatore').textContent.includes('Domanda 2'),
    { timeout: 15000 });
  verifica(true, 'poi la domanda dopo');
  await p.$eval('#risposta', (e) => { e.value = ''; });
  await p.type('#risposta', '1');
  await p.click('#controlla');
  await p.waitForFunction(() => /Riprova/.test(document.getElementById('esito').textContent), { timeout: 5000 });
  verifica(true, 'al primo errore: Riprova');
  await p.$eval('#risposta', (e) => { e.value = ''; });
  await p.type('#risposta', '2');
  await p.click('#controlla');
  await p.waitForFunction((a) => {
    const t = document.getElementById('esito').textContent;
    return t.includes('Il numero era') && t.includes(a);
  }, { timeout: 5000 }, attese[1].attesa);
  verifica(true, 'al secondo errore la risposta giusta è mostrata');
  await p.click('#avanti');
  for (let i = 2; i < attese.length; ++i) {
    await p.waitForFunction((n) => document.getElementById('contatore').textContent.includes(`Domanda ${n}`),
      { timeout: 15000 }, i + 1);
    await p.$eval('#risposta', (e) => { e.value = ''; });
    await p.type('#risposta', attese[i].attesa);
    await p.keyboard.press('Enter');
  }
  await p.waitForSelector('#risultato', { visible: true, timeout: 15000 });
  const risultato = await testo(p, '#risultato');
  verifica(risultato.includes('4 giuste su 5') && risultato.includes(attese[1].attesa),
    'la fine del giro: 4 giuste su 5 e la domanda sbagliata', risultato);
}

// After a reload: Anna's round was kept on the device, with her stars.
async function progressi_conservati(p) {
  await p.click('#vai-esercizi');
  await p.waitForSelector('button.bambino', { visible: true });
  const nomi = await p.$$eval('button.bambino', (b) => b.map((x) => x.textContent.trim()));
  verifica(nomi.includes('Anna'), 'il nome di Anna è rimasto', JSON.stringify(nomi));
  const anna = (await p.$$('button.bambino'))[nomi.indexOf('Anna')];
  await anna.click();
  await p.waitForSelector('#inizia', { visible: true });
  await p.select('#tipo', 'cifre');
  const proposta = await testo(p, '.es-proposta');
  verifica(proposta === 'Ottimo lavoro! Ti propongo il passo dopo: terza, livello 2.',
    'e, dopo 4 giuste su 5, il livello dopo', proposta);
}

// What a first visit fetches and the service worker keeps: the whole site.
function peso_del_sito() {
  const elenco = JSON.parse(fs.readFileSync(path.join(sito, 'elenco.json'), 'utf8'));
  const byte = elenco.file.reduce((t, f) => t + fs.statSync(path.join(sito, f)).size, 0);
  verifica(byte <= 3 * 1024 * 1024, `il sito pesa al più 3 MB (${(byte / 1048576).toFixed(2)} MB)`);
  verifica(elenco.file.includes('suoni/musica.ogg') && elenco.file.includes('contavoce.wasm'),
    'l\'elenco per la cache ha la musica e il modulo');
}

async function main() {
  fs.mkdirSync(schermate, { recursive: true });
  peso_del_sito();
  const server = await servi(sito, 0);
  const indirizzo = `http://127.0.0.1:${server.address().port}/`;
  const browser = await puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--no-sandbox', '--autoplay-policy=no-user-gesture-required', '--lang=it'],
  });
  try {
    const p = await browser.newPage();
    const problemi = [];
    p.on('pageerror', (e) => problemi.push(e.message));
    p.on('console', (m) => m.type() === 'error' && problemi.push(m.text()));
    await p.setViewport({ width: 1920, height: 1080 });
    await p.goto(indirizzo + '?seme=7');
    verifica(await p.$eval('html', (e) => e.lang) === 'it', 'la pagina è in italiano');
    await esplora(p);
    await alle_due_misure(p, 'esplora');
    await esercizi(p);
    await alle_due_misure(p, 'esercizi');

    // Offline: the service worker has kept everything; the server goes away.
    await p.evaluate(() => navigator.serviceWorker.ready);
    await p.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 10000 });
    await new Promise((r) => server.close(r));
    server.closeAllConnections?.();
    await p.setOfflineMode(true);
    await p.setViewport({ width: 1920, height: 1080 });
    await p.reload();
    await p.waitForSelector('html[data-pronto]', { timeout: 10000 });
    await p.focus('#numero');
    await p.keyboard.type('1000001');
    await p.keyboard.press('Enter');
    await p.waitForFunction(() => !document.getElementById('nuovo').disabled, { timeout: 10000 });
    verifica(await testo(p, '#lettere') === 'Unmilioneuno', 'senza rete la pagina risponde ancora',
      await testo(p, '#lettere'));
    const n = await p.evaluate(() => window.contavoce.suono.programma.length);
    await p.click('#ascolta');
    await p.waitForFunction((k) => window.contavoce.suono.programma.length >= k + 2, { timeout: 10000 }, n);
    verifica(true, 'senza rete i suoni vengono dalla cache');
    await progressi_conservati(p);
    verifica(problemi.length === 0, 'nessun errore nella pagina', problemi.join('\n'));
  } finally {
    await browser.close();
    server.close();
  }
  if (errori) {
    console.log(`${errori} verifiche fallite`);
    process.exit(1);
  }
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
