#include "objdb/grid/sorteditor.h"

#include "objdb/grid/listmoves.h"
#include "objdb/datasource.h"
#include "objdb/query/criterion.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace objdb {

namespace {

constexpr int kFieldRole = Qt::UserRole;
constexpr int kDescendingRole = Qt::UserRole + 1;
constexpr int kCaptionRole = Qt::UserRole + 2;

QListWidgetItem *itemFor(const QString &caption, const QString &field)
{
    auto *item = new QListWidgetItem(caption);
    item->setData(kFieldRole, field);
    item->setData(kCaptionRole, caption);
    return item;
}

void setDescending(QListWidgetItem *item, bool descending)
{
    item->setData(kDescendingRole, descending);
    const QString caption = item->data(kCaptionRole).toString();
    item->setText(descending ? caption + QStringLiteral(" (decrescente)") : caption);
}

QPushButton *button(const QString &text, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

SortEditorDialog::SortEditorDialog(const DataSource &ds, const QString &title, const QString &expression,
                                   QWidget *parent)
    : QDialog(parent), m_available(new QListWidget(this)), m_chosen(new QListWidget(this))
{
    setObjectName(QStringLiteral("frmSortEditor"));
    setWindowTitle(title);
    m_available->setObjectName(QStringLiteral("lstAvailable"));
    m_chosen->setObjectName(QStringLiteral("lstChosen"));

    const query::SortOrder order = query::SortOrder::parse(expression);
    QStringList chosen;
    for (const query::SortKey &key : order.keys()) {
        const FieldDef *field = ds.Field(key.field);
        auto *item = itemFor(field ? field->caption : key.field, field ? field->name : key.field);
        setDescending(item, key.descending);
        m_chosen->addItem(item);
        chosen.append(item->data(kFieldRole).toString());
    }
    for (const FieldDef &field : ds.fields())
        if (!field.noOrder && !field.privateField && field.display > 0 && !chosen.contains(field.name))
            m_available->addItem(itemFor(field.caption, field.name));

    auto *add = button(QStringLiteral(">"), QStringLiteral("cmdAdd"), this);
    auto *remove = button(QStringLiteral("<"), QStringLiteral("cmdRemove"), this);
    auto *direction = button(QStringLiteral("Crescente/&Decrescente"), QStringLiteral("cmdDirection"), this);
    auto *up = button(QStringLiteral("Su"), QStringLiteral("cmdUp"), this);
    auto *down = button(QStringLiteral("Giù"), QStringLiteral("cmdDown"), this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    connect(add, &QPushButton::clicked, this, &SortEditorDialog::addSelected);
    connect(remove, &QPushButton::clicked, this, &SortEditorDialog::removeSelected);
    connect(direction, &QPushButton::clicked, this, &SortEditorDialog::toggleDirection);
    connect(up, &QPushButton::clicked, this, &SortEditorDialog::moveUp);
    connect(down, &QPushButton::clicked, this, &SortEditorDialog::moveDown);
    connect(m_available, &QListWidget::itemDoubleClicked, this, &SortEditorDialog::addSelected);
    connect(m_chosen, &QListWidget::itemDoubleClicked, this, &SortEditorDialog::toggleDirection);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *moves = new QVBoxLayout;
    moves->addStretch();
    for (auto *b : {add, remove, direction, up, down})
        moves->addWidget(b);
    moves->addStretch();
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Campi disponibili"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Ordina per"), this), 0, 2);
    grid->addWidget(m_available, 1, 0);
    grid->addLayout(moves, 1, 1);
    grid->addWidget(m_chosen, 1, 2);
    grid->addWidget(buttons, 2, 0, 1, 3);
}

QString SortEditorDialog::expression() const
{
    QStringList keys;
    for (int i = 0; i < m_chosen->count(); ++i) {
        const QListWidgetItem *item = m_chosen->item(i);
        keys.append(item->data(kFieldRole).toString()
                    + (item->data(kDescendingRole).toBool() ? QStringLiteral(" DESC") : QString()));
    }
    return keys.join(QStringLiteral(", "));
}

void SortEditorDialog::addSelected()
{
    const int row = m_available->currentRow();
    if (row < 0)
        return;
    QListWidgetItem *item = m_available->takeItem(row);
    setDescending(item, false);
    m_chosen->addItem(item);
    m_chosen->setCurrentItem(item);
}

void SortEditorDialog::removeSelected()
{
    const int row = m_chosen->currentRow();
    if (row < 0)
        return;
    QListWidgetItem *item = m_chosen->takeItem(row);
    setDescending(item, false);
    m_available->addItem(item);
}

void SortEditorDialog::toggleDirection()
{
    if (QListWidgetItem *item = m_chosen->currentItem())
        setDescending(item, !item->data(kDescendingRole).toBool());
}

void SortEditorDialog::moveUp()
{
    shiftCurrentItem(m_chosen, -1);
}

void SortEditorDialog::moveDown()
{
    shiftCurrentItem(m_chosen, 1);
}

bool SortEditor(const DataSource &ds, const QString &title, QString &expression, QWidget *parent)
{
    SortEditorDialog dialog(ds, title, expression, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    expression = dialog.expression();
    return true;
}

} // namespace objdb
