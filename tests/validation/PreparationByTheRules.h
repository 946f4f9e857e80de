#pragma once

#include "validation/ScriptPreparation.h"

#include <QRegularExpression>

// The preparation as its rules read, step by step: the expression over the whole text, then each
// removal repeated over the whole text until nothing is left. Quadratic for text built to need
// many rounds; the reference the one-pass preparation is checked and measured against.
inline PreparedScript preparationByTheRules(const QString &script) {
    static const QRegularExpression oneLineComment(QStringLiteral("(*ANY)\\/\\*.*\\*\\/"));
    PreparedScript prepared;
    prepared.text = script;
    prepared.text.replace(oneLineComment, QString());
    const auto removeAll = [&](QLatin1StringView what) {
        bool found = false;
        while (prepared.text.contains(what, Qt::CaseInsensitive)) {
            found = true;
            prepared.text.remove(what, Qt::CaseInsensitive);
        }
        return found;
    };
    removeAll(QLatin1StringView("COMMIT WORK;"));
    removeAll(QLatin1StringView("COMMIT;"));
    prepared.rollbackOnError = removeAll(QLatin1StringView("ROLLBACK ON ERROR;"));
    return prepared;
}
