;; SPDX-License-Identifier: GPL-3.0-or-later
;; Pronunciations given to festival's Italian voice in place of its own rules,
;; loaded before the clips of clips.tsv are said. Each entry: the word, no part
;; of speech, its syllables as ((phones) stress).
;;
;; The rules voice the s of "-esimo" ([z]), and every unit of this voice around
;; a z puts a click into the vowel before it at almost any pace; the voiceless
;; s, as central and southern Italy say these words, is clean.
(lex.add.entry '("centesimi" nil (((tS e n) 0) ((t E1) 1) ((s i) 0) ((m i) 0))))
(lex.add.entry '("centesimo" nil (((tS e n) 0) ((t E1) 1) ((s i) 0) ((m o) 0))))
(lex.add.entry '("millesimi" nil (((m i l) 0) ((l E1) 1) ((s i) 0) ((m i) 0))))
(lex.add.entry '("millesimo" nil (((m i l) 0) ((l E1) 1) ((s i) 0) ((m o) 0))))
