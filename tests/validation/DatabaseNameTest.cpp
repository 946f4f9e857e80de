#include "validation/DatabaseName.h"
#include "tests/validation/PrintQString.h"

#include <gtest/gtest.h>

namespace {

struct NameCase {
    QString name;
    QString server;
    QString path;
};

// The trial names its copy and the service manager on the database's own server.
TEST(DatabaseName, SplitsTheServerFromThePath) {
    const NameCase cases[] = {
        {u"/home/dev/kor.fdb"_qs, QString(), u"/home/dev/kor.fdb"_qs},
        {u"kor.fdb"_qs, QString(), u"kor.fdb"_qs},
        {u"localhost:/var/db/kor.fdb"_qs, u"localhost:"_qs, u"/var/db/kor.fdb"_qs},
        {u"127.0.0.1:KOR"_qs, u"127.0.0.1:"_qs, u"KOR"_qs}, // an alias
        {u"srv/3051:/db/kor.fdb"_qs, u"srv/3051:"_qs, u"/db/kor.fdb"_qs},
        {u"srv:C:\\dados\\kor.fdb"_qs, u"srv:"_qs, u"C:\\dados\\kor.fdb"_qs},
        {u"[::1]:/db/kor.fdb"_qs, u"[::1]:"_qs, u"/db/kor.fdb"_qs},
        {u"[fe80::1]/3051:KOR"_qs, u"[fe80::1]/3051:"_qs, u"KOR"_qs},
        {u"inet://srv:3051//db/kor.fdb"_qs, u"inet://srv:3051/"_qs, u"/db/kor.fdb"_qs},
        {u"C:\\dados\\kor.fdb"_qs, QString(), u"C:\\dados\\kor.fdb"_qs},
        {u"/tmp/odd:name.fdb"_qs, QString(), u"/tmp/odd:name.fdb"_qs},
        {u"dir/sub/x:y.fdb"_qs, QString(), u"dir/sub/x:y.fdb"_qs},
    };
    for (const NameCase &c : cases) {
        const DatabaseName name = DatabaseName::parse(c.name);
        EXPECT_EQ(name.server, c.server) << c.name.toStdString();
        EXPECT_EQ(name.path, c.path) << c.name.toStdString();
        EXPECT_EQ(name.onSameServer(name.path), c.name);
    }
    EXPECT_EQ(DatabaseName::parse(u"srv/3051:/db/kor.fdb"_qs).serviceManager(), u"srv/3051:service_mgr"_qs);
    EXPECT_EQ(DatabaseName::parse(u"/db/kor.fdb"_qs).serviceManager(), u"service_mgr"_qs);
}

} // namespace
