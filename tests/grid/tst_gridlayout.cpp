// The grid layout commands bind the grid again with other columns: the header's sort mark has to
// follow the field the view is ordered by, not stay on the column number it had.

#include "testsupport.h"

#include "grid/gridlayout.h"
#include "grid/sortorder.h"

#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"

#include <QHeaderView>
#include <QTableView>
#include <QtTest>

class TestGridLayout : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    TestSupport::Archive m_archive;
    std::shared_ptr<objdb::DataSource> m_movements;
    std::shared_ptr<objdb::GridSetting> m_setting;
    std::unique_ptr<QTableView> m_grid;

    int columnOf(const QString &field) { return objdb::ViewUtility::modelOf(m_grid.get())->columnOfField(field); }

    void verifyMarkOnImportoDescending()
    {
        QHeaderView *header = m_grid->horizontalHeader();
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), columnOf(QStringLiteral("Importo")));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_archive = TestSupport::openArchive(m_dir->databasePath());
        m_movements = m_archive.context->Tables().Item(QStringLiteral("Movimenti")).OpenDataSource();
        m_movements->SetSort(QStringLiteral("Importo DESC"));
        m_setting = objdb::ViewUtility::NewGridSetting(QStringLiteral("Movimenti"), m_dir->path() + QStringLiteral("/Cobrelle.INI"));
        // Importo first: in the table's own order it stands further right.
        m_setting->SetFieldSequence(QStringLiteral("Importo;Descrizione"));
        m_grid = std::make_unique<QTableView>();
        objdb::ViewUtility::Binding(m_movements).BindGrid(m_grid.get(), m_setting.get());
        ShowSortMark(*m_grid, *m_movements);
        QCOMPARE(columnOf(QStringLiteral("Importo")), 0);
    }

    void cleanup()
    {
        objdb::ViewUtility::UnbindGrid(m_grid.get());
        m_grid.reset();
        m_setting.reset();
        m_movements.reset();
        m_archive = {};
        m_dir.reset();
    }

    void allFieldsAndResetMoveTheMarkWithTheField()
    {
        ShowAllFieldsOnce(m_movements, *m_grid, *m_setting);
        QVERIFY(columnOf(QStringLiteral("Importo")) > 0);
        verifyMarkOnImportoDescending();

        objdb::ViewUtility::Binding(m_movements).BindGrid(m_grid.get(), m_setting.get());
        ShowSortMark(*m_grid, *m_movements);
        TestSupport::ScriptedMessages answers;
        answers.push(MessageService::Answer::Yes);
        QVERIFY(ResetGridLayout(m_movements, *m_grid, *m_setting, nullptr));
        QVERIFY(columnOf(QStringLiteral("Importo")) > 0);
        verifyMarkOnImportoDescending();
    }
};

QTEST_MAIN(TestGridLayout)
#include "tst_gridlayout.moc"
