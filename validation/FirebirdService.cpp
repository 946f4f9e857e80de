#include "validation/FirebirdService.h"

#include "validation/FirebirdError.h"
#include "validation/ParameterBlock.h"

#include <QFile>

FirebirdService::FirebirdService(FirebirdClient &client) : m_client(client) {}

FirebirdService::~FirebirdService() {
    detach();
}

void FirebirdService::attach(const QString &serviceManager, const QString &user, const QString &password) {
    detach();
    ParameterBlock spb(isc_spb_version);
    spb.addByte(isc_spb_current_version);
    spb.addShort(isc_spb_user_name, user.toUtf8());
    if (!password.isEmpty())
        spb.addShort(isc_spb_password, password.toUtf8());
    const QByteArray name = QFile::encodeName(serviceManager);
    ISC_STATUS_ARRAY status;
    if (m_client.api().serviceAttach(status, ushort(name.size()), name.constData(), &m_service,
                                     ushort(spb.bytes().size()), spb.bytes().constData()))
        fail(status);
}

void FirebirdService::restoreNbackup(const QString &source, const QString &target) {
    ParameterBlock request(isc_action_svc_nrest);
    request.addLong(isc_spb_dbname, QFile::encodeName(target));
    request.addLong(isc_spb_nbk_file, QFile::encodeName(source));
    ISC_STATUS_ARRAY status;
    if (m_client.api().serviceStart(status, &m_service, nullptr, ushort(request.bytes().size()),
                                    request.bytes().constData()))
        fail(status);
    waitForEnd();
}

void FirebirdService::waitForEnd() {
    // The action runs on the server; its output is read until it ends, and a failure of the
    // action comes back as the status of a query.
    static const char items[] = {isc_info_svc_line};
    char reply[1024];
    for (;;) {
        ISC_STATUS_ARRAY status;
        if (m_client.api().serviceQuery(status, &m_service, nullptr, 0, nullptr, sizeof items, items,
                                        sizeof reply, reply))
            fail(status);
        if (reply[0] != isc_info_svc_line)
            return;
        const int length = (unsigned char)reply[1] | ((unsigned char)reply[2] << 8);
        if (length == 0)
            return;
    }
}

void FirebirdService::detach() {
    if (!m_service)
        return;
    ISC_STATUS_ARRAY status;
    m_client.api().serviceDetach(status, &m_service);
    m_service = 0;
}

void FirebirdService::fail(const ISC_STATUS *status) {
    throw FirebirdError(m_client.errorText(status), FirebirdClient::fileMissing(status));
}
