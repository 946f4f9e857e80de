#include "validation/DatabaseName.h"

DatabaseName DatabaseName::parse(const QString &name) {
    const DatabaseName local{QString(), name};
    const qsizetype scheme = name.indexOf(QStringLiteral("://"));
    if (scheme > 0) {
        const qsizetype slash = name.indexOf(u'/', scheme + 3);
        return slash < 0 ? DatabaseName{name, QString()}
                         : DatabaseName{name.left(slash + 1), name.mid(slash + 1)};
    }
    qsizetype from = 0;
    if (name.startsWith(u'[')) { // an IPv6 address holds colons of its own
        from = name.indexOf(u']');
        if (from < 0)
            return local;
    }
    const qsizetype colon = name.indexOf(u':', from);
    if (colon < 0 || (colon == 1 && name.at(0).isLetter())) // none, or a Windows drive
        return local;
    const QString host = name.left(colon);
    // Only "host/port" may hold a slash before the colon; anything else is a path.
    const qsizetype slash = host.indexOf(u'/', from);
    if (host.isEmpty() || host.startsWith(u'/') || host.contains(u'\\') ||
        (slash >= 0 && (slash + 1 == host.size() || host.indexOf(u'/', slash + 1) >= 0)))
        return local;
    return {name.left(colon + 1), name.mid(colon + 1)};
}
