#include "services/errorreport.h"

#include "services/frmShowException.h"
#include "services/messageservice.h"

#include "objdb/error.h"
#include "objdb/notify.h"

#include <QApplication>

namespace {

constexpr qint64 kObjectDefinedSpan = 2147221504; // |0x80040000| as a signed 32-bit value
constexpr int kPromptLength = 200;

// The number relative to the base of object-defined errors (may exceed 32 bits).
qint64 relativeNumber(qint32 number)
{
    return qint64(number) - qint64(objdb::kErrorBase);
}

} // namespace

PendingError::PendingError(const objdb::Error &error)
    : number(error.number())
    , description(error.description())
    , written(error.written())
{
}

PendingError::PendingError(const std::exception &error)
{
    if (const auto *libraryError = dynamic_cast<const objdb::Error *>(&error)) {
        *this = PendingError(*libraryError);
        return;
    }
    number = 5;
    description = QString::fromUtf8(error.what());
}

PendingError PendingError::current()
{
    try {
        throw;
    } catch (const std::exception &error) {
        return PendingError(error);
    } catch (...) {
        return PendingError(5, QStringLiteral("Errore sconosciuto"));
    }
}

QString ErrorCodeText(qint32 number)
{
    const qint64 relative = relativeNumber(number);
    const qint32 shown = qAbs(relative) < kObjectDefinedSpan ? qint32(relative) : number;
    return QString::number(shown) + QStringLiteral(" (") + QString::number(quint32(shown), 16).toUpper()
           + QStringLiteral(")");
}

QString ErrorReportPrompt(const QString &context, const PendingError &error)
{
    const QString question = QStringLiteral("\n\nVisualizzare dettagli ?");
    const QString cause = (context.isEmpty() ? error.description : context).left(kPromptLength);
    // A change already committed stays: the report must not say that nothing was modified.
    if (error.written)
        return QStringLiteral("La modifica ai dati è stata salvata, ma il passo successivo non è riuscito:\n\n") + cause
               + question;
    const qint64 relative = relativeNumber(error.number);
    if (relative == objdb::kErrRefused || relative == objdb::kErrStopped) {
        const QString untouched = objdb::Application::Message(objdb::kErrRefused, 0);
        if (error.description.isEmpty() || error.description == untouched)
            return untouched + question;
        return untouched + QStringLiteral("\n\n") + error.description.left(kPromptLength) + question;
    }
    return cause + QStringLiteral(" ...") + question;
}

void ShowErrorReport(const QString &context, const PendingError &error)
{
    QWidget *parent = QApplication::activeWindow();
    if (!MessageService::askYesNo(ErrorReportPrompt(context, error), MessageService::Icon::Critical,
                                  MessageService::Answer::No, QString(), parent))
        return;
    frmShowException details(parent);
    details.SetException(ErrorCodeText(error.number), error.description);
    details.exec();
}
