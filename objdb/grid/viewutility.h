#pragma once
// The grid services: binding a data source to a QTableView through a paged model, the grid
// settings kept in an INI file, and the editing panels opened from a bound data source.

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

class QTableView;
class QWidget;

namespace objdb {

class DataSource;
class GridModel;
class GridSetting;

// The binding of one data source: grid, editing panels, field sequence, export.
class Binding {
public:
    explicit Binding(std::shared_ptr<DataSource> ds);

    // Binds the grid to a paged model over the data source, applying the setting's sequence and
    // widths (and, when given, a field list of its own). Selected rows are kept as bookmarks.
    void BindGrid(QTableView *grid, GridSetting *setting, const QString &fieldList = QString());
    // Applies the setting's sequence and widths to the grid's columns again.
    void ApplyGridSetting(QTableView *grid, GridSetting *setting);
    // Editing panel for a new row; presets are alternating column names and values, applied after
    // OnNewRow as ordinary writes. Returns the new OID, or Null when cancelled.
    QVariant EditNewRow(const QVariantList &presets = {}, QWidget *owner = nullptr);
    // Editing panel on the data source's current row; name overrides the title ("" = the caption).
    // Returns the row's OID when saved, Null when cancelled. The panel is always modal: it owns the
    // row until it closes, so `modal` = false is accepted for the callers' sake and opens it modal.
    QVariant EditCurrentRow(const QVariantList &presets = {}, const QString &name = QString(), bool modal = true,
                            QWidget *owner = nullptr);
    // Lets the user choose and order the fields; returns false when cancelled.
    bool EditFieldSequence(const QString &title, QString &sequence, QWidget *owner = nullptr);

    std::shared_ptr<DataSource> dataSource() const { return m_ds; }

private:
    std::shared_ptr<DataSource> m_ds;
};

// The grid layout of one table: field sequence and column widths, kept in an INI file
// (one group per table, keys "Sequence" and "Width/<field>").
class GridSetting {
public:
    GridSetting(const QString &tableName, const QString &iniPath);
    QString TableName() const { return m_table; }
    QString FieldSequence() const { return m_sequence; }      // "A;B;C"; "" = all fields in table order
    void SetFieldSequence(const QString &sequence) { m_sequence = sequence; }
    void SetColumnWidth(const QString &field, int twips);
    int ColumnWidth(const QString &field) const;                // 0 when none is kept
    void Reset();                                               // back to all fields, default widths
    void Save() const;                                          // writes the INI file

private:
    QString m_table;
    QString m_iniPath;
    QString m_sequence;
    QHash<QString, int> m_widths;
};

namespace ViewUtility {
// The binding object of a data source.
Binding Binding(std::shared_ptr<DataSource> ds);
// A grid setting for a table from the given INI file.
std::shared_ptr<GridSetting> NewGridSetting(const QString &tableName, const QString &iniPath);
// The grid model bound to a view, if any.
GridModel *modelOf(QTableView *grid);
// Leaves the view without rows and deletes the grid model bound to it (and so its hold on the data
// source and the archive).
void UnbindGrid(QTableView *grid);
// Makes the row of a bookmark current (in the column of field, when shown), scrolled into view: at
// once when its row is known, else once the keys, read on a thread of their own, are in (a row the
// user goes to meanwhile stays current).
void ShowRowWhenKnown(QTableView *grid, qint64 oid, const QString &field);
// The OIDs of the rows selected in a bound grid, in row order.
QList<qint64> selectedBookmarks(QTableView *grid);
// Column widths are kept in twips: 1440 to the inch at the screen's logical resolution.
int twipsToPixels(int twips, int dpi);
int pixelsToTwips(int pixels, int dpi);
} // namespace ViewUtility

} // namespace objdb
