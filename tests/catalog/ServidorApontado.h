#pragma once

#include "tests/support/RecordingHttpServer.h"

#include <QByteArray>
#include <QtGlobal>

// A recording server that the client's addresses point at while it lives; the address it
// replaced comes back afterwards, so that a failed assertion cannot leave it set for the next test.
struct ServidorApontado {
    explicit ServidorApontado(RecordingHttpServer::Responder resposta, std::chrono::milliseconds atraso = {})
        : anterior(qgetenv("BRISEL_SERVICE_URL")), servidor(std::move(resposta), atraso) {
        qputenv("BRISEL_SERVICE_URL", servidor.rootUrl());
    }
    ~ServidorApontado() {
        if (anterior.isEmpty())
            qunsetenv("BRISEL_SERVICE_URL");
        else
            qputenv("BRISEL_SERVICE_URL", anterior);
    }

    QByteArray anterior;
    RecordingHttpServer servidor;
};
