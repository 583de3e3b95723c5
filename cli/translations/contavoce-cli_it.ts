<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT">
<context>
    <name>Cli</name>
    <message>
        <location filename="../main.cpp" line="219"/>
        <source>line %1: </source>
        <translation>riga %1: </translation>
    </message>
    <message>
        <location filename="../main.cpp" line="239"/>
        <location filename="../voce.cpp" line="161"/>
        <source>%1 takes no option &quot;%2&quot; (try contavoce-cli --help)</source>
        <translation>%1 non ha l&apos;opzione &quot;%2&quot; (prova contavoce-cli --help)</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="253"/>
        <location filename="../comando_scheda.cpp" line="162"/>
        <location filename="../comando_lezione.cpp" line="134"/>
        <source>--grafia wants originale or scolastica, not &quot;%1&quot;</source>
        <translation>--grafia vuole originale o scolastica, non &quot;%1&quot;</translation>
    </message>
    <message>
        <location filename="../messaggi.cpp" line="93"/>
        <location filename="../comando_scheda.cpp" line="169"/>
        <source>--lettura wants virgola or posti, not &quot;%1&quot;</source>
        <translation>--lettura vuole virgola o posti, non &quot;%1&quot;</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="29"/>
        <source>Usage: contavoce-cli COMMAND [OPTIONS] [NUMBER...]

Writes numbers of up to twelve digits, and decimal numbers to the
thousandths, the way Contavoce does.

Commands:
  words NUMBER...   the number in Italian words, one number per line
                    (2304 -&gt; duemilatrecentoquattro). Options:
      --grafia originale   Contavoce&apos;s own spelling, one word (the default):
                           23000003 -&gt; ventitremilionitre
      --grafia scolastica  the spelling taught in school: a final -tré
                           accented, milione and miliardo as words of
                           their own, zero for 0:
                           23000003 -&gt; ventitré milioni tre
      --lettura virgola    a decimal read with the comma (the default):
                           3,05 -&gt; tre virgola zero cinque
      --lettura posti      a decimal read by places:
                           3,05 -&gt; tre unità e cinque centesimi
  format NUMBER...  the number grouped by thousands (2304 -&gt; 2.304,
                    1234,567 -&gt; 1.234,567)
  clips NUMBER...   the speech clips that say the number, in playing order
                    (2304 -&gt; va2.wav va_mila.wav va3.wav va100.wav va4.wav);
                    a decimal in the reading --lettura picks, as for words
  say NUMBER...     says the numbers through the sound device, 0.8 s apart;
                    a decimal in the reading --lettura picks, as for words
  say NUMBER... --wav FILE
                    writes what would be heard to FILE (16-bit WAV, 44.1 kHz
                    stereo) instead of playing it
  say NUMBER... --wav-dir DIR
                    one WAV file per number in DIR, named by its digits
                    without the dots (DIR/2304.wav, DIR/1234,5.wav)
  scheda [OPTIONS] FILE.pdf
                    a printable A4 worksheet for a class year, with a name
                    and date line, and its answer key apart in
                    FILE-soluzioni.pdf: the key names the seed, the class
                    year, the level and the options, and the command line
                    that makes the same sheet again. Options:
      --classe C      prima, seconda, terza, quarta or quinta (terza)
      --livello L     1, 2 or 3: the numbers of the practice&apos;s level (2)
      --cifre N       numbers of exactly N digits (1 to 12) instead
      --da N --a N    numbers from N to N instead (1 to 999.999)
      --zeri P        at least P percent of the numbers with a zero
                      between their digits (3.045): 30, 30% or 0,3; by
                      default what the level asks
      --esercizi KIND:N,...
                      which exercises and how many of each; the kinds:
                      lettere (write in words), cifre (write in digits),
                      raggruppa (group by thousands), dettato (numbered
                      blank lines; the numbers are in the key only),
                      scomponi (2.304 = 2 uk + 3 h + 4 u), componi,
                      valore (the place and worth of the underlined digit),
                      confronta (&lt;, &gt;, =), prima-dopo, ordina (five numbers
                      from the smallest to the largest), decimali (quarta
                      and quinta). By default a mix for the class year
      --quanti N      how many exercises in the class year&apos;s mix (12)
      --file N        N versions (1 to 4) with different numbers of the
                      same difficulty, fila A, B...: FILE-A.pdf with
                      FILE-A-soluzioni.pdf, FILE-B.pdf...
      --seme N        the same N draws the same sheet again
      --titolo TEXT   the sheet&apos;s title
      --soluzioni FILE.pdf
                      the key&apos;s file name instead of FILE-soluzioni.pdf
      --grafia G      the words in spelling G: scolastica (the default)
                      or originale (as for words)
      --lettura R     decimals read with the virgola (the default) or
                      by posti (as for words)
      --audio DIR     the dictation (with dettato), into a new or empty
                      folder: DIR/01.wav, 02.wav... in the order of its
                      lines say &quot;Numero 1&quot;, the number, a pause, the
                      number again; DIR/dettato.wav all of them (with
                      --file, DIR-A, DIR-B...)
  registro [OPTIONS]
                    the children&apos;s progress in the practice, for the
                    teacher: a table per child (rounds, right answers per
                    kind and level, the numbers missed most often, the last
                    time practised). Options:
      --csv FILE      every answer, for a spreadsheet: &quot;;&quot; between fields
                      and a decimal comma under a locale that writes one
                      (Italian), else &quot;,&quot; and &quot;.&quot;, UTF-8 with a byte-order mark
      --pdf FILE      a report, a page per class year: a bar per child and
                      kind (the share right), the numbers missed most often
      --cancella NAME removes a child and all their answers
      --cancella-tutto
                      removes every child; asks first on a terminal, else
                      wants --si
      --cartella DIR  the register in DIR (by default
                      $XDG_DATA_HOME/Contavoce, ~/.local/share/Contavoce)
  lezione --classe C --livello N --tipi T[,T...] [OPTIONS] FILE
                    a lesson for the practice window: every child who opens
                    it (contavoce --lezione FILE) gets the same round. Options:
      --classe C      the class year: prima, seconda, terza, quarta, quinta
      --livello N     the level: 1, 2 or 3
      --tipi T,T...   the kinds of question, taken in turn: ascolta, cifre,
                      lettere, valore, componi, prima-dopo, confronta
      --domande N     how many questions, 5 to 20 (10)
      --seme N        the round&apos;s seed, from 0 to 18446744073709551615;
                      drawn and printed when not given
      --titolo TEXT   the lesson&apos;s title, up to 60 characters
      --grafia G      the words in spelling G, originale or scolastica
                      (otherwise the one set on each computer)
      --sovrascrivi   replaces FILE; without it an existing FILE is refused
                      (status 2)
  music FILE        plays a MIDI file to its end (Ctrl+C stops it)
  music FILE --wav OUT --seconds N
                    writes the first N seconds of the MIDI file to OUT
  --version         the program&apos;s version

