// SPDX-License-Identifier: GPL-3.0-or-later
// The launcher's routines on their own: command lines, the program lookup,
// starting and waiting, removing a folder tree.
#include "setup/launcher/comandi.h"
#include "setup/launcher/setup.h"
#include "support/risposte.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

using namespace contavoce::setup;
namespace fs = std::filesystem;

class TstSetupRoutine : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void dividi_riga_di_comando_data();
    void dividi_riga_di_comando();
    void ordine_della_ricerca();
    void run_and_wait();
    void run_and_wait_non_parte();
    void remove_tree_cartelle_annidate();
    void remove_tree_cartella_col_punto();
    void remove_tree_non_segue_i_link();

private:
    fs::path crea(const QString& relativo, const QByteArray& contenuto = "x");
    QString cerca(const fs::path& nome) const;

    std::unique_ptr<QTemporaryDir> radice_;
    fs::path base_;
    QString corrente_iniziale_ = QDir::currentPath();
    Risposte risposte_;
    std::optional<Ambiente> ambiente_;
};

void TstSetupRoutine::init() {
    radice_ = std::make_unique<QTemporaryDir>();
    base_ = radice_->path().toStdString();
    fs::create_directories(base_ / "corrente");
    QVERIFY(QDir::setCurrent(QString::fromStdString(base_ / "corrente")));
    ambiente_.emplace(Ambiente{
        risposte_, base_ / "programma", {base_ / "path1", base_ / "path2"}, base_ / "tmp"});
}

void TstSetupRoutine::cleanup() {
    QDir::setCurrent(corrente_iniziale_);
}

fs::path TstSetupRoutine::crea(const QString& relativo, const QByteArray& contenuto) {
    const fs::path p = base_ / relativo.toStdString();
    fs::create_directories(p.parent_path());
    QFile f(QString::fromStdString(p));
    if (!f.open(QIODevice::WriteOnly) || f.write(contenuto) != contenuto.size())
        qFatal("cannot write %s", p.c_str());
    if (contenuto.startsWith("#!"))
        fs::permissions(p, fs::perms::owner_all, fs::perm_options::add);
    return p;
}

QString TstSetupRoutine::cerca(const fs::path& nome) const {
    const auto p = cerca_percorso(nome, ordine_di_ricerca(*ambiente_));
    return p ? QString::fromStdString(p->lexically_relative(base_)) : "(none)";
}

void TstSetupRoutine::dividi_riga_di_comando_data() {
    QTest::addColumn<QString>("riga");
    QTest::addColumn<QStringList>("argomenti");
    QTest::newRow("quoted blanks") << R"(cabextract -d "/tmp/a b"  "/x/y.cab" )"
                                   << QStringList{"cabextract", "-d", "/tmp/a b", "/x/y.cab"};
    QTest::newRow("empty") << " \t " << QStringList{};
    QTest::newRow("program name: quotes, no escapes")
        << R"("/opt/un prog\" a)" << QStringList{R"(/opt/un prog\)", "a"};
    QTest::newRow("quotes join") << R"(p a"b c"d "" x)" << QStringList{"p", "ab cd", "", "x"};
    QTest::newRow("backslashes") << R"(p a\"b "c\\" d\\\"e f\\g)"
                                 << QStringList{"p", "a\"b", R"(c\)", R"(d\"e)", R"(f\\g)"};
    QTest::newRow("doubled quote inside") << R"(p "a""b c)" << QStringList{"p", R"(a"b c)"};
    // What tra_virgolette writes comes back whole.
    const QStringList strani{"/tmp/con spazi", R"(di"ce)", R"(fine\)", R"(a\\"b)", ""};
    QString riga = "p";
    for (const QString& s : strani)
        riga += " " + tra_virgolette(s);
    QTest::newRow("tra_virgolette") << riga << QStringList{"p"} + strani;
}

void TstSetupRoutine::dividi_riga_di_comando() {
    QFETCH(QString, riga);
    QFETCH(QStringList, argomenti);
    QCOMPARE(contavoce::setup::dividi_riga_di_comando(riga), argomenti);
}

