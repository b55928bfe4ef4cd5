#include "paneldriver.h"

#include "objdb/panel/parentchooser.h"

#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <memory>

namespace PanelDriver {

QLineEdit *edit(QWidget &panel, const QString &field)
{
    auto *input = panel.findChild<QLineEdit *>(QStringLiteral("edit_") + field);
    if (!input)
        qFatal("no input for %s", qPrintable(field));
    return input;
}

QString shownParent(QWidget &panel, const QString &field)
{
    auto *input = panel.findChild<QLineEdit *>(QStringLiteral("parent_") + field);
    return input ? input->text() : QStringLiteral("<no input for %1>").arg(field);
}

void type(QLineEdit *input, const QString &text)
{
    input->selectAll();
    QTest::keyClick(input, Qt::Key_Backspace);
    QTest::keyClicks(input, text);
    QTest::keyClick(input, Qt::Key_Return);
}

ChooserList chooseParent(objdb::EditPanelDialog &panel, const QString &firstColumn)
{
    // Shared with the wait for the chooser, which may outlive this call when the chooser never opens.
    const auto seen = std::make_shared<ChooserList>();
    whenShown<objdb::ParentChooser>(QStringLiteral("ParentChooser"), [seen, firstColumn](objdb::ParentChooser *chooser) {
        QTableWidget *list = chooser->list();
        seen->rows = list->rowCount();
        for (int c = 0; c < list->columnCount(); ++c)
            seen->headers.append(list->horizontalHeaderItem(c)->text());
        for (int r = 0; r < list->rowCount(); ++r) {
            if (list->item(r, 0)->text() == firstColumn)
                list->selectRow(r);
        }
        chooser->accept();
    });
    QTest::mouseClick(panel.findChild<QPushButton *>(QStringLiteral("cmdChooseParent")), Qt::LeftButton);
    return *seen;
}

} // namespace PanelDriver
