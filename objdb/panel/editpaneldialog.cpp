#include "objdb/panel/editpaneldialog.h"

#include "objdb/amount.h"
#include "objdb/boundary.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/notify.h"
#include "objdb/panel/dateinput.h"
#include "objdb/panel/fieldtext.h"
#include "objdb/panel/parentchooser.h"
#include "objdb/types.h"

#include <QCheckBox>
#include <algorithm>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace objdb {

namespace {

const QString kDiscardQuestion = QStringLiteral("Le modifiche non salvate andranno perse. Continuare?");
constexpr int kWarningQuestion = 3;
constexpr int kOidRole = Qt::UserRole;
constexpr int kKeyRole = Qt::UserRole + 1;

int fieldIndex(const QList<FieldDef> &fields, const QString &name)
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

EditPanelDialog::EditPanelDialog(const std::shared_ptr<DataSource> &view, const QString &title, QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("EditPanel"));
    m_sink = view->context()->notify();
    OpenOptions options;
    options.notify = m_sink;
    m_ds = view->GetTable().OpenDataSource(QString(), QString(), options);
    setWindowTitle(title.isEmpty() ? view->GetTable().Caption() : title);

    auto *form = new QFormLayout;
    buildParentSection(form);
    buildOwnInputs(form);

    m_warning = new QLabel(this);
    m_warning->setObjectName(QStringLiteral("lblWarning"));
    m_warning->setWordWrap(true);
    QPalette warningPalette = m_warning->palette();
    warningPalette.setColor(QPalette::WindowText, Qt::darkRed);
    m_warning->setPalette(warningPalette);
    m_warning->hide();

