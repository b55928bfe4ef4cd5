#pragma once
// The view a window shows in its grid: the data source of a section bound to the grid with what
// belongs to it (grid setting, complex filter, the section's predefined selection, its order), the
// date selection and the currency it is opened with, and the totals read behind it. It opens,
// refreshes, filters, sorts, searches and totals; the window learns what changed from its signals.
// Its member functions are spread over the currentview*.cpp files, one concern each.

#include "views/sectionview.h"

#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QTableView;
class QTimer;
class QWidget;
struct DateSelectionCaption;
struct ViewTotals;

namespace ColumnFilters {
struct Item;
}
namespace objdb {
class BackgroundRead;
struct ColumnSummary;
class DataContext;
class DataSource;
class Filter;
class GridSetting;
class itfNotifyEvent;
}

class CurrentView : public QObject {
    Q_OBJECT
public:
    // The grid shows the view; the dialogs the view asks with open over owner, its parent; the
    // library's notifications of the view and its editors go to notify.
    CurrentView(QTableView &grid, QWidget &owner, objdb::itfNotifyEvent &notify);
    ~CurrentView() override;

    // The data source the grid shows; none while a section page takes the grid's place.
    std::shared_ptr<objdb::DataSource> m_objCurDS;

    // ---- Opening (currentview.cpp) ----
    // The request of the section: the period asked for "Mov. per Collaboratori", the section's
    // predefined selection (asked first when one is stored), the date selection, the order, the
    // currency. titleNote gets what the title adds of the selection ("  [selezioni impostate]").
    SectionViewRequest requestFor(objdb::DataContext &context, const QString &key, const QString &nodeText,
                                  const QString &sortOrder, QString &titleNote);
    // Opens the request through the context and binds it to the grid; the same table shown again
    // keeps its current row. Throws what the library throws.
    void open(objdb::DataContext &context, const SectionViewRequest &request);
    // requestFor found a predefined selection stored for the section.
    bool selectionStored() const { return m_selectionStored; }
    // Lets the view go with everything made for it but the grid setting; the grid is left without rows.
    void release();
    bool isBound() const;
    // The date field the shown view's rows follow the date selection on; "" for none.
    const QString &dateField() const { return m_dateField; }
    // The grid's current row; 0 for none.
    qint64 currentBookmark() const;
    // The data source moved to the row the grid shows as current.
    void followCurrentRow();
    objdb::GridSetting *gridSetting() const { return m_objGridSetting.get(); }
    void storeGridLayout();

    // ---- Date selection and currency (currentview_dates.cpp) ----
    DateSelection dateSelection() const { return m_dateSelection; }
    void setDateSelection(DateSelection selection) { m_dateSelection = selection; }
    // The reference date: the day, a day of the month, a period's first day.
    QDate selectionDate() const { return m_selectionDate; }
    void setSelectionDate(const QDate &date) { m_selectionDate = date; }
    // The last day of a period selection, included.
    QDate selectionPeriodEnd() const { return m_selectionPeriodEnd; }
    void setSelectionPeriodEnd(const QDate &date) { m_selectionPeriodEnd = date; }
    // The period of "Mov. per Collaboratori" last chosen, printed by the reports.
    const QString &periodCaption() const { return m_periodCaption; }
    // Amounts shown in the archive's conversion currency.
    bool currencyConversion() const { return m_currencyConversion; }
    void setCurrencyConversion(bool convert) { m_currencyConversion = convert; }
    // Reads and writes UseDateSelection and CurrencyConversion of the configuration.
    void readSettings();
    void writeSettings() const;
    // The texts of the selection on the view's date field dateField.
    DateSelectionCaption selectionCaption(const QString &dateField) const;
    // The date commands: each asks or moves, stores the choice and tells dateSelectionChanged; the
    // dialogs' Cancel changes nothing.
    void selectAll();
    void chooseDay(DateSelection selection);
    void choosePeriod();
    void stepSelection(int steps);
    void selectToday();