--wav-dir writes into a new or empty folder, or into one that holds only
files of the names the same command writes, which it writes again; --audio
only into a new or empty folder. A folder holding anything else is refused
(status 2), so that two lessons are never mixed. A file is written whole
or not at all: on a full disk what was at its name stays.

A number may be grouped by thousands with dots or blanks: 2.304, 2 304 and
2304 are the same number. Leading zeros are dropped (0012 is 12). A number
made only of zeros has no words in Contavoce&apos;s own spelling, so it prints an
empty line; the school&apos;s spelling writes zero. words, format, clips and say
also take a decimal comma and up to three decimals (3,05; 0,001; 1.234,567);
a dot before one or two digits (3.05) is refused with the comma to write
instead.

With no NUMBER the numbers are read from standard input, one per line:
  seq 1 100 | contavoce-cli words --grafia scolastica

A line that is not a number (a letter, a misplaced dot, more than 12 digits
or 3 decimals, an empty line, more than 256 bytes) is reported on standard
error with its line number and gives an empty output line, so that line N
of the output answers line N of the input; the exit status is then 2.

The speech clips are read from the folder that holds contavoce-cli.

Exit status: 0 all done, 1 the output could not be written or no sound
device, 2 some input refused or bad usage.
</source>
        <translation>Uso: contavoce-cli COMANDO [OPZIONI] [NUMERO...]

Scrive i numeri fino a dodici cifre, e i numeri decimali fino ai millesimi,
come li scrive Contavoce.

