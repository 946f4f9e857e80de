#include "scripts/ConsultaEstadoServico.h"

#include "base/Exception.h"
#include "service/Conexao.h"
#include "service/Protocolo.h"

#include <QHash>

#include <limits>
#include <optional>

namespace {

// "maximo" of every search: the lookup wants every match, never the first page of them.
constexpr int TodosOsRegistros = std::numeric_limits<int>::max();

// The newest stored script of one name.
struct MaisNovo {
    std::optional<int> codigo;
    QByteArray script;

    void considerar(const RegistroScript &r) {
        if (!codigo || r.codigo > *codigo) {
            codigo = r.codigo;
            script = r.script;
        }
    }
};

} // namespace

ConsultaEstadoServico::ConsultaEstadoServico(Sessao &sessao, const QString &sistema)
    : FSessao(sessao), FSistema(sistema) {}

QList<EstadoNoServico> ConsultaEstadoServico::Consultar(const QList<Arquivo> &arquivos,
                                                        const Ganchos &ganchos) {
    std::optional<Conexao::Cancelavel> guarda;
    if (ganchos.cancelamento)
        guarda.emplace(*ganchos.cancelamento);
    QList<EstadoNoServico> estados(arquivos.size());
    if (arquivos.isEmpty())
        return estados;

    QStringList nomes; // distinct, in the order first met
    QHash<QString, QList<int>> porNome;
    for (int i = 0; i < arquivos.size(); ++i) {
        QList<int> &indices = porNome[arquivos.at(i).nome];
        if (indices.isEmpty())
            nomes << arquivos.at(i).nome;
        indices << i;
    }
    auto progresso = [&](int feitos, int total) {
        if (ganchos.progresso)
            ganchos.progresso(qMin(feitos, total), total);
    };
    auto decidir = [&](const QString &nome, const MaisNovo &guardado) {
        for (int i : porNome.value(nome)) {
            EstadoNoServico e;
            if (guardado.codigo) {
                e.codigo = *guardado.codigo;
                e.tipo = guardado.script == arquivos.at(i).script ? EstadoNoServico::Tipo::Igual
                                                                  : EstadoNoServico::Tipo::Alterado;
                if (e.tipo == EstadoNoServico::Tipo::Alterado)
                    e.scriptNoServico = guardado.script;
            }
            estados[i] = e;
            if (ganchos.decidido)
                ganchos.decidido(i, e);
        }
    };
    Protocolo::FiltroPesquisa filtro;
    filtro.sistema = FSistema;
    filtro.maximo = TodosOsRegistros;
    auto contar = [&] {
        const Protocolo::RespostaContagem r = Protocolo::ContarScripts(FSessao, filtro);
        if (!r.success)
            throw Exception(r.message);
        return r.registros;
    };

    const int noSistema = contar();
    Estrategia estrategia = FEstrategia;
    if (estrategia == Estrategia::Automatica)
        // A count that reached "maximo" may leave scripts out: only a smaller one covers them all.
        estrategia = noSistema < TodosOsRegistros &&
                             qint64(noSistema) <= qint64(ScriptsPorNomeParaBuscaUnica) * nomes.size()
                         ? Estrategia::Sistema
                         : Estrategia::PorNome;
    if (noSistema == 0) {
        for (const QString &nome : nomes)
            decidir(nome, {});
        progresso(1, 1);
        return estados;
    }

    if (estrategia == Estrategia::Sistema) {
        QHash<QString, MaisNovo> guardados;
        int lidos = 0;
        progresso(0, noSistema);
        Protocolo::BuscarScripts(FSessao, filtro, noSistema, [&](const RegistroScript &r) {
            if (porNome.contains(r.arquivo))
                guardados[r.arquivo].considerar(r);
            progresso(++lidos, noSistema);
        });
        for (const QString &nome : nomes)
            decidir(nome, guardados.value(nome));
        return estados;
    }

    progresso(0, int(nomes.size()));
    for (int k = 0; k < nomes.size(); ++k) {
        const QString &nome = nomes.at(k);
        filtro.arquivo = nome;
        MaisNovo guardado;
        if (const int n = contar(); n > 0)
            Protocolo::BuscarScripts(FSessao, filtro, n, [&](const RegistroScript &r) {
                if (r.arquivo == nome)
                    guardado.considerar(r);
            });
        decidir(nome, guardado);
        progresso(k + 1, int(nomes.size()));
    }
    return estados;
}
