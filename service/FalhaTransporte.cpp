#include "service/FalhaTransporte.h"

QString FalhaTransporte::mensagem() const {
    QString frase;
    switch (causa) {
    case Causa::ConexaoRecusada:
        frase = QStringLiteral("Não foi possível conectar ao serviço em %1");
        break;
    case Causa::TempoConexao:
        frase = QStringLiteral("Tempo esgotado ao conectar ao serviço em %1");
        break;
    case Causa::NomeNaoEncontrado:
        frase = QStringLiteral("Não foi possível encontrar o servidor do serviço em %1");
        break;
    case Causa::SemDados:
        frase = QStringLiteral("O serviço em %1 parou de responder");
        break;
    case Causa::Prazo:
        frase = QStringLiteral("O serviço em %1 não terminou de responder no tempo limite");
        break;
    case Causa::Interrompida:
        frase = QStringLiteral("A conexão com o serviço em %1 foi interrompida");
        break;
    case Causa::Status:
        frase = QStringLiteral("O serviço em %1 respondeu com um erro");
        break;
    case Causa::GrandeDemais:
        frase = QStringLiteral("A resposta do serviço em %1 é grande demais");
        break;
    case Causa::Outra:
        frase = QStringLiteral("Falha na comunicação com o serviço em %1");
        break;
    }
    frase = frase.arg(servico);
    QString nota = detalhe.trimmed();
    while (nota.endsWith(QLatin1Char('.')))
        nota.chop(1);
    if (!nota.isEmpty())
        frase += QStringLiteral(" (%1)").arg(nota);
    return frase + QLatin1Char('.');
}

QString FalhaTransporte::tempo(long segundos) {
    if (segundos < 60)
        return QStringLiteral("%1 s").arg(segundos);
    const QString minutos = QStringLiteral("%1 min").arg(segundos / 60);
    return segundos % 60 ? minutos + QStringLiteral(" %1 s").arg(segundos % 60) : minutos;
}

QString FalhaTransporte::tamanho(qint64 bytes) {
    constexpr qint64 kib = 1024;
    if (bytes >= kib * kib && bytes % (kib * kib) == 0)
        return QStringLiteral("%1 MiB").arg(bytes / (kib * kib));
    if (bytes >= kib && bytes % kib == 0)
        return QStringLiteral("%1 KiB").arg(bytes / kib);
    return QStringLiteral("%1 bytes").arg(bytes);
}