    auto *save = new QPushButton(QStringLiteral("&Salva"), this);
    save->setObjectName(QStringLiteral("cmdSave"));
    auto *cancel = new QPushButton(QStringLiteral("&Annulla"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    // Enter stores the row from whichever input has the keyboard (keyPressEvent); the buttons
    // never take the default over as they get the focus.
    save->setAutoDefault(false);
    save->setDefault(true);
    cancel->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &EditPanelDialog::save);
    connect(cancel, &QPushButton::clicked, this, &EditPanelDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_warning);
    layout->addStretch();
    layout->addLayout(buttons);
}

EditPanelDialog::~EditPanelDialog()
{
    // The inputs go later, with the QWidget part of the panel, and a focused one still reports
    // editingFinished as it loses the focus: by then nothing of the panel may be reached from it.
    for (QObject *child : findChildren<QObject *>())
        disconnect(child, nullptr, this, nullptr);
}

// ---- building --------------------------------------------------------------------------------

EditPanelDialog::Input EditPanelDialog::makeInput(const FieldDef &field, const QString &objectName)
{
    Input input;
    input.field = field;
    switch (field.type) {
    case TypeYesNo:
        input.check = new QCheckBox(this);
        input.check->setObjectName(objectName);
        break;
    case TypeReference:
        input.combo = new QComboBox(this);
        input.combo->setObjectName(objectName);
        input.combo->setEditable(false);
        break;
    case TypeDate: {
        auto *date = new DateInput(this);
        input.edit = date->lineEdit();
        input.edit->setObjectName(objectName);
        date->calendarButton()->setObjectName(QStringLiteral("cal_") + field.name);
        break;
    }
    default:
        input.edit = new QLineEdit(this);
        input.edit->setObjectName(objectName);
        if (field.type == TypeText && field.size > 0) {
            // No limit on the input: a text too long is refused with the data source's message
            // when written, never cut short unseen (a pasted name would lose its end).
            // Wide enough to show most of what the column holds.
            input.edit->setMinimumWidth(input.edit->fontMetrics().averageCharWidth() * std::clamp(field.size, 8, 40) + 12);
        }
        if (field.type == TypeAmount)
            input.edit->setAlignment(Qt::AlignRight);
        if (field.secret)
            input.edit->setEchoMode(QLineEdit::Password);
        break;
    }
    return input;
}

void EditPanelDialog::addInputRow(QFormLayout *form, const Input &input)
{
    QWidget *widget = input.check ? static_cast<QWidget *>(input.check)
                    : input.combo ? static_cast<QWidget *>(input.combo)
                                  : input.edit->parentWidget() != this ? input.edit->parentWidget()
                                                                       : static_cast<QWidget *>(input.edit);
    form->addRow(input.field.caption, widget);
}

void EditPanelDialog::buildOwnInputs(QFormLayout *form)
{
    const TableDef &table = m_ds->tableDef();
    QStringList names;
    for (const auto &c : table.columns)
        names.append(c.name);
    for (const auto &r : table.references)
        names.append(r.name);
    m_inputs.reserve(std::size_t(names.size()));
    for (const QString &name : names) {
        const FieldDef *field = m_ds->Field(name);
        if (!field)
            continue;
        m_inputs.push_back(makeInput(*field, QStringLiteral("edit_") + field->name));
        addInputRow(form, m_inputs.back());
    }
    // Connected once the list no longer moves, by index.
    for (std::size_t i = 0; i < m_inputs.size(); ++i) {
        const Input &input = m_inputs[i];
        if (input.check) {
            connect(input.check, &QCheckBox::toggled, this, [this, i](bool on) { write(i, on); });
        } else if (input.combo) {
            connect(input.combo, &QComboBox::activated, this,
                    [this, i](int at) { write(i, m_inputs[i].combo->itemData(at, kOidRole)); });
        } else {
            connect(input.edit, &QLineEdit::editingFinished, this, [this, i] { commitText(i); });
            if (auto *date = qobject_cast<DateInput *>(input.edit->parentWidget()))
                connect(date, &DateInput::datePicked, this, [this, i] { commitText(i); });
        }
    }
}

// A child row shows its parent's identifying and computed columns: the ones indexed and the
// read-only ones (for a movement: description, amount, outstanding amount, paid flag).
void EditPanelDialog::buildParentSection(QFormLayout *form)
{
    if (!hasParentTable())
        return;
    const TableDef *parent = m_ds->context()->tableDef(m_ds->tableDef().identity.ParentTable);
    auto *box = new QGroupBox(parent->caption(), this);
    box->setObjectName(QStringLiteral("grpParent"));
    auto *boxForm = new QFormLayout(box);
    m_chooseParent = new QPushButton(QStringLiteral("Scegli..."), box);
    m_chooseParent->setObjectName(QStringLiteral("cmdChooseParent"));
    m_chooseParent->setAutoDefault(false);
    connect(m_chooseParent, &QPushButton::clicked, this, &EditPanelDialog::chooseParent);
    boxForm->addRow(QString(), m_chooseParent);

    for (const auto &c : parent->columns) {
        const bool indexed = std::any_of(parent->indexes.cbegin(), parent->indexes.cend(),
                                         [&](const IndexDef &i) { return i.column == c.name; });
        const bool computed = c.options.access == ColumnAccess::ReadOnlyInPanels;
        const FieldDef *field = m_ds->Field(c.name);
        if ((!indexed && !computed) || !field || field->origin != FieldDef::Origin::Parent)
            continue;
        m_parentViews.push_back(makeInput(*field, QStringLiteral("parent_") + field->name));
        Input &view = m_parentViews.back();
        if (view.edit) {
            view.edit->setReadOnly(true);
            view.edit->setFocusPolicy(Qt::ClickFocus); // shown, not typed in: Tab passes it by
        }
        if (view.check)
            view.check->setEnabled(false);
        addInputRow(boxForm, view);
    }
    form->addRow(box);
}

void EditPanelDialog::fillReferenceChoices(Input &input)
{
    const ReferenceDef *ref = m_ds->tableDef().reference(input.field.column);
    const auto candidates = m_ds->OpenReferenceCandidates(ref->name);
    const QList<FieldDef> &fields = candidates->fields();
    const int oidAt = fieldIndex(fields, QStringLiteral("OID"));
    const int keyAt = fieldIndex(fields, ref->keyColumn);
    const int shownAt = fieldIndex(fields, ref->displayColumn);
    const QList<qint64> keys = candidates->keys();
    const QSignalBlocker quiet(input.combo);
    input.combo->clear();
    input.combo->addItem(QString()); // no reference
    for (const QVariantList &row : candidates->fetchRows(keys)) {
        input.combo->addItem(row.value(shownAt).toString());
        input.combo->setItemData(input.combo->count() - 1, row.value(oidAt), kOidRole);
        input.combo->setItemData(input.combo->count() - 1, row.value(keyAt), kKeyRole);
    }
}

// ---- starting --------------------------------------------------------------------------------

bool EditPanelDialog::startNew(const QVariantList &presets)
{
    return start([this] { return m_ds->AddNew(); }, presets);
}

bool EditPanelDialog::startCurrent(qint64 oid, const QVariantList &presets)
{
    return start(
        [this, oid] {
            if (m_ds->FindOID(oid))
                return true;
            tell(QStringLiteral("La riga da modificare non esiste più in %1.").arg(m_ds->GetTable().Caption()));
            return false;
        },
        presets);
}

bool EditPanelDialog::start(const std::function<bool()> &positionRow, const QVariantList &presets)
{
    bool started = false;
    runTellingFailures(m_sink, this, [&] {
        if (!positionRow())
            return;
        for (Input &input : m_inputs) {
            if (input.combo)
                fillReferenceChoices(input);
        }
        applyPresets(presets);
        refresh();
        // A new child row starts with its parent: the keyboard is on the button that lists them.
        if (!parentChosen() && m_chooseParent && m_chooseParent->isEnabled())
            m_chooseParent->setFocus();
        started = true;
    });
    return started;
}

// Presets are ordinary writes: the rules see them like any input. A refused preset was told by
// the data source and leaves the panel open on what the rules allowed.
void EditPanelDialog::applyPresets(const QVariantList &presets)
{
    for (qsizetype i = 0; i + 1 < presets.size(); i += 2)
        m_ds->SetField(presets.at(i).toString(), presets.at(i + 1));
}

// ---- showing ---------------------------------------------------------------------------------

void EditPanelDialog::display(Input &input)
{
    const FieldDef &field = input.field;
    if (input.combo) {
        const QVariant key = m_ds->GetField(QStringLiteral("Cod_") + field.column);
        int at = 0;
        if (!isNull(key)) {
            for (int i = 1; i < input.combo->count(); ++i) {
                if (input.combo->itemData(i, kKeyRole) == key)
                    at = i;
            }
        }
        const QSignalBlocker quiet(input.combo);
        input.combo->setCurrentIndex(at);
        return;
    }
    const QVariant value = m_ds->GetField(field.name);
    if (input.check) {
        const QSignalBlocker quiet(input.check);
        input.check->setChecked(!isNull(value) && value.toBool());
        return;
    }
    switch (field.type) {
    case TypeAmount: input.shown = FieldText::amount(value); break;
    case TypeDate: input.shown = FieldText::date(value); break;
    default: input.shown = isNull(value) ? QString() : value.toString(); break;
    }
    input.edit->setText(input.shown);
    input.edit->setCursorPosition(0);
}

void EditPanelDialog::refresh()
{
    for (Input &view : m_parentViews)
        display(view);
    const bool ready = parentChosen();
    for (Input &input : m_inputs) {
        display(input);
        const bool enabled = ready && !input.field.readOnly;
        if (QWidget *target = focusTarget(input)) {
            target->setEnabled(enabled);
            if (auto *date = qobject_cast<DateInput *>(target->parentWidget()))
                date->calendarButton()->setEnabled(enabled);
        }
    }
    // A saved row keeps its parent; a new one may change it until something else was written,
    // because what was charged to the first parent would not follow the row to another.
    if (m_chooseParent)
        m_chooseParent->setEnabled(m_ds->isNewRow() && (!ready || !m_writtenSinceParent));
    const QString warning = ready ? m_ds->RowWarning() : QString();
    m_warning->setText(warning);
    m_warning->setVisible(!warning.isEmpty());
}

QWidget *EditPanelDialog::focusTarget(const Input &input) const
{
    if (input.check)
        return input.check;
    if (input.combo)
        return input.combo;
    return input.edit;
}

bool EditPanelDialog::hasParentTable() const
{
    return !m_ds->tableDef().identity.ParentTable.isEmpty();
}

bool EditPanelDialog::parentChosen()
{
    return !hasParentTable() || !isNull(m_ds->GetField(m_ds->tableDef().parentLinkColumn()));
}

// ---- writing ---------------------------------------------------------------------------------

bool EditPanelDialog::commitText(std::size_t index)
{
    Input &input = m_inputs[index];
    const QString text = input.edit->text();
    if (m_busy || text == input.shown)
        return true;
    FieldText::Parsed parsed;
    switch (input.field.type) {
    case TypeAmount: parsed = FieldText::parseAmount(text); break;
    case TypeDate: parsed = FieldText::parseDate(text); break;
    default: parsed.value = text.isEmpty() ? QVariant() : QVariant(text); break;
    }
    if (!parsed.ok()) {
        const QScopedValueRollback guard(m_busy, true);
        input.edit->setText(input.shown);
        m_inputRefused = true;
        tell(parsed.error);
        input.edit->setFocus();
        input.edit->selectAll(); // to be typed again over the stored value
        return false;
    }
    return write(index, parsed.value);
}

bool EditPanelDialog::write(std::size_t index, const QVariant &value)
{
    if (m_busy)
        return false;
    const QScopedValueRollback guard(m_busy, true);
    const QString name = m_inputs[index].field.name;
    bool written = false;
    const std::optional<QString> error = failureOf([&] { written = m_ds->SetField(name, value); });
    if (written) {
        m_edited = true;
        m_writtenSinceParent = true;
        m_inputRefused = false;
    } else {
        m_inputRefused = true;
    }
    // Shows the rules' writes, or puts a refused input back to the stored value.
    runTellingFailures(m_sink, this, [this] { refresh(); });
    if (error)
        tell(*error);
    if (!written)
        focusTarget(m_inputs[index])->setFocus();
    return written;
}

bool EditPanelDialog::commitPending()
{
    for (std::size_t i = 0; i < m_inputs.size(); ++i) {
        if (m_inputs[i].edit && m_inputs[i].edit->isEnabled() && !commitText(i))
            return false;
    }
    return true;
}

void EditPanelDialog::chooseParent()
{
    if (!m_chooseParent || !m_chooseParent->isEnabled())
        return;
    // What tells the candidates apart: their texts and references (for a movement its description,
    // company and collaborator), then their amounts.
    QStringList listed;
    for (const Input &view : m_parentViews) {
        if (view.field.type == TypeText)
            listed.append(view.field.name);
    }
    for (const ReferenceDef &reference : m_ds->context()->tableDef(m_ds->tableDef().identity.ParentTable)->references)
        listed.append(reference.name);
    for (const Input &view : m_parentViews) {
        if (view.field.type != TypeText && view.field.type != TypeYesNo)
            listed.append(view.field.name);
    }
    std::optional<qint64> chosen;
    const bool listedCandidates = runTellingFailures(m_sink, this, [&] {
        const std::shared_ptr<DataSource> candidates = m_ds->OpenParentCandidates();
        refresh(); // choosing may have set values of the row (the operation type of a payment)
        ParentChooser chooser(candidates, listed, this);
        if (chooser.exec() == QDialog::Accepted)
            chosen = chooser.chosen();
    });
    if (!listedCandidates || !chosen || !setParent(*chosen))
        return;
    // The row's own inputs come next: the first one open to the user takes the keyboard, and what
    // is typed there replaces what it shows (today's date). Without a window manager nobody gives
    // the panel the keyboard back once the list has closed.
    activateWindow();
    for (const Input &input : m_inputs)
        if (QWidget *target = focusTarget(input); target && target->isEnabled()) {
            target->setFocus(Qt::TabFocusReason);
            if (input.edit)
                input.edit->selectAll();
            break;
        }
}

bool EditPanelDialog::setParent(qint64 parentOid)
{
    if (m_busy || !m_chooseParent || !m_chooseParent->isEnabled())
        return false;
    const QScopedValueRollback guard(m_busy, true);
    bool done = false;
    runTellingFailures(m_sink, this, [&] { done = m_ds->SetParent(parentOid); });
    if (done) {
        m_edited = true;
        m_writtenSinceParent = false;
    }
    runTellingFailures(m_sink, this, [this] { refresh(); });
    return done;
}

bool EditPanelDialog::save()
{
    if (m_busy || !commitPending())
        return false;
    if (m_inputRefused) {
        m_inputRefused = false;
        return false;
    }
    bool saved = false;
    // A refusal keeps the panel open with the user's input.
    runTellingFailures(m_sink, this, [&] {
        if (!parentChosen()) {
            tell(QStringLiteral("Scegliere prima la riga di %1 a cui appartiene.")
                     .arg(m_ds->context()->tableDef(m_ds->tableDef().identity.ParentTable)->caption()));
            return;
        }
        const QString warning = m_ds->RowWarning();
        if (!warning.isEmpty() && !m_ds->ConfirmSave(warning))
            return;
        try {
            m_ds->SaveRow();
        } catch (const Error &e) {
            if (!e.written())
                throw;
            // The row is stored: the panel closes, so that a second save cannot store it again.
            tell(QStringLiteral("La riga è stata salvata, ma il passo successivo non è riuscito: %1").arg(e.description()));
        }
        m_saved = m_ds->Bookmark();
        saved = true;
    });
    if (saved)
        QDialog::accept();
    return saved;
}

void EditPanelDialog::keyPressEvent(QKeyEvent *event)
{
    // Enter stores the row from any input (the input has written its text as Return finished it,
    // and a refused text keeps the panel open on it); on a button it presses that button. An input
    // that keeps Return for itself (an open list or calendar) never lets it reach the panel.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->click();
        else if (m_chooseParent && m_chooseParent->isEnabled() && !parentChosen())
            chooseParent(); // nothing can be typed before the parent is chosen
        else
            save();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool EditPanelDialog::hasUserChanges() const
{
    if (m_edited)
        return true;
    return std::any_of(m_inputs.cbegin(), m_inputs.cend(), [](const Input &input) {
        return input.edit && input.edit->isEnabled() && input.edit->text() != input.shown;
    });
}

void EditPanelDialog::reject()
{
    if (m_busy)
        return;
    if (m_sink && hasUserChanges()) {
        bool cancel = true;
        m_sink->OnQueryMessage(this, kWarningQuestion, kDiscardQuestion, cancel);
        if (cancel)
            return;
    }
    // The input in hand finishes as the panel hides: what it still holds is not to be written.
    const QScopedValueRollback guard(m_busy, true);
    // Should the archive have gone away, the buffer goes with the panel's data source anyway.
    (void)failureOf([this] { m_ds->CancelEdit(); });
    QDialog::reject();
}

void EditPanelDialog::tell(const QString &message)
{
    if (m_sink)
        m_sink->OnInternalMessage(this, message);
}

} // namespace objdb
