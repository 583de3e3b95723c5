// SPDX-License-Identifier: GPL-3.0-or-later
// contavoce-cli as a teacher's script runs it, whole process timed: a million
// numbers written as people write them (2.304, 2 304, 2304) through `words`
// in both spellings, and a worksheet of 100 exercises with its key and
// dictation through `scheda`. Five runs each, medians.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

// Seconds of each of `giri` runs of contavoce-cli with `argomenti`, standard
// input from `ingresso` (if any), standard output discarded; empty on a failure.
// A "%1" in the arguments is the run's number: a dictation wants a new folder each time.
std::vector<double> tempi(const QString& cli, const QStringList& argomenti, const QString& ingresso,
                          int giri) {
    std::vector<double> secondi;
    for (int g = 0; g < giri; ++g) {
        QStringList di_questo = argomenti;
        for (QString& a : di_questo)
            a.replace("%1", QString::number(g));
        QProcess p;
        if (!ingresso.isEmpty())
            p.setStandardInputFile(ingresso);
        p.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer t;
        t.start();
        p.start(cli, di_questo);
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit ||
            p.exitCode() != 0)
            return {};
        secondi.push_back(double(t.nsecsElapsed()) / 1e9);
    }
    std::sort(secondi.begin(), secondi.end());
    return secondi;
}

void stampa(const char* cosa, const std::vector<double>& s, double obiettivo) {
    if (s.empty()) {
        std::printf("%s: FAILED (contavoce-cli did not finish cleanly)\n", cosa);
        return;
    }
    std::printf("%s: median %.3f s (min %.3f, max %.3f; %zu runs) target <= %.1f s\n", cosa,
                s[s.size() / 2], s.front(), s.back(), s.size(), obiettivo);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: cli_bench PROGRAM_FOLDER\n");
        return 2;
    }
    const QString cli = QString::fromLocal8Bit(argv[1]) + "/contavoce-cli";
    QTemporaryDir dir;

    // 1 to 12 digits, a third each plain, with dots and with blanks.
    std::mt19937_64 caso(42);
    QByteArray righe;
    righe.reserve(16'000'000);
    for (int i = 0; i < 1'000'000; ++i) {
        const int cifre = 1 + int(caso() % 12);
        QByteArray n(1, char('1' + caso() % 9));
        for (int k = 1; k < cifre; ++k)
            n += char('0' + caso() % 10);
        const char separatore = "\0. "[i % 3];
        if (separatore != 0)
            for (int k = int(n.size()) - 3; k > 0; k -= 3)
                n.insert(k, separatore);
        righe += n;
        righe += '\n';
    }
    const QString ingresso = dir.filePath("numeri.txt");
    QFile f(ingresso);
    if (!f.open(QIODevice::WriteOnly) || f.write(righe) != righe.size())
        return 1;
    f.close();

    stampa("contavoce-cli words, 1,000,000 grouped numbers", tempi(cli, {"words"}, ingresso, 5),
           0.5);
    stampa("contavoce-cli words --grafia scolastica, 1,000,000 grouped numbers",
           tempi(cli, {"words", "--grafia", "scolastica"}, ingresso, 5), 0.5);
    stampa(
        "contavoce-cli scheda, a quinta's 100 exercises of every kind, key and dictation",
        tempi(cli,
              {"scheda", "--classe", "quinta", "--esercizi",
               "lettere:20,scomponi:15,valore:15,ordina:10,decimali:15,confronta:10,dettato:15",
               "--seme", "1", "--audio", dir.filePath("dettato%1"), dir.filePath("scheda%1.pdf")},
              {}, 5),
        2.0);
}