Comandi:
  words NUMERO...   il numero in lettere, un numero per riga
                    (2304 -&gt; duemilatrecentoquattro). Opzioni:
      --grafia originale   la grafia di Contavoce, una parola sola (la
                           predefinita): 23000003 -&gt; ventitremilionitre
      --grafia scolastica  la grafia che si insegna a scuola: l&apos;accento
                           sul -tré finale, milione e miliardo come parole
                           a sé, zero per 0:
                           23000003 -&gt; ventitré milioni tre
      --lettura virgola    un decimale letto con la virgola (la
                           predefinita): 3,05 -&gt; tre virgola zero cinque
      --lettura posti      un decimale letto per posizioni:
                           3,05 -&gt; tre unità e cinque centesimi
  format NUMERO...  il numero diviso in migliaia (2304 -&gt; 2.304,
                    1234,567 -&gt; 1.234,567)
  clips NUMERO...   i pezzi di voce che dicono il numero, nell&apos;ordine in cui
                    suonano (2304 -&gt; va2.wav va_mila.wav va3.wav va100.wav va4.wav);
                    un decimale nella lettura di --lettura, come per words
  say NUMERO...     dice i numeri con la scheda audio, a 0,8 s l&apos;uno dall&apos;altro;
                    un decimale nella lettura di --lettura, come per words
  say NUMERO... --wav FILE
                    scrive in FILE quello che si sentirebbe (WAV a 16 bit,
                    44,1 kHz, stereo) invece di suonarlo
  say NUMERO... --wav-dir CARTELLA
                    un file WAV per numero in CARTELLA, con il nome delle cifre
                    senza punti (CARTELLA/2304.wav, CARTELLA/1234,5.wav)
  scheda [OPZIONI] FILE.pdf
                    una scheda A4 da stampare per una classe, con una riga
                    per nome e data, e le soluzioni a parte in
                    FILE-soluzioni.pdf: dicono il seme, la classe, il livello
                    e le opzioni, e la riga di comando che rifà la stessa
                    scheda. Opzioni:
      --classe C      prima, seconda, terza, quarta o quinta (terza)
      --livello L     1, 2 o 3: i numeri del livello degli esercizi (2)
      --cifre N       invece, numeri di esattamente N cifre (da 1 a 12)
      --da N --a N    invece, numeri da N a N (da 1 a 999.999)
      --zeri P        almeno P per cento dei numeri con uno zero tra le
                      cifre (3.045): 30, 30% o 0,3; di norma quanti ne
                      chiede il livello
      --esercizi TIPO:N,...
                      quali esercizi e quanti di ciascuno; i tipi:
                      lettere (scrivi in lettere), cifre (scrivi in cifre),
                      raggruppa (separa le migliaia), dettato (righe vuote
                      numerate; i numeri sono solo nelle soluzioni),
                      scomponi (2.304 = 2 uk + 3 h + 4 u), componi,
                      valore (posto e valore della cifra sottolineata),
                      confronta (&lt;, &gt;, =), prima-dopo, ordina (cinque numeri
                      dal più piccolo al più grande), decimali (quarta e
                      quinta). Di norma un misto adatto alla classe
      --quanti N      quanti esercizi nel misto della classe (12)
      --file N        N versioni (da 1 a 4) con numeri diversi della stessa
                      difficoltà, fila A, B...: FILE-A.pdf con
                      FILE-A-soluzioni.pdf, FILE-B.pdf...
      --seme N        lo stesso N estrae di nuovo la stessa scheda
      --titolo TESTO  il titolo della scheda
      --soluzioni FILE.pdf
                      il nome del file delle soluzioni invece di
                      FILE-soluzioni.pdf
      --grafia G      le parole nella grafia G: scolastica (di norma)
                      o originale (come per words)
      --lettura R     i decimali letti con la virgola (di norma) o per
                      posti (come per words)
      --audio CARTELLA
                      il dettato (con dettato), in una cartella nuova o
                      vuota: CARTELLA/01.wav, 02.wav... nell&apos;ordine delle
                      sue righe dicono &quot;Numero 1&quot;, il numero, una pausa,
                      di nuovo il numero; CARTELLA/dettato.wav tutti di
                      seguito (con --file, CARTELLA-A, CARTELLA-B...)
  registro [OPZIONI]
                    i progressi dei bambini negli esercizi, per l&apos;insegnante:
                    una tabella per bambino (giri, risposte giuste per tipo e
                    livello, i numeri sbagliati più spesso, l&apos;ultima volta
                    che si è esercitato). Opzioni:
      --csv FILE      ogni risposta, per un foglio di calcolo: &quot;;&quot; tra i
                      campi e la virgola decimale con una lingua che la usa
                      (l&apos;italiano), altrimenti &quot;,&quot; e &quot;.&quot;; UTF-8 con BOM
      --pdf FILE      un resoconto, una pagina per classe: una barra per
                      bambino e tipo (la parte giusta), i numeri più sbagliati
      --cancella NOME toglie un bambino e tutte le sue risposte
      --cancella-tutto
                      toglie tutti i bambini; su un terminale chiede prima,
                      altrimenti vuole --si
      --cartella CARTELLA
                      il registro in CARTELLA (di solito
                      $XDG_DATA_HOME/Contavoce, ~/.local/share/Contavoce)
  lezione --classe C --livello N --tipi T[,T...] [OPZIONI] FILE
                    una lezione per la finestra degli esercizi: ogni bambino
                    che la apre (contavoce --lezione FILE) ha lo stesso giro
                    di domande. Opzioni:
      --classe C      la classe: prima, seconda, terza, quarta, quinta
      --livello N     il livello: 1, 2 o 3
      --tipi T,T...   i tipi di domanda, a turno: ascolta, cifre, lettere,
                      valore, componi, prima-dopo, confronta
      --domande N     quante domande, da 5 a 20 (10)
      --seme N        il seme del giro, da 0 a 18446744073709551615;
                      estratto e scritto a schermo se manca
      --titolo TESTO  il titolo della lezione, fino a 60 caratteri
      --grafia G      le parole nella grafia G, originale o scolastica
                      (altrimenti quella scelta su ogni computer)
      --sovrascrivi   sostituisce FILE; senza, un FILE che esiste già è
                      rifiutato (stato 2)
  music FILE        suona un file MIDI fino alla fine (Ctrl+C lo ferma)
  music FILE --wav USCITA --seconds N
                    scrive in USCITA i primi N secondi del file MIDI
  --version         la versione del programma

