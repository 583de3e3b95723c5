// SPDX-License-Identifier: GPL-3.0-or-later
// An on-screen keypad for whiteboards and tablets, where there is no
// keyboard: buttons of at least 48 px that hand their key to `premuto`.
// Each key is {tasto, etichetta?, nome?, classe?}: `tasto` is what
// `premuto` receives ("7", "Backspace", "Enter"), `nome` what a screen
// reader says when the label alone would not be clear.

export function crea_tastierino(contenitore, righe, premuto, nome_gruppo = 'Tastierino') {
  const gruppo = document.createElement('div');
  gruppo.className = 'tastierino';
  gruppo.setAttribute('role', 'group');
  gruppo.setAttribute('aria-label', nome_gruppo);
  for (const riga of righe) {
    const r = document.createElement('div');
    r.className = 'riga-tasti';
    for (const t of riga) {
      const b = document.createElement('button');
      b.type = 'button';
      b.className = 'tasto' + (t.classe ? ' ' + t.classe : '');
      b.textContent = t.etichetta ?? t.tasto;
      if (t.nome) b.setAttribute('aria-label', t.nome);
      b.dataset.tasto = t.tasto;
      // pointerdown would act before a scroll could start; click is what a
      // keyboard and a screen reader send too.
      b.addEventListener('click', () => premuto(t.tasto));
      r.append(b);
    }
    gruppo.append(r);
  }
  contenitore.append(gruppo);
  return gruppo;
}

export const TASTI_CIFRE = [
  [{ tasto: '7' }, { tasto: '8' }, { tasto: '9' }],
  [{ tasto: '4' }, { tasto: '5' }, { tasto: '6' }],
  [{ tasto: '1' }, { tasto: '2' }, { tasto: '3' }],
  [
    { tasto: 'Backspace', etichetta: '⌫', nome: 'Cancella' },
    { tasto: '0' },
    { tasto: 'Enter', etichetta: 'INVIO', nome: 'Invio', classe: 'tasto-invio' },
  ],
];
