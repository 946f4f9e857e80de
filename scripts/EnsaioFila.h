#pragma once

#include "validation/ScriptTrial.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class Cancelamento;

// The trial of an upload queue: its scripts, in queue order, on one disposable copy of a
// database (ScriptTrial), each on the state the previous ones left, as whoever receives them
// will run them. Synchronous: call it from a worker.
class EnsaioFila {
public:
    struct Arquivo {
        QString caminho;
        QByteArray script; // Windows-1252, as queued
    };
    struct Falha {
        int linha = 0;
        QString mensagem;
    };
    struct Resultado {
        bool executado = false; // false: the trial ended (stopped, failed) before this script
        QList<Falha> falhas;    // every failing statement, in order
        QString erro;           // a failure other than a statement's, which ended the trial here
        QString aposFalhaEm;    // the file name of the first earlier script that failed
        bool falhou() const { return !falhas.isEmpty() || !erro.isEmpty(); }
    };
    struct Ganchos {
        const Cancelamento *parar = nullptr;
        // Before each script: its number (from 1) and the number of scripts.
        std::function<void(int numero, int total)> progresso = {};
    };

    explicit EnsaioFila(FirebirdClient &client = FirebirdClient::system(),
                        const TrialCopyRegistry &registry = TrialCopyRegistry::standard());

    // One result per file, in order. Throws Exception with the reason when the database cannot
    // be attached or copied: then no script ran.
    QList<Resultado> Ensaiar(const QString &banco, const QString &senha, const QList<Arquivo> &arquivos,
                             const Ganchos &ganchos);

    // "OK", "Falhou: Linha N: message" (the first failure), with "(após falha em NAME)" when an
    // earlier script had failed; empty for a script that did not run.
    static QString texto(const Resultado &resultado);

private:
    ScriptTrial m_trial;
};
