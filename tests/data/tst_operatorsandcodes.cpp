// The keys that other rows and the login find rows by: operator names and the codes of companies,
// collaborators and operation types are required and trimmed; the administrator keeps his name;
// an operator's name fits wherever it is copied and is no other operator's in other case or
// blanks; a password is stored as its hash whatever writes it.

#include "paneldriver.h"
#include "testsupport.h"

#include "data/storedpassword.h"

#include "objdb/amount.h"
#include "objdb/error.h"
#include "objdb/panel/editpaneldialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QSqlQuery>
#include <QtTest>

using namespace objdb;

namespace {

// The ways a password reaches the table.
enum class PasswordWrite { NewRow, StoredRow, Panel };

} // namespace

Q_DECLARE_METATYPE(PasswordWrite)

class TestOperatorsAndCodes : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    std::unique_ptr<TestSupport::RecordingSink> m_sink;
    TestSupport::Archive m_archive;

    Table &table(const QString &name) { return m_archive.context->Tables().Item(name); }

    int rowCount(const QString &name) { return table(name).OpenDataSource()->RecordCount(); }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_sink = std::make_unique<TestSupport::RecordingSink>();
        m_archive = TestSupport::openArchive(m_dir->databasePath(), m_sink.get());
    }

    void cleanup()
    {
        m_archive = {};
        m_dir.reset();
    }

    void keysAreRequiredAndTrimmed_data()
    {
        QTest::addColumn<QString>("tableName");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariantList>("otherValues");
        QTest::newRow("operator") << "Operatori" << "Nome" << QVariantList{};
        QTest::newRow("company") << "Compagnie" << "Codice" << QVariantList{"RagioneSociale", "Alfa spa"};
        QTest::newRow("collaborator") << "Collaboratori" << "Codice" << QVariantList{"Nome", "Rossi"};
        QTest::newRow("operation type") << "TipiOperazione" << "Codice" << QVariantList{"Descrizione", "Bonifico"};
    }

    void keysAreRequiredAndTrimmed()
    {
        QFETCH(QString, tableName);
        QFETCH(QString, key);
        QFETCH(QVariantList, otherValues);
        const int before = rowCount(tableName);
        const QString required = QStringLiteral("Il campo %1 è obbligatorio.").arg(key);

        // Never written, empty, blank: refused, and nothing is stored.
        auto ds = table(tableName).OpenDataSource();
        QCOMPARE(TestSupport::refusal([&] { ds->AddRow(otherValues); }), required);
        QCOMPARE(TestSupport::refusal([&] { ds->AddRow(QVariantList{key, QString()} + otherValues); }), required);
        QCOMPARE(TestSupport::refusal([&] { ds->AddRow(QVariantList{key, QStringLiteral("   ")} + otherValues); }), required);
        QVERIFY(ds->AddNew());
        QCOMPARE(TestSupport::refusal([&] { ds->SaveRow(); }), required);
        QCOMPARE(rowCount(tableName), before);

        // Blanks around a key are not part of it.
        QVERIFY(ds->AddRow(QVariantList{key, QStringLiteral("  K9 ")} + otherValues));
        QCOMPARE(ds->GetField(key).toString(), QStringLiteral("K9"));
        QVERIFY(table(tableName).OpenDataSource()->FindFirst(key + QStringLiteral(" = 'K9'")));

        // A stored row cannot lose its key either.
        QCOMPARE(TestSupport::refusal([&] { ds->SetField(key, QStringLiteral(" ")); }), required);
        QCOMPARE(ds->GetField(key).toString(), QStringLiteral("K9"));
        QCOMPARE(rowCount(tableName), before + 1);
    }

    // The panel that creates a company says what is missing and keeps the row unsaved.
    void panelWithoutCodeStaysOpen()
    {
        TestSupport::ScriptedMessages answers;
        EditPanelDialog panel(table(QStringLiteral("Compagnie")).OpenDataSource(), QString(), nullptr);
        QVERIFY(panel.startNew({}));
        panel.findChild<QLineEdit *>(QStringLiteral("edit_RagioneSociale"))->setText(QStringLiteral("Beta srl"));
        QVERIFY(!panel.save());
        QCOMPARE(m_sink->messages.last(), QStringLiteral("Il campo Codice è obbligatorio."));
        QCOMPARE(rowCount(QStringLiteral("Compagnie")), 0);
        panel.findChild<QLineEdit *>(QStringLiteral("edit_Codice"))->setText(QStringLiteral(" B1 "));
        QVERIFY(panel.save());
        auto stored = table(QStringLiteral("Compagnie")).OpenDataSource();
        QVERIFY(stored->FindFirst(QStringLiteral("Codice = 'B1'")));
        QCOMPARE(stored->GetField(QStringLiteral("RagioneSociale")).toString(), QStringLiteral("Beta srl"));
    }

    void administratorKeepsHisName()
    {
        auto operators = table(QStringLiteral("Operatori")).OpenDataSource();
        QVERIFY(operators->FindFirst(QStringLiteral("Nome = 'Amministratore'")));
        QVERIFY(!operators->SetField(QStringLiteral("Nome"), QStringLiteral("Capo")));
        QCOMPARE(m_sink->messages.last(), QStringLiteral("Non è possibile rinominare l'utente Amministratore."));
        QCOMPARE(operators->GetField(QStringLiteral("Nome")).toString(), QStringLiteral("Amministratore"));
        operators->SaveRow();
        QVERIFY(table(QStringLiteral("Operatori")).OpenDataSource()->FindFirst(QStringLiteral("Nome = 'Amministratore'")));

        // Other operators may be renamed.
        QVERIFY(operators->AddRow({QStringLiteral("Nome"), QStringLiteral("Mario")}));
        QVERIFY(operators->SetField(QStringLiteral("Nome"), QStringLiteral("Capo")));
        operators->SaveRow();
        QCOMPARE(rowCount(QStringLiteral("Operatori")), 2);
    }

    void passwordIsStoredAsItsHash_data()
    {
        QTest::addColumn<PasswordWrite>("path");
        QTest::newRow("new row") << PasswordWrite::NewRow;
        QTest::newRow("stored row") << PasswordWrite::StoredRow;
        QTest::newRow("editing panel") << PasswordWrite::Panel;
    }
    void passwordIsStoredAsItsHash()
    {
        QFETCH(PasswordWrite, path);
        auto ds = table(QStringLiteral("Operatori")).OpenDataSource();
        switch (path) {
        case PasswordWrite::NewRow:
            QVERIFY(ds->AddRow({QStringLiteral("Nome"), QStringLiteral("Rossi"), QStringLiteral("Password"), QStringLiteral("pw1")}));
            break;
        case PasswordWrite::StoredRow:
            QVERIFY(ds->AddRow({QStringLiteral("Nome"), QStringLiteral("Rossi")}));
            QVERIFY(ds->SetField(QStringLiteral("Password"), QStringLiteral("pw1")));
            ds->SaveRow();
            break;
        case PasswordWrite::Panel: {
            TestSupport::ScriptedMessages answers;
            EditPanelDialog panel(table(QStringLiteral("Operatori")).OpenDataSource(), QString(), nullptr);
            QVERIFY(panel.startNew({}));
            PanelDriver::type(PanelDriver::edit(panel, QStringLiteral("Nome")), QStringLiteral("Rossi"));
            PanelDriver::type(PanelDriver::edit(panel, QStringLiteral("Password")), QStringLiteral("pw1"));
            QVERIFY(panel.save());
            break;
        }
        }
        auto stored = table(QStringLiteral("Operatori")).OpenDataSource();
        QVERIFY(stored->FindFirst(QStringLiteral("Nome = 'Rossi'")));
        const QString hash = stored->GetField(QStringLiteral("Password")).toString();
        QVERIFY2(isPasswordHash(hash), qPrintable(hash));
        QVERIFY(matchesPasswordHash(QStringLiteral("pw1"), hash));

        // A hash written stays as it is: never the hash of a hash. An empty password stays empty.
        QVERIFY(stored->SetField(QStringLiteral("Password"), hash));
        QCOMPARE(stored->GetField(QStringLiteral("Password")).toString(), hash);
        QVERIFY(stored->SetField(QStringLiteral("Password"), QStringLiteral("  ")));
        QCOMPARE(stored->GetField(QStringLiteral("Password")), QVariant(QStringLiteral("")));
    }

    void operatorNamesDifferBeyondCaseAndBlanks_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("rename");
        QTest::newRow("case and trailing blank") << "Rossi" << "rossi " << false;
        QTest::newRow("capitals and leading blanks") << "Rossi" << "  ROSSI" << false;
        QTest::newRow("inner blanks") << "Mario Rossi" << "mario  rossi" << false;
        QTest::newRow("the administrator") << "Amministratore" << "amministratore" << false;
        QTest::newRow("renamed") << "Rossi" << "ROSSI" << true;
    }
    void operatorNamesDifferBeyondCaseAndBlanks()
    {
        QFETCH(QString, existing);
        QFETCH(QString, name);
        QFETCH(bool, rename);
        auto ds = table(QStringLiteral("Operatori")).OpenDataSource();
        if (existing != QLatin1String("Amministratore"))
            QVERIFY(ds->AddRow({QStringLiteral("Nome"), existing}));
        const int before = rowCount(QStringLiteral("Operatori"));
        if (rename) {
            QVERIFY(ds->AddRow({QStringLiteral("Nome"), QStringLiteral("Bianchi")}));
            QVERIFY(!ds->SetField(QStringLiteral("Nome"), name));
            QCOMPARE(ds->GetField(QStringLiteral("Nome")).toString(), QStringLiteral("Bianchi"));
        } else {
            QVERIFY(!ds->AddRow({QStringLiteral("Nome"), name}));
            QCOMPARE(rowCount(QStringLiteral("Operatori")), before);
        }
        QVERIFY(m_sink->messages.last().startsWith(QStringLiteral("Esiste già l'operatore %1:").arg(existing)));

        // An operator may write his own name in other case.
        QVERIFY(ds->FindFirst(QStringLiteral("Nome = ") + table(QStringLiteral("Operatori")).Literal(QStringLiteral("Nome"), existing)));
        if (existing != QLatin1String("Amministratore")) {
            QVERIFY(ds->SetField(QStringLiteral("Nome"), existing.toUpper()));
            ds->SaveRow();
        }
    }

    // A name longer than the column is refused with a message, never cut short.
    void tooLongNameIsRefusedInThePanel()
    {
        TestSupport::ScriptedMessages answers;
        const QString name(70, QLatin1Char('N'));
        EditPanelDialog panel(table(QStringLiteral("Operatori")).OpenDataSource(), QString(), nullptr);
        QVERIFY(panel.startNew({}));
        PanelDriver::type(PanelDriver::edit(panel, QStringLiteral("Nome")), name);
        QVERIFY(!panel.save());
        QVERIFY(m_sink->messages.contains(QStringLiteral("Il testo del campo Nome supera la lunghezza massima di 64 caratteri.")));
        QCOMPARE(rowCount(QStringLiteral("Operatori")), 1);
    }

    // The longest name an operator can have is recorded with every payment he takes.
    void longestOperatorNameFitsInPayments()
    {
        const QString name(64, QLatin1Char('N'));
        QVERIFY(table(QStringLiteral("Operatori")).OpenDataSource()->AddRow({QStringLiteral("Nome"), name}));
        QCOMPARE(TestSupport::refusal([&] {
                     table(QStringLiteral("Operatori")).OpenDataSource()->AddRow({QStringLiteral("Nome"), name + QLatin1Char('N')});
                 }).left(38),
                 QStringLiteral("Il testo del campo Nome supera la lung"));

        auto movements = table(QStringLiteral("Movimenti")).OpenDataSource();
        QVERIFY(movements->AddRow({QStringLiteral("Descrizione"), QStringLiteral("Polizza"), QStringLiteral("Importo"),
                                   QVariant::fromValue(Amount::fromInteger(100))}));
        auto payments = table(QStringLiteral("Pagamenti")).OpenDataSource();
        QVERIFY(payments->AddRow({QStringLiteral("OID_Movimenti"), movements->Bookmark(), QStringLiteral("Operatore"), name,
                                  QStringLiteral("Contanti"), QVariant::fromValue(Amount::fromInteger(30))}));
        QCOMPARE(payments->GetField(QStringLiteral("Operatore")).toString(), name);
    }
};

COBRELLE_TEST_MAIN(TestOperatorsAndCodes)
#include "tst_operatorsandcodes.moc"
