#pragma once
// The error report window: shows an error code and its full text, and lets the user open the
// text in the browser, save it to a text file or mail it to support.

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QUrl;

class frmShowException : public QDialog {
    Q_OBJECT

public:
    explicit frmShowException(QWidget *parent = nullptr);

    // Carriage returns without line feeds become carriage return + line feed.
    void SetException(const QString &sCode, const QString &sMessage);

    QString codeText() const { return m_strCode; }
    QString messageText() const { return m_strMessage; }

    // The support address: key "SupportEmail" of section "Configuration" in the settings store.
    static QString supportEmail();
    // The mail link of the support command for a code and text.
    static QUrl supportMailUrl(const QString &code, const QString &message);

    // Replaceable so that tests open no file dialog and no browser or mail program.
    // chooseSaveFile returns the chosen path, empty when cancelled.
    using SaveFileChooser =
        std::function<QString(QWidget *parent, const QString &proposedPath, const QString &filter)>;
    using UrlOpener = std::function<bool(const QUrl &url)>;
    static inline SaveFileChooser chooseSaveFile;
    static inline UrlOpener openUrl;

    QLabel *lblCode = nullptr;
    QPlainTextEdit *txtMsg = nullptr;
    QPushButton *cmdBrowser = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdSupport = nullptr;
    QPushButton *cmdEsc = nullptr;

private:
    void cmdBrowser_Click();
    void cmdSave_Click();
    void cmdSupport_Click();
    bool open(const QUrl &url);

    QString m_strCode;
    QString m_strMessage;
};
