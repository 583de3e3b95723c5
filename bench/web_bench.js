// SPDX-License-Identifier: GPL-3.0-or-later
// The browser build's speed on this machine with a local server: from
// navigation to a page that answers a key (target ≤ 500 ms), first visit and
// again from the offline cache; and from Enter to the first frame that shows
// the number's words (target: within one frame, 16.7 ms). Medians of N runs.
// Usage: node bench/web_bench.js SITE_FOLDER [N]
'use strict';
const path = require('path');
const puppeteer = require(path.join(__dirname, '../tests/web/node_modules/puppeteer-core'));
const { servi } = require('../web/servitore.js');

const [sito, volte = '21'] = process.argv.slice(2);
const mediana = (v) => {
  const s = [...v].sort((a, b) => a - b);
  return s.length % 2 ? s[(s.length - 1) >> 1] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2;
};

// In the page before its scripts: when it became ready, and when the words
// of the number confirmed first reached a frame.
function sonde() {
  window.__misure = {};
  new MutationObserver(() => {
    if (document.documentElement.dataset.pronto && !window.__misure.pronto)
      window.__misure.pronto = performance.now();
  }).observe(document, { attributes: true, subtree: true, attributeFilter: ['data-pronto'] });
  addEventListener('keydown', (e) => {
    if (e.key !== 'Enter') return;
    window.__misure.invio = e.timeStamp;
    const box = document.getElementById('lettere');
    const guarda = () => {
      if (box.textContent.trim()) {
        requestAnimationFrame((t) => { window.__misure.parole = t; });
        return true;
      }
      return false;
    };
    if (!guarda()) {
      const o = new MutationObserver(() => guarda() && o.disconnect());
      o.observe(box, { childList: true, characterData: true, subtree: true });
    }
  }, true);
}

async function una_volta(indirizzo, contesto) {
  const p = await contesto.newPage();
  await p.evaluateOnNewDocument(sonde);
  await p.goto(indirizzo);
  await p.waitForSelector('html[data-pronto]');
  await p.focus('#numero');
  await p.keyboard.type('7');
  const risponde = await p.$eval('#numero', (e) => e.value === '7');
  if (!risponde) throw new Error('la pagina non ha preso il tasto');
  await p.keyboard.press('Enter');
  await p.waitForFunction(() => window.__misure.parole !== undefined);
  const m = await p.evaluate(() => window.__misure);
  // The cache is filled by the service worker: waited for, so that the next visit can use it.
  await p.evaluate(() => navigator.serviceWorker.ready);
  await p.close();
  return { pronto: m.pronto, parole: m.parole - m.invio };
}

async function main() {
  const server = await servi(sito, 0);
  const indirizzo = `http://127.0.0.1:${server.address().port}/`;
  const browser = await puppeteer.launch({
    executablePath: process.env.CONTAVOCE_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--autoplay-policy=no-user-gesture-required'],
  });
  const prima = [], dopo = [], parole = [];
  try {
    for (let i = 0; i < Number(volte); ++i) {
      // A fresh profile each time: nothing cached, no service worker yet.
      const contesto = await browser.createBrowserContext();
      const a = await una_volta(indirizzo, contesto);
      const b = await una_volta(indirizzo, contesto);
      prima.push(a.pronto);
      dopo.push(b.pronto);
      parole.push(a.parole, b.parole);
      await contesto.close();
    }
  } finally {
    await browser.close();
    server.close();
  }
  const f = (x) => x.toFixed(1).padStart(7);
  console.log(`web: navigation to a page that answers a key, first visit  ${f(mediana(prima))} ms median of ${prima.length} (target <= 500 ms)`);
  console.log(`web: the same from the offline cache                        ${f(mediana(dopo))} ms median of ${dopo.length} (target <= 500 ms)`);
  console.log(`web: Enter to the first frame with the words                ${f(mediana(parole))} ms median of ${parole.length} (target <= 16.7 ms, one frame)`);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
