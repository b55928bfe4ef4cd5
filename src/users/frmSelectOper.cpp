#include "users/frmSelectOper.h"

#include "objdb/error.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/listmodel.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmSelectOper::frmSelectOper(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSelectOper"));
    setWindowTitle(QStringLiteral("Selezione Operatore"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("&Operatore:"), this);
    CmbOperatore = new QComboBox(this);
    CmbOperatore->setObjectName(QStringLiteral("CmbOperatore"));
    CmbOperatore->setMinimumWidth(260);
    label->setBuddy(CmbOperatore);
    auto *buttons = new QDialogButtonBox(this);
    cmdConfirm = buttons->addButton(QStringLiteral("&Conferma"), QDialogButtonBox::AcceptRole);
    cmdConfirm->setObjectName(QStringLiteral("cmdConfirm"));
    cmdConfirm->setDefault(true);
    cmdCancel = buttons->addButton(QStringLiteral("&Annulla"), QDialogButtonBox::RejectRole);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(label);
    layout->addWidget(CmbOperatore);
    layout->addWidget(buttons);
    connect(cmdConfirm, &QPushButton::clicked, this, &frmSelectOper::cmdConfirm_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

frmSelectOper::~frmSelectOper() = default;

int frmSelectOper::exec()
{
    Form_Load();
    return QDialog::exec();
}

void frmSelectOper::Form_Load()
{
    if (m_strTableName.isEmpty())
        m_strTableName = QStringLiteral("Operatori");
    int row = -1;
    try {
        objdb::OpenOptions options;
        options.readOnly = true;
        if (!m_objDataContext)
            objdb::fail(QStringLiteral("Il database non è aperto."));
        auto &table = m_objDataContext->Tables().Item(m_strTableName);
        m_objDS = table.OpenDataSource(QString(), QStringLiteral("Nome"), options);
        auto list = std::make_unique<objdb::ListModel>(m_objDS, QStringLiteral("Nome"));
        CmbOperatore->setModel(list.get());
        m_objList = std::move(list);
        if (m_objList->rowCount() > 0) {
            if (!m_strOperatore.isEmpty()
                && m_objDS->FindFirst(QStringLiteral("Nome = ") + table.Literal(QStringLiteral("Nome"), m_strOperatore)))
                row = m_objList->rowOf(m_objDS->Bookmark());
            if (row < 0)
                row = 0;
        }
    } catch (const std::exception &) {
        // Without an archive the list stays empty and confirming chooses nobody.
        CmbOperatore->clear();
    }
    CmbOperatore->setCurrentIndex(row);
    m_strOperatore.clear();
}

void frmSelectOper::cmdConfirm_Click()
{
    if (!CmbOperatore->currentText().isEmpty()) {
        m_strOperatore = CmbOperatore->currentText();
        try {
            if (m_objList && m_objDS && m_objDS->FindOID(m_objList->bookmark(CmbOperatore->currentIndex())))
                m_vntOID_Operatore = m_objDS->GetField(QStringLiteral("OID"));
        } catch (const std::exception &) {
            // The archive cannot be read: the row stays unknown; the login that follows reads the
            // operator again by name and reports the failure.
            m_vntOID_Operatore = QVariant();
        }
    }
    accept();
}
