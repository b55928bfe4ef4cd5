// Grids over data sources: the first screen without the key list, rows by key in a bounded cache,
// refreshes, cell formats, hidden fields, the INI layout, binding a view and the sequence editor.

#include "gridtestschema.h"
#include "objdbtestsupport.h"

#include "objdb/amount.h"
#include "objdb/grid/cellformat.h"
#include "objdb/grid/fieldsequencedialog.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "objdb/panel/editpanel.h"
#include "objdb/types.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QListWidget>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QAbstractButton>
#include <QtTest>

using namespace objdb;

// The editing panels are built apart; here they only record how the binding opened them.
namespace {
struct PanelCall {
    QString kind;
    QVariantList presets;
    QString title;
    std::shared_ptr<DataSource> view;
};
QList<PanelCall> g_panelCalls;
QVariant g_panelAnswer;
} // namespace

namespace objdb::EditPanel {
QVariant editNew(const std::shared_ptr<DataSource> &view, const QVariantList &presets, QWidget *)
{
    g_panelCalls.append({QStringLiteral("new"), presets, QString(), view});
    return g_panelAnswer;
}
QVariant editCurrent(const std::shared_ptr<DataSource> &view, const QVariantList &presets, const QString &title, QWidget *)
{
    g_panelCalls.append({QStringLiteral("current"), presets, title, view});
    return g_panelAnswer;
}
} // namespace objdb::EditPanel

namespace {

QString nameOf(int i)
{
    return QStringLiteral("voce %1").arg(i, 5, 10, QLatin1Char('0'));
}

QString cell(QAbstractItemModel &model, int row, int column, int role = Qt::DisplayRole)
{
    return model.data(model.index(row, column), role).toString();
}

} // namespace

class TestGridModel : public GridTest::ArchiveTest {
    Q_OBJECT

    std::shared_ptr<DataSource> open() { return m_context->Tables().Item(QStringLiteral("Voci")).OpenDataSource(); }

    // Rows "voce 00000".. with Importo i + 0,50, one day apart, every third one paid.
    void insertRows(int count)
    {
        TransactionGuard transaction(*m_db);
        QSqlQuery q = m_db->prepare(
            QStringLiteral("INSERT INTO Voci (Nome, Importo, Data, Pagato, Codice, Nota) VALUES (?, ?, ?, ?, ?, ?)"));
        for (int i = 0; i < count; ++i) {
            q.addBindValue(nameOf(i));
            q.addBindValue(qint64(i) * Amount::kScale + 5000);
            q.addBindValue(QDate(2005, 3, 7).addDays(i).toString(Qt::ISODate));
            q.addBindValue(i % 3 == 0 ? 1 : 0);
            q.addBindValue(QStringLiteral("segreto"));
            q.addBindValue(QStringLiteral("nota %1").arg(i));
            QVERIFY2(q.exec(), "insert");
        }
        transaction.commit();
    }

    QString iniPath() const { return m_dir->path() + QStringLiteral("/Cobrelle.INI"); }

private slots:
    void init()
    {
        openNewArchive(GridTest::Columns::WithHidden);
        g_panelCalls.clear();
        g_panelAnswer = QVariant();
    }

    void cleanup()
    {
        closeArchive();
        DataSource::setReadApart(DataSource::kReadApartFrom, DataSource::kReadApartPatienceMs);
    }

