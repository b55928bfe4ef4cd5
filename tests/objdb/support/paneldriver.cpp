#include "paneldriver.h"

#include "objdb/panel/parentchooser.h"

#include "objdb/grid/gridmodel.h"

#include <QPushButton>
#include <QTableView>
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
    emit input->editingFinished();
}

ChooserList chooseParent(objdb::EditPanelDialog &panel, const QString &firstColumn)
{
    // Shared with the wait for the chooser, which may outlive this call when the chooser never opens.
    const auto seen = std::make_shared<ChooserList>();
    whenShown<objdb::ParentChooser>(QStringLiteral("ParentChooser"), [seen, firstColumn](objdb::ParentChooser *chooser) {
        const objdb::GridModel *model = chooser->model();
        seen->rows = model->rowCount();
        for (int c = 0; c < model->columnCount(); ++c)
            seen->headers.append(model->headerData(c, Qt::Horizontal).toString());
        for (int r = 0; r < model->rowCount(); ++r) {
            if (model->index(r, 0).data().toString() == firstColumn)
                chooser->list()->setCurrentIndex(model->index(r, 0));
        }
        chooser->accept();
    });
    QTest::mouseClick(panel.findChild<QPushButton *>(QStringLiteral("cmdChooseParent")), Qt::LeftButton);
    return *seen;
}

} // namespace PanelDriver
