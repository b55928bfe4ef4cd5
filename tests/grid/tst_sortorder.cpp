// Sorting the view by one column or by a whole expression: a second choice of the same column
// reverses it (a column named inside the current expression counts as the same), another column
// starts again from itself alone; a sort the archive cannot carry out is reported, never lost in
// silence, and leaves the order in force.

#include "testsupport.h"

#include "grid/sortorder.h"

#include "objdb/amount.h"

#include <QApplication>
#include <QtTest>

class TestSortOrder : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    TestSupport::Archive m_archive;
    std::shared_ptr<objdb::DataSource> m_movements;

    // The descriptions of the movements in the order the view shows them.
    QStringList shown()
    {
        QStringList descriptions;
        for (bool more = m_movements->MoveFirst(); more; more = m_movements->MoveNext())
            descriptions.append(m_movements->GetField(QStringLiteral("Descrizione")).toString());
        return descriptions;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_archive = TestSupport::openArchive(m_dir->databasePath());
        auto movements = m_archive.context->Tables().Item(QStringLiteral("Movimenti")).OpenDataSource();
        for (const auto &[description, amount] : {std::pair{"Beta", 300}, {"Alfa", 100}, {"Gamma", 200}})
            QVERIFY(movements->AddRow({QStringLiteral("Descrizione"), QString::fromLatin1(description), QStringLiteral("Importo"),
                                       QVariant::fromValue(objdb::Amount::fromInteger(amount))}));
        m_movements = m_archive.context->Tables().Item(QStringLiteral("Movimenti")).OpenDataSource();
    }

    void cleanup()
    {
        m_movements.reset();
        m_archive = {};
        m_dir.reset();
    }

    void sameColumnReversesAnotherStartsAlone()
    {
        SetSortOrder(QStringLiteral("Importo"), *m_movements);
        QCOMPARE(m_movements->Sort(), QStringLiteral("Importo"));
        QCOMPARE(shown(), (QStringList{"Alfa", "Gamma", "Beta"}));
        SetSortOrder(QStringLiteral("Importo"), *m_movements);
        QCOMPARE(m_movements->Sort(), QStringLiteral("Importo DESC"));
        QCOMPARE(shown(), (QStringList{"Beta", "Gamma", "Alfa"}));
        SetSortOrder(QStringLiteral("Importo"), *m_movements);
        QCOMPARE(shown(), (QStringList{"Alfa", "Gamma", "Beta"}));
        SetSortOrder(QStringLiteral("Importo"), *m_movements);
        QCOMPARE(shown(), (QStringList{"Beta", "Gamma", "Alfa"}));

        SetSortOrder(QStringLiteral("Descrizione"), *m_movements);
        QCOMPARE(m_movements->Sort(), QStringLiteral("Descrizione"));
        QCOMPARE(shown(), (QStringList{"Alfa", "Beta", "Gamma"}));
    }

    // "Importo" occurs in "ImportoInSospeso": the plain text test takes it as the column in force.
    void columnInsideTheCurrentExpressionIsReversed()
    {
        SetSortOrder(QStringLiteral("ImportoInSospeso DESC"), *m_movements);
        QCOMPARE(shown(), (QStringList{"Beta", "Gamma", "Alfa"}));
        SetSortOrder(QStringLiteral("Importo"), *m_movements);
        QCOMPARE(m_movements->Sort(), QStringLiteral("Importo"));
        QCOMPARE(shown(), (QStringList{"Alfa", "Gamma", "Beta"}));

        SetSortOrder(QStringLiteral("ImportoInSospeso"), *m_movements);
        SetSortOrder(QStringLiteral("Importo"), *m_movements);
        QCOMPARE(m_movements->Sort(), QStringLiteral("Importo DESC"));
        QCOMPARE(shown(), (QStringList{"Beta", "Gamma", "Alfa"}));
    }

    // An expression of several columns is taken whole; one of its columns afterwards sorts that
    // column alone, ascending when the expression held a descending column.
    void combinedExpressionThenOneOfItsColumns()
    {
        SetSortOrder(QStringLiteral("Importo DESC, Descrizione"), *m_movements);
        QCOMPARE(m_movements->Sort(), QStringLiteral("Importo DESC, Descrizione"));
        QCOMPARE(shown(), (QStringList{"Beta", "Gamma", "Alfa"}));
        SetSortOrder(QStringLiteral("Descrizione"), *m_movements);
        QCOMPARE(m_movements->Sort(), QStringLiteral("Descrizione"));
        QCOMPARE(shown(), (QStringList{"Alfa", "Beta", "Gamma"}));
    }

    // No order: the view's own.
    void emptyTextRemovesTheOrder()
    {
        const QStringList natural = shown();
        SetSortOrder(QStringLiteral("Importo DESC"), *m_movements);
        QVERIFY(shown() != natural);
        SetSortOrder(QString(), *m_movements);
        QCOMPARE(m_movements->Sort(), m_movements->DefaultSort());
        QCOMPARE(shown(), natural);
    }

    void failureIsReported()
    {
        TestSupport::ScriptedMessages messages;
        SetSortOrder(QStringLiteral("Importo"), *m_movements);
        QVERIFY(messages.texts().isEmpty());

        // A column the view does not have: the order in force stays.
        SetSortOrder(QStringLiteral("Premio"), *m_movements);
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY2(messages.texts().first().endsWith(QStringLiteral("Visualizzare dettagli ?")), qPrintable(messages.texts().first()));
        QCOMPARE(m_movements->Sort(), QStringLiteral("Importo"));
        QCOMPARE(shown(), (QStringList{"Alfa", "Gamma", "Beta"}));

        QVERIFY(m_movements->MoveFirst());
        m_archive.database->Close();
        SetSortOrder(QStringLiteral("Descrizione"), *m_movements);
        QCOMPARE(messages.texts().size(), 2);
        QVERIFY(messages.texts().last().endsWith(QStringLiteral("Visualizzare dettagli ?")));
    }
};

COBRELLE_TEST_MAIN(TestSortOrder)
#include "tst_sortorder.moc"
