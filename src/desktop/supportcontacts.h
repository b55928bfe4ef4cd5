#pragma once
// Who supports the program at this desk, as the settings store names it beside the error report's
// address: keys "SupportName", "SupportAddress", "SupportPhone", "SupportFax", "SupportWeb" and
// "SupportEmail" of section "Configuration". What is not set there is not shown.

#include <QString>
#include <QStringList>

struct SupportContacts {
    QString name;
    QString address;
    QString phone;
    QString fax;
    QString web;
    QString email;

    static SupportContacts Read();
    // The contacts that are set, one per line, in the order above; the numbers after "Tel. " and
    // "Fax ".
    QStringList lines() const;
    bool isEmpty() const { return lines().isEmpty(); }
};
