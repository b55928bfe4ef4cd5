#include "desktop/supportcontacts.h"

#include "services/configuration.h"

SupportContacts SupportContacts::Read()
{
    const auto read = [](const char *key) {
        return Settings::readText(QStringLiteral("Configuration"), QLatin1String(key)).trimmed();
    };
    return {read("SupportName"), read("SupportAddress"), read("SupportPhone"),
            read("SupportFax"),  read("SupportWeb"),     read("SupportEmail")};
}

QStringList SupportContacts::lines() const
{
    QStringList set;
    const auto add = [&set](const QString &label, const QString &value) {
        if (!value.isEmpty())
            set.append(label + value);
    };
    add(QString(), name);
    add(QString(), address);
    add(QStringLiteral("Tel. "), phone);
    add(QStringLiteral("Fax "), fax);
    add(QString(), web);
    add(QString(), email);
    return set;
}
