// Opening the view: the section's request asked for and opened, bound to the grid, and bound again
// whenever the data source reads its rows anew.
#include "views/currentview.h"

#include "grid/frmSearchText.h"
#include "grid/sortorder.h"
#include "objdb/backgroundread.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "services/configuration.h"
#include "services/errorreport.h"
#include "views/frmFromDateToDate.h"

#include <QApplication>
#include <QTableView>
#include <QTimer>

namespace {

QString gridSettingFile()
{
    return ProgramFolder() + QStringLiteral("/Cobrelle.INI");
}

} // namespace

CurrentView::CurrentView(QTableView &grid, QWidget &owner, objdb::itfNotifyEvent &notify)
    : QObject(&owner), m_grid(grid), m_owner(owner), m_notify(notify)
{
    setObjectName(QStringLiteral("currentView"));
    // A zero timer: the grid's first screen, already posted, is painted before the totals' query.
    tmTotals = new QTimer(this);
    tmTotals->setObjectName(QStringLiteral("tmTotals"));
    tmTotals->setSingleShot(true);
    tmTotals->setInterval(0);
    connect(tmTotals, &QTimer::timeout, this, &CurrentView::refreshTotals);
    m_totalsRead = std::make_unique<objdb::BackgroundRead>(this);
    m_searchRead = std::make_unique<objdb::BackgroundRead>(this);
    m_columnTotalRead = std::make_unique<objdb::BackgroundRead>(this);
}

CurrentView::~CurrentView() = default;

SectionViewRequest CurrentView::requestFor(objdb::DataContext &context, const QString &key, const QString &nodeText,
                                           const QString &sortOrder, QString &titleNote)
{
    SectionViewRequest request;
    request.query = SectionQueryFor(key);
    if (key == QLatin1String("Mov. per Collaboratori")) {
        QApplication::restoreOverrideCursor();
        QVariant from, to;
        const bool chosen = frmFromDateToDate::SetDate(from, to, -1, -1, &m_owner);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (chosen && from.toDate().isValid() && to.toDate().isValid()) {
            request.periodFrom = from.toDate();
            request.periodTo = to.toDate();
            m_periodCaption = PeriodCaptionFor(from.toDate(), to.toDate());
            emit statusMessage(m_periodCaption);
        }
    }
    // The same table shown again keeps its order.
    request.sort = sortOrder;
    if (isBound() && m_objCurDS->TableName() == request.query.table && request.sort.isEmpty())
        request.sort = m_objCurDS->Sort().isEmpty() ? m_objCurDS->DefaultSort() : m_objCurDS->Sort();

    titleNote = applyPredefinedSelection(context, nodeText, request);
    request.selection = m_dateSelection;
    request.selectionDate = m_selectionDate;
    request.selectionEnd = m_selectionPeriodEnd;
    request.convertCurrency = m_currencyConversion;
    return request;
}

void CurrentView::open(objdb::DataContext &context, const SectionViewRequest &request)
{
    // The same table shown again keeps its current record.
    QString sameTable;
    qint64 currentOid = 0;
    if (isBound() && m_objCurDS->TableName() == request.query.table) {
        sameTable = m_objCurDS->TableName();
        currentOid = currentBookmark();
    }
    SectionViewRequest opened = request;
    opened.notify = &m_notify;
    auto ds = OpenSectionView(context, opened);
    disconnect(m_objCurDSEvents);
    m_objCurDS = ds;
    m_dateField = request.query.dateField;
    // The new view opens unfiltered: the complex filter of the one it replaces is gone with it.
    m_objComplexFilter.reset();

    if (m_objGridSetting && m_objGridSetting->TableName() != m_objCurDS->TableName()) {
        m_objGridSetting->Save();
        m_objGridSetting.reset();
    }
    if (!m_objGridSetting)
        m_objGridSetting = objdb::ViewUtility::NewGridSetting(m_objCurDS->TableName(), gridSettingFile());
    // Connected before the grid model is made, so that on every refresh the grid is bound again
    // while the model still holds the rows chosen before it.
    m_objCurDSEvents = connect(m_objCurDS.get(), &objdb::DataSource::OnRefreshRecordset, this,
                               [this](objdb::DataSource *source) { RunReportingFailures([&] { onRefreshRecordset(source); }); });
    bindGrid();
    m_grid.clearSelection();

    if (!sameTable.isEmpty() && sameTable == m_objCurDS->TableName() && m_objCurDS->Field(QStringLiteral("OID"))
        && currentOid != 0) {
        const int row = objdb::ViewUtility::modelOf(&m_grid)->rowOfBookmark(currentOid);
        if (row >= 0)
            m_grid.setCurrentIndex(m_grid.model()->index(row, qMax(0, m_grid.currentIndex().column())));
    }
    // Another table: its search starts afresh.
    if (sameTable.isEmpty())
        frmSearchText::ForgetLastSearch();
    queueTotals();
}

void CurrentView::release()
{
    stopReadsApart();
    stopTotals();
    disconnect(m_objCurDSEvents);
    m_objCurDSEvents = {};
    objdb::ViewUtility::UnbindGrid(&m_grid);
    m_objCurDS.reset();
    m_objCurSelection.reset();
    m_objComplexFilter.reset();
    m_dateField.clear();
}

bool CurrentView::isBound() const
{
    return m_objCurDS && m_objCurDSEvents && objdb::ViewUtility::modelOf(&m_grid);
}

qint64 CurrentView::currentBookmark() const
{
    auto *model = objdb::ViewUtility::modelOf(&m_grid);
    const QModelIndex current = m_grid.currentIndex();
    return model && current.isValid() ? model->bookmarkAt(current.row()) : 0;
}

void CurrentView::followCurrentRow()
{
    if (const qint64 bookmark = currentBookmark(); bookmark != 0 && bookmark != m_objCurDS->Bookmark())
        m_objCurDS->FindOID(bookmark);
}

void CurrentView::storeGridLayout()
{
    if (m_objGridSetting)
        m_objGridSetting->Save();
}

void CurrentView::bindGrid()
{
    objdb::ViewUtility::Binding(m_objCurDS).BindGrid(&m_grid, m_objGridSetting.get());
    watchGridBusy();
    ShowSortMark(m_grid, *m_objCurDS);
}

void CurrentView::onRefreshRecordset(objdb::DataSource *source)
{
    if (!m_objCurDS || source != m_objCurDS.get())
        return;
    bindGrid();
    queueTotals();
}

void CurrentView::watchGridBusy()
{
    auto *model = objdb::ViewUtility::modelOf(&m_grid);
    // The first screen is waited for; the keys behind it only put the current row back.
    const auto mark = [this, model] {
        emit busyChanged(QStringLiteral("gridRows"), model && model->readingFirstScreen(), true);
        emit busyChanged(QStringLiteral("gridKeys"), model && model->busy() && !model->readingFirstScreen(), false);
    };
    mark();
    if (model)
        connect(model, &objdb::GridModel::busyChanged, this, mark);
}
