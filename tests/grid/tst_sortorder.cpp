// Sorting the view: a sort the archive cannot carry out is reported, never lost in silence.

#include "testsupport.h"

#include "grid/sortorder.h"

#include <QApplication>
#include <QtTest>

class TestSortOrder : public QObject {
    Q_OBJECT

private slots:
    void failureIsReported()
    {
        TestSupport::TempWorkDir dir;
        auto archive = TestSupport::openArchive(dir.databasePath());
        auto operators = archive.context->Tables().Item(QStringLiteral("Operatori")).OpenDataSource();
        QVERIFY(operators->MoveFirst());
        TestSupport::ScriptedMessages messages;
        SetSortOrder(QStringLiteral("Nome"), *operators);
        QVERIFY(messages.texts().isEmpty());

        archive.database->Close();
        SetSortOrder(QStringLiteral("Nome"), *operators);
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.texts().first().endsWith(QStringLiteral("Visualizzare dettagli ?")));
    }
};

COBRELLE_TEST_MAIN(TestSortOrder)
#include "tst_sortorder.moc"
