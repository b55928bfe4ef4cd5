#include "objdb/grid/fieldsequencedialog.h"

#include "objdb/grid/listmoves.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/viewschema.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace objdb {

namespace {

QListWidgetItem *itemFor(const FieldDef &field)
{
    auto *item = new QListWidgetItem(field.caption);
    item->setData(Qt::UserRole, field.name);
    return item;
}

QPushButton *button(const QString &text, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

FieldSequenceDialog::FieldSequenceDialog(const QList<FieldDef> &fields, const QString &sequence, QWidget *parent)
    : QDialog(parent), m_fields(fields), m_available(new QListWidget(this)), m_chosen(new QListWidget(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setObjectName(QStringLiteral("frmFieldSequence"));
    m_available->setObjectName(QStringLiteral("lstAvailable"));
    m_chosen->setObjectName(QStringLiteral("lstChosen"));
    m_available->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_chosen->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Room for the fields of a joined view without scrolling.
    const int rows = m_available->fontMetrics().height() * 20;
    m_available->setMinimumHeight(rows);
    m_chosen->setMinimumHeight(rows);
    m_buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));

    for (const int index : GridModel::columnsFor(m_fields, QString()))
        m_defaultNames.append(m_fields.at(index).name);
    fill(sequence);

    auto *add = button(QStringLiteral(">"), QStringLiteral("cmdAdd"), this);
    auto *remove = button(QStringLiteral("<"), QStringLiteral("cmdRemove"), this);
    auto *up = button(QStringLiteral("Su"), QStringLiteral("cmdUp"), this);
    auto *down = button(QStringLiteral("Giù"), QStringLiteral("cmdDown"), this);
    auto *defaults = m_buttons->addButton(QStringLiteral("Predefiniti"), QDialogButtonBox::ResetRole);
    defaults->setObjectName(QStringLiteral("cmdDefaults"));
    connect(add, &QPushButton::clicked, this, &FieldSequenceDialog::addSelected);
    connect(remove, &QPushButton::clicked, this, &FieldSequenceDialog::removeSelected);
    connect(up, &QPushButton::clicked, this, &FieldSequenceDialog::moveUp);
    connect(down, &QPushButton::clicked, this, &FieldSequenceDialog::moveDown);
    connect(defaults, &QPushButton::clicked, this, &FieldSequenceDialog::restoreDefaults);
    connect(m_available, &QListWidget::itemDoubleClicked, this, &FieldSequenceDialog::addSelected);
    connect(m_chosen, &QListWidget::itemDoubleClicked, this, &FieldSequenceDialog::removeSelected);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *moves = new QVBoxLayout;
    moves->addStretch();
    for (auto *b : {add, remove, up, down})
        moves->addWidget(b);
    moves->addStretch();
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Campi disponibili"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Campi visualizzati"), this), 0, 2);
    grid->addWidget(m_available, 1, 0);
    grid->addLayout(moves, 1, 1);
    grid->addWidget(m_chosen, 1, 2);
    grid->addWidget(m_buttons, 2, 0, 1, 3);
    // The keyboard goes the way the eye does: left list, moves, right list, its order, the answer.
    QWidget *previous = m_available;
    for (QWidget *next : std::initializer_list<QWidget *>{add, remove, m_chosen, up, down, defaults,
                                                          m_buttons->button(QDialogButtonBox::Ok),
                                                          m_buttons->button(QDialogButtonBox::Cancel)}) {
        setTabOrder(previous, next);
        previous = next;
    }
    updateButtons();
}

void FieldSequenceDialog::fill(const QString &sequence)
{
    m_chosen->clear();
    m_available->clear();
    const QList<int> chosen = GridModel::columnsFor(m_fields, sequence);
    for (const int index : chosen)
        m_chosen->addItem(itemFor(m_fields.at(index)));
    for (int i = 0; i < m_fields.size(); ++i)
        if (!m_fields.at(i).secret && !chosen.contains(i))
            m_available->addItem(itemFor(m_fields.at(i)));
}

QStringList FieldSequenceDialog::chosenNames() const
{
    QStringList names;
    for (int i = 0; i < m_chosen->count(); ++i)
        names.append(m_chosen->item(i)->data(Qt::UserRole).toString());
    return names;
}

QString FieldSequenceDialog::sequence() const
{
    const QStringList names = chosenNames();
    return names == m_defaultNames ? QString() : names.join(QLatin1Char(';'));
}

void FieldSequenceDialog::restoreDefaults()
{
    fill(QString());
    updateButtons();
}

void FieldSequenceDialog::move(QListWidget *from, QListWidget *to)
{
    // Moved fields keep their relative order and go to the end of the other list.
    QList<QListWidgetItem *> picked;
    for (int i = from->count() - 1; i >= 0; --i)
        if (from->item(i)->isSelected())
            picked.prepend(from->takeItem(i));
    for (QListWidgetItem *item : std::as_const(picked)) {
        item->setSelected(false);
        to->addItem(item);
    }
    updateButtons();
}

void FieldSequenceDialog::addSelected()
{
    move(m_available, m_chosen);
}

void FieldSequenceDialog::removeSelected()
{
    move(m_chosen, m_available);
}

void FieldSequenceDialog::moveUp()
{
    shiftCurrentItem(m_chosen, -1);
}

void FieldSequenceDialog::moveDown()
{
    shiftCurrentItem(m_chosen, 1);
}

void FieldSequenceDialog::updateButtons()
{
    // An empty choice would read as "all fields": the user must keep at least one.
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(m_chosen->count() > 0);
}

} // namespace objdb
