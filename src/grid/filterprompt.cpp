#include "grid/filterprompt.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QVBoxLayout>

namespace FilterPrompt {

QString sLastName;
QString sLastValue;

namespace {

Script &script()
{
    static Script s;
    return s;
}

Reply showBox(QWidget *parent, const QString &field, const QString &prefill)
{
    QDialog box(parent);
    box.setObjectName(QStringLiteral("frmFilterText"));
    box.setWindowTitle(QStringLiteral("Filtra"));
    auto *label = new QLabel(field, &box);
    auto *text = new QLineEdit(prefill, &box);
    text->setObjectName(QStringLiteral("txtText"));
    text->selectAll();
    auto *internal = new QCheckBox(QStringLiteral("Cerca all'interno del testo (F2)"), &box);
    internal->setObjectName(QStringLiteral("chkInternal"));
    auto *toggle = new QShortcut(QKeySequence(Qt::Key_F2), &box);
    QObject::connect(toggle, &QShortcut::activated, internal, &QCheckBox::toggle);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    auto *layout = new QVBoxLayout(&box);
    layout->addWidget(label);
    layout->addWidget(text);
    layout->addWidget(internal);
    layout->addWidget(buttons);
    if (box.exec() != QDialog::Accepted)
        return {};
    return {text->text(), internal->isChecked()};
}

} // namespace

Reply ask(QWidget *parent, const QString &field)
{
    const QString prefill = field == sLastName ? sLastValue : QString();
    const Reply reply = script() ? script()(field, prefill) : showBox(parent, field, prefill);
    sLastName = field;
    sLastValue = reply.text;
    return reply;
}

void setScript(Script s)
{
    script() = std::move(s);
}

void clearScript()
{
    script() = nullptr;
}

} // namespace FilterPrompt
