#include "objdb/viewer/datawindow.h"

#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/error.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "objdb/query/criterion.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <limits>

namespace objdb {

namespace {

QPointer<DataWindow> g_window;

// The window goes with the application, before the widgets' world is torn down.
void destroyWindow()
{
    delete g_window.data();
}

} // namespace

DataWindow &DataWindow::instance()
{
    if (!g_window) {
        g_window = new DataWindow;
        qAddPostRoutine(destroyWindow);
    }
    return *g_window;
}

DataWindow::DataWindow() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("DataWindow"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("lblTitle"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("dgData"));
    m_grid->setWordWrap(false);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->horizontalHeader()->setResizeContentsPrecision(0); // fit widths to the rows on screen only
    // A header click sorts and selects nothing.
    disconnect(m_grid->horizontalHeader(), &QHeaderView::sectionPressed, m_grid, nullptr);
    disconnect(m_grid->horizontalHeader(), &QHeaderView::sectionEntered, m_grid, nullptr);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &DataWindow::headerClicked);
    connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex &index) { rowDoubleClicked(index.row()); });

    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblCount"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Chiudi"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);

    auto *footer = new QHBoxLayout;
    footer->addWidget(m_count, 1);
    footer->addWidget(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_grid, 1);
    layout->addLayout(footer);
    resize(760, 420);
}

void DataWindow::showDataSource(std::shared_ptr<DataSource> ds, const QString &title)
{
    if (m_ds)
        disconnect(m_ds.get(), nullptr, this, nullptr);
    m_ds = std::move(ds);
    const QString caption = m_ds->GetTable().Caption();
    const QString text = title.isEmpty() ? caption : caption + QStringLiteral(" - ") + title;
    setWindowTitle(text);
    m_title->setText(text);
    ViewUtility::Binding(m_ds).BindGrid(m_grid, nullptr);
    // Widths from the first screen's texts and the captions: the rows beyond it are not read.
    m_grid->resizeColumnsToContents();
    connect(m_ds.get(), &DataSource::OnRefreshRecordset, this, &DataWindow::refreshed);
    refreshed();
    show();
    raise();
    activateWindow();
}

QString DataWindow::countText() const
{
    return m_count->text();
}

void DataWindow::refreshed()
{
    try {
        const int rows = m_ds->countRows(std::numeric_limits<int>::max());
        m_count->setText(QLocale().toString(rows) + QStringLiteral(" record"));
    } catch (const Error &e) {
        m_count->clear();
        m_ds->tellUser(e.description());
    }
    const auto order = query::SortOrder::parse(m_ds->Sort());
    const GridModel *model = ViewUtility::modelOf(m_grid);
    const int column = model && !order.isEmpty() ? model->columnOfField(order.keys().first().field) : -1;
    m_grid->horizontalHeader()->setSortIndicatorShown(column >= 0);
    if (column >= 0)
        m_grid->horizontalHeader()->setSortIndicator(column, order.keys().first().descending ? Qt::DescendingOrder
                                                                                               : Qt::AscendingOrder);
}

void DataWindow::headerClicked(int column)
{
    GridModel *model = ViewUtility::modelOf(m_grid);
    if (!m_ds || !model || column < 0 || column >= model->columnCount())
        return;
    const QString field = model->fieldAt(column);
    const FieldDef *def = m_ds->Field(field);
    if (!def || def->noOrder) {
        refreshed(); // the header flipped its own mark; the order in force decides it
        return;
    }
    // A second click on the column sorting ascending turns it round.
    const auto order = query::SortOrder::parse(m_ds->Sort());
    const bool ascendingNow = !order.isEmpty() && order.keys().first().field.compare(field, Qt::CaseInsensitive) == 0
                              && !order.keys().first().descending;
    try {
        m_ds->SetSort(field + (ascendingNow ? QStringLiteral(" DESC") : QStringLiteral(" ASC")));
    } catch (const Error &e) {
        m_ds->tellUser(e.description());
        refreshed();
    }
}

void DataWindow::rowDoubleClicked(int row)
{
    GridModel *model = ViewUtility::modelOf(m_grid);
    if (m_readOnly || !m_ds || !model)
        return;
    try {
        const qint64 oid = model->bookmarkAt(row);
        if (oid == 0 || !m_ds->FindOID(oid))
            return;
        if (!ViewUtility::Binding(m_ds).EditCurrentRow({}, QString(), true, this).isNull())
            m_ds->Requery(true);
    } catch (const Error &e) {
        m_ds->tellUser(e.description());
    }
}

void ShowDataSource(std::shared_ptr<DataSource> ds, const QString &title)
{
    DataWindow::instance().showDataSource(std::move(ds), title);
}

} // namespace objdb
