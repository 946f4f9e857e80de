#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <mutex>
#include <optional>

struct ScriptArmazenado {
    qint64 codigo = 0;
    QDateTime data; // the time-stamp sent with "/inserir"
    QString nome;
    QString sistema;
    QString scriptHex; // upper-case hexadecimal, no "0x"

    friend bool operator==(const ScriptArmazenado &, const ScriptArmazenado &) = default;
};

struct EntradaLog {
    qint64 idscript = 0;
    QDateTime data; // when the change was made
    QString arquivo;
    QString scriptAtual;    // hexadecimal after the change
    QString scriptAnterior; // hexadecimal before it
    QString descricao;
    QString usuario;

    friend bool operator==(const EntradaLog &, const EntradaLog &) = default;
};

// Every filter a search may carry; unset members do not filter.
struct FiltroArmazenamento {
    QString sistema;
    std::optional<qint64> codigo;
    QString usuario; // the log only
    QDate inicio;    // inclusive, by day
    QDate fim;       // inclusive, by day
    QString arquivo; // case-insensitive part of the name
};

class ConexaoBanco;

// Users, sessions, login failures, scripts and the change log, in a database that several
// service processes may share: everything they must agree on lives in it. The engines differ only
// in how a connection and a transaction are had (ArmazenamentoSqlite, ArmazenamentoPostgres);
// the HTTP threads may share one object. Every change of a script and its log entry are written
// in one transaction, and codes come from the database, never repeated. A session key lapses
// after `validadeSessao` seconds without use; lapsed keys are removed when met, at every log-in
// and on opening. Throws Exception on a database failure, BancoIndisponivel when the database
// cannot be reached.
class Armazenamento {
public:
    using Relogio = std::function<QDateTime()>;
    static constexpr qint64 ValidadeSessaoPadrao = 12 * 3600;

    virtual ~Armazenamento();
    Armazenamento(const Armazenamento &) = delete;
    Armazenamento &operator=(const Armazenamento &) = delete;

    // Replaces the clock; an empty one is the system clock.
    void definirRelogio(Relogio relogio);

    void definirUsuario(const QString &nome, const QString &senhaMd5);
    bool confereSenha(const QString &nome, const QString &senhaMd5);
    QString abrirSessao(const QString &usuario);
    // The user of a session key, whose use renews it; empty when the key is unknown or lapsed.
    QString usuarioDaSessao(const QString &chave);

    // Failed log-ins per upper-case user name; times in milliseconds since the epoch. A failure at
    // `instante` counts from 1 again when the name's last one was before `esquecerAntes`;
    // `liberacao` turns the count into the time the name may try again (0: at once).
    qint64 liberacaoLogin(const QString &usuario);
    void registrarFalhaLogin(const QString &usuario, qint64 instante, qint64 esquecerAntes,
                             const std::function<qint64(int falhas)> &liberacao);
    void esquecerFalhasLogin(const QString &usuario);

    qint64 inserir(const QDateTime &data, const QString &nome, const QString &sistema,
                   const QString &scriptHex, const QString &usuario);
    // False when no script has that code.
    bool atualizar(qint64 codigo, const QString &scriptHex, const QString &usuario);
    bool excluir(qint64 codigo, const QString &usuario);

    // Counts are capped at `maximo`; pages hold records [lidos, min(lidos + tamanho, maximo)).
    int contarScripts(const FiltroArmazenamento &filtro, int maximo);
    QList<ScriptArmazenado> pesquisarScripts(const FiltroArmazenamento &filtro, int maximo, int lidos,
                                             int tamanho);
    int contarLog(const FiltroArmazenamento &filtro, int maximo);
    QList<EntradaLog> pesquisarLog(const FiltroArmazenamento &filtro, int maximo, int lidos, int tamanho);

protected:
    // `relogio` is what "now" is for session times and log entries (the system clock unless given).
    Armazenamento(qint64 validadeSessao, Relogio relogio);

    // Runs `trabalho` on a connection of its own; with `transacao`, inside one write transaction
    // that commits when it returns.
    virtual void usar(bool transacao, const std::function<void(ConexaoBanco &)> &trabalho) = 0;
    // Whether one statement may write to two tables (a data-modifying WITH): a new script and its
    // log entry are then one statement, a transaction of its own, and one round trip.
    virtual bool insercaoNumaInstrucao() const { return false; }
    // Removes the keys unused for longer than the validity (the engines call it on opening).
    void removerSessoesVencidas(ConexaoBanco &conexao);

private:
    QDateTime agora();
    // Runs `sql` on the script `codigo` and logs the change, in one transaction; false when no
    // script has that code.
    bool alterar(qint64 codigo, const QString &sql, const QVariantList &valores, const QString &novoScript,
                 const QString &descricao, const QString &usuario);
    // The values of a log entry's statement (sqlLog): the time, `atual`, the description, the user.
    QVariantList valoresLog(const QVariantList &atual, const QString &descricao, const QString &usuario);

    qint64 FValidadeSessao;
    Relogio FRelogio;
    std::mutex FMutexRelogio;
};
