#include "server/Armazenamento.h"

#include "base/Exception.h"

#include <QRandomGenerator>
#include <QVariant>

#include <functional>

#include <sqlite3.h>

namespace {

const QString FormatoData = QStringLiteral("yyyy-MM-dd HH:mm:ss");

Exception erroBanco(sqlite3 *banco) {
    return Exception(
        QStringLiteral("Erro no banco de dados: %1").arg(QString::fromUtf8(sqlite3_errmsg(banco))));
}

// One prepared statement with its values bound by position.
class Consulta {
public:
    Consulta(sqlite3 *banco, const QString &sql) : FBanco(banco) {
        if (sqlite3_prepare_v2(banco, sql.toUtf8().constData(), -1, &FComando, nullptr) != SQLITE_OK)
            throw erroBanco(banco);
    }
    ~Consulta() { sqlite3_finalize(FComando); }
    Consulta(const Consulta &) = delete;
    Consulta &operator=(const Consulta &) = delete;

    void ligar(int posicao, const QVariant &valor) {
        int r;
        if (valor.typeId() == QMetaType::LongLong || valor.typeId() == QMetaType::Int) {
            r = sqlite3_bind_int64(FComando, posicao, valor.toLongLong());
        } else {
            const QByteArray texto = valor.toString().toUtf8();
            r = sqlite3_bind_text(FComando, posicao, texto.constData(), int(texto.size()), SQLITE_TRANSIENT);
        }
        if (r != SQLITE_OK)
            throw erroBanco(FBanco);
    }
    void ligarTodos(const QVariantList &valores) {
        for (int i = 0; i < valores.size(); ++i)
            ligar(i + 1, valores[i]);
    }
    bool proxima() {
        const int r = sqlite3_step(FComando);
        if (r == SQLITE_ROW)
            return true;
        if (r == SQLITE_DONE)
            return false;
        throw erroBanco(FBanco);
    }
    QString texto(int coluna) {
        const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(FComando, coluna));
        return t ? QString::fromUtf8(t, sqlite3_column_bytes(FComando, coluna)) : QString();
    }
    qint64 inteiro(int coluna) { return sqlite3_column_int64(FComando, coluna); }
    QDateTime data(int coluna) { return QDateTime::fromString(texto(coluna), FormatoData); }

private:
    sqlite3 *FBanco;
    sqlite3_stmt *FComando = nullptr;
};

