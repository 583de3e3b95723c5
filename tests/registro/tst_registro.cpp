// SPDX-License-Identifier: GPL-3.0-or-later
// The progress register on the real SQLite library in a temporary folder:
// two programs writing at once, a killed one, a damaged file, a read-only
// and a full folder, a file of the first schema, removals that leave nothing.
#include "registro/registro.h"

#include <QtTest>
#include <csignal>
#include <functional>
#include <grp.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace contavoce;
using namespace contavoce::registro;

namespace {

std::filesystem::path percorso(const QTemporaryDir& dir, const char* sotto = "Contavoce") {
    return std::filesystem::path(dir.path().toStdString()) / sotto;
}

QByteArray leggi(const std::filesystem::path& file) {
    QFile f(QString::fromStdString(file.string()));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int modo(const std::filesystem::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

NuovaRisposta risposta(std::int64_t giro, std::size_t i, bool giusta = true) {
    NuovaRisposta r;
    r.giro = giro;
    r.domanda = i;
    r.numero = std::to_string(1000 + i);
    r.testo = "Scrivi in cifre " + r.numero + std::string(400, ' ');
    r.attesa = r.numero;
    r.data = giusta ? r.numero : "1";
    r.giusta = giusta;
    r.secondi = 2.5;
    return r;
}

// A child with a round: the round's id.
std::int64_t con_giro(Registro& r, const char* nome) {
    const auto b = r.aggiungi_bambino(nome);
    if (!b) {
        qWarning("%s", r.errore().c_str());
        return 0;
    }
    NuovoGiro g;
    g.bambino = b->id;
    g.classe = Classe::quarta;
    g.livello = 2;
    g.tipo = Tipo::cifre;
    g.domande = 10;
    g.seme = 7;
    const auto giro = r.inizia_giro(g);
    if (!giro)
        qWarning("%s", r.errore().c_str());
    return giro.value_or(0);
}

// `f` in a child process; its exit status, or 128 + the signal that ended it.
int in_figlio(const std::function<int()>& f) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(f());
    int stato = 0;
    ::waitpid(pid, &stato, 0);
    return WIFEXITED(stato) ? WEXITSTATUS(stato) : 128 + WTERMSIG(stato);
}

// The first schema, as the first release wrote it.
const char* const schema_1 = R"(
CREATE TABLE bambini (id INTEGER PRIMARY KEY, nome TEXT NOT NULL, chiave TEXT NOT NULL UNIQUE,
    creato TEXT NOT NULL);
CREATE TABLE giri (id INTEGER PRIMARY KEY,
    bambino INTEGER NOT NULL REFERENCES bambini(id) ON DELETE CASCADE, inizio TEXT NOT NULL,
    fine TEXT, classe TEXT NOT NULL, livello INTEGER NOT NULL, tipo TEXT NOT NULL,
    domande INTEGER NOT NULL, seme TEXT NOT NULL, giuste INTEGER, stelle INTEGER);
CREATE TABLE risposte (id INTEGER PRIMARY KEY, quando TEXT NOT NULL,
    bambino INTEGER NOT NULL REFERENCES bambini(id) ON DELETE CASCADE,
    giro INTEGER NOT NULL REFERENCES giri(id) ON DELETE CASCADE, domanda INTEGER NOT NULL,
    classe TEXT NOT NULL, livello INTEGER NOT NULL, tipo TEXT NOT NULL, numero TEXT NOT NULL,
    testo TEXT NOT NULL, attesa TEXT NOT NULL, data TEXT NOT NULL, giusta INTEGER NOT NULL,
    tentativo INTEGER NOT NULL, secondi REAL NOT NULL);
INSERT INTO bambini VALUES (1, 'Giulia', 'giulia', '2024-10-01 09:00:00');
INSERT INTO giri VALUES (1, 1, '2024-10-01 09:01:00', '2024-10-01 09:05:00', 'terza', 2, 'ascolta',
    5, '42', 4, 3);
INSERT INTO risposte VALUES
    (1, '2024-10-01 09:01:10', 1, 1, 0, 'terza', 2, 'ascolta', '305', '', '305', '305', 1, 1, 3.5),
    (2, '2024-10-01 09:01:30', 1, 1, 1, 'terza', 2, 'ascolta', '740', '', '740', '704', 0, 1, 6.0),
    (3, '2024-10-01 09:01:40', 1, 1, 1, 'terza', 2, 'ascolta', '740', '', '740', '740', 1, 2, 4.0);
PRAGMA user_version = 1;
)";

bool sql(const std::filesystem::path& file, const char* testo) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(file.c_str(), &db) == SQLITE_OK &&
              sqlite3_exec(db, testo, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

QString una_riga(const std::filesystem::path& file, const char* testo) {
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    QString r = "(error)";
    if (sqlite3_open(file.c_str(), &db) == SQLITE_OK &&
        sqlite3_prepare_v2(db, testo, -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        r = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return r;
}

} // namespace

class TstRegistro : public QObject {
    Q_OBJECT

private slots:
    void due_programmi_scrivono_insieme();
    void ucciso_a_meta_giro();
    void file_rovinato_messo_da_parte_data();
    void file_rovinato_messo_da_parte();
    void cartella_di_sola_lettura_data();
    void cartella_di_sola_lettura();
    void disco_pieno();
    void migrazione_dal_primo_schema();
    void file_di_una_versione_piu_nuova();
    void nomi_e_cancellazione();
};

// Two windows of one account, each a child's round of 300 answers, written
// at the same time into a register neither has made yet: every answer kept,
// in a folder and files only the user can read.
void TstRegistro::due_programmi_scrivono_insieme() {
    QTemporaryDir dir;
    const auto cartella = percorso(dir);
    const mode_t maschera = ::umask(0);
    int via[2];
    QVERIFY(::pipe(via) == 0);
    constexpr std::size_t n = 300;
    std::vector<pid_t> figli;
    for (const char* nome : {"Primo", "Seconda"}) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            char c;
            ::close(via[1]);
            if (::read(via[0], &c, 1) != 0) // both start together, when the pipe closes
                ::_exit(3);
            Registro r = Registro::apri(cartella);
            const std::int64_t giro = con_giro(r, nome);
            if (giro == 0)
                ::_exit(1);
            for (std::size_t i = 0; i < n; ++i)
                if (!r.registra_risposta(risposta(giro, i)))
                    ::_exit(2);
            ::_exit(r.chiudi_giro(giro, n, 3) ? 0 : 2);
        }
        figli.push_back(pid);
    }
    ::close(via[0]);
    ::close(via[1]);
    for (const pid_t pid : figli) {
        int stato = 0;
        ::waitpid(pid, &stato, 0);
        QCOMPARE(WIFEXITED(stato) ? WEXITSTATUS(stato) : -1, 0);
    }
    Registro r = Registro::apri(cartella);
    ::umask(maschera);
    QVERIFY2(r.salva() && !r.avviso(), r.errore().c_str());
    const auto tutte = r.risposte();
    QVERIFY(tutte);
    QCOMPARE(tutte->size(), 2 * n);
    const auto bambini = r.bambini();
    QCOMPARE(bambini->size(), std::size_t{2});
    for (const Bambino& b : *bambini)
        QCOMPARE(r.conteggi(b.id)->front().giuste, n);
    QCOMPARE(modo(cartella), 0700);
    for (const char* f : {"registro.sqlite", "registro.sqlite-wal", "registro.sqlite-shm"})
        QCOMPARE(modo(cartella / f), 0600);
}

// Killed while a round goes on: every answer the program was told is kept is
// there afterwards, and at most the one being written besides.
void TstRegistro::ucciso_a_meta_giro() {
    if (qEnvironmentVariableIsEmpty("CONTAVOCE_PROVE_GUASTI"))
        QSKIP("a fault test: ctest -L faults");
    QTemporaryDir dir;
    const auto cartella = percorso(dir);
    std::size_t prima = 0;
    for (const int uccidi_dopo : {3, 17, 40}) {
        int via[2];
        QVERIFY(::pipe(via) == 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(via[0]);
            Registro r = Registro::apri(cartella);
            const std::int64_t giro =
                con_giro(r, ("Bambino " + std::to_string(uccidi_dopo)).c_str());
            for (std::size_t i = 0; giro != 0; ++i)
                if (r.registra_risposta(risposta(giro, i)) && ::write(via[1], "x", 1) != 1)
                    break;
            ::_exit(1);
        }
        ::close(via[1]);
        int detti = 0;
        char c;
        while (detti < uccidi_dopo && ::read(via[0], &c, 1) == 1)
            ++detti;
        ::kill(pid, SIGKILL);
        while (::read(via[0], &c, 1) == 1)
            ++detti;
        ::close(via[0]);
        ::waitpid(pid, nullptr, 0);
        Registro r = Registro::apri(cartella);
        QVERIFY2(r.salva(), r.errore().c_str());
        const std::size_t trovate = r.risposte()->size() - prima;
        qInfo("killed after %d answers reported written: %zu found", detti, trovate);
        QVERIFY(trovate >= std::size_t(detti) && trovate <= std::size_t(detti) + 1);
        prima += trovate;
    }
}

void TstRegistro::file_rovinato_messo_da_parte_data() {
    QTest::addColumn<QString>("guasto");
    QTest::newRow("not a database") << "testo";
    QTest::newRow("a page overwritten") << "pagina";
}

// Set aside under a dated name, bytes and all, never over an earlier one;
// the child told; a new register that works.
void TstRegistro::file_rovinato_messo_da_parte() {
    QFETCH(QString, guasto);
    QTemporaryDir dir;
    const auto cartella = percorso(dir);
    const auto file = cartella / nome_file_registro;
    for (int volta = 1; volta <= 2; ++volta) {
        {
            Registro r = Registro::apri(cartella);
            QVERIFY(con_giro(r, volta == 1 ? "Carla" : "Ciro") != 0);
        }
        QByteArray rovinato = leggi(file);
        if (guasto == "testo")
            rovinato = QByteArray("questo non è un registro\n").repeated(300);
        else
            rovinato.replace(4096, 4096, QByteArray(4096, '\xab'));
        QFile f(QString::fromStdString(file.string()));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(rovinato) > 0);
        f.close();

        Registro r = Registro::apri(cartella);
        QVERIFY2(r.salva(), r.errore().c_str());
        QCOMPARE(r.avviso().value_or(""), std::string("Il registro dei progressi era rovinato: "
                                                      "l'ho messo da parte e ne ho cominciato "
                                                      "uno nuovo."));
        QCOMPARE(r.avviso_da_dare(), r.avviso());
        QCOMPARE(r.avviso_da_dare(), std::optional<std::string>());
        QCOMPARE(r.bambini()->size(), std::size_t{0});
        QVERIFY(con_giro(r, "Carla") != 0);
        const QStringList messi = QDir(QString::fromStdString(cartella.string()))
                                      .entryList({"registro-danneggiato-*.sqlite"}, QDir::Files);
        QCOMPARE(messi.size(), volta);
        QRegularExpression nome(R"(^registro-danneggiato-\d{8}-\d{6}(-\d+)?\.sqlite$)");
        bool trovato = false;
        for (const QString& m : messi) {
            QVERIFY2(nome.match(m).hasMatch(), qPrintable(m));
            trovato |= leggi(cartella / m.toStdString()) == rovinato;
        }
        QVERIFY(trovato);
    }
}

