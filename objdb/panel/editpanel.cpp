#include "objdb/panel/editpanel.h"

#include "objdb/datasource.h"
#include "objdb/panel/editpaneldialog.h"

#include <QApplication>

namespace objdb::EditPanel {

namespace {

QWidget *ownerOrActive(QWidget *owner)
{
    return owner ? owner : QApplication::activeWindow();
}

QVariant run(EditPanelDialog &panel)
{
    return panel.exec() == QDialog::Accepted ? panel.savedOid() : QVariant();
}

} // namespace

QVariant editNew(const std::shared_ptr<DataSource> &view, const QVariantList &presets, QWidget *owner)
{
    EditPanelDialog panel(view, QString(), ownerOrActive(owner));
    if (!panel.startNew(presets))
        return QVariant();
    return run(panel);
}

QVariant editCurrent(const std::shared_ptr<DataSource> &view, const QVariantList &presets, const QString &title,
                     QWidget *owner)
{
    EditPanelDialog panel(view, title, ownerOrActive(owner));
    if (!panel.startCurrent(view->Bookmark(), presets))
        return QVariant();
    return run(panel);
}

} // namespace objdb::EditPanel