// Rolls back unless committed, so a failure half-way leaves nothing half-written.
class Transacao {
public:
    explicit Transacao(sqlite3 *banco) : FBanco(banco) { executar("BEGIN IMMEDIATE"); }
    ~Transacao() {
        if (!FConfirmada)
            sqlite3_exec(FBanco, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    void confirmar() {
        executar("COMMIT");
        FConfirmada = true;
    }

private:
    void executar(const char *sql) {
        if (sqlite3_exec(FBanco, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw erroBanco(FBanco);
    }
    sqlite3 *FBanco;
    bool FConfirmada = false;
};

// Case folding for the "arquivo" filter, beyond the ASCII-only folding of LIKE and lower().
void dobrar(sqlite3_context *contexto, int, sqlite3_value **valores) {
    const auto *t = reinterpret_cast<const char *>(sqlite3_value_text(valores[0]));
    if (!t) {
        sqlite3_result_null(contexto);
        return;
    }
    const QByteArray dobrado = QString::fromUtf8(t, sqlite3_value_bytes(valores[0])).toCaseFolded().toUtf8();
    sqlite3_result_text(contexto, dobrado.constData(), int(dobrado.size()), SQLITE_TRANSIENT);
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

// A searchable table: its code and name columns, and whether it records the user.
struct TabelaBusca {
    const char *nome;
    const char *colunaCodigo;
    const char *colunaNome;
    bool comUsuario;
};
const TabelaBusca TabelaScripts{"scripts", "codigo", "nome", false};
const TabelaBusca TabelaLog{"log", "idscript", "arquivo", true};

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
        c.adicionar(QStringLiteral("instr(brisel_dobra(%1), ?) > 0").arg(QLatin1String(tabela.colunaNome)),
                    f.arquivo.toCaseFolded());
    return c;
}

int contar(sqlite3 *banco, const TabelaBusca &tabela, const FiltroArmazenamento &filtro, int maximo) {
    const Condicoes c = condicoes(filtro, tabela);
    Consulta q(banco, QStringLiteral("SELECT count(*) FROM %1%2").arg(QLatin1String(tabela.nome), c.sql()));
    q.ligarTodos(c.valores);
    q.proxima();
    return int(qMin<qint64>(q.inteiro(0), qMax(maximo, 0)));
}

// Hands `porLinha` each row of the page at `lidos`: at most `tamanho` rows, none beyond `maximo`.
void paginar(sqlite3 *banco, std::mutex &mutex, const TabelaBusca &tabela, const QString &colunas,
             const QString &ordem, const FiltroArmazenamento &filtro, int maximo, int lidos, int tamanho,
             const std::function<void(Consulta &)> &porLinha) {
    const int limite = qMax(0, qMin(tamanho, maximo - lidos));
    if (limite == 0 || lidos < 0)
        return;
    std::lock_guard trava(mutex);
    const Condicoes c = condicoes(filtro, tabela);
    Consulta q(banco, QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4 LIMIT ? OFFSET ?")
                          .arg(colunas, QLatin1String(tabela.nome), c.sql(), ordem));
    q.ligarTodos(c.valores + QVariantList{qint64(limite), qint64(lidos)});
    while (q.proxima())
        porLinha(q);
}

} // namespace

Armazenamento::Armazenamento(const QString &arquivo, qint64 validadeSessao, Relogio relogio)
    : FValidadeSessao(validadeSessao) {
    definirRelogio(std::move(relogio));
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
    if (sqlite3_open_v2(arquivo.toUtf8().constData(), &FBanco, flags, nullptr) != SQLITE_OK) {
        const Exception erro = erroBanco(FBanco);
        sqlite3_close(FBanco);
        throw erro;
    }
    sqlite3_busy_timeout(FBanco, 5000);
    sqlite3_create_function(FBanco, "brisel_dobra", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, dobrar,
                            nullptr, nullptr);
    try {
        executar("PRAGMA journal_mode=WAL");
        executar("CREATE TABLE IF NOT EXISTS usuarios (nome TEXT PRIMARY KEY, senha TEXT NOT NULL)");
        // Keys from before the time of use was kept cannot be shown to be valid: they go.
        if (sqlite3_exec(FBanco, "SELECT ultimo_uso FROM sessoes LIMIT 0", nullptr, nullptr, nullptr) !=
            SQLITE_OK)
            executar("DROP TABLE IF EXISTS sessoes");
        executar("CREATE TABLE IF NOT EXISTS sessoes (chave TEXT PRIMARY KEY, usuario TEXT NOT NULL,"
                 " ultimo_uso INTEGER NOT NULL)");
        executar("CREATE TABLE IF NOT EXISTS scripts (codigo INTEGER PRIMARY KEY AUTOINCREMENT, data TEXT "
                 "NOT NULL,"
                 " nome TEXT NOT NULL, sistema TEXT NOT NULL, script TEXT NOT NULL)");
        executar(
            "CREATE TABLE IF NOT EXISTS log (id INTEGER PRIMARY KEY AUTOINCREMENT, idscript INTEGER NOT NULL,"
            " data TEXT NOT NULL, arquivo TEXT NOT NULL, sistema TEXT NOT NULL, script_atual TEXT NOT NULL,"
            " script_anterior TEXT NOT NULL, descricao TEXT NOT NULL, usuario TEXT NOT NULL)");
        removerSessoesVencidas();
    } catch (...) {
        sqlite3_close(FBanco);
        throw;
    }
}

Armazenamento::~Armazenamento() {
    sqlite3_close(FBanco);
}

void Armazenamento::executar(const char *sql) {
    if (sqlite3_exec(FBanco, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw erroBanco(FBanco);
}

void Armazenamento::definirRelogio(Relogio relogio) {
    std::lock_guard trava(FMutex);
    FRelogio = relogio ? std::move(relogio) : [] { return QDateTime::currentDateTime(); };
}

void Armazenamento::removerSessoesVencidas() {
    Consulta q(FBanco, QStringLiteral("DELETE FROM sessoes WHERE ultimo_uso < ?"));
    q.ligarTodos({FRelogio().toSecsSinceEpoch() - FValidadeSessao});
    q.proxima();
}

void Armazenamento::definirUsuario(const QString &nome, const QString &senhaMd5) {
    std::lock_guard trava(FMutex);
    Consulta q(FBanco, QStringLiteral("INSERT OR REPLACE INTO usuarios (nome, senha) VALUES (?, ?)"));
    q.ligarTodos({nome.toUpper(), senhaMd5.toLower()});
    q.proxima();
}

bool Armazenamento::confereSenha(const QString &nome, const QString &senhaMd5) {
    std::lock_guard trava(FMutex);
    Consulta q(FBanco, QStringLiteral("SELECT 1 FROM usuarios WHERE nome = ? AND senha = ?"));
    q.ligarTodos({nome.toUpper(), senhaMd5.toLower()});
    return q.proxima();
}

QString Armazenamento::abrirSessao(const QString &usuario) {
    quint32 aleatorio[4];
    QRandomGenerator::system()->fillRange(aleatorio);
    const QString chave =
        QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(aleatorio), sizeof aleatorio).toHex());
    std::lock_guard trava(FMutex);
    removerSessoesVencidas();
    Consulta q(FBanco, QStringLiteral("INSERT INTO sessoes (chave, usuario, ultimo_uso) VALUES (?, ?, ?)"));
    q.ligarTodos({chave, usuario.toUpper(), FRelogio().toSecsSinceEpoch()});
    q.proxima();
    return chave;
}

QString Armazenamento::usuarioDaSessao(const QString &chave) {
    std::lock_guard trava(FMutex);
    const qint64 agora = FRelogio().toSecsSinceEpoch();
    Consulta q(FBanco, QStringLiteral("SELECT usuario, ultimo_uso FROM sessoes WHERE chave = ?"));
    q.ligarTodos({chave});
    if (!q.proxima())
        return QString();
    const QString usuario = q.texto(0);
    const qint64 usada = q.inteiro(1);
    const auto mudar = [&](const QString &sql, const QVariantList &valores) {
        Consulta c(FBanco, sql);
        c.ligarTodos(valores);
        c.proxima();
    };
    if (usada < agora - FValidadeSessao) {
        mudar(QStringLiteral("DELETE FROM sessoes WHERE chave = ?"), {chave});
        return QString();
    }
    // Renewed at most once a minute, so a run of requests does not write on every one.
    if (agora - usada >= 60)
        mudar(QStringLiteral("UPDATE sessoes SET ultimo_uso = ? WHERE chave = ?"), {agora, chave});
    return usuario;
}

void Armazenamento::registrarLog(qint64 idscript, const QString &arquivo, const QString &sistema,
                                 const QString &atual, const QString &anterior, const QString &descricao,
                                 const QString &usuario) {
    Consulta q(FBanco,
               QStringLiteral("INSERT INTO log (idscript, data, arquivo, sistema, script_atual,"
                              " script_anterior, descricao, usuario) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    q.ligarTodos({idscript, FRelogio().toString(FormatoData), arquivo, sistema, atual, anterior, descricao,
                  usuario.toUpper()});
    q.proxima();
}

qint64 Armazenamento::inserir(const QDateTime &data, const QString &nome, const QString &sistema,
                              const QString &scriptHex, const QString &usuario) {
    std::lock_guard trava(FMutex);
    Transacao t(FBanco);
    Consulta q(FBanco,
               QStringLiteral("INSERT INTO scripts (data, nome, sistema, script) VALUES (?, ?, ?, ?)"));
    q.ligarTodos({data.toString(FormatoData), nome, sistema, scriptHex});
    q.proxima();
    const qint64 codigo = sqlite3_last_insert_rowid(FBanco);
    registrarLog(codigo, nome, sistema, scriptHex, QString(), QStringLiteral("Inclusão"), usuario);
    t.confirmar();
    return codigo;
}

bool Armazenamento::alterar(qint64 codigo, const QString &sql, const QVariantList &valores,
                            const QString &novoScript, const QString &descricao, const QString &usuario) {
    std::lock_guard trava(FMutex);
    Transacao t(FBanco);
    Consulta atual(FBanco, QStringLiteral("SELECT nome, sistema, script FROM scripts WHERE codigo = ?"));
    atual.ligarTodos({codigo});
    if (!atual.proxima())
        return false;
    Consulta q(FBanco, sql);
    q.ligarTodos(valores);
    q.proxima();
    registrarLog(codigo, atual.texto(0), atual.texto(1), novoScript, atual.texto(2), descricao, usuario);
    t.confirmar();
    return true;
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
    std::lock_guard trava(FMutex);
    return contar(FBanco, TabelaScripts, filtro, maximo);
}

QList<ScriptArmazenado> Armazenamento::pesquisarScripts(const FiltroArmazenamento &filtro, int maximo,
                                                        int lidos, int tamanho) {
    QList<ScriptArmazenado> pagina;
    paginar(FBanco, FMutex, TabelaScripts, QStringLiteral("codigo, data, nome, sistema, script"),
            QStringLiteral("codigo"), filtro, maximo, lidos, tamanho, [&](Consulta &q) {
                pagina.append({q.inteiro(0), q.data(1), q.texto(2), q.texto(3), q.texto(4)});
            });
    return pagina;
}

int Armazenamento::contarLog(const FiltroArmazenamento &filtro, int maximo) {
    std::lock_guard trava(FMutex);
    return contar(FBanco, TabelaLog, filtro, maximo);
}

QList<EntradaLog> Armazenamento::pesquisarLog(const FiltroArmazenamento &filtro, int maximo, int lidos,
                                              int tamanho) {
    QList<EntradaLog> pagina;
    paginar(FBanco, FMutex, TabelaLog,
            QStringLiteral("idscript, data, arquivo, script_atual, script_anterior, descricao, usuario"),
            QStringLiteral("id DESC"), filtro, maximo, lidos, tamanho, [&](Consulta &q) {
                pagina.append(
                    {q.inteiro(0), q.data(1), q.texto(2), q.texto(3), q.texto(4), q.texto(5), q.texto(6)});
            });
    return pagina;
}
