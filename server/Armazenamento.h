#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <mutex>
#include <optional>

struct sqlite3;

struct ScriptArmazenado {
    qint64 codigo = 0;
    QDateTime data; // the time-stamp sent with "/inserir"
    QString nome;
    QString sistema;
    QString scriptHex; // upper-case hexadecimal, no "0x"
};

struct EntradaLog {
    qint64 idscript = 0;
    QDateTime data; // when the change was made
    QString arquivo;
    QString scriptAtual;    // hexadecimal after the change
    QString scriptAnterior; // hexadecimal before it
    QString descricao;
    QString usuario;
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

// Users, sessions, scripts and the change log in one SQLite database (a file in WAL mode, or
// ":memory:"). Every call takes the mutex, so the HTTP threads may share one object. Every
// change of a script and its log entry are written in one transaction. A session key lapses
// after `validadeSessao` seconds without use; lapsed keys are removed when met, at every log-in
// and on opening. Throws Exception on a database failure.
class Armazenamento {
public:
    using Relogio = std::function<QDateTime()>;
    static constexpr qint64 ValidadeSessaoPadrao = 12 * 3600;

    // `relogio` is what "now" is for session times and log entries (the system clock unless given).
    explicit Armazenamento(const QString &arquivo, qint64 validadeSessao = ValidadeSessaoPadrao,
                           Relogio relogio = {});
    ~Armazenamento();
    Armazenamento(const Armazenamento &) = delete;
    Armazenamento &operator=(const Armazenamento &) = delete;

    // Replaces the clock; an empty one is the system clock.
    void definirRelogio(Relogio relogio);

    void definirUsuario(const QString &nome, const QString &senhaMd5);
    bool confereSenha(const QString &nome, const QString &senhaMd5);
    QString abrirSessao(const QString &usuario);
    // The user of a session key, whose use renews it; empty when the key is unknown or lapsed.
    QString usuarioDaSessao(const QString &chave);

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

private:
    void executar(const char *sql);
    // Removes the keys unused for longer than the validity.
    void removerSessoesVencidas();
    // Runs `sql` on the script `codigo` and logs the change, in one transaction; false when no
    // script has that code.
    bool alterar(qint64 codigo, const QString &sql, const QVariantList &valores, const QString &novoScript,
                 const QString &descricao, const QString &usuario);
    void registrarLog(qint64 idscript, const QString &arquivo, const QString &sistema, const QString &atual,
                      const QString &anterior, const QString &descricao, const QString &usuario);

    sqlite3 *FBanco = nullptr;
    qint64 FValidadeSessao;
    Relogio FRelogio;
    std::mutex FMutex;
};
