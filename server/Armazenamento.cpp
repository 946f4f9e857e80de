#include "server/Armazenamento.h"

#include "server/ConexaoBanco.h"

#include <QRandomGenerator>

namespace {

const QString FormatoData = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QDateTime data(const QString &texto) {
    return QDateTime::fromString(texto, FormatoData);
}

// The WHERE clause of a search over the named columns, with its values in order.
struct Condicoes {
    QStringList partes;
    QVariantList valores;

    void adicionar(const QString &parte, const QVariant &valor) {
        partes << parte;
        valores << valor;
    }
    QString sql() const {
        return partes.isEmpty() ? QString() : QStringLiteral(" WHERE ") + partes.join(" AND ");
    }
};

// A searchable table: its code column, the case-folded copy of its name, and whether it records
// the user.
struct TabelaBusca {
    const char *nome;
    const char *colunaCodigo;
    const char *colunaBusca;
    bool comUsuario;
};
const TabelaBusca TabelaScripts{"scripts", "codigo", "nome_busca", false};
const TabelaBusca TabelaLog{"log", "idscript", "arquivo_busca", true};

// "Part of the name" as a LIKE pattern: the part's own % and _ match only themselves.
QString contendo(const QString &parte) {
    QString escapada = parte.toCaseFolded();
    escapada.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escapada.replace(QLatin1Char('%'), QLatin1String("\\%"));
    escapada.replace(QLatin1Char('_'), QLatin1String("\\_"));
    return QLatin1Char('%') + escapada + QLatin1Char('%');
}

Condicoes condicoes(const FiltroArmazenamento &f, const TabelaBusca &tabela) {
    Condicoes c;
    if (!f.sistema.isEmpty())
        c.adicionar(QStringLiteral("sistema = ?"), f.sistema);
    if (f.codigo)
        c.adicionar(QString::fromLatin1(tabela.colunaCodigo) + QStringLiteral(" = ?"), *f.codigo);
    if (tabela.comUsuario && !f.usuario.isEmpty())
        c.adicionar(QStringLiteral("usuario = ?"), f.usuario.toUpper());
    if (f.inicio.isValid())
        c.adicionar(QStringLiteral("substr(data, 1, 10) >= ?"), f.inicio.toString(Qt::ISODate));
    if (f.fim.isValid())
        c.adicionar(QStringLiteral("substr(data, 1, 10) <= ?"), f.fim.toString(Qt::ISODate));
    if (!f.arquivo.isEmpty())
        c.adicionar(QStringLiteral("%1 LIKE ? ESCAPE '\\'").arg(QLatin1String(tabela.colunaBusca)),
                    contendo(f.arquivo));
    return c;
}

// Counting stops at `maximo`: a search capped at 500 never walks a whole large table.
int contar(ConexaoBanco &conexao, const TabelaBusca &tabela, const FiltroArmazenamento &filtro, int maximo) {
    const Condicoes c = condicoes(filtro, tabela);
    return conexao
        .valor(QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM %1%2 LIMIT ?) AS limitada")
                   .arg(QLatin1String(tabela.nome), c.sql()),
               c.valores + QVariantList{qint64(qMax(maximo, 0))})
        .toInt();
}

// The rows of the page at `lidos`: at most `tamanho`, none beyond `maximo`.
ConexaoBanco::Linhas pagina(ConexaoBanco &conexao, const TabelaBusca &tabela, const QString &colunas,
                            const QString &ordem, const FiltroArmazenamento &filtro, int maximo, int lidos,
                            int tamanho) {
    const int limite = qMax(0, qMin(tamanho, maximo - lidos));
    if (limite == 0 || lidos < 0)
        return {};
    const Condicoes c = condicoes(filtro, tabela);
    return conexao.executar(QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4 LIMIT ? OFFSET ?")
                                .arg(colunas, QLatin1String(tabela.nome), c.sql(), ordem),
                            c.valores + QVariantList{qint64(limite), qint64(lidos)});
}

// The log entry of a change, made from the script row that `fonte` (a FROM clause) yields, so the
// script's text travels to the database once. `atual` and `anterior` are SQL for the texts after
// and before the change: "script" is the row's, "?" the value that follows the time (valoresLog).
QString sqlLog(const QString &atual, const QString &anterior, const QString &fonte) {
    return QStringLiteral("INSERT INTO log (idscript, data, arquivo, arquivo_busca, sistema, script_atual,"
                          " script_anterior, descricao, usuario) SELECT codigo, ?, nome, nome_busca, sistema,"
                          " %1, %2, ?, ? FROM %3 RETURNING idscript")
        .arg(atual, anterior, fonte);
}

} // namespace

Armazenamento::Armazenamento(qint64 validadeSessao, Relogio relogio) : FValidadeSessao(validadeSessao) {
    definirRelogio(std::move(relogio));
}

Armazenamento::~Armazenamento() = default;