void TstSetupRoutine::ordine_della_ricerca() {
    for (const char* cartella : {"path2", "path1", "corrente", "programma"}) {
        crea(QString(cartella) + "/strumento");
        QCOMPARE(cerca("strumento"), QString(cartella) + "/strumento");
    }
    QCOMPARE(cerca("manca"), "(none)");
    // Folders are passed over; a name with a folder is looked for only there.
    fs::create_directories(base_ / "programma/cartella");
    crea("path2/cartella");
    QCOMPARE(cerca("cartella"), "path2/cartella");
    crea("corrente/sotto/strumento");
    QCOMPARE(cerca("sotto/strumento"), "corrente/sotto/strumento");
    QCOMPARE(cerca(base_ / "path1/sotto/strumento"), "(none)");
}

void TstSetupRoutine::run_and_wait() {
    // A slow program that fails: the launcher waits for it and ignores the failure.
    const QByteArray uscita = (base_ / "uscita").c_str();
    crea("path1/eco", "#!/bin/sh\nsleep 0.3\nprintf '%s\\n' \"$@\" > '" + uscita + "'\npwd >> '" +
                          uscita + "'\nexit 7\n");
    QElapsedTimer tempo;
    tempo.start();
    QVERIFY(contavoce::setup::run_and_wait(R"(eco uno "due tre" "" "qu\"attro")", Mostra::nascosta,
                                           *ambiente_));
    QVERIFY(tempo.elapsed() >= 300);
    QFile f(uscita);
    QVERIFY(f.open(QIODevice::ReadOnly));
    // Arguments arrive whole; it ran in the launcher's current directory.
    QCOMPARE(QString::fromUtf8(f.readAll()).split('\n'),
             (QStringList{"uno", "due tre", "", "qu\"attro",
                          QString::fromStdString(base_ / "corrente"), ""}));
}

void TstSetupRoutine::run_and_wait_non_parte() {
    crea("programma/non-eseguibile", "non uno script");
    fs::create_directories(base_ / "path1/cartella");
    for (const char* riga : {"non-c-e --help", "non-eseguibile", "cartella", ""})
        QVERIFY2(!contavoce::setup::run_and_wait(riga, Mostra::normale, *ambiente_), riga);
}

void TstSetupRoutine::remove_tree_cartelle_annidate() {
    for (const char* f :
         {"contavoce.inf", ".nascosto", "bin/contavoce", "bin/voci/.ds_store", "bin/voci/va1.wav"})
        crea(QString("lavoro/") + f);
    fs::create_directories(base_ / "lavoro/vuota/ancora");
    QVERIFY(remove_tree(base_ / "lavoro"));
    QVERIFY(!fs::exists(base_ / "lavoro"));
    QVERIFY(!remove_tree(base_ / "lavoro"));
}

void TstSetupRoutine::remove_tree_cartella_col_punto() {
    crea("lavoro/contavoce.inf");
    crea("lavoro/bin/.cache/dentro");
    QVERIFY(!remove_tree(base_ / "lavoro"));
    QVERIFY(fs::exists(base_ / "lavoro/bin/.cache/dentro"));
}

void TstSetupRoutine::remove_tree_non_segue_i_link() {
    crea("fuori/prezioso.txt");
    crea("fuori/sotto/altro.txt");
    fs::create_directories(base_ / "lavoro/bin");
    fs::create_directory_symlink(base_ / "fuori", base_ / "lavoro/link");
    fs::create_directory_symlink(base_ / "fuori/sotto", base_ / "lavoro/bin/.link-col-punto");
    fs::create_symlink(base_ / "fuori/prezioso.txt", base_ / "lavoro/link-a-file");
    fs::create_symlink(base_ / "non-c-e", base_ / "lavoro/link-rotto");
    fs::create_directory_symlink(base_ / "fuori", base_ / "link-diretto");
    QVERIFY(remove_tree(base_ / "lavoro"));
    QVERIFY(remove_tree(base_ / "link-diretto"));
    QVERIFY(!fs::exists(fs::symlink_status(base_ / "lavoro")));
    QVERIFY(!fs::exists(fs::symlink_status(base_ / "link-diretto")));
    QVERIFY(fs::exists(base_ / "fuori/prezioso.txt"));
    QVERIFY(fs::exists(base_ / "fuori/sotto/altro.txt"));
}

QTEST_GUILESS_MAIN(TstSetupRoutine)
#include "tst_setup_routine.moc"