void TstRegistro::cartella_di_sola_lettura_data() {
    QTest::addColumn<bool>("con_registro");
    QTest::newRow("no register yet") << false;
    QTest::newRow("a register there") << true;
}

// Nothing can be kept: every call says so without a crash, the child is told
// once, the register there stays as it was. As root the permission bits
// alone would not stop the writes, so the child process gives up root.
void TstRegistro::cartella_di_sola_lettura() {
    QFETCH(bool, con_registro);
    QTemporaryDir dir;
    const auto cartella = percorso(dir);
    const bool root = ::geteuid() == 0;
    constexpr uid_t nessuno = 65534;
    QByteArray prima;
    if (con_registro) {
        {
            Registro r = Registro::apri(cartella);
            QVERIFY(con_giro(r, "Dario") != 0);
        }
        prima = leggi(cartella / nome_file_registro);
        if (root)
            for (const auto& p : {cartella, cartella / nome_file_registro})
                QVERIFY(::chown(p.c_str(), nessuno, nessuno) == 0);
        QVERIFY(::chmod(cartella.c_str(), 0500) == 0);
    } else {
        QVERIFY(::chmod(dir.path().toLocal8Bit().constData(), root ? 0755 : 0555) == 0);
    }
    const int stato = in_figlio([&] {
        if (root &&
            (::setgroups(0, nullptr) != 0 || ::setgid(nessuno) != 0 || ::setuid(nessuno) != 0))
            return 125;
        Registro r = Registro::apri(cartella);
        if (r.salva() || !r.avviso() ||
            r.avviso()->find("non vengono salvati") == std::string::npos)
            return 10;
        if (r.aggiungi_bambino("Ester") || r.inizia_giro({}) ||
            r.registra_risposta(risposta(1, 0)) || r.registra_risposta(risposta(1, 1)))
            return 11;
        if (r.avviso_da_dare() != r.avviso() || r.avviso_da_dare())
            return 12;
        return r.errore().empty() ? 13 : 0;
    });
    ::chmod(cartella.c_str(), 0700);
    ::chmod(dir.path().toLocal8Bit().constData(), 0700);
    if (stato == 125)
        QSKIP("cannot give up root here");
    QCOMPARE(stato, 0);
    if (con_registro)
        QCOMPARE(leggi(cartella / nome_file_registro), prima);
}

