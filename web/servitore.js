// SPDX-License-Identifier: GPL-3.0-or-later
// A plain static server for the browser build on the loopback, for
// scripts/web.sh and the page's tests: files only, from one folder, GET and
// HEAD, nothing outside the folder. A school's own web server does the same job.
// Usage: node servitore.js FOLDER [PORT]   (PORT 0: any free one; the address is printed)
'use strict';
const http = require('http');
const fs = require('fs');
const path = require('path');

const TIPI = {
  '.html': 'text/html; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.json': 'application/json; charset=utf-8',
  '.webmanifest': 'application/manifest+json; charset=utf-8',
  '.wasm': 'application/wasm',
  '.ogg': 'audio/ogg',
  '.png': 'image/png',
};

function servi(cartella, porta = 0, host = '127.0.0.1') {
  const radice = fs.realpathSync(cartella);
  const server = http.createServer((rich, risp) => {
    if (rich.method !== 'GET' && rich.method !== 'HEAD') {
      risp.writeHead(405, { Allow: 'GET, HEAD' }).end();
      return;
    }
    let via;
    try {
      via = decodeURIComponent(new URL(rich.url, 'http://x').pathname);
    } catch {
      risp.writeHead(400).end();
      return;
    }
    if (via.endsWith('/')) via += 'index.html';
    const file = path.join(radice, path.normalize(via));
    if (file !== radice && !file.startsWith(radice + path.sep)) {
      risp.writeHead(403).end();
      return;
    }
    fs.stat(file, (err, st) => {
      if (err || !st.isFile()) {
        risp.writeHead(404, { 'Content-Type': 'text/plain; charset=utf-8' }).end('Non trovato\n');
        return;
      }
      risp.writeHead(200, {
        'Content-Type': TIPI[path.extname(file)] || 'application/octet-stream',
        'Content-Length': st.size,
        'Cache-Control': 'no-cache',
      });
      if (rich.method === 'HEAD') risp.end();
      else fs.createReadStream(file).pipe(risp);
    });
  });
  return new Promise((ok, ko) => {
    server.once('error', ko);
    server.listen(porta, host, () => ok(server));
  });
}

module.exports = { servi };

if (require.main === module) {
  const [cartella, porta = '8029'] = process.argv.slice(2);
  if (!cartella || !fs.existsSync(path.join(cartella, 'index.html'))) {
    console.error('uso: node servitore.js CARTELLA_DEL_SITO [PORTA]  (la cartella deve avere index.html)');
    process.exit(2);
  }
  servi(cartella, Number(porta)).then(
    (s) => console.log(`Contavoce è su http://127.0.0.1:${s.address().port}/  (Ctrl+C per fermare)`),
    (e) => {
      console.error(`Non posso aprire la porta ${porta}: ${e.message}`);
      process.exit(1);
    });
}
