#pragma once
#include "maintenance/databaserepair.h"
#include "services/archivechoice.h"

#include <QDialog>
#include <QString>

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class ServerAddressBox;

// Where the options dialog reads and keeps the working directory, and how it saves the settings.
struct WorkDirAccess {
    std::function<QString()> read;
    std::function<void(const QString &)> write;
    std::function<void()> saveSettings;
};

// Where it reads and keeps the choice of a file or a server archive.
struct ArchiveChoiceAccess {
    std::function<ArchiveChoice()> read;
    std::function<void(const ArchiveChoice &)> write;
};

// The options: the archive in a file of the working directory (with the database repair) or on a
// server.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    frmOptions(WorkDirAccess access, ArchiveChoiceAccess choice, QWidget *parent = nullptr);

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
    void onTestConnection();
    void showKind();
    bool confirmChange(bool serverChosen);

    QRadioButton *optArchiveFile;
    QRadioButton *optArchiveServer;
    QGroupBox *frmGeneralParameter;
    QLabel *Label1;
    QLineEdit *txtWorkDir;
    QPushButton *cmdSelWorkDir;
    QGroupBox *frmServer;
    ServerAddressBox *serverAddress;
    QPushButton *cmdTestConnection;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;
    QPushButton *cmdRepairDB;

    WorkDirAccess m_access;
    ArchiveChoiceAccess m_choice;
    bool m_blnConfirmed = false;
};