    // ---- Filters and predefined selections (currentview_filters.cpp) ----
    // The column filters of the items put in force; a failure is reported and leaves them unapplied.
    void applyColumnFilters(const QList<ColumnFilters::Item> &items);
    // Every filter taken away, the complex filter's conditions too.
    void cancelFilters();
    // The field's condition in the complex filter set to value; an empty value or cancelOnly takes it away.
    void filterInComplex(const QString &field, const QString &value, bool cancelOnly);
    // The editor on the complex filter, opened on the saved filter of that name when one is given.
    void editComplexFilter(const QString &savedName);
    // Whether a filter of that name is saved; when not, the user is told so.
    bool complexFilterExists(const QString &name);
    QStringList complexFilterNames();
    // The predefined selection of the section with this node text edited and stored; true when stored.
    bool editPredefinedSelection(const QString &nodeText);
    void deletePredefinedSelection(const QString &nodeText);

    // ---- Sorting and grid layout (currentview_grid.cpp) ----
    // The grid's current cell: its field and its value as text; none without a view or a current cell.
    struct Cell {
        QString field;
        QString text;
    };
    std::optional<Cell> currentCell() const;
    void sortBy(const QString &order);
    void sortByColumn(int column);
    void editComplexOrder();
    void storeColumnWidth(int column, int pixels);
    // The grid layout commands act on a shown, bound grid.
    bool layoutApplies() const;
    bool hasFieldSequence() const;
    void showAllFields();
    bool editFieldSequence();
    bool resetLayout();

    // ---- Search (currentview_search.cpp) ----
    // Searches the field for the text of the search dialog's fields; caption names the column.
    void searchText(const QString &field, const QString &caption);
    // The next row holding the cell's value in field.
    void searchSameValue(const QString &field, const QString &cellText);

    // ---- Totals (currentview_totals.cpp) ----
    // The row count and the totals band computed again on the next turn of the event loop.
    void queueTotals();
    void stopTotals();
    // Shows the message made of the column's summary once it is read (apart on a big archive).
    void showColumnSummary(const QString &field, std::function<QString(const objdb::ColumnSummary &)> message);
    void stopReadsApart();
    // The waiting window's stop button: the reads end, the status bar says so.
    void readsApartStopped();

signals:
    void statusMessage(const QString &text);
    void busyChanged(const QString &work, bool busy, bool waitedFor);
    void totalsShown(const ViewTotals &totals);
    void totalsRefused(const QString &refusal);
    // Whether a filter is in force, and whether it is the complex filter.
    void filtersChanged(bool filtered, bool complex);
    void complexFilterNamesChanged();
    void dateSelectionChanged();

private:
    void bindGrid();
    void onRefreshRecordset(objdb::DataSource *source);
    void watchGridBusy();
    void refreshTotals();
    void findInGrid(const QString &criterion, bool next, const QString &field, std::function<void()> notFound);
    objdb::Filter &complexFilter();
    void applyComplexFilter();
    objdb::Filter &selectionOfSection(const QString &nodeText);
    QString applyPredefinedSelection(objdb::DataContext &context, const QString &nodeText, SectionViewRequest &request);
    void selectionMoved(const QDate &date);

    QTableView &m_grid;
    QWidget &m_owner;
    objdb::itfNotifyEvent &m_notify;
    std::shared_ptr<objdb::GridSetting> m_objGridSetting;
    // The complex filter of the current table, made on first use.
    std::shared_ptr<objdb::Filter> m_objComplexFilter;
    // The predefined selection of the current section; its name is the section's node text.
    std::shared_ptr<objdb::Filter> m_objCurSelection;
    QMetaObject::Connection m_objCurDSEvents;
    QString m_dateField;
    bool m_selectionStored = false;

    DateSelection m_dateSelection = DateSelection::Day;
    QDate m_selectionDate;
    QDate m_selectionPeriodEnd;
    QString m_periodCaption;
    bool m_currencyConversion = false;

    // Runs the totals' query once the grid's first screen is painted.
    QTimer *tmTotals = nullptr;
    std::unique_ptr<objdb::BackgroundRead> m_totalsRead;
    std::unique_ptr<objdb::BackgroundRead> m_searchRead;
    std::unique_ptr<objdb::BackgroundRead> m_columnTotalRead;
};