// The disk fills up in the middle of a round (a file-size limit makes each
// write past it fail as on a full disk): the calls say so, the child is told
// once, the round's later answers are still tried and kept once there is room.
void TstRegistro::disco_pieno() {
    QTemporaryDir dir;
    const auto cartella = percorso(dir);
    int via[2];
    QVERIFY(::pipe(via) == 0);
    const int stato = in_figlio([&] {
        Registro r = Registro::apri(cartella);
        const std::int64_t giro = con_giro(r, "Fabio");
        if (giro == 0)
            return 10;
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limite{};
        ::getrlimit(RLIMIT_FSIZE, &limite);
        const rlim_t di_prima = limite.rlim_cur;
        limite.rlim_cur = 512 * 1024;
        ::setrlimit(RLIMIT_FSIZE, &limite);
        std::size_t scritte = 0, fallite = 0, avvisi = 0, i = 0;
        for (; i < 300; ++i) {
            if (r.registra_risposta(risposta(giro, i)))
                ++scritte;
            else
                ++fallite;
            avvisi += r.avviso_da_dare().has_value();
        }
        limite.rlim_cur = di_prima;
        ::setrlimit(RLIMIT_FSIZE, &limite);
        for (std::size_t k = 0; k < 5; ++k, ++i)
            if (r.registra_risposta(risposta(giro, i)))
                ++scritte;
        const std::size_t esito[] = {scritte, fallite, avvisi};
        return ::write(via[1], esito, sizeof esito) == sizeof esito ? 0 : 11;
    });
    ::close(via[1]);
    std::size_t esito[3] = {};
    QVERIFY(::read(via[0], esito, sizeof esito) == sizeof esito);
    ::close(via[0]);
    QCOMPARE(stato, 0);
    const auto [scritte, fallite, avvisi] = esito;
    qInfo("%zu answers written, %zu refused on the full disk", scritte, fallite);
    QVERIFY(scritte > 5 && fallite > 0);
    QCOMPARE(avvisi, std::size_t{1});
    Registro r = Registro::apri(cartella);
    QVERIFY2(r.salva() && !r.avviso(), r.errore().c_str());
    QCOMPARE(r.risposte()->size(), scritte);
}

