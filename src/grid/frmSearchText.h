#pragma once
// The small dialog that asks for the text of a search (and of a column filter). Its public fields
// outlive the window and carry its memory from one use to the next: the same field opens with the
// last text, and "Cerca successivo" can repeat a search without the dialog.

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmSearchText : public QDialog {
    Q_OBJECT

public:
    static inline QString sLastName;   // the field label of the last confirmed use
    static inline QString sLastValue;  // the text of the last confirmed use
    static inline QString sSearchText; // the text confirmed now; empty when left without confirming
    static inline bool bInternal = false; // the text may occur anywhere in the value
    static inline bool bConfirmed = false;
    static inline bool bNext = false; // confirmed with cmdNext: the next match is asked for

    // Shows the dialog modally over the parent for the field; the internal option and the "next"
    // button only when enabled. Returns bConfirmed.
    static bool GetSelection(QWidget *p_objParentForm, const QString &p_strFieldName, bool p_blnEnableInternal = false,
                             bool p_blnEnableNext = false);
    // The same dialog as the input box of a column filter: titled "Filtra", with the internal option
    // and without "Successivo". Returns bConfirmed; sSearchText is empty when left with Esc.
    static bool GetFilterText(QWidget *p_objParentForm, const QString &p_strFieldName);
    // Forgets the last search, as for a view of another table.
    static void ForgetLastSearch();
    // A cell's value searched for in its field as if confirmed with "Successivo" on the dialog.
    static void SearchNextValue(const QString &field, const QString &value);
    // A character typed before the dialog opened: its next use starts with it as the first input.
    static void TypeAhead(const QString &text) { s_typedAhead = text; }

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    frmSearchText(QWidget *parent, const QString &fieldName, bool enableInternal, bool enableNext);
    void confirm(bool next);
    void txtSearch_Change();

    static inline QString s_typedAhead;

    QLabel *lblFieldName;
    QLineEdit *txtSearch;
    QCheckBox *chkInternal;
    QPushButton *cmdOk;
    QPushButton *cmdNext;
};
