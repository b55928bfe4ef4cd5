#include "objdb/panel/parentchooser.h"

#include "objdb/boundary.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/query/criterion.h"
#include "objdb/types.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace objdb {

ParentChooser::ParentChooser(std::shared_ptr<DataSource> candidates, const QStringList &fieldNames, QWidget *parent)
    : QDialog(parent), m_candidates(std::move(candidates)), m_narrowing(new QLineEdit(this)), m_list(new QTableView(this)),
      m_pause(new QTimer(this))
{
    setObjectName(QStringLiteral("ParentChooser"));
    setWindowTitle(m_candidates->GetTable().Caption());

    m_narrowing->setObjectName(QStringLiteral("txtNarrow"));
    m_narrowing->setPlaceholderText(QStringLiteral("Scrivere per restringere l'elenco"));
    m_narrowing->setClearButtonEnabled(true);
    m_narrowing->installEventFilter(this);
    auto *narrowingLabel = new QLabel(QStringLiteral("&Cerca:"), this);
    narrowingLabel->setBuddy(m_narrowing);
    // One query for a pause in typing, not one for every key.
    m_pause->setSingleShot(true);
    m_pause->setInterval(kNarrowingPauseMs);
    connect(m_pause, &QTimer::timeout, this, &ParentChooser::narrow);
    connect(m_narrowing, &QLineEdit::textEdited, m_pause, qOverload<>(&QTimer::start));
    connect(m_narrowing, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text.isEmpty() && !m_narrowedBy.isEmpty())
            m_pause->start(); // emptied with the clear button
    });

    QStringList listed;
    const QList<FieldDef> &fields = m_candidates->fields();
    for (const QString &name : fieldNames) {
        const auto field = std::find_if(fields.cbegin(), fields.cend(),
                                        [&](const FieldDef &f) { return f.name.compare(name, Qt::CaseInsensitive) == 0; });
        if (field == fields.cend())
            continue;
        listed.append(field->name);
        if (field->type == TypeText || field->type == TypeReference)
            m_textFields.append(field->name);
    }
    m_model = new GridModel(m_candidates, listed.join(QLatin1Char(';')), this);
    m_list->setObjectName(QStringLiteral("lstCandidates"));
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setTabKeyNavigation(false);
    m_list->verticalHeader()->hide();
    // Widths from the fields' sizes: measuring the contents would read rows beyond the first page.
    const int charWidth = m_list->fontMetrics().averageCharWidth();
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const FieldDef *field = m_candidates->Field(m_model->fieldAt(c));
        const int chars = field->type == TypeAmount ? 12 : std::clamp(field->size, 12, 32);
        m_list->setColumnWidth(c, chars * charWidth + 16);
    }
    m_list->horizontalHeader()->setStretchLastSection(true);
    connect(m_list, &QTableView::doubleClicked, this, &ParentChooser::accept);
    selectFirstRow();

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("&Annulla"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &ParentChooser::accept);
    connect(cancel, &QPushButton::clicked, this, &ParentChooser::reject);

    auto *narrowingRow = new QHBoxLayout;
    narrowingRow->addWidget(narrowingLabel);
    narrowingRow->addWidget(m_narrowing, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(narrowingRow);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    resize(std::max(560, m_list->horizontalHeader()->length() + 40), 380);
    m_narrowing->setFocus();
}

void ParentChooser::selectFirstRow()
{
    if (m_model->rowCount() > 0)
        m_list->setCurrentIndex(m_model->index(0, 0));
}

void ParentChooser::narrow()
{
    m_pause->stop();
    const QString text = m_narrowing->text().trimmed();
    if (text == m_narrowedBy)
        return;
    QStringList matches;
    const QString literal = query::patternLiteral(QLatin1Char('*') + query::likeData(text) + QLatin1Char('*'));
    for (const QString &field : std::as_const(m_textFields))
        matches.append(field + QStringLiteral(" Like ") + literal);
    const QString criterion = text.isEmpty() ? QString() : matches.join(QStringLiteral(" Or "));
    if (const std::optional<QString> failure = failureOf([&] { m_candidates->SetFilter(criterion); })) {
        m_candidates->tellUser(*failure);
        return;
    }
    m_narrowedBy = text;
    selectFirstRow();
}

bool ParentChooser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_narrowing && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(m_list, event);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ParentChooser::accept()
{
    // Text typed but not yet applied: the list is narrowed first and shown, so that Enter never
    // takes a row the user has not seen.
    if (m_pause->isActive() || m_narrowing->text().trimmed() != m_narrowedBy) {
        narrow();
        return;
    }
    const QModelIndex current = m_list->currentIndex();
    const qint64 oid = current.isValid() ? m_model->bookmarkAt(current.row()) : 0;
    if (oid == 0)
        return; // nothing chosen yet: stay open
    m_chosen = oid;
    QDialog::accept();
}

} // namespace objdb
