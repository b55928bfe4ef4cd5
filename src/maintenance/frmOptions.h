#pragma once
#include "maintenance/databaserepair.h"

#include <QDialog>
#include <QString>

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Where the options dialog reads and keeps the working directory, and how it saves the settings.
struct WorkDirAccess {
    std::function<QString()> read;
    std::function<void(const QString &)> write;
    std::function<void()> saveSettings;
};

// The options: the working directory (the folder of the database) and the database repair.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(WorkDirAccess access, QWidget *parent = nullptr);

    // True once OK has been accepted.
    bool Confirmed() const { return m_blnConfirmed; }

    // Reopens the database from the new working directory; set by the main window.
    std::function<void()> onReloadDatabase;
    // What the repair needs of the main window; set by the main window.
    RepairEnvironment repairEnvironment;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void onSelWorkDir();
    void onOK();
    void onRepairDB();

    QGroupBox *frmGeneralParameter;
    QLabel *Label1;
    QLineEdit *txtWorkDir;
    QPushButton *cmdSelWorkDir;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;
    QPushButton *cmdRepairDB;

    WorkDirAccess m_access;
    bool m_blnConfirmed = false;
};
