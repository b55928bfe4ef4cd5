#pragma once
// The editor of a sort over several columns: the columns of a data source that can be sorted on
// one side, the chosen ones in order on the other, each ascending or descending.

#include <QDialog>
#include <QString>

class QListWidget;
class QListWidgetItem;

namespace objdb {

class DataSource;

class SortEditorDialog : public QDialog {
    Q_OBJECT

public:
    // expression: "Data DESC, Importo"; "" starts with no column chosen. Hidden and unsortable
    // columns are not offered.
    SortEditorDialog(const DataSource &ds, const QString &title, const QString &expression, QWidget *parent = nullptr);
    // The chosen columns in order, "Data DESC, Importo"; "" when none is chosen.
    QString expression() const;

public slots:
    void addSelected();
    void removeSelected();
    void toggleDirection();
    void moveUp();
    void moveDown();

private:

    QListWidget *m_available;
    QListWidget *m_chosen;
};

// Opens the editor modally; on confirmation `expression` becomes the edited sort and the result is
// true.
bool SortEditor(const DataSource &ds, const QString &title, QString &expression, QWidget *parent = nullptr);

} // namespace objdb
