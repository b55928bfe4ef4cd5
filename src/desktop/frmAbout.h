#pragma once
// The about box: the program's name, version and description, the contacts of its support where the
// settings store names them, the way to the desktop's system-information program, and the notice to
// read and print.

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

    // "Version 3.0.26": the build's version.
    static QString VersionText();
    // Starts the system-information program: the one named in the settings store ("Tools",
    // "SysInfoPath"), else the first of the desktops' own found on the search path; else tells the
    // user there is none.
    void StartSysInfo();
    // Reads a value of the per-user settings store of the product KeyRoot: the value SubKeyRef of the
    // group KeyName. A number comes back as its decimal text. False when there is no such value.
    static bool GetKeyValue(const QString &KeyRoot, const QString &KeyName, const QString &SubKeyRef, QString &KeyVal);
    // The system-information programs looked for on the search path, in this order.
    static QStringList SysInfoCandidates();

    // Starts a program without waiting for it; tests replace it. An empty function restores the
    // system's.
    using ProgramStarter = std::function<bool(const QString &program)>;
    static void setProgramStarter(ProgramStarter starter);

private:
    void imgMarvessa_Click();
    void cmdInformativa_Click();

    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblWeb = nullptr;
    QLabel *lblEuroReady = nullptr;
    QLabel *imgEuro = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *imgMarvessa = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;
    QPushButton *cmdInformativa = nullptr;
};
