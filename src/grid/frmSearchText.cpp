#include "grid/frmSearchText.h"

#include "services/messageservice.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

frmSearchText::frmSearchText(QWidget *parent, const QString &fieldName, bool enableInternal, bool enableNext)
    : QDialog(parent), lblFieldName(new QLabel(fieldName, this)), txtSearch(new QLineEdit(this)),
      chkInternal(new QCheckBox(QStringLiteral("[F2] &Intern."), this)), cmdOk(new QPushButton(QStringLiteral("OK"), this)),
      cmdNext(new QPushButton(QStringLiteral("&Successivo"), this))
{
    setObjectName(QStringLiteral("frmSearchText"));
    setWindowTitle(QStringLiteral("Cerca in"));
    lblFieldName->setObjectName(QStringLiteral("lblFieldName"));
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    chkInternal->setObjectName(QStringLiteral("chkInternal"));
    chkInternal->setToolTip(QStringLiteral("Cerca anche all'interno delle stringhe"));
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdNext->setObjectName(QStringLiteral("cmdNext"));
    chkInternal->setVisible(enableInternal);
    cmdNext->setVisible(enableNext);
    chkInternal->setEnabled(false);
    cmdOk->setAutoDefault(false);
    cmdNext->setAutoDefault(false);

    // A new use starts unconfirmed, with no text and no option.
    sSearchText.clear();
    bInternal = false;
    bConfirmed = false;
    bNext = false;

    connect(txtSearch, &QLineEdit::textChanged, this, &frmSearchText::txtSearch_Change);
    connect(cmdOk, &QPushButton::clicked, this, [this] { confirm(false); });
    connect(cmdNext, &QPushButton::clicked, this, [this] { confirm(true); });
    txtSearch->installEventFilter(this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(chkInternal);
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdNext);
    auto *layout = new QGridLayout(this);
    layout->addWidget(lblFieldName, 0, 0);
    layout->addWidget(txtSearch, 1, 0);
    layout->addLayout(buttons, 2, 0);
}

bool frmSearchText::GetSelection(QWidget *p_objParentForm, const QString &p_strFieldName, bool p_blnEnableInternal,
                                 bool p_blnEnableNext)
{
    frmSearchText dialog(p_objParentForm, p_strFieldName, p_blnEnableInternal, p_blnEnableNext);
    dialog.exec();
    s_typedAhead.clear(); // a dialog that did not open for it does not keep it for the next
    return bConfirmed;
}

bool frmSearchText::GetFilterText(QWidget *p_objParentForm, const QString &p_strFieldName)
{
    frmSearchText dialog(p_objParentForm, p_strFieldName, true, false);
    dialog.setWindowTitle(QStringLiteral("Filtra"));
    dialog.exec();
    s_typedAhead.clear();
    return bConfirmed;
}

void frmSearchText::ForgetLastSearch()
{
    sLastName.clear();
    sLastValue.clear();
    sSearchText.clear();
}

void frmSearchText::SearchNextValue(const QString &field, const QString &value)
{
    sLastName = field;
    sLastValue = value;
    sSearchText = value;
    bNext = true;
}

void frmSearchText::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The same field again offers the last text, and Enter repeats the search when it can.
    if (lblFieldName->text() != sLastName) {
        cmdOk->setDefault(true);
    } else {
        txtSearch->setText(sLastValue);
        if (cmdNext->isVisibleTo(this))
            cmdNext->setDefault(true);
        else
            cmdOk->setDefault(true);
    }
    txtSearch->setFocus();
    txtSearch->selectAll();
    // Typed over the selected text, as a keystroke would be.
    if (!s_typedAhead.isEmpty()) {
        txtSearch->insert(s_typedAhead);
        s_typedAhead.clear();
    }
}

bool frmSearchText::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtSearch && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, txtSearch, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

void frmSearchText::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_F2:
        chkInternal->setChecked(!chkInternal->isChecked());
        return;
    case Qt::Key_F3:
        if (cmdNext->isVisibleTo(this))
            confirm(true);
        return;
    default:
        QDialog::keyPressEvent(event); // Esc rejects; Enter presses the default button
    }
}

void frmSearchText::txtSearch_Change()
{
    if (cmdNext->isDefault()) {
        cmdNext->setDefault(false);
        cmdOk->setDefault(true);
    }
    // Searching inside the values needs two characters at least.
    chkInternal->setEnabled(txtSearch->text().size() >= 2);
}

void frmSearchText::confirm(bool next)
{
    // A NUL (pasted, never typed) would end the text early for the archive and match other rows.
    if (txtSearch->text().contains(QChar(0))) {
        MessageService::inform(QStringLiteral("Il testo contiene un carattere non ammesso (NUL): correggerlo e riprovare."),
                               MessageService::Icon::Exclamation, windowTitle(), this);
        txtSearch->setFocus();
        txtSearch->selectAll();
        return;
    }
    sSearchText = txtSearch->text();
    bInternal = chkInternal->isVisibleTo(this) && chkInternal->isEnabled() && chkInternal->isChecked();
    bNext = next;
    bConfirmed = true;
    sLastName = lblFieldName->text();
    sLastValue = sSearchText;
    accept();
}
