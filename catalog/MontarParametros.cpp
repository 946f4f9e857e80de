#include "catalog/MontarParametros.h"

#include "service/Protocolo.h"

#include <limits>

namespace {

// Dates on or before the zero date of the old date type (30/12/1899) count as no date.
QDate DataInformada(const QDate &data) {
    return data.isValid() && data > QDate(1899, 12, 30) ? data : QDate();
}

Protocolo::FiltroPesquisa Filtro(const FiltroTela &tela) {
    Protocolo::FiltroPesquisa filtro;
    filtro.sistema = tela.sistema;
    filtro.codigo = tela.codigo;
    filtro.usuario = tela.usuario;
    filtro.data_inicio = DataInformada(tela.dataInicio);
    filtro.data_fim = DataInformada(tela.dataFim);
    filtro.arquivo = tela.arquivo;
    filtro.maximo = int(qMin<qint64>(LerMaximo(tela.maximo), std::numeric_limits<int>::max()));
    return filtro;
}

} // namespace

qint64 LerMaximo(const QString &texto) {
    if (texto.trimmed().isEmpty())
        return 0;
    bool ok = false;
    const qint64 valor = texto.trimmed().toLongLong(&ok);
    return ok ? valor : std::numeric_limits<qint64>::max();
}

CamposRequisicao MontarParametrosPesquisa(const FiltroTela &tela, const QString &chave) {
    return Protocolo::CamposPesquisa(Filtro(tela), chave);
}

CamposRequisicao MontarParametrosLog(const FiltroTela &tela, const QString &chave) {
    return Protocolo::CamposPesquisaLog(Filtro(tela), chave);
}