void Armazenamento::definirRelogio(Relogio relogio) {
    std::lock_guard trava(FMutexRelogio);
    FRelogio = relogio ? std::move(relogio) : [] { return QDateTime::currentDateTime(); };
}

QDateTime Armazenamento::agora() {
    std::lock_guard trava(FMutexRelogio);
    return FRelogio();
}

void Armazenamento::removerSessoesVencidas(ConexaoBanco &conexao) {
    conexao.executar(QStringLiteral("DELETE FROM sessoes WHERE ultimo_uso < ?"),
                     {agora().toSecsSinceEpoch() - FValidadeSessao});
}

void Armazenamento::definirUsuario(const QString &nome, const QString &senhaMd5) {
    usar(false, [&](ConexaoBanco &c) {
        c.executar(QStringLiteral("INSERT INTO usuarios (nome, senha) VALUES (?, ?)"
                                  " ON CONFLICT (nome) DO UPDATE SET senha = excluded.senha"),
                   {nome.toUpper(), senhaMd5.toLower()});
    });
}

bool Armazenamento::confereSenha(const QString &nome, const QString &senhaMd5) {
    bool confere = false;
    usar(false, [&](ConexaoBanco &c) {
        confere = !c.executar(QStringLiteral("SELECT 1 FROM usuarios WHERE nome = ? AND senha = ?"),
                              {nome.toUpper(), senhaMd5.toLower()})
                       .isEmpty();
    });
    return confere;
}

QString Armazenamento::abrirSessao(const QString &usuario) {
    quint32 aleatorio[4];
    QRandomGenerator::system()->fillRange(aleatorio);
    const QString chave =
        QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(aleatorio), sizeof aleatorio).toHex());
    usar(true, [&](ConexaoBanco &c) {
        removerSessoesVencidas(c);
        c.executar(QStringLiteral("INSERT INTO sessoes (chave, usuario, ultimo_uso) VALUES (?, ?, ?)"),
                   {chave, usuario.toUpper(), agora().toSecsSinceEpoch()});
    });
    return chave;
}

QString Armazenamento::usuarioDaSessao(const QString &chave) {
    const qint64 instante = agora().toSecsSinceEpoch();
    QString usuario;
    usar(false, [&](ConexaoBanco &c) {
        const ConexaoBanco::Linhas linhas =
            c.executar(QStringLiteral("SELECT usuario, ultimo_uso FROM sessoes WHERE chave = ?"), {chave});
        if (linhas.isEmpty())
            return;
        const qint64 usada = linhas[0][1].toLongLong();
        if (usada < instante - FValidadeSessao) {
            c.executar(QStringLiteral("DELETE FROM sessoes WHERE chave = ?"), {chave});
            return;
        }
        usuario = linhas[0][0];
        // Renewed at most once a minute, so a run of requests does not write on every one.
        if (instante - usada >= 60)
            c.executar(QStringLiteral("UPDATE sessoes SET ultimo_uso = ? WHERE chave = ?"),
                       {instante, chave});
    });
    return usuario;
}

qint64 Armazenamento::liberacaoLogin(const QString &usuario) {
    qint64 liberado = 0;
    usar(false, [&](ConexaoBanco &c) {
        liberado = c.valor(QStringLiteral("SELECT liberado FROM tentativas_login WHERE usuario = ?"),
                           {usuario.toUpper()})
                       .toLongLong();
    });
    return liberado;
}

void Armazenamento::registrarFalhaLogin(const QString &usuario, qint64 instante, qint64 esquecerAntes,
                                        const std::function<qint64(int falhas)> &liberacao) {
    const QString nome = usuario.toUpper();
    usar(true, [&](ConexaoBanco &c) {
        // One statement counts, so two processes' failures of one name are both counted.
        const int falhas =
            c.valor(QStringLiteral("INSERT INTO tentativas_login (usuario, falhas, ultima, liberado)"
                                   " VALUES (?, 1, ?, 0) ON CONFLICT (usuario) DO UPDATE SET"
                                   " falhas = CASE WHEN tentativas_login.ultima < ? THEN 1"
                                   " ELSE tentativas_login.falhas + 1 END, ultima = excluded.ultima"
                                   " RETURNING falhas"),
                    {nome, instante, esquecerAntes})
                .toInt();
        if (const qint64 liberado = liberacao(falhas); liberado > 0)
            c.executar(QStringLiteral("UPDATE tentativas_login SET liberado = ? WHERE usuario = ?"),
                       {liberado, nome});
    });
    // Names that failed long ago and wait no more are forgotten, so guessed names do not pile up.
    usar(false, [&](ConexaoBanco &c) {
        c.executar(QStringLiteral("DELETE FROM tentativas_login WHERE ultima < ? AND liberado < ?"),
                   {esquecerAntes, instante});
    });
}

void Armazenamento::esquecerFalhasLogin(const QString &usuario) {
    usar(false, [&](ConexaoBanco &c) {
        c.executar(QStringLiteral("DELETE FROM tentativas_login WHERE usuario = ?"), {usuario.toUpper()});
    });
}