void TstRegistro::migrazione_dal_primo_schema() {
    QTemporaryDir dir;
    const auto cartella = percorso(dir);
    std::filesystem::create_directories(cartella);
    const auto file = cartella / nome_file_registro;
    QVERIFY(sql(file, schema_1));
    {
        Registro r = Registro::apri(cartella);
        QVERIFY2(r.salva() && !r.avviso(), r.errore().c_str());
        const auto bambini = r.bambini();
        QCOMPARE(bambini->size(), std::size_t{1});
        QCOMPARE(bambini->front().nome, std::string("Giulia"));
        const auto giri = r.giri(bambini->front().id);
        QCOMPARE(giri->size(), std::size_t{1});
        QCOMPARE(giri->front().seme, std::uint64_t{42});
        QCOMPARE(giri->front().lezione, std::string());
        QCOMPARE(r.risposte()->size(), std::size_t{3});
        const auto conteggi = r.conteggi(bambini->front().id);
        QCOMPARE(conteggi->size(), std::size_t{1});
        QCOMPARE(conteggi->front().giuste, std::size_t{2}); // 740 right at the second try
        QCOMPARE(conteggi->front().totale, std::size_t{2});
        NuovoGiro g;
        g.bambino = bambini->front().id;
        g.lezione = "Lezione del lunedì";
        QVERIFY(r.inizia_giro(g));
        QCOMPARE(r.giri(g.bambino)->back().lezione, g.lezione);
    }
    QCOMPARE(una_riga(file, "PRAGMA user_version"), QString::number(versione_schema));
    QCOMPARE(una_riga(file, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name "
                            "LIKE 'risposte_per_%'"),
             "3");
}

