#pragma once
// The days a closing summary covers: an operator's is always today's; the administrator's follows the
// view's date selection (the day, its month or the period), and is today's with all dates.

#include "views/viewquery.h"

#include <QDate>
#include <memory>
#include <utility>

class QWidget;
namespace objdb {
class Database;
}

namespace output {

// From and to, both included.
std::pair<QDate, QDate> ClosingPeriodFor(bool administrator, DateSelection selection, const QDate &date,
                                         const QDate &periodEnd, const QDate &today);

// The closing summary of today's period for that selection, shown over owner until closed.
void ShowClosingSummary(std::shared_ptr<objdb::Database> database, bool administrator, DateSelection selection,
                        const QDate &date, const QDate &periodEnd, QWidget *owner);

} // namespace output
