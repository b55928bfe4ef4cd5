#include "objdb/grid/viewutility.h"

#include <QSettings>

namespace objdb {

namespace {

const QString kSequenceKey = QStringLiteral("Sequence");
const QString kWidthGroup = QStringLiteral("Width");

} // namespace

GridSetting::GridSetting(const QString &tableName, const QString &iniPath) : m_table(tableName), m_iniPath(iniPath)
{
    QSettings ini(m_iniPath, QSettings::IniFormat);
    ini.beginGroup(m_table);
    m_sequence = ini.value(kSequenceKey).toString();
    ini.beginGroup(kWidthGroup);
    for (const QString &field : ini.childKeys()) {
        const int twips = ini.value(field).toInt();
        if (twips > 0)
            m_widths.insert(field, twips);
    }
}

void GridSetting::SetColumnWidth(const QString &field, int twips)
{
    if (twips > 0)
        m_widths.insert(field, twips);
    else
        m_widths.remove(field);
}

int GridSetting::ColumnWidth(const QString &field) const
{
    return m_widths.value(field, 0);
}

void GridSetting::Reset()
{
    m_sequence.clear();
    m_widths.clear();
}

void GridSetting::Save() const
{
    QSettings ini(m_iniPath, QSettings::IniFormat);
    ini.beginGroup(m_table);
    ini.setValue(kSequenceKey, m_sequence);
    // Widths of fields no longer kept must not come back on the next start.
    ini.remove(kWidthGroup);
    for (auto it = m_widths.cbegin(); it != m_widths.cend(); ++it)
        ini.setValue(kWidthGroup + QLatin1Char('/') + it.key(), it.value());
    ini.endGroup();
    ini.sync();
}

} // namespace objdb
