#pragma once
// The editing panel: a dialog generated from a table's definition over a data source of its own.
// Every input is written through to the data source as soon as it is finished, so the table's
// rules run at once and their writes are shown; Save stores the row, Cancel discards it.

#include "objdb/viewschema.h"

#include <QDialog>
#include <functional>
#include <QVariant>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace objdb {

class DataSource;
class itfNotifyEvent;

class EditPanelDialog : public QDialog {
    Q_OBJECT

public:
    // Builds the panel over a new data source on the view's table, telling the view's sink.
    EditPanelDialog(const std::shared_ptr<DataSource> &view, const QString &title, QWidget *owner);
    ~EditPanelDialog() override;

    // Starts a new row (OnNewRow, then the presets as ordinary writes). False when refused.
    bool startNew(const QVariantList &presets);
    // Opens the row with the given OID and applies the presets. False when it is gone or refused.
    bool startCurrent(qint64 oid, const QVariantList &presets);

    DataSource &dataSource() const { return *m_ds; }
    // The stored row's OID once saved, else Null.
    QVariant savedOid() const { return m_saved; }
    // Whether the user changed anything since the panel opened, typed text not yet written included.
    bool hasUserChanges() const;

public slots:
    // Lets the user pick the parent row from the list of candidates.
    void chooseParent();
    // Makes the given row the parent of a new child row. False when refused or not allowed.
    bool setParent(qint64 parentOid);
    // Writes any unfinished input and stores the row; the panel closes on success.
    bool save();
    // Closes without storing, after confirmation when the user changed something.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Input {
        FieldDef field;
        QLineEdit *edit = nullptr;
        QCheckBox *check = nullptr;
        QComboBox *combo = nullptr;
        QString shown; // the text last put in `edit` from the data source
    };

    Input makeInput(const FieldDef &field, const QString &objectName);
    void addInputRow(QFormLayout *form, const Input &input);
    void buildOwnInputs(QFormLayout *form);
    void buildParentSection(QFormLayout *form);
    void fillReferenceChoices(Input &input);
    // Puts the row in place (new or existing), fills the drop-downs and writes the presets.
    bool start(const std::function<bool()> &positionRow, const QVariantList &presets);
    void applyPresets(const QVariantList &presets);
    void display(Input &input);
    void refresh();
    QWidget *focusTarget(const Input &input) const;
    bool commitText(std::size_t index);
    bool commitPending();
    bool write(std::size_t index, const QVariant &value);
    bool hasParentTable() const;
    bool parentChosen();
    void tell(const QString &message);

    std::shared_ptr<DataSource> m_ds;
    itfNotifyEvent *m_sink = nullptr;
    std::vector<Input> m_inputs;        // the row's own columns and references
    std::vector<Input> m_parentViews;   // the parent row's summary, read-only
    QPushButton *m_chooseParent = nullptr;
    QLabel *m_warning = nullptr; // the table's warning about the row, hidden when it has none
    QVariant m_saved;
    bool m_edited = false;
    bool m_writtenSinceParent = false;
    bool m_busy = false;
    // An input was refused since the last accepted write: the Save that follows must not go ahead
    // as if the user's text had been kept.
    bool m_inputRefused = false;
};

} // namespace objdb