--wav-dir scrive in una cartella nuova o vuota, o in una che contiene solo
file con i nomi che lo stesso comando scrive, e che riscrive; --audio solo
in una cartella nuova o vuota. Una cartella che contiene altro è rifiutata
(stato 2), così due lezioni non si mescolano mai. Un file si scrive intero
o per niente: su un disco pieno resta quello che c&apos;era con quel nome.

Un numero si può dividere in migliaia con punti o spazi: 2.304, 2 304 e 2304
sono lo stesso numero. Gli zeri in testa non contano (0012 è 12). Un numero
fatto solo di zeri nella grafia di Contavoce non ha parole, quindi dà una riga
vuota; la grafia scolastica scrive zero. words, format, clips e say accettano
anche la virgola decimale e fino a tre decimali (3,05; 0,001; 1.234,567); un
punto prima di una o due cifre (3.05) è rifiutato, indicando come scriverlo
con la virgola.

Senza NUMERO i numeri si leggono dallo standard input, uno per riga:
  seq 1 100 | contavoce-cli words --grafia scolastica

Una riga che non è un numero (una lettera, un punto fuori posto, più di 12
cifre o di 3 decimali, una riga vuota, più di 256 byte) è segnalata sullo
standard error con il suo numero di riga e dà una riga vuota in uscita, così
la riga N dell&apos;uscita risponde alla riga N dell&apos;ingresso; lo stato d&apos;uscita è
allora 2.

I pezzi di voce si leggono dalla cartella che contiene contavoce-cli.

