#pragma once
// The notice: terms of use, liability disclaimer and privacy notice, which the user accepts or
// refuses, or (opened from the about box) only reads and prints.

#include <QDialog>
#include <QImage>
#include <functional>

class QLabel;
class QPushButton;

class frmInformative : public QDialog {
    Q_OBJECT

public:
    // companyName is named in the texts; empty means the maker.
    explicit frmInformative(QWidget *parent = nullptr, const QString &companyName = QString());

    // True once the user pressed cmdOk.
    bool AcceptInformative() const { return m_blnAccepted; }
    // Read only: no accept and refuse buttons; Esc closes it.
    void hideAnswerButtons();
    // Prints an image of the window on the default printer, after asking.
    void cmdPrint_Click();

    // The printers as the notice sees them; tests replace them. defaultPrinter is "" when the
    // system has none.
    struct Printing {
        std::function<QString()> defaultPrinter;
        std::function<void(const QImage &)> print;
    };
    static void setPrinting(Printing printing); // empty functions restore the system's

private:
    void cmdOk_Click();

    QLabel *lblDescription = nullptr;
    QLabel *lblResponsability = nullptr;
    QLabel *lblInformation1 = nullptr;
    QLabel *lblInformation2 = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdPrint = nullptr;
    bool m_blnAccepted = false;
};