// Left exactly as it is, and nothing written: that program's data are its own.
void TstRegistro::file_di_una_versione_piu_nuova() {
    QTemporaryDir dir;
    const auto cartella = percorso(dir);
    std::filesystem::create_directories(cartella);
    const auto file = cartella / nome_file_registro;
    QVERIFY(sql(file, schema_1));
    QVERIFY(sql(file, "PRAGMA user_version = 99"));
    const QByteArray prima = leggi(file);
    {
        Registro r = Registro::apri(cartella);
        QVERIFY(!r.salva());
        QVERIFY(r.avviso() && r.avviso()->find("più nuova") != std::string::npos);
        QVERIFY(!r.aggiungi_bambino("Ivo"));
        QVERIFY(!r.registra_risposta(risposta(1, 5)));
    }
    QCOMPARE(leggi(file), prima);
    QCOMPARE(std::filesystem::exists(file.string() + "-wal"), false);
}

// Names as a class has them; a child removed leaves nothing of theirs in
// the file nor in its log, the others kept.
void TstRegistro::nomi_e_cancellazione() {
    QTemporaryDir dir;
    const auto cartella = percorso(dir);
    Registro r = Registro::apri(cartella);
    for (const char* nome : {"  Mirtillo ", "bruno", "Èlia", "anna", "Elia"})
        QVERIFY2(r.aggiungi_bambino(nome), r.errore().c_str());
    std::vector<std::string> nomi;
    const auto bambini = r.bambini();
    for (const Bambino& b : *bambini)
        nomi.push_back(b.nome);
    QCOMPARE(nomi, (std::vector<std::string>{"anna", "bruno", "Elia", "Èlia", "Mirtillo"}));
    for (const char* doppio : {"Anna", "MIRTILLO", "èlia"}) {
        QVERIFY(!r.aggiungi_bambino(doppio));
        QVERIFY2(r.errore().starts_with("C'è già un bambino che si chiama"), r.errore().c_str());
    }
    const std::vector<std::string> cattivi = {"   ", std::string(41, 'a'), "A\tB", "Li\nno",
                                              "\xc3"};
    for (const std::string& cattivo : cattivi) {
        QVERIFY(!r.aggiungi_bambino(cattivo));
        QVERIFY(!r.errore().empty());
    }
    QVERIFY(r.aggiungi_bambino(std::string(40, 'z')));
    QCOMPARE(r.bambini()->size(), std::size_t{6});

    const auto mirtillo = r.trova_bambino("mirtillo");
    QVERIFY(mirtillo);
    NuovoGiro g;
    g.bambino = mirtillo->id;
    for (int k = 0; k < 2; ++k) {
        const auto giro = r.inizia_giro(g);
        for (std::size_t i = 0; i < 5; ++i)
            QVERIFY(r.registra_risposta(risposta(*giro, i, i % 2 == 0)));
    }
    const std::int64_t giro_anna = [&] {
        g.bambino = r.trova_bambino("anna")->id;
        return *r.inizia_giro(g);
    }();
    QVERIFY(r.registra_risposta(risposta(giro_anna, 0)));

    const auto tolti = r.rimuovi_bambino(mirtillo->id);
    QVERIFY2(tolti, r.errore().c_str());
    QCOMPARE(tolti->giri, std::size_t{2});
    QCOMPARE(tolti->risposte, std::size_t{10});
    QVERIFY(!r.rimuovi_bambino(mirtillo->id));
    QCOMPARE(r.risposte()->size(), std::size_t{1});
    const auto tracce = [&](const char* nome) {
        int n = 0;
        for (const char* f : {"registro.sqlite", "registro.sqlite-wal", "registro.sqlite-shm"})
            n += leggi(cartella / f).toLower().count(nome);
        return n;
    };
    QCOMPARE(tracce("mirtillo"), 0);
    QVERIFY(tracce("bruno") > 0);
    const auto tutti = r.rimuovi_tutti();
    QVERIFY(tutti);
    QCOMPARE(tutti->bambini, std::size_t{5});
    QCOMPARE(tutti->risposte, std::size_t{1});
    QCOMPARE(tracce("bruno") + tracce("anna") + tracce("lia"), 0);
}

QTEST_GUILESS_MAIN(TstRegistro)
#include "tst_registro.moc"
