#include "services/session.h"

#include "services/deskmark.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"

Session::Session() = default;
Session::~Session() = default;

bool Session::isReady() const
{
    return database && dataContext && dataContext->State() == 5;
}

void Session::setOperator(const QString &name)
{
    operatorName = name;
    if (dataContext)
        dataContext->UserName = name;
    if (deskMark)
        deskMark->setOperator(name);
}

void Session::close()
{
    dataContext.reset();
    if (database)
        database->Close();
    database.reset();
    deskMark.reset();
}
