#pragma once
// The program's string table: texts stored under identifiers in a resource
// file, one "identifier=text" entry a line (UTF-8; lines starting with "#"
// are comments).

#include <QHash>
#include <QString>

class StringTable {
public:
    // The table of the program's resources.
    static StringTable Program();
    static StringTable Load(const QString& fileName);

    // The text stored under the identifier; empty when there is none.
    QString Text(const QString& id) const { return entries_.value(id); }

private:
    QHash<QString, QString> entries_;
};