QVariantList Armazenamento::valoresLog(const QVariantList &atual, const QString &descricao,
                                       const QString &usuario) {
    return QVariantList{agora().toString(FormatoData)} + atual + QVariantList{descricao, usuario.toUpper()};
}

qint64 Armazenamento::inserir(const QDateTime &data, const QString &nome, const QString &sistema,
                              const QString &scriptHex, const QString &usuario) {
    const QString novo = QStringLiteral("INSERT INTO scripts (data, nome, nome_busca, sistema, script)"
                                        " VALUES (?, ?, ?, ?, ?) RETURNING ");
    const QVariantList valores{data.toString(FormatoData), nome, nome.toCaseFolded(), sistema, scriptHex};
    const QVariantList log = valoresLog({}, QStringLiteral("Inclusão"), usuario);
    qint64 codigo = 0;
    if (insercaoNumaInstrucao()) {
        // One statement is a transaction of its own, and one round trip to the database.
        usar(false, [&](ConexaoBanco &c) {
            codigo =
                c.valor(QStringLiteral("WITH novo AS (%1*) ").arg(novo) +
                            sqlLog(QStringLiteral("script"), QStringLiteral("''"), QStringLiteral("novo")),
                        valores + log)
                    .toLongLong();
        });
        return codigo;
    }
    usar(true, [&](ConexaoBanco &c) {
        codigo = c.valor(novo + QStringLiteral("codigo"), valores).toLongLong();
        c.executar(sqlLog(QStringLiteral("script"), QStringLiteral("''"),
                          QStringLiteral("scripts WHERE codigo = ?")),
                   log + QVariantList{codigo});
    });
    return codigo;
}

bool Armazenamento::alterar(qint64 codigo, const QString &sql, const QVariantList &valores,
                            const QString &novoScript, const QString &descricao, const QString &usuario) {
    bool encontrado = false;
    usar(true, [&](ConexaoBanco &c) {
        // Logged before the change, from the row locked as read, so the text before is the one
        // this change replaces.
        encontrado = !c.executar(sqlLog(QStringLiteral("?"), QStringLiteral("script"),
                                        QStringLiteral("scripts WHERE codigo = ?") + c.bloqueioLinhas()),
                                 valoresLog({novoScript}, descricao, usuario) + QVariantList{codigo})
                          .isEmpty();
        if (encontrado)
            c.executar(sql, valores);
    });
    return encontrado;
}

bool Armazenamento::atualizar(qint64 codigo, const QString &scriptHex, const QString &usuario) {
    return alterar(codigo, QStringLiteral("UPDATE scripts SET script = ? WHERE codigo = ?"),
                   {scriptHex, codigo}, scriptHex, QStringLiteral("Alteração"), usuario);
}

bool Armazenamento::excluir(qint64 codigo, const QString &usuario) {
    return alterar(codigo, QStringLiteral("DELETE FROM scripts WHERE codigo = ?"), {codigo}, QString(),
                   QStringLiteral("Exclusão"), usuario);
}

int Armazenamento::contarScripts(const FiltroArmazenamento &filtro, int maximo) {
    int n = 0;
    usar(false, [&](ConexaoBanco &c) { n = contar(c, TabelaScripts, filtro, maximo); });
    return n;
}

QList<ScriptArmazenado> Armazenamento::pesquisarScripts(const FiltroArmazenamento &filtro, int maximo,
                                                        int lidos, int tamanho) {
    QList<ScriptArmazenado> scripts;
    usar(false, [&](ConexaoBanco &c) {
        for (const ConexaoBanco::Linha &l :
             pagina(c, TabelaScripts, QStringLiteral("codigo, data, nome, sistema, script"),
                    QStringLiteral("codigo"), filtro, maximo, lidos, tamanho))
            scripts.append({l[0].toLongLong(), data(l[1]), l[2], l[3], l[4]});
    });
    return scripts;
}

int Armazenamento::contarLog(const FiltroArmazenamento &filtro, int maximo) {
    int n = 0;
    usar(false, [&](ConexaoBanco &c) { n = contar(c, TabelaLog, filtro, maximo); });
    return n;
}

QList<EntradaLog> Armazenamento::pesquisarLog(const FiltroArmazenamento &filtro, int maximo, int lidos,
                                              int tamanho) {
    QList<EntradaLog> entradas;
    usar(false, [&](ConexaoBanco &c) {
        for (const ConexaoBanco::Linha &l : pagina(
                 c, TabelaLog,
                 QStringLiteral("idscript, data, arquivo, script_atual, script_anterior, descricao, usuario"),
                 QStringLiteral("id DESC"), filtro, maximo, lidos, tamanho))
            entradas.append({l[0].toLongLong(), data(l[1]), l[2], l[3], l[4], l[5], l[6]});
    });
    return entradas;
}
