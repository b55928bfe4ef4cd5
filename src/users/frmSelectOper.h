#pragma once
#include <QDialog>
#include <QVariant>
#include <memory>

class QComboBox;
class QPushButton;
namespace objdb {
class DataContext;
class DataSource;
class ListModel;
}

// The list of operators from which the operator of this run is chosen.
class frmSelectOper : public QDialog {
    Q_OBJECT

public:
    explicit frmSelectOper(QWidget *parent = nullptr);
    ~frmSelectOper() override;

    // In: the operator to pre-select; out: the name chosen, empty when nothing was chosen.
    QString m_strOperatore;
    // Out: the OID of the chosen operator's row.
    QVariant m_vntOID_Operatore;
    // The table that lists the operators; empty means "Operatori".
    QString m_strTableName;
    // In: the open archive's context, which lists them; none leaves the list empty.
    objdb::DataContext *m_objDataContext = nullptr;

    // Loads the list and shows the dialog modally.
    int exec() override;

private:
    void Form_Load();
    void cmdConfirm_Click();

    QComboBox *CmbOperatore;
    QPushButton *cmdConfirm;
    QPushButton *cmdCancel;
    std::shared_ptr<objdb::DataSource> m_objDS;
    std::unique_ptr<objdb::ListModel> m_objList;
};
