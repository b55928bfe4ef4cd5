// Record commands of the main window (new, change, delete) and the grid's own events.

#include "app/frmMain.h"

#include "services/errorreport.h"
#include "services/messageservice.h"
#include "services/modGlobal.h"
#include "services/twips.h"
#include "grid/sortorder.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QMenu>
#include <QTableView>

namespace {

const QString kStatistics = QStringLiteral("Statistiche");

// Restores the pointer however the command ends.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

// A whole column chosen in the grid: no record to open or delete. In a one-row grid any selected
// cell fills its column, so there the selection is always the record's. A grid left without a
// model keeps a selection over an empty one.
bool columnChosen(const QTableView *grid)
{
    const QItemSelectionModel *selection = grid->selectionModel();
    return selection && selection->model()->rowCount() > 1 && !selection->selectedColumns().isEmpty();
}

} // namespace

void frmMain::connectRecordCommands()
{
    connect(dgView, &QTableView::doubleClicked, this, [this] { dgView_DblClick(); });
    connect(dgView->horizontalHeader(), &QHeaderView::sectionResized, this, &frmMain::dgView_ColumnResize);
    connect(dgView->horizontalHeader(), &QHeaderView::sectionClicked, this, &frmMain::dgView_HeadClick);
    // A header click sorts and selects nothing: the view's own choice of the column on a header
    // press (and on a drag over the headers) is let go.
    disconnect(dgView->horizontalHeader(), &QHeaderView::sectionPressed, dgView, nullptr);
    disconnect(dgView->horizontalHeader(), &QHeaderView::sectionEntered, dgView, nullptr);
    dgView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(dgView, &QWidget::customContextMenuRequested, this, &frmMain::dgView_MouseUpRight);
    dgView->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(dgView->horizontalHeader(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { mnuOrder->popup(dgView->horizontalHeader()->mapToGlobal(pos)); });
}

void frmMain::mnuFileNew_Click()
{
    if (!m_objCurDS)
        return;
    if (currentSectionKey() == kStatistics) {
        MessageService::beep();
        return;
    }
    try {
        QVariantList presets;
        if (m_objCurDS->TableName() == QLatin1String("Pagamenti"))
            presets = {QStringLiteral("Operatore"), m_strOperatore};
        const QVariant oid = objdb::ViewUtility::Binding(m_objCurDS).EditNewRow(presets, this);
        if (oid.isNull())
            return;
        m_objCurDS->Requery(true);
        objdb::ViewUtility::Binding(m_objCurDS).ApplyGridSetting(dgView, m_objGridSetting.get());
        // Show the new row when the view holds it.
        if (auto *model = objdb::ViewUtility::modelOf(dgView)) {
            const int row = model->rowOfBookmark(oid.toLongLong());
            if (row >= 0)
                dgView->setCurrentIndex(model->index(row, 0));
        }
    } catch (const std::exception &) {
        ShowErrorReport(QString(), PendingError::current());
    }
}

void frmMain::dgView_DblClick()
{
    if (columnChosen(dgView))
        return;
    const qint64 bookmark = currentGridBookmark();
    if (dgView->isHidden() || !m_objCurDS || bookmark == 0 || currentSectionKey() == kStatistics) {
        MessageService::beep();
        return;
    }
    try {
        if (!m_objCurDS->FindOID(bookmark)) {
            MessageService::beep();
            return;
        }
        const QVariant saved = objdb::ViewUtility::Binding(m_objCurDS).EditCurrentRow({}, QString(), true, this);
        if (!saved.isNull())
            m_objCurDS->Requery(true);
    } catch (const std::exception &) {
        ShowErrorReport(QString(), PendingError::current());
    }
}

void frmMain::mnuFileProperties_Click()
{
    dgView_DblClick();
}

void frmMain::mnuFileDelete_Click()
{
    WaitCursor wait;
    try {
        const qint64 bookmark = currentGridBookmark();
        if (!m_objCurDS || bookmark == 0 || currentSectionKey() == kStatistics) {
            MessageService::beep();
            return;
        }
        if (modGlobal::g_objDataContext->UserLevel < 1) {
            MessageService::beep();
            MessageService::inform(QStringLiteral("Operazione consentita solo all'Amministratore"),
                                   MessageService::Icon::Exclamation, QString(), this);
            return;
        }
        // The rows chosen as rows, else the current one; a chosen column is no row to delete.
        QList<qint64> rows = objdb::ViewUtility::selectedBookmarks(dgView);
        if (rows.isEmpty()) {
            if (columnChosen(dgView)) {
                MessageService::beep();
                return;
            }
            rows = {bookmark};
        }
        QString question = QStringLiteral("Confermi l'eliminazione dei dati selezionati ?");
        if (rows.size() > 1)
            question += QStringLiteral("\nRighe da eliminare: ") + QLocale(QLocale::Italian, QLocale::Italy).toString(rows.size());
        if (!MessageService::askYesNo(question, MessageService::Icon::Question, MessageService::Answer::No, QString(), this))
            return;
        m_objCurDS->FindOID(bookmark);
        m_objCurDS->DeleteRows(rows);
    } catch (const std::exception &) {
        ShowErrorReport(QString(), PendingError::current());
    }
}

void frmMain::dgView_ColumnResize(int column, int, int newSize)
{
    // Only the user's own drag is kept; widths set when the grid is bound are not.
    if (QApplication::mouseButtons() == Qt::NoButton)
        return;
    auto *model = objdb::ViewUtility::modelOf(dgView);
    if (!m_objGridSetting || !model || column < 0 || column >= model->columnCount())
        return;
    m_objGridSetting->SetColumnWidth(model->fieldAt(column), int(qRound(Twips::fromPixelsX(newSize, dgView))));
}

void frmMain::dgView_HeadClick(int column)
{
    auto *model = objdb::ViewUtility::modelOf(dgView);
    if (!m_objCurDS || !model || column < 0 || column >= model->columnCount())
        return;
    SetSortOrder(model->fieldAt(column), *m_objCurDS);
}

void frmMain::dgView_MouseUpRight(const QPoint &pos)
{
    const QPoint global = dgView->viewport()->mapToGlobal(pos);
    if (dgView->indexAt(pos).isValid())
        mnuFieldFuncs->popup(global);
    else
        mnuAssociation->popup(global);
}
