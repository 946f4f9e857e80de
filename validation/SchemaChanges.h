#pragma once

#include <QSet>
#include <QString>
#include <QStringView>

// The tables and views that earlier statements of a script create or alter, so that a later
// "Table unknown" or "Column unknown" about one of them can be explained: Firebird does not let
// a transaction use what it has itself defined, and the plain run is one transaction.
class SchemaChanges {
public:
    // Notes a statement that succeeded.
    void note(QStringView statement);
    // The line that explains a statement error, or an empty text when the error is not about an
    // object defined earlier.
    QString explain(const QString &message) const;

private:
    QSet<QString> m_tables;  // tables and views, as Firebird stores their names
    QSet<QString> m_columns; // every name in the statements that define them
};
