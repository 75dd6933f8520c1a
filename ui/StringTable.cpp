#include "ui/StringTable.h"

#include <QFile>

StringTable StringTable::Program() { return Load(QStringLiteral(":/forms/strings.txt")); }

StringTable StringTable::Load(const QString& fileName) {
    StringTable table;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return table;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1Char('#'))) continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0) continue;
        table.entries_.insert(line.left(equals), line.mid(equals + 1));
    }
    return table;
}
