#include "objdb/filter/filtereditor.h"

#include "objdb/error.h"
#include "objdb/notify.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace objdb {

namespace {

QPushButton *button(QWidget *owner, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, owner);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

template <class T>
T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

FilterEditorDialog::FilterEditorDialog(Filter &filter, itfNotifyEvent *sink, const QString &title, QWidget *owner)
    : QDialog(owner), m_filter(filter), m_sink(sink), m_conditions(filter.conditions())
{
    setObjectName(QStringLiteral("frmFilterEditor"));
    setWindowTitle(title);

    m_join = named(new QComboBox(this), "cboJoin");
    m_join->addItem(QStringLiteral("And"));
    m_join->addItem(QStringLiteral("Or"));
    m_field = named(new QComboBox(this), "cboField");
    // The user chooses among the fields a grid can show; keys and parent links stay the program's.
    for (const FieldDef &field : filter.columns())
        if (!field.secret && field.display > 0)
            m_field->addItem(field.caption, field.name);
    m_operator = named(new QComboBox(this), "cboOperator");
    m_operator->addItems(Filter::operators());
    m_value = named(new QLineEdit(this), "txtValue");
    QPushButton *add = button(this, "cmdAdd", QStringLiteral("&Aggiungi"));
    m_list = named(new QListWidget(this), "lstConditions");
    QPushButton *remove = button(this, "cmdRemove", QStringLiteral("&Rimuovi"));
    m_criterion = named(new QLabel(this), "lblCriterion");
    m_criterion->setWordWrap(true);
    m_criterion->setTextFormat(Qt::PlainText);
    m_error = named(new QLabel(this), "lblError");
    m_error->setWordWrap(true);
    m_error->setTextFormat(Qt::PlainText);

    auto *row = new QGridLayout;
    row->addWidget(new QLabel(QStringLiteral("Unione"), this), 0, 0);
    row->addWidget(new QLabel(QStringLiteral("Campo"), this), 0, 1);
    row->addWidget(new QLabel(QStringLiteral("Operatore"), this), 0, 2);
    row->addWidget(new QLabel(QStringLiteral("Valore"), this), 0, 3);
    row->addWidget(m_join, 1, 0);
    row->addWidget(m_field, 1, 1);
    row->addWidget(m_operator, 1, 2);
    row->addWidget(m_value, 1, 3);
    row->addWidget(add, 1, 4);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_error);
    layout->addWidget(m_list);
    layout->addWidget(remove, 0, Qt::AlignLeft);
    layout->addWidget(new QLabel(QStringLiteral("Criterio:"), this));
    layout->addWidget(m_criterion);

    if (title == complexTitle()) {
        m_name = named(new QComboBox(this), "cboName");
        m_name->setEditable(true);
        auto *names = new QHBoxLayout;
        names->addWidget(new QLabel(QStringLiteral("Nome"), this));
        names->addWidget(m_name, 1);
        QPushButton *save = button(this, "cmdSave", QStringLiteral("&Salva"));
        QPushButton *load = button(this, "cmdLoad", QStringLiteral("&Carica"));
        names->addWidget(save);
        names->addWidget(load);
        layout->addLayout(names);
        connect(save, &QPushButton::clicked, this, &FilterEditorDialog::saveByName);
        connect(load, &QPushButton::clicked, this, &FilterEditorDialog::loadByName);
        refreshNames();
        m_name->setEditText(filter.Name());
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOk"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &FilterEditorDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FilterEditorDialog::reject);
    connect(add, &QPushButton::clicked, this, &FilterEditorDialog::addCondition);
    connect(m_value, &QLineEdit::returnPressed, this, &FilterEditorDialog::addCondition);
    connect(remove, &QPushButton::clicked, this, &FilterEditorDialog::removeCondition);
    resize(640, 420);
    showConditions();
}

void FilterEditorDialog::refuse(const QString &message)
{
    m_error->setText(message);
    if (m_sink)
        m_sink->OnInternalMessage(this, message);
}

void FilterEditorDialog::addCondition()
{
    FilterCondition condition;
    condition.join = m_join->currentIndex() == 1 ? FilterCondition::Join::Or : FilterCondition::Join::And;
    condition.column = m_field->currentData().toString();
    condition.op = m_operator->currentText();
    condition.value = m_value->text();
    QList<FilterCondition> candidate = m_conditions;
    candidate.append(condition);
    try {
        // The whole criterion is parsed and rendered as the data source will: what it would refuse
        // is refused here, with its message and position.
        Filter trial(m_filter);
        trial.setConditions(candidate);
        m_filter.check(trial.Criterion());
    } catch (const Error &e) {
        refuse(e.description());
        return;
    }
    m_conditions = candidate;
    m_error->clear();
    m_value->clear();
    showConditions();
}

void FilterEditorDialog::removeCondition()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_conditions.size())
        return;
    m_conditions.removeAt(row);
    if (!m_conditions.isEmpty())
        m_conditions.first().join = FilterCondition::Join::And;
    showConditions();
}

void FilterEditorDialog::showConditions()
{
    m_list->clear();
    Filter shown(m_filter);
    QString criterion;
    for (int i = 0; i < m_conditions.size(); ++i) {
        const FilterCondition &c = m_conditions.at(i);
        const QString join = i == 0 ? QString() : (c.join == FilterCondition::Join::Or ? QStringLiteral("Or ") : QStringLiteral("And "));
        // Listed by the column's caption, as the grid's header shows it.
        const QString text = m_filter.conditionText(c);
        const FieldDef *field = m_filter.column(c.column);
        m_list->addItem(join + field->caption + text.mid(field->name.size()));
    }
    shown.setConditions(m_conditions);
    m_criterion->setText(shown.Criterion());
}

void FilterEditorDialog::refreshNames()
{
    const QString typed = m_name->currentText();
    m_name->clear();
    const QString names = m_filter.SavedNames();
    if (!names.isEmpty())
        m_name->addItems(names.split(QLatin1Char('|')));
    m_name->setEditText(typed);
}

void FilterEditorDialog::saveByName()
{
    const QString name = m_name->currentText().trimmed();
    Filter saved(m_filter);
    saved.setConditions(m_conditions);
    try {
        if (!saved.Save(name, false, false)) {
            bool cancel = true;
            if (m_sink)
                m_sink->OnQueryMessage(this, 1, QStringLiteral("Un filtro con questo nome è già presente. Sostituirlo?"), cancel);
            if (cancel)
                return;
            saved.Save(name, false, true);
        }
    } catch (const Error &e) {
        refuse(e.description());
        return;
    }
    m_error->clear();
    refreshNames();
}

void FilterEditorDialog::loadByName()
{
    Filter loaded(m_filter);
    if (!loaded.Load(m_name->currentText().trimmed(), false)) {
        refuse(QStringLiteral("Un filtro con questo nome non è presente!"));
        return;
    }
    m_conditions = loaded.conditions();
    m_error->clear();
    showConditions();
}

void FilterEditorDialog::accept()
{
    m_filter.setConditions(m_conditions);
    QDialog::accept();
}

bool ViewUtility::FilterEditor(Filter &filter, QWidget *owner, const QString &title, itfNotifyEvent *sink)
{
    FilterEditorDialog dialog(filter, sink, title, owner);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace objdb
