#include "output/outputdialogs.h"

#include "objdb/datasource.h"
#include "objdb/grid/fieldsequencedialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QTimer>

namespace output {

namespace {

QWidget *ownerOr(QWidget *owner)
{
    return owner ? owner : QApplication::activeWindow();
}

Dialogs standardDialogs()
{
    Dialogs d;
    d.print = [](QPrinter &printer, QWidget *owner) {
        QPrintDialog dialog(&printer, ownerOr(owner));
        dialog.setPrintRange(QAbstractPrintDialog::AllPages);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        return dialog.exec() == QDialog::Accepted;
    };
    d.preview = [](QPrinter &printer, QWidget *owner, const std::function<bool(QPrinter *)> &paint) {
        QPrintPreviewDialog dialog(&printer, ownerOr(owner));
        // Pages want room: most of the screen, or all of it where the desktop maximises windows.
        if (const QScreen *screen = dialog.screen())
            dialog.resize(screen->availableGeometry().size() * 0.9);
        dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&dialog, &paint](QPrinter *target) {
            if (!paint(target))
                QTimer::singleShot(0, &dialog, &QDialog::reject);
        });
        dialog.exec();
    };
    d.saveFile = [](QWidget *owner, const QString &caption, const QString &proposed, const QStringList &filters,
                    QString *chosenFilter) {
        return QFileDialog::getSaveFileName(ownerOr(owner), caption, proposed, filters.join(QStringLiteral(";;")),
                                            chosenFilter);
    };
    d.editFieldSequence = [](const objdb::DataSource &ds, const QString &title, QString &sequence, QWidget *owner) {
        objdb::FieldSequenceDialog dialog(ds.fields(), sequence, ownerOr(owner));
        dialog.setWindowTitle(title);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        sequence = dialog.sequence();
        return true;
    };
    return d;
}

} // namespace

Dialogs &dialogs()
{
    static Dialogs current = standardDialogs();
    return current;
}

void restoreDialogs()
{
    dialogs() = standardDialogs();
}

} // namespace output
