// SPDX-License-Identifier: GPL-3.0-or-later
// The page's few settings, kept in the browser; a browser that keeps nothing
// (a private window, storage blocked) simply forgets them.
export function ricorda(chiave) {
  try {
    return localStorage.getItem('contavoce.' + chiave);
  } catch {
    return null;
  }
}
export function memorizza(chiave, valore) {
  try {
    localStorage.setItem('contavoce.' + chiave, valore);
  } catch {
    // nothing kept: the setting lasts as long as the page
  }
}

// The spelling of the words, shared by the explorer and the practice:
// 'originale' (the program's own, the default) or 'scolastica'.
export function grafia() {
  return ricorda('grafia') === 'scolastica' ? 'scolastica' : 'originale';
}
export function scegli_grafia(g) {
  memorizza('grafia', g === 'scolastica' ? 'scolastica' : 'originale');
}
