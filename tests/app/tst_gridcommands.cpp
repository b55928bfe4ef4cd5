// The grid's header clicks and the delete command, driven with the mouse and the keyboard: a header
// click sorts and selects nothing, the rows chosen as rows outlive the sort, and delete acts on the
// rows chosen as rows, else on the current one, never on a chosen column.

#include "viewsfixture.h"

#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QtTest>

using namespace objdb;
using MessageService::Answer;

class GridCommandsTest : public ViewsFixture::MainWindowTest {
    Q_OBJECT

    // Companies "C000".. with names "Compagnia 000".., so that both columns sort alike.
    void addCompanies(int count)
    {
        TransactionGuard transaction(*modGlobal::AppSession().database);
        auto ds = modGlobal::AppSession().dataContext->Tables().Item("Compagnie").OpenDataSource();
        for (int i = 0; i < count; ++i)
            QVERIFY(ds->AddRow({"Codice", QString("C%1").arg(i, 3, 10, QChar('0')), "RagioneSociale",
                                QString("Compagnia %1").arg(i, 3, 10, QChar('0'))}));
        transaction.commit();
    }

    GridModel *model() { return ViewUtility::modelOf(grid()); }
    int columnOf(const char *field) { return model()->columnOfField(QString::fromLatin1(field)); }

    QPoint middleOf(QHeaderView *header, int section)
    {
        const int along = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
        return header->orientation() == Qt::Horizontal ? QPoint(along, header->height() / 2)
                                                       : QPoint(header->width() / 2, along);
    }

    void clickHeader(int column)
    {
        QHeaderView *header = grid()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middleOf(header, column));
    }

    // Chooses a row as a row, as a click on its number does; with Ctrl it is added to the others.
    void clickRowHeader(int row, Qt::KeyboardModifiers modifiers = {})
    {
        QHeaderView *header = grid()->verticalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, modifiers, middleOf(header, row));
    }

    QStringList codesOf(const QList<qint64> &oids)
    {
        auto ds = modGlobal::AppSession().dataContext->Tables().Item("Compagnie").OpenDataSource();
        QStringList codes;
        for (const qint64 oid : oids)
            codes.append(ds->FindOID(oid) ? ds->GetField("Codice").toString() : QStringLiteral("?"));
        return codes;
    }

    QStringList chosenCodes() { return codesOf(ViewUtility::selectedBookmarks(grid())); }

private slots:
    void init()
    {
        m_archive = std::make_unique<ViewsFixture::OpenArchive>();
        modGlobal::AppSession().dataContext->UserLevel = 1;
        m_form = std::make_unique<frmMain>();
        showWithTree();
        addCompanies(150);
        select("Compagnie");
        grid()->setFocus();
    }

    void cleanup() { closeWindowAndArchive(); }

    void headerClicksSortAndSelectNothing()
    {
        clickRowHeader(2);
        clickRowHeader(4, Qt::ControlModifier);
        QCOMPARE(chosenCodes(), (QStringList{"C002", "C004"}));

        // The view comes in the order of the names; the codes follow the same order.
        const int code = columnOf("Codice");
        QHeaderView *header = grid()->horizontalHeader();
        clickHeader(code);
        QCOMPARE(m_form->view().m_objCurDS->Sort(), QStringLiteral("Codice"));
        // The sorted column's header carries the mark, with the direction.
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), code);
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        QVERIFY(grid()->selectionModel()->selectedColumns().isEmpty());
        QCOMPARE(chosenCodes(), (QStringList{"C002", "C004"}));

        clickHeader(code);
        QCOMPARE(m_form->view().m_objCurDS->Sort(), QStringLiteral("Codice DESC"));
        QCOMPARE(header->sortIndicatorSection(), code);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        QVERIFY(grid()->selectionModel()->selectedColumns().isEmpty());
        // Now at the end of the view, beyond the first screen: chosen again once the keys are in.
        QTRY_COMPARE(chosenCodes(), (QStringList{"C004", "C002"}));
        QCOMPARE(model()->bookmarkAt(0), m_form->view().m_objCurDS->keys().first());
    }

    void deleteActsOnRowsChosenAsRows()
    {
        TestSupport::ScriptedMessages messages;
        const int beeps = MessageService::beepCount();
        QTableView *grid = this->grid();
        grid->setCurrentIndex(model()->index(7, 0));

        // A whole column chosen: nothing to delete, nothing asked.
        grid->selectColumn(columnOf("Codice"));
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(MessageService::beepCount(), beeps + 1);
        QVERIFY(messages.seen().isEmpty());
        QCOMPARE(m_form->view().m_objCurDS->RecordCount(), 150);

        // Two rows chosen: the count on a second line, and Enter (No) deletes nothing.
        clickRowHeader(3);
        clickRowHeader(5, Qt::ControlModifier);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(messages.texts(), QStringList{"Confermi l'eliminazione dei dati selezionati ?\nRighe da eliminare: 2"});
        QCOMPARE(messages.seen().last().defaultAnswer, Answer::No);
        QCOMPARE(m_form->view().m_objCurDS->RecordCount(), 150);
        messages.push(Answer::Yes);
        QTest::keyClick(grid, Qt::Key_Delete);
        auto remaining = modGlobal::AppSession().dataContext->Tables().Item("Compagnie").OpenDataSource();
        QCOMPARE(remaining->RecordCount(), 148);
        QVERIFY(!remaining->FindFirst("Codice='C003'"));
        QVERIFY(!remaining->FindFirst("Codice='C005'"));

        // Some cells of two rows: the current row alone, asked without a count.
        messages.clear();
        grid->clearSelection();
        grid->setCurrentIndex(model()->index(10, 0));
        grid->selectionModel()->select(QItemSelection(model()->index(10, 0), model()->index(11, 0)), QItemSelectionModel::Select);
        const QStringList current = codesOf({model()->bookmarkAt(10)});
        messages.push(Answer::Yes);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(messages.texts(), QStringList{"Confermi l'eliminazione dei dati selezionati ?"});
        QCOMPARE(m_form->view().m_objCurDS->RecordCount(), 147);
        QVERIFY(!remaining->FindFirst("Codice='" + current.first() + "'"));
    }

    // With a grouping node shown there is no view: the view shown before is let go, and the record
    // commands only beep, opening no panel on it.
    void recordCommandsWithoutAViewBeep_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *command : {"Return", "Delete", "Insert", "keypad +", "double click"})
            QTest::newRow(command) << QString::fromLatin1(command);
    }

    void recordCommandsWithoutAViewBeep()
    {
        QFETCH(QString, command);
        grid()->setCurrentIndex(model()->index(3, 0));
        const std::weak_ptr<DataSource> shown = m_form->view().m_objCurDS;
        select("Archivio");
        QVERIFY(shown.expired());
        TestSupport::ScriptedMessages messages;
        ViewsFixture::ModalWatchdog watchdog(300);
        const int beeps = MessageService::beepCount();
        if (command == "double click")
            m_form->Form_DblClick();
        else if (command == "keypad +")
            QTest::keyClick(grid(), Qt::Key_Plus, Qt::KeypadModifier);
        else
            QTest::keyClick(grid(), command == "Return" ? Qt::Key_Return
                                    : command == "Delete" ? Qt::Key_Delete
                                                          : Qt::Key_Insert);
        QCOMPARE(MessageService::beepCount(), beeps + 1);
        QVERIFY(messages.seen().isEmpty());
        QCOMPARE(watchdog.closed, QStringList());
    }
};

COBRELLE_TEST_MAIN(GridCommandsTest)
#include "tst_gridcommands.moc"
