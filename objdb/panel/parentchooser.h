#pragma once
// The list from which a child row's parent is chosen. The candidates are shown a page at a time
// (the grid's model), and what is typed above the list narrows them in the archive.

#include <QDialog>
#include <QStringList>
#include <memory>
#include <optional>

class QLineEdit;
class QTableView;
class QTimer;

namespace objdb {

class DataSource;
class GridModel;

class ParentChooser : public QDialog {
    Q_OBJECT

public:
    // Typing waits this long for the next key before the list is narrowed.
    static constexpr int kNarrowingPauseMs = 250;

    // Lists the candidates' rows with the given fields (names of the candidates' fields).
    ParentChooser(std::shared_ptr<DataSource> candidates, const QStringList &fieldNames, QWidget *parent = nullptr);
    QTableView *list() const { return m_list; }
    GridModel *model() const { return m_model; }
    QLineEdit *narrowingInput() const { return m_narrowing; }
    // The OID of the row chosen, once accepted.
    std::optional<qint64> chosen() const { return m_chosen; }

public slots:
    void accept() override;
    // Keeps the candidates whose listed text fields contain the typed text (all with no text).
    void narrow();

protected:
    // The arrow and page keys typed in the narrowing input move in the list.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void selectFirstRow();

    std::shared_ptr<DataSource> m_candidates;
    QStringList m_textFields; // the listed fields the typed text is looked for in
    QString m_narrowedBy;     // the text the list was last narrowed by
    QLineEdit *m_narrowing;
    QTableView *m_list;
    GridModel *m_model;
    QTimer *m_pause;
    std::optional<qint64> m_chosen;
};

} // namespace objdb
