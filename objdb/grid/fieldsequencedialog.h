#pragma once
// Chooses and orders the fields a grid or an export shows: the fields left out on one side, the
// chosen ones in order on the other.

#include "objdb/viewschema.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class QDialogButtonBox;
class QListWidget;

namespace objdb {

class FieldSequenceDialog : public QDialog {
    Q_OBJECT

public:
    // sequence: "A;B;C", "" = the default fields. Secret fields are never offered.
    FieldSequenceDialog(const QList<FieldDef> &fields, const QString &sequence, QWidget *parent = nullptr);
    // The chosen fields, "A;B;C"; "" when they are the default fields in table order, so that a
    // layout left at its defaults follows fields added to the table later.
    QString sequence() const;

    QListWidget *availableList() const { return m_available; }
    QListWidget *chosenList() const { return m_chosen; }

public slots:
    void addSelected();
    void removeSelected();
    void moveUp();
    void moveDown();
    // Back to the default fields in table order.
    void restoreDefaults();

private:
    void move(QListWidget *from, QListWidget *to);
    void updateButtons();
    void fill(const QString &sequence);
    QStringList chosenNames() const;

    QList<FieldDef> m_fields;
    QStringList m_defaultNames;
    QListWidget *m_available;
    QListWidget *m_chosen;
    QDialogButtonBox *m_buttons;
};

} // namespace objdb
