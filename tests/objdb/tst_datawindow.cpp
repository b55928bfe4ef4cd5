// The data window: one per process, its title and count, rows read by pages, sorting by a header.

#include "gridtestschema.h"
#include "objdbtestsupport.h"

#include "objdb/amount.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "objdb/viewer/datawindow.h"

#include <QHeaderView>
#include <QLabel>
#include <QSqlQuery>
#include <QTableView>
#include <QtTest>

using namespace objdb;

class TestDataWindow : public GridTest::ArchiveTest {
    Q_OBJECT

    std::shared_ptr<DataSource> open(const QString &filter = QString())
    {
        OpenOptions options;
        options.readOnly = true;
        return m_context->Tables().Item(QStringLiteral("Voci")).OpenDataSource(filter, QString(), options);
    }

    void insertRows(int count)
    {
        TransactionGuard transaction(*m_db);
        QSqlQuery q = m_db->prepare(QStringLiteral("INSERT INTO Voci (Nome, Importo, Data, Pagato) VALUES (?, ?, ?, ?)"));
        for (int i = 0; i < count; ++i) {
            q.addBindValue(QStringLiteral("voce %1").arg(i, 5, 10, QLatin1Char('0')));
            q.addBindValue(qint64(i) * 1000 * Amount::kScale + 5000);
            q.addBindValue(QDate(2005, 3, 7).addDays(i).toString(Qt::ISODate));
            q.addBindValue(i % 2);
            QVERIFY2(q.exec(), "insert");
        }
        transaction.commit();
    }

    static QTableView *grid() { return DataWindow::instance().findChild<QTableView *>(QStringLiteral("dgData")); }
    static QString cell(int row, const QString &field)
    {
        auto *model = ViewUtility::modelOf(grid());
        return model->data(model->index(row, model->columnOfField(field))).toString();
    }

private slots:
    void init() { openNewArchive(GridTest::Columns::Plain); }
    void cleanup()
    {
        DataWindow::instance().close();
        closeArchive();
    }

    void showsTheRowsByPagesWithTitleCountAndFormats()
    {
        insertRows(1500);
        auto ds = open();
        ShowDataSource(ds, QStringLiteral("Voci con stessa Causale"));
        DataWindow &window = DataWindow::instance();
        QVERIFY(window.isVisible());
        QVERIFY(!window.isModal());
        QCOMPARE(window.windowTitle(), QStringLiteral("Voci - Voci con stessa Causale"));
        QCOMPARE(window.countText(), QStringLiteral("1.500 record"));
        // Counted without the key list, and only the first page is in the model.
        QVERIFY(!ds->keysLoaded());
        QVERIFY(ViewUtility::modelOf(grid())->rowCount() < 1500);
        QCOMPARE(cell(1, QStringLiteral("Importo")), QStringLiteral("1.000,50"));
        QCOMPARE(cell(1, QStringLiteral("Data")), QStringLiteral("08/03/2005"));
    }

    void oneWindowForTheProcessShowingTheLastSource()
    {
        insertRows(10);
        ShowDataSource(open(), QString());
        DataWindow *first = &DataWindow::instance();
        auto odd = open(QStringLiteral("Pagato=True"));
        ShowDataSource(odd, QStringLiteral("pagate"));
        QCOMPARE(&DataWindow::instance(), first);
        QCOMPARE(first->dataSource(), odd);
        QCOMPARE(first->countText(), QStringLiteral("5 record"));
        QCOMPARE(cell(0, QStringLiteral("Nome")), QStringLiteral("voce 00001"));
        // Closed, it is only hidden and comes back with the next rows.
        first->close();
        ShowDataSource(open(), QString());
        QCOMPARE(&DataWindow::instance(), first);
        QCOMPARE(first->windowTitle(), QStringLiteral("Voci"));
    }

    void aHeaderClickSortsAndASecondTurnsTheOrderRound()
    {
        insertRows(300);
        auto ds = open();
        ShowDataSource(ds, QString());
        const int column = ViewUtility::modelOf(grid())->columnOfField(QStringLiteral("Importo"));
        QHeaderView *header = grid()->horizontalHeader();
        emit header->sectionClicked(column);
        QCOMPARE(ds->Sort(), QStringLiteral("Importo"));
        emit header->sectionClicked(column);
        QCOMPARE(ds->Sort(), QStringLiteral("Importo DESC"));
        QCOMPARE(cell(0, QStringLiteral("Nome")), QStringLiteral("voce 00299"));
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), column);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(DataWindow::instance().countText(), QStringLiteral("300 record"));
    }
};

COBRELLE_TEST_MAIN(TestDataWindow)
#include "tst_datawindow.moc"
