#pragma once
// The filter editor: the user builds conditions from the view's columns, the operators and typed
// values, joined by And/Or, and sees the criterion they make. A condition that does not fit is
// refused with the library's Italian message and never reaches the filter.

#include "objdb/filter/filter.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace objdb {

class itfNotifyEvent;

class FilterEditorDialog : public QDialog {
    Q_OBJECT
public:
    // The complex-filter title; only under it can filters be saved and loaded by name.
    static QString complexTitle() { return QStringLiteral("FILTRO COMPLESSO"); }

    FilterEditorDialog(Filter &filter, itfNotifyEvent *sink, const QString &title, QWidget *owner = nullptr);

    // The conditions as edited so far (the filter receives them on OK).
    const QList<FilterCondition> &conditions() const { return m_conditions; }

    void addCondition();
    void removeCondition();
    void saveByName();
    void loadByName();
    void accept() override;

private:
    void showConditions();
    void refuse(const QString &message);
    void refreshNames();

    Filter &m_filter;
    itfNotifyEvent *m_sink = nullptr;
    QList<FilterCondition> m_conditions;
    QComboBox *m_join = nullptr;
    QComboBox *m_field = nullptr;
    QComboBox *m_operator = nullptr;
    QLineEdit *m_value = nullptr;
    QListWidget *m_list = nullptr;
    QLabel *m_criterion = nullptr;
    QLabel *m_error = nullptr;
    QComboBox *m_name = nullptr;
};

namespace ViewUtility {
// Opens the editor on the filter; true (and the filter holding the edited conditions) when confirmed.
bool FilterEditor(Filter &filter, QWidget *owner, const QString &title, itfNotifyEvent *sink = nullptr);
} // namespace ViewUtility

} // namespace objdb