    void firstScreenComesWithoutTheKeyList()
    {
        insertRows(250);
        auto ds = open();
        GridModel model(ds);
        QVERIFY(!ds->keysLoaded());
        QCOMPARE(model.rowCount(), GridModel::kPageSize);
        QVERIFY(model.canFetchMore(QModelIndex()));
        QCOMPARE(cell(model, 0, 0), nameOf(0));
        QCOMPARE(cell(model, 99, 0), nameOf(99));
        // A bookmark on the first screen is the shown row's OID, still without the key list.
        const qint64 oid = model.bookmarkAt(5);
        QVERIFY(oid > 0);
        QCOMPARE(model.rowOfBookmark(oid), 5);
        QVERIFY(!ds->keysLoaded());

        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        model.fetchMore(QModelIndex());
        QVERIFY(ds->keysLoaded());
        QCOMPARE(model.rowCount(), 250);
        QVERIFY(!model.canFetchMore(QModelIndex()));
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted.at(0).at(1).toInt(), 100);
        QCOMPARE(inserted.at(0).at(2).toInt(), 249);
        for (int row : {0, 99, 100, 199, 249})
            QCOMPARE(cell(model, row, 0), nameOf(row));
    }

    void shortTableAndEmptyTable()
    {
        auto empty = open();
        GridModel none(empty);
        QCOMPARE(none.rowCount(), 0);
        QVERIFY(!none.canFetchMore(QModelIndex()));
        QCOMPARE(none.bookmarkAt(0), qint64(0));

        insertRows(30);
        GridModel model(open());
        QCOMPARE(model.rowCount(), 30);
        QVERIFY(!model.canFetchMore(QModelIndex()));
        QCOMPARE(cell(model, 29, 0), nameOf(29));
    }

    void bookmarkBeyondFirstPageLoadsTheKeys()
    {
        insertRows(300);
        auto ds = open();
        auto copy = open();
        QVERIFY(copy->FindFirst(QStringLiteral("Nome = '%1'").arg(nameOf(260))));
        GridModel model(ds);
        QCOMPARE(model.rowOfBookmark(copy->Bookmark()), 260);
        QVERIFY(ds->keysLoaded());
        QCOMPARE(model.rowCount(), 300);
        QCOMPARE(model.rowOfBookmark(999999), -1);
    }

    void rowsFollowSortAndFilter()
    {
        insertRows(250);
        auto ds = open();
        GridModel model(ds);
        model.fetchMore(QModelIndex());
        QCOMPARE(cell(model, 150, 0), nameOf(150)); // cached under the old order
        const quint64 before = model.generation();

        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        ds->SetSort(QStringLiteral("Nome DESC"));
        QCOMPARE(reset.size(), 1);
        QVERIFY(model.generation() > before);
        QCOMPARE(model.rowCount(), GridModel::kPageSize); // the first screen again, without the keys
        QCOMPARE(cell(model, 0, 0), nameOf(249));
        model.loadAllRows();
        QCOMPARE(model.rowCount(), 250);
        QCOMPARE(cell(model, 0, 0), nameOf(249));
        QCOMPARE(cell(model, 150, 0), nameOf(99));
        QCOMPARE(cell(model, 249, 0), nameOf(0));

        ds->SetFilter(QStringLiteral("Nome >= '%1'").arg(nameOf(200)));
        QCOMPARE(reset.size(), 2);
        if (model.canFetchMore(QModelIndex()))
            model.fetchMore(QModelIndex());
        QCOMPARE(model.rowCount(), 50);
        QCOMPARE(cell(model, 0, 0), nameOf(249));
        QCOMPARE(cell(model, 49, 0), nameOf(200));
        auto probe = open();
        QVERIFY(probe->FindFirst(QStringLiteral("Nome = '%1'").arg(nameOf(230))));
        QCOMPARE(model.bookmarkAt(19), probe->Bookmark());
    }

    void deletedRowLeavesTheGrid()
    {
        insertRows(120);
        auto ds = open();
        GridModel model(ds);
        model.fetchMore(QModelIndex());
        const qint64 gone = model.bookmarkAt(110);
        QCOMPARE(ds->DeleteRows({gone}), 1);
        model.loadAllRows();
        QCOMPARE(model.rowCount(), 119);
        QCOMPARE(model.rowOfBookmark(gone), -1);
        QCOMPARE(cell(model, 110, 0), nameOf(111));
    }

    void cellFormats()
    {
        auto ds = open();
        QVERIFY(ds->AddRow({"Nome", "pranzo", "Importo", QVariant::fromValue(Amount::fromUnits(12345000)), "Data",
                            QDate(2005, 3, 7), "Pagato", true}));
        QVERIFY(ds->AddRow({"Nome", "rata", "Importo", QVariant::fromValue(Amount::fromUnits(-5000)), "Pagato", false}));
        GridModel model(open());
        const int nome = model.columnOfField("Nome"), importo = model.columnOfField("Importo");
        const int data = model.columnOfField("Data"), pagato = model.columnOfField("Pagato");
        QCOMPARE(cell(model, 0, importo), QStringLiteral("1.234,50"));
        QCOMPARE(cell(model, 1, importo), QStringLiteral("-0,50"));
        QCOMPARE(cell(model, 0, data), QStringLiteral("07/03/2005"));
        QCOMPARE(cell(model, 1, data), QString());
        QCOMPARE(cell(model, 0, nome), QStringLiteral("pranzo"));
        QCOMPARE(model.data(model.index(0, pagato), Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
        QCOMPARE(model.data(model.index(1, pagato), Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
        QVERIFY(!model.data(model.index(0, pagato), Qt::DisplayRole).isValid());
        QVERIFY(!model.data(model.index(0, nome), Qt::CheckStateRole).isValid());
        QCOMPARE(model.data(model.index(0, importo), GridModel::ValueRole).value<Amount>(), Amount::fromUnits(12345000));

        const auto alignment = [&](int column) {
            return model.data(model.index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask;
        };
        QCOMPARE(alignment(importo), Qt::AlignRight);
        QCOMPARE(alignment(nome), Qt::AlignLeft);
        // Read-only grid: nothing editable, the yes/no box cannot be ticked.
        const Qt::ItemFlags flags = model.flags(model.index(0, pagato));
        QVERIFY(!(flags & Qt::ItemIsEditable));
        QVERIFY(!(flags & Qt::ItemIsUserCheckable));
        QVERIFY(!model.setData(model.index(0, nome), "altro"));
    }

    // The grid's own formatting must give exactly the library's display texts.
    void cellTextsMatchTheDisplayFormat()
    {
        QList<qint64> units{0, 1, 49, 50, 99, 149, 150, -1, -49, -50, -51, 12345000, -12345000, 9999950, 10000000,
                            999999999949, std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min() + 1};
        quint64 seed = 42;
        for (int i = 0; i < 2000; ++i) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            units.append(qint64(seed >> (i % 40)) * (i % 2 ? 1 : -1));
        }
        for (const qint64 u : std::as_const(units)) {
            const QVariant value = QVariant::fromValue(Amount::fromUnits(u));
            QCOMPARE(CellFormat::amountText(Amount::fromUnits(u)), displayText(value, TypeAmount));
        }
        for (const QDate date : {QDate(2005, 3, 7), QDate(1, 1, 1), QDate(9999, 12, 31), QDate(2024, 12, 25), QDate(-5, 1, 1),
                                 QDate(12000, 1, 1), QDate()})
            QCOMPARE(CellFormat::dateText(date), displayText(date, TypeDate));
    }

    void defaultColumnsHideKeySecretAndPrivateFields()
    {
        insertRows(1);
        GridModel model(open());
        QStringList shown, captions;
        for (int c = 0; c < model.columnCount(); ++c) {
            shown.append(model.fieldAt(c));
            captions.append(model.headerData(c, Qt::Horizontal).toString());
        }
        QCOMPARE(shown, (QStringList{"Nome", "Importo", "Data", "Pagato"}));
        QCOMPARE(captions, (QStringList{"Nome", "Importo", "Data", "Pagato"}));

        // A sequence may name the private field and the key, never the secret one.
        model.setFieldSequence(QStringLiteral("Nota;Codice;OID;nome;Sparito"));
        QCOMPARE(model.columnCount(), 3);
        QCOMPARE(model.fieldAt(0), QStringLiteral("Nota"));
        QCOMPARE(model.fieldAt(1), QStringLiteral("OID"));
        QCOMPARE(model.fieldAt(2), QStringLiteral("Nome"));
        QCOMPARE(cell(model, 0, 0), QStringLiteral("nota 0"));
        QCOMPARE(model.columnOfField("Codice"), -1);
    }

    void cacheStaysBoundedOverAWholeWalk()
    {
        insertRows(5000);
        GridModel model(open());
        model.fetchMore(QModelIndex());
        QCOMPARE(model.rowCount(), 5000);
        const int bound = GridModel::kMaxCachedPages * GridModel::kPageSize;
        int most = 0;
        for (int row = 0; row < model.rowCount(); ++row) {
            QCOMPARE(cell(model, row, 0), nameOf(row));
            most = std::max(most, model.cachedRowCount());
        }
        QVERIFY2(most <= bound, qPrintable(QString::number(most)));
        QCOMPARE(most, bound); // the cache is used, not refetched row by row
        // Walking back reads evicted pages again, correctly.
        for (int row = 4999; row >= 0; row -= 333)
            QCOMPARE(cell(model, row, 0), nameOf(row));
        QVERIFY(model.cachedPageCount() <= GridModel::kMaxCachedPages);
    }

    void settingRoundTripsThroughTheIniFile()
    {
        {
            GridSetting setting(QStringLiteral("Voci"), iniPath());
            QCOMPARE(setting.FieldSequence(), QString());
            QCOMPARE(setting.ColumnWidth("Nome"), 0);
            setting.SetFieldSequence(QStringLiteral("Data;Nome"));
            setting.SetColumnWidth(QStringLiteral("Nome"), 2400);
            setting.SetColumnWidth(QStringLiteral("Data"), 1200);
            setting.Save();
        }
        QSettings raw(iniPath(), QSettings::IniFormat);
        QCOMPARE(raw.value("Voci/Sequence").toString(), QStringLiteral("Data;Nome"));
        QCOMPARE(raw.value("Voci/Width/Nome").toInt(), 2400);

        auto setting = ViewUtility::NewGridSetting(QStringLiteral("Voci"), iniPath());
        QCOMPARE(setting->TableName(), QStringLiteral("Voci"));
        QCOMPARE(setting->FieldSequence(), QStringLiteral("Data;Nome"));
        QCOMPARE(setting->ColumnWidth("Nome"), 2400);
        QCOMPARE(setting->ColumnWidth("Data"), 1200);
        // Another table's group is its own.
        QCOMPARE(GridSetting(QStringLiteral("Altro"), iniPath()).FieldSequence(), QString());

        setting->SetColumnWidth(QStringLiteral("Data"), 0);
        setting->Save();
        QCOMPARE(GridSetting(QStringLiteral("Voci"), iniPath()).ColumnWidth("Data"), 0);
        setting->Reset();
        setting->Save();
        GridSetting cleared(QStringLiteral("Voci"), iniPath());
        QCOMPARE(cleared.FieldSequence(), QString());
        QCOMPARE(cleared.ColumnWidth("Nome"), 0);
    }

    void twipConversion()
    {
        QCOMPARE(ViewUtility::twipsToPixels(1440, 96), 96);
        QCOMPARE(ViewUtility::twipsToPixels(15, 96), 1);
        QCOMPARE(ViewUtility::twipsToPixels(2400, 120), 200);
        QCOMPARE(ViewUtility::pixelsToTwips(100, 96), 1500);
        QCOMPARE(ViewUtility::pixelsToTwips(10, 0), 0);
    }

    void bindGridAppliesTheSettingAndKeepsTheCurrentRow()
    {
        insertRows(250);
        auto ds = open();
        GridSetting setting(QStringLiteral("Voci"), iniPath());
        setting.SetFieldSequence(QStringLiteral("Importo;Nome"));
        setting.SetColumnWidth(QStringLiteral("Nome"), 2880);
        QTableView view;
        auto binding = ViewUtility::Binding(ds);
        binding.BindGrid(&view, &setting);
        GridModel *first = ViewUtility::modelOf(&view);
        QVERIFY(first);
        QVERIFY(!ds->keysLoaded());
        QCOMPARE(first->fieldAt(0), QStringLiteral("Importo"));
        QCOMPARE(view.columnWidth(1), ViewUtility::twipsToPixels(2880, view.logicalDpiX()));

        first->fetchMore(QModelIndex());
        view.setCurrentIndex(first->index(150, 1));
        const qint64 current = first->bookmarkAt(150);
        QCOMPARE(first->currentBookmark(), current);

        // A refresh resets the model; the rebind finds the row again by bookmark, in the new order.
        QPointer<GridModel> old(first);
        ds->SetSort(QStringLiteral("Nome DESC"));
        binding.BindGrid(&view, &setting);
        QVERIFY(old.isNull());
        GridModel *second = ViewUtility::modelOf(&view);
        QTRY_COMPARE(view.currentIndex().row(), 99); // beyond the first screen: once the keys are in
        QCOMPARE(view.currentIndex().column(), 1);
        QCOMPARE(second->bookmarkAt(view.currentIndex().row()), current);

        // Rebinding without a refresh keeps the selected rows too.
        view.selectionModel()->select(second->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        const QList<qint64> selected = ViewUtility::selectedBookmarks(&view);
        QCOMPARE(selected.size(), 1);
        binding.BindGrid(&view, &setting);
        QCOMPARE(ViewUtility::selectedBookmarks(&view), selected);
        QCOMPARE(ViewUtility::modelOf(&view)->bookmarkAt(view.currentIndex().row()), current);

        // A new sequence applied again keeps the row and re-applies widths.
        setting.SetFieldSequence(QStringLiteral("Nome;Data"));
        setting.SetColumnWidth(QStringLiteral("Nome"), 1440);
        binding.ApplyGridSetting(&view, &setting);
        GridModel *model = ViewUtility::modelOf(&view);
        QCOMPARE(model->fieldAt(1), QStringLiteral("Data"));
        QCOMPARE(view.columnWidth(0), view.logicalDpiX());
        QCOMPARE(model->bookmarkAt(view.currentIndex().row()), current);
    }

    // Only rows chosen as rows are kept when the view is rebound after a refresh, whatever their
    // number, as one range for each run of rows; a chosen column or a few cells are no rows.
    void rebindKeepsTheChosenRowsAsRanges()
    {
        insertRows(3000);
        auto ds = open();
        QTableView view;
        auto binding = ViewUtility::Binding(ds);
        // As the main window does: every refresh of the rows binds the grid again.
        connect(ds.get(), &DataSource::OnRefreshRecordset, &view, [&] { binding.BindGrid(&view, nullptr); });
        binding.BindGrid(&view, nullptr);
        GridModel *model = ViewUtility::modelOf(&view);
        model->loadAllRows();
        const int lastColumn = model->columnCount() - 1;
        QItemSelectionModel *selection = view.selectionModel();
        selection->select(QItemSelection(model->index(100, 0), model->index(2599, lastColumn)), QItemSelectionModel::Select);
        for (int column = 0; column <= lastColumn; ++column) // a row filled cell by cell
            selection->select(model->index(2700, column), QItemSelectionModel::Select);
        selection->select(model->index(2800, 0), QItemSelectionModel::Select); // one cell is no row
        QList<qint64> chosen = ViewUtility::selectedBookmarks(&view);
        QCOMPARE(chosen.size(), 2501);
        QCOMPARE(chosen.first(), model->bookmarkAt(100));
        QCOMPARE(chosen.last(), model->bookmarkAt(2700));

        ds->SetSort(QStringLiteral("Nome DESC"));
        model = ViewUtility::modelOf(&view);
        // Rows beyond the first page are chosen again once the keys, read apart, are in.
        QTRY_VERIFY(model->allRowsKnown());
        QCOMPARE(view.selectionModel()->selection().size(), 2);
        QList<qint64> kept = ViewUtility::selectedBookmarks(&view);
        std::sort(chosen.begin(), chosen.end());
        std::sort(kept.begin(), kept.end());
        QCOMPARE(kept, chosen);
        QVERIFY(view.selectionModel()->isRowSelected(2999 - 2700));

        // A whole column chosen is no row: nothing is kept.
        view.clearSelection();
        view.selectColumn(1);
        QVERIFY(ViewUtility::selectedBookmarks(&view).isEmpty());
        ds->SetSort(QStringLiteral("Nome"));
        QVERIFY(!view.selectionModel()->hasSelection());
    }

    // A new order shows its first screen without the key list; the current row, beyond it, is put
    // back once the keys, read on a thread of their own, are in. A row the user went to meanwhile
    // stays; a change of the rows before the keys are in drops them.
    void newOrderShowsItsFirstScreenBeforeTheKeys()
    {
        insertRows(3000);
        auto ds = open();
        QTableView view;
        auto binding = ViewUtility::Binding(ds);
        connect(ds.get(), &DataSource::OnRefreshRecordset, &view, [&] { binding.BindGrid(&view, nullptr); });
        binding.BindGrid(&view, nullptr);
        GridModel *model = ViewUtility::modelOf(&view);
        model->loadAllRows();
        view.setCurrentIndex(model->index(2000, 1));
        const qint64 current = model->bookmarkAt(2000);

        ds->SetSort(QStringLiteral("Nome DESC"));
        model = ViewUtility::modelOf(&view);
        QVERIFY(!model->allRowsKnown());
        QCOMPARE(cell(*model, 0, 0), nameOf(2999));
        QTRY_VERIFY(model->allRowsKnown());
        QCOMPARE(view.currentIndex().row(), 999);
        QCOMPARE(view.currentIndex().column(), 1);
        QCOMPARE(model->bookmarkAt(999), current);

        ds->SetSort(QStringLiteral("Nome"));
        model = ViewUtility::modelOf(&view);
        view.setCurrentIndex(model->index(3, 0));
        QTRY_VERIFY(model->allRowsKnown());
        QCOMPARE(view.currentIndex().row(), 3);

        // Rows written before the keys arrive: the keys read apart are dropped, the rows are right.
        ds->SetSort(QStringLiteral("Nome DESC"));
        insertRows(1);
        ds->Requery(true);
        model = ViewUtility::modelOf(&view);
        model->loadAllRows();
        QCOMPARE(model->rowCount(), 3001);
        QTest::qWait(50);
        QCOMPARE(model->rowCount(), 3001);
    }

    // Without a kept width, a date and a large amount fit their column whole.
    void defaultWidthsShowDatesAndAmountsWhole()
    {
        insertRows(1);
        QTableView view;
        GridSetting setting(QStringLiteral("Voci"), iniPath());
        ViewUtility::Binding(open()).BindGrid(&view, &setting);
        GridModel *model = ViewUtility::modelOf(&view);
        const int margins = 2 * (view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1);
        const auto fits = [&](const QString &field, const QString &text) {
            const int column = model->columnOfField(field);
            return column >= 0 && view.columnWidth(column) >= view.fontMetrics().horizontalAdvance(text) + margins;
        };
        QVERIFY(fits(QStringLiteral("Data"), QStringLiteral("28/12/2026")));
        QVERIFY(fits(QStringLiteral("Importo"), QStringLiteral("1.234.567,89")));
    }

    // An archive that can no longer be read under a bound grid leaves empty cells, tells the user
    // once, and never throws through the view.
    void unreadableArchiveLeavesEmptyCells()
    {
        insertRows(250);
        auto ds = open();
        GridModel model(ds);
        QVERIFY(model.index(0, 0).data().isValid());
        m_db->Close();
        QVERIFY(!model.index(60, 0).data().isValid()); // beyond the first screen read
        model.fetchMore(QModelIndex());
        QCOMPARE(model.bookmarkAt(150), 0);
        QCOMPARE(model.rowOfBookmark(123456), -1);
        QVERIFY(m_sink.messages.isEmpty()); // told after the event in hand
        QTRY_COMPARE(m_sink.messages.size(), 1);
        // A refresh that cannot read shows no rows.
        emit ds->OnRefreshRecordset(ds.get());
        QCOMPARE(model.rowCount(), 0);
        QTRY_COMPARE(m_sink.messages.size(), 2);
    }

    // Ctrl+End reaches the last row of the view, not the end of the first page the model counts.
    // Read in place or, as on a big archive, with the keys read apart: the key acts once they are in.
    void wholeViewKeys_data()
    {
        QTest::addColumn<bool>("apart");
        QTest::newRow("in place") << false;
        QTest::newRow("keys read apart") << true;
    }

    void wholeViewKeys()
    {
        QFETCH(bool, apart);
        insertRows(250);
        if (apart)
            DataSource::setReadApart(0, 0);
        auto ds = open();
        QTableView view;
        auto binding = ViewUtility::Binding(ds);
        binding.BindGrid(&view, nullptr);
        binding.BindGrid(&view, nullptr); // bound again: still one filter
        view.setCurrentIndex(ViewUtility::modelOf(&view)->index(0, 0));
        QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
        GridModel *model = ViewUtility::modelOf(&view);
        QTRY_COMPARE(view.currentIndex().row(), 249);
        QCOMPARE(model->rowCount(), 250);
        QCOMPARE(model->bookmarkAt(249), ds->keys().last());
        QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(view.currentIndex().row(), 0);

        // Select-all chooses every row of the view, by key and by the corner button.
        QTableView chosen;
        ViewUtility::Binding(open()).BindGrid(&chosen, nullptr);
        chosen.setSelectionMode(QAbstractItemView::ExtendedSelection);
        QTest::keyClick(&chosen, Qt::Key_A, Qt::ControlModifier);
        QTRY_COMPARE(chosen.selectionModel()->selectedRows().size(), 250);

        QTableView other;
        ViewUtility::Binding(open()).BindGrid(&other, nullptr);
        other.setSelectionMode(QAbstractItemView::ExtendedSelection);
        auto *corner = other.findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(corner);
        QTest::mouseClick(corner, Qt::LeftButton);
        QTRY_COMPARE(other.selectionModel()->selectedRows().size(), 250);
    }

    // On a big archive a new order's first screen is read apart: the window goes on with no rows
    // and a busy model, the rows arrive with a reset; an order replaced before its rows came never
    // shows them.
    void firstScreenReadApart()
    {
        insertRows(300);
        DataSource::setReadApart(0, 0);
        auto ds = open();
        GridModel model(ds);
        QSignalSpy busy(&model, &GridModel::busyChanged);
        QSignalSpy arrived(&model, &GridModel::firstScreenArrived);
        ds->SetSort(QStringLiteral("Importo DESC"));
        ds->SetSort(QStringLiteral("Importo"));
        QVERIFY(model.busy());
        QCOMPARE(model.rowCount(), 0);
        QTRY_VERIFY(!model.busy());
        QCOMPARE(arrived.size(), 1);
        QCOMPARE(model.rowCount(), GridModel::kPageSize);
        QCOMPARE(cell(model, 0, 0), nameOf(0));
        QCOMPARE(busy.size(), 2); // on once, off once: the replaced read told nothing
        QCOMPARE(cell(model, 99, 0), nameOf(99)); // the rest of the first page, read in place
    }

    void bindGridWithAFieldListOfItsOwn()
    {
        insertRows(3);
        QTableView view;
        GridSetting setting(QStringLiteral("Voci"), iniPath());
        ViewUtility::Binding(open()).BindGrid(&view, &setting, QStringLiteral("Data"));
        QCOMPARE(view.model()->columnCount(), 1);
        QCOMPARE(ViewUtility::modelOf(&view)->fieldAt(0), QStringLiteral("Data"));
    }

    void editingGoesToThePanels()
    {
        auto ds = open();
        auto binding = ViewUtility::Binding(ds);
        g_panelAnswer = qint64(7);
        QCOMPARE(binding.EditNewRow({"Nome", "x"}).toLongLong(), 7);
        g_panelAnswer = QVariant();
        QVERIFY(binding.EditCurrentRow({}, QStringLiteral("Voce"), true).isNull());
        QCOMPARE(g_panelCalls.size(), 2);
        QCOMPARE(g_panelCalls.at(0).kind, QStringLiteral("new"));
        QCOMPARE(g_panelCalls.at(0).presets, (QVariantList{"Nome", "x"}));
        QCOMPARE(g_panelCalls.at(0).view, ds);
        QCOMPARE(g_panelCalls.at(1).kind, QStringLiteral("current"));
        QCOMPARE(g_panelCalls.at(1).title, QStringLiteral("Voce"));
    }

    void sequenceDialogChoosesAndOrders()
    {
        auto ds = open();
        FieldSequenceDialog dialog(ds->fields(), QStringLiteral("Importo;Nome"));
        QCOMPARE(dialog.chosenList()->count(), 2);
        QStringList offered;
        for (int i = 0; i < dialog.availableList()->count(); ++i)
            offered.append(dialog.availableList()->item(i)->data(Qt::UserRole).toString());
        QVERIFY(offered.contains("Nota"));
        QVERIFY(offered.contains("OID"));
        QVERIFY(!offered.contains("Codice"));

        dialog.availableList()->findItems(QStringLiteral("Data"), Qt::MatchExactly).first()->setSelected(true);
        dialog.availableList()->findItems(QStringLiteral("Nota"), Qt::MatchExactly).first()->setSelected(true);
        dialog.addSelected();
        QCOMPARE(dialog.sequence(), QStringLiteral("Importo;Nome;Data;Nota"));
        dialog.chosenList()->setCurrentRow(0);
        dialog.moveDown();
        QCOMPARE(dialog.sequence(), QStringLiteral("Nome;Importo;Data;Nota"));
        dialog.moveUp();
        dialog.moveUp(); // already first: stays
        QCOMPARE(dialog.sequence(), QStringLiteral("Importo;Nome;Data;Nota"));
        dialog.chosenList()->clearSelection();
        dialog.chosenList()->item(1)->setSelected(true);
        dialog.removeSelected();
        QCOMPARE(dialog.sequence(), QStringLiteral("Importo;Data;Nota"));

        // Emptying the choice cannot be confirmed: it would read as "all fields".
        dialog.chosenList()->selectAll();
        dialog.removeSelected();
        auto *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        QVERIFY(!ok->isEnabled());

        // The defaults back, in table order: the empty sequence, which follows the table's fields.
        dialog.restoreDefaults();
        QVERIFY(ok->isEnabled());
        QCOMPARE(dialog.sequence(), QString());
        QVERIFY(dialog.chosenList()->count() > 0);
        QCOMPARE(FieldSequenceDialog(ds->fields(), QString()).sequence(), QString());
    }

    void editFieldSequenceAnswersTheChoice()
    {
        auto binding = ViewUtility::Binding(open());
        QString sequence = QStringLiteral("Nome");
        QTimer::singleShot(0, [] {
            auto *dialog = qobject_cast<FieldSequenceDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Sequenza di Visualizzazione Campi"));
            dialog->availableList()->findItems(QStringLiteral("Pagato"), Qt::MatchExactly).first()->setSelected(true);
            dialog->addSelected();
            dialog->accept();
        });
        QVERIFY(binding.EditFieldSequence(QStringLiteral("Sequenza di Visualizzazione Campi"), sequence));
        QCOMPARE(sequence, QStringLiteral("Nome;Pagato"));

        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        QVERIFY(!binding.EditFieldSequence(QStringLiteral("Esportazione HTML - Selezione Campi"), sequence));
        QCOMPARE(sequence, QStringLiteral("Nome;Pagato"));
    }
};

COBRELLE_TEST_MAIN(TestGridModel)
#include "tst_gridmodel.moc"