Stato d&apos;uscita: 0 tutto fatto, 1 l&apos;uscita non si è potuta scrivere o manca la
scheda audio, 2 qualche numero rifiutato o uso sbagliato.
</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="289"/>
        <location filename="../comando_registro.cpp" line="131"/>
        <source>could not write the output</source>
        <translation>impossibile scrivere l&apos;uscita</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="344"/>
        <source>cannot print worksheets: %1</source>
        <translation>impossibile stampare schede: %1</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="349"/>
        <source>cannot print the report: %1</source>
        <translation>non posso stampare il resoconto: %1</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="355"/>
        <source>unknown command &quot;%1&quot; (try contavoce-cli --help)</source>
        <translation>comando sconosciuto &quot;%1&quot; (prova contavoce-cli --help)</translation>
    </message>
    <message>
        <location filename="../messaggi.cpp" line="37"/>
        <source>empty: expected a number</source>
        <translation>vuoto: serve un numero</translation>
    </message>
    <message>
        <location filename="../messaggi.cpp" line="38"/>
        <source>empty: expected a whole number</source>
        <translation>vuoto: serve un numero intero</translation>
    </message>
    <message>
        <location filename="../messaggi.cpp" line="41"/>
        <source>not a number: only the digits 0-9, grouped by thousands with dots or blanks, and a decimal comma</source>
        <translation>non è un numero: solo le cifre 0-9, raggruppate per migliaia con punti o spazi, e una virgola decimale</translation>
    </message>
    <message>
        <location filename="../messaggi.cpp" line="43"/>
        <source>not a whole number: only the digits 0-9, grouped by thousands with dots or blanks</source>
        <translation>non è un numero intero: solo le cifre 0-9, raggruppate per migliaia con punti o spazi</translation>
    </message>
    <message>
        <location filename="../messaggi.cpp" line="50"/>
        <source>this dot does not group the digits by three: a decimal number takes a comma, write %1</source>
        <translation>questo punto non raggruppa le cifre a tre a tre: un numero decimale vuole la virgola, scrivi %1</translation>
    </message>
    <message>
        <location filename="../messaggi.cpp" line="56"/>
        <source>too many decimals: at most 3, to the thousandths (0,001)</source>
        <translation>troppi decimali: al massimo 3, fino ai millesimi (0,001)</translation>
    </message>
    <message>
        <location filename="../messaggi.cpp" line="59"/>
        <source>the decimal comma wants digits on both sides (0,5 or 3,0)</source>
        <translation>la virgola decimale vuole cifre da tutte e due le parti (0,5 o 3,0)</translation>
    </message>
    <message>
        <location filename="../messaggi.cpp" line="62"/>
        <source>this dot or blank does not group the digits by three (write 2.304, 2 304 or 2304)</source>
        <translation>questo punto o spazio non raggruppa le cifre a tre a tre (scrivi 2.304, 2 304 o 2304)</translation>
    </message>
    <message>
        <location filename="../messaggi.cpp" line="66"/>
        <source>too many digits: at most 12 (up to 999.999.999.999)</source>
        <translation>troppe cifre: al massimo 12 (fino a 999.999.999.999)</translation>
    </message>
    <message>
        <location filename="../messaggi.cpp" line="69"/>
        <source>too long: more than %1 bytes, and a number needs no more than %2</source>
        <translation>troppo lungo: più di %1 byte, e a un numero ne bastano %2</translation>
    </message>
    <message>
        <location filename="../voce.cpp" line="35"/>
        <source>no sound: %1</source>
        <translation>niente suono: %1</translation>
    </message>
    <message>
        <location filename="../voce.cpp" line="53"/>
        <source>the speech clip &quot;%1&quot; is missing or damaged, so &quot;%2&quot; was not written</source>
        <translation>il pezzo di voce &quot;%1&quot; manca o è rovinato, quindi &quot;%2&quot; non è stato scritto</translation>
    </message>
    <message>
        <location filename="../voce.cpp" line="62"/>
        <location filename="../comando_scheda.cpp" line="393"/>
        <location filename="../comando_scheda.cpp" line="402"/>
        <location filename="../comando_lezione.cpp" line="174"/>
        <location filename="../comando_registro.cpp" line="154"/>
        <source>cannot write &quot;%1&quot;: %2</source>
        <translation>impossibile scrivere &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <location filename="../voce.cpp" line="75"/>
        <source>usage: say NUMBER... [--lettura virgola|posti] [--wav FILE | --wav-dir DIR]</source>
        <translation>uso: say NUMERO... [--lettura virgola|posti] [--wav FILE | --wav-dir CARTELLA]</translation>
    </message>
    <message>
        <location filename="../voce.cpp" line="86"/>
        <source>%1 wants a name, not an empty text</source>
        <translation>%1 vuole un nome, non un testo vuoto</translation>
    </message>
    <message>
        <location filename="../voce.cpp" line="99"/>
        <source>the folder &quot;%1&quot; already holds &quot;%2&quot;, which this command does not write: name an empty or a new folder</source>
        <translation>la cartella &quot;%1&quot; contiene già &quot;%2&quot;, che questo comando non scrive: indica una cartella vuota o nuova</translation>
    </message>
    <message>
        <location filename="../voce.cpp" line="106"/>
        <source>cannot read the folder &quot;%1&quot;: %2</source>
        <translation>impossibile leggere la cartella &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <location filename="../voce.cpp" line="120"/>
        <source>cannot make the folder &quot;%1&quot;: %2</source>
        <translation>impossibile creare la cartella &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <location filename="../voce.cpp"/>
        <source>a dictation wants at least one number</source>
        <translation>un dettato vuole almeno un numero</translation>
    </message>
    <message>
        <location filename="../voce.cpp"/>
        <source>the dictation is too long for one WAV file: make a sheet with fewer exercises</source>
        <translation>il dettato è troppo lungo per un solo file WAV: fai una scheda con meno esercizi</translation>
    </message>
    <message>
        <location filename="../voce.cpp"/>
        <source>cannot read &quot;%1&quot; back: %2</source>
        <translation>impossibile rileggere &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <location filename="../voce.cpp"/>
        <source>&quot;%1&quot; is not a folder: name a new or an empty folder for the dictation</source>
        <translation>&quot;%1&quot; non è una cartella: indica una cartella nuova o vuota per il dettato</translation>
    </message>
    <message>
        <location filename="../voce.cpp"/>
        <source>the folder &quot;%1&quot; already holds &quot;%2&quot;: a dictation goes into a new or an empty folder, so that the files of two sheets never mix</source>
        <translation>la cartella &quot;%1&quot; contiene già &quot;%2&quot;: un dettato va in una cartella nuova o vuota, così i file di due schede non si mescolano mai</translation>
    </message>
    <message>
        <location filename="../voce.cpp" line="172"/>
        <source>&quot;%1&quot;: a number made only of zeros has nothing to say</source>
        <translation>&quot;%1&quot;: un numero fatto solo di zeri non ha niente da dire</translation>
    </message>
    <message>
        <location filename="../voce.cpp" line="219"/>
        <source>usage: music FILE [--wav OUT --seconds N]</source>
        <translation>uso: music FILE [--wav USCITA --seconds N]</translation>
    </message>
    <message>
        <location filename="../voce.cpp" line="228"/>
        <source>--seconds wants a number from 0 to 3600, not &quot;%1&quot;</source>
        <translation>--seconds vuole un numero da 0 a 3600, non &quot;%1&quot;</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="28"/>
        <source>usage: scheda [--classe prima|seconda|terza|quarta|quinta] [--livello 1|2|3] [--cifre N] [--zeri PERCENT] [--da N] [--a N] [--esercizi KIND:N,...] [--quanti N] [--file N] [--seme N] [--titolo TEXT] [--grafia scolastica|originale] [--lettura virgola|posti] [--soluzioni FILE.pdf] [--audio DIR] FILE.pdf</source>
        <translation>uso: scheda [--classe prima|seconda|terza|quarta|quinta] [--livello 1|2|3] [--cifre N] [--zeri PERCENTO] [--da N] [--a N] [--esercizi TIPO:N,...] [--quanti N] [--file N] [--seme N] [--titolo TESTO] [--grafia scolastica|originale] [--lettura virgola|posti] [--soluzioni FILE.pdf] [--audio CARTELLA] FILE.pdf</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="62"/>
        <source>--esercizi: &quot;%1&quot; is not a kind of exercise; the kinds are %2</source>
        <translation>--esercizi: &quot;%1&quot; non è un tipo di esercizio; i tipi sono %2</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="72"/>
        <source>--esercizi: &quot;%1&quot; wants a count from 1 to %2 after the colon</source>
        <translation>--esercizi: &quot;%1&quot; vuole un numero da 1 a %2 dopo i due punti</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="83"/>
        <source>--esercizi wants KIND:N,KIND:N...</source>
        <translation>--esercizi vuole TIPO:N,TIPO:N...</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="105"/>
        <source>--zeri wants a percent from 0 to 100 (30, 30%) or a share (0,3), not &quot;%1&quot;</source>
        <translation>--zeri vuole una percentuale da 0 a 100 (30, 30%) o una frazione (0,3), non &quot;%1&quot;</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="220"/>
        <location filename="../comando_lezione.cpp" line="140"/>
        <location filename="../comando_registro.cpp" line="55"/>
        <source>unknown option &quot;%1&quot;</source>
        <translation>opzione sconosciuta &quot;%1&quot;</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="230"/>
        <source>the numbers are drawn from --da to --a, with 1 &lt;= --da &lt;= --a</source>
        <translation>i numeri sono estratti da --da a --a, con 1 &lt;= --da &lt;= --a</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="234"/>
        <source>--cifre and --da/--a both give the range: one of them</source>
        <translation>--cifre e --da/--a danno entrambi l&apos;intervallo: uno solo dei due</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="238"/>
        <source>--cifre wants from 1 to 12 digits</source>
        <translation>--cifre vuole da 1 a 12 cifre</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="242"/>
        <source>--quanti wants from 1 to %1 exercises</source>
        <translation>--quanti vuole da 1 a %1 esercizi</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="246"/>
        <source>--quanti and --esercizi both give how many exercises: one of them</source>
        <translation>--quanti e --esercizi dicono entrambi quanti esercizi: uno solo dei due</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="250"/>
        <source>--file wants from 1 to %1 versions</source>
        <translation>--file vuole da 1 a %1 versioni</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="261"/>
        <source>decimali are for --classe quarta or quinta</source>
        <translation>i decimali sono per --classe quarta o quinta</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="266"/>
        <source>--esercizi asks for %1 exercises; a sheet holds up to %2</source>
        <translation>--esercizi chiede %1 esercizi; una scheda ne ha al massimo %2</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="272"/>
        <source>--audio says the dictation: ask for it with --esercizi dettato:N</source>
        <translation>--audio dice il dettato: chiedilo con --esercizi dettato:N</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="277"/>
        <source>there are only %1 different numbers from %2 to %3, not %4</source>
        <translation>da %2 a %3 ci sono solo %1 numeri diversi, non %4</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="364"/>
        <source>the sheet and its key would both be &quot;%1&quot;</source>
        <translation>la scheda e le sue soluzioni sarebbero entrambe &quot;%1&quot;</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="385"/>
        <source>cannot draw the worksheet</source>
        <translation>impossibile disegnare la scheda</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="26"/>
        <source>usage: registro [--cartella DIR] [--csv FILE] [--pdf FILE] | registro [--cartella DIR] --cancella NAME | registro [--cartella DIR] --cancella-tutto [--si]</source>
        <translation>uso: registro [--cartella CARTELLA] [--csv FILE] [--pdf FILE] | registro [--cartella CARTELLA] --cancella NOME | registro [--cartella CARTELLA] --cancella-tutto [--si]</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="59"/>
        <source>%1 wants a value</source>
        <translation>%1 vuole un valore</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="82"/>
        <location filename="../comando_registro.cpp" line="95"/>
        <location filename="../comando_registro.cpp" line="166"/>
        <location filename="../comando_registro.cpp" line="212"/>
        <location filename="../comando_registro.cpp" line="222"/>
        <location filename="../comando_registro.cpp" line="238"/>
        <location filename="../comando_registro.cpp" line="270"/>
        <location filename="../comando_registro.cpp" line="283"/>
        <source>cannot read the register: %1</source>
        <translation>non riesco a leggere il registro: %1</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="88"/>
        <location filename="../comando_registro.cpp" line="351"/>
        <source>The register is empty: nobody has practised yet.</source>
        <translation>Il registro è vuoto: nessuno si è ancora esercitato.</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="100"/>
        <source>rounds: %1, last practised: %2</source>
        <translation>giri: %1, l&apos;ultima volta: %2</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="102"/>
        <source>never</source>
        <translation>mai</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="105"/>
        <location filename="../comando_registro.cpp" line="181"/>
        <source>class year</source>
        <translation>classe</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="106"/>
        <location filename="../comando_registro.cpp" line="181"/>
        <source>level</source>
        <translation>livello</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="106"/>
        <location filename="../comando_registro.cpp" line="182"/>
        <source>kind</source>
        <translation>tipo</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="107"/>
        <location filename="../comando_registro.cpp" line="184"/>
        <source>right</source>
        <translation>giuste</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="112"/>
        <source>%1 of %2 (%3%)</source>
        <translation>%1 su %2 (%3%)</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="120"/>
        <source>%1 (once)</source>
        <translation>%1 (una volta)</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="121"/>
        <source>%1 (%2 times)</source>
        <translation>%1 (%2 volte)</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="123"/>
        <source>missed most often: %1</source>
        <translation>sbagliati più spesso: %1</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="124"/>
        <source>none</source>
        <translation>nessuno</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="181"/>
        <source>when</source>
        <translation>quando</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="181"/>
        <source>child</source>
        <translation>bambino</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="182"/>
        <source>lesson</source>
        <translation>lezione</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="182"/>
        <source>round</source>
        <translation>giro</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="182"/>
        <source>question</source>
        <translation>domanda</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="183"/>
        <source>number</source>
        <translation>numero</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="183"/>
        <source>question shown</source>
        <translation>domanda mostrata</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="183"/>
        <source>expected answer</source>
        <translation>risposta attesa</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="184"/>
        <source>answer given</source>
        <translation>risposta data</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="184"/>
        <source>try</source>
        <translation>tentativo</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="184"/>
        <source>seconds</source>
        <translation>secondi</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="247"/>
        <source>the register holds no answers yet: no report written</source>
        <translation>il registro non ha ancora risposte: nessun resoconto scritto</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="253"/>
        <source>cannot draw the report</source>
        <translation>non riesco a disegnare il resoconto</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="260"/>
        <source>1 round</source>
        <translation>1 giro</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="260"/>
        <source>%1 rounds</source>
        <translation>%1 giri</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="261"/>
        <source>1 answer</source>
        <translation>1 risposta</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="261"/>
        <source>%1 answers</source>
        <translation>%1 risposte</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="272"/>
        <location filename="../comando_registro.cpp" line="343"/>
        <source>there is no child named &quot;%1&quot; in the register</source>
        <translation>nel registro non c&apos;è nessun bambino che si chiama &quot;%1&quot;</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="278"/>
        <source>Removed %1: %2.</source>
        <translation>Tolto %1: %2.</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="288"/>
        <source>--cancella-tutto removes every child: add --si to confirm it</source>
        <translation>--cancella-tutto toglie tutti i bambini: aggiungi --si per confermarlo</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="291"/>
        <source>Remove all the children (%1) and all their answers? [y/N] </source>
        <translation>Togliere tutti i bambini (%1) e tutte le loro risposte? [s/N] </translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="298"/>
        <source>yes</source>
        <translation>sì</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="299"/>
        <source>Nothing removed.</source>
        <translation>Non ho tolto niente.</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="305"/>
        <source>Removed every child (%1): %2.</source>
        <translation>Tolti tutti i bambini (%1): %2.</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="312"/>
        <source>cannot remove: %1</source>
        <translation>non riesco a togliere: %1</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="316"/>
        <source>A practice window has the register open: the last traces leave the file when it closes.</source>
        <translation>Una finestra degli esercizi ha il registro aperto: le ultime tracce lasciano il file quando si chiude.</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="347"/>
        <source>The register is empty: nothing to remove.</source>
        <translation>Il registro è vuoto: non c&apos;è niente da togliere.</translation>
    </message>
    <message>
        <location filename="../comando_registro.cpp" line="355"/>
        <source>there is no register in %1: nothing to write</source>
        <translation>in %1 non c&apos;è un registro: niente da scrivere</translation>
    </message>
    <message>
        <location filename="../comando_lezione.cpp" line="20"/>
        <source>usage: lezione --classe C --livello N --tipi T[,T...] [--domande N] [--seme N] [--titolo TEXT] [--grafia originale|scolastica] [--sovrascrivi] FILE</source>
        <translation>uso: lezione --classe C --livello N --tipi T[,T...] [--domande N] [--seme N] [--titolo TESTO] [--grafia originale|scolastica] [--sovrascrivi] FILE</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="176"/>
        <location filename="../comando_lezione.cpp" line="86"/>
        <source>--classe wants prima, seconda, terza, quarta or quinta, not &quot;%1&quot;</source>
        <translation>--classe vuole prima, seconda, terza, quarta o quinta, non &quot;%1&quot;</translation>
    </message>
    <message>
        <location filename="../comando_scheda.cpp" line="184"/>
        <location filename="../comando_lezione.cpp" line="96"/>
        <source>--livello wants 1, 2 or 3, not &quot;%1&quot;</source>
        <translation>--livello vuole 1, 2 o 3, non &quot;%1&quot;</translation>
    </message>
    <message>
        <location filename="../comando_lezione.cpp" line="104"/>
        <source>--tipi wants kinds among ascolta, cifre, lettere, valore, componi, prima-dopo and confronta, each once and separated by commas, not &quot;%1&quot;</source>
        <translation>--tipi vuole tipi tra ascolta, cifre, lettere, valore, componi, prima-dopo e confronta, ognuno una volta sola e separati da virgole, non &quot;%1&quot;</translation>
    </message>
    <message>
        <location filename="../comando_lezione.cpp" line="115"/>
        <source>--domande wants from %1 to %2 questions, not &quot;%3&quot;</source>
        <translation>--domande vuole da %1 a %2 domande, non &quot;%3&quot;</translation>
    </message>
    <message>
        <location filename="../comando_lezione.cpp" line="125"/>
        <source>--seme wants a whole number from 0 to 18446744073709551615, not &quot;%1&quot;</source>
        <translation>--seme vuole un numero intero da 0 a 18446744073709551615, non &quot;%1&quot;</translation>
    </message>
    <message>
        <location filename="../comando_lezione.cpp" line="147"/>
        <source>a lesson needs --classe, --livello and --tipi</source>
        <translation>una lezione vuole --classe, --livello e --tipi</translation>
    </message>
    <message>
        <location filename="../comando_lezione.cpp" line="152"/>
        <source>--titolo wants a line of text of up to %1 characters, not &quot;%2&quot;</source>
        <translation>--titolo vuole una riga di testo fino a %1 caratteri, non &quot;%2&quot;</translation>
    </message>
    <message>
        <location filename="../comando_lezione.cpp" line="165"/>
        <source>&quot;%1&quot; already exists: --sovrascrivi replaces it</source>
        <translation>&quot;%1&quot; esiste già: --sovrascrivi lo sostituisce</translation>
    </message>
    <message>
        <location filename="../comando_lezione.cpp" line="178"/>
        <source>seed %1, drawn: --seme %1 writes the same lesson again</source>
        <translation>seme %1, estratto: --seme %1 scrive di nuovo la stessa lezione</translation>
    </message>
</context>
</TS>
