#include "app/Parametros.h"

#include "base/IniFile.h"
#include "base/ShortDate.h"

namespace {

const QString secaoEnvio = QStringLiteral("envio");
const QString secaoEditar = QStringLiteral("editar");
const QString secaoLog = QStringLiteral("log");
const QString secaoConfig = QStringLiteral("config");
const QString dataInicio = QStringLiteral("data_inicio");
const QString dataFim = QStringLiteral("data_fim");
const QString maximo = QStringLiteral("maximo");
constexpr int maximoPadrao = 100;

QDate lerData(const IniFile &ini, const QString &section, const QString &key, const QDate &fallback) {
    const QDate d = ShortDate::fromText(ini.value(section, key));
    return d.isValid() ? d : fallback;
}

QString lerMaximo(const IniFile &ini, const QString &section) {
    return QString::number(Parametros::lerInteiro(ini.value(section, maximo), maximoPadrao));
}

} // namespace

int Parametros::lerInteiro(const QString &text, int fallback) {
    const QString t = text.trimmed();
    bool ok = false;
    int n = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        n = t.mid(2).toInt(&ok, 16);
    else
        n = t.toInt(&ok, 10);
    return ok ? n : fallback;
}

Parametros Parametros::ler(const IniFile &ini, const QDate &hoje) {
    Parametros p;
    p.base = ini.value(secaoEnvio, QStringLiteral("base"));
    p.modificacao = hoje;
    p.mascara = ini.value(secaoEnvio, QStringLiteral("mascara"), QStringLiteral("*.*"));
    p.ensaiarAntes = ini.value(secaoEnvio, QStringLiteral("ensaiar_antes")) == u"1";
    p.editarDataInicio = lerData(ini, secaoEditar, dataInicio, hoje);
    p.editarDataFim = lerData(ini, secaoEditar, dataFim, hoje);
    p.editarMaximo = lerMaximo(ini, secaoEditar);
    p.logDataInicio = lerData(ini, secaoLog, dataInicio, hoje);
    p.logDataFim = lerData(ini, secaoLog, dataFim, hoje);
    p.logMaximo = lerMaximo(ini, secaoLog);
    return p;
}

void Parametros::gravar(IniFile &ini) const {
    ini.setValue(secaoEnvio, QStringLiteral("base"), base);
    ini.setValue(secaoEnvio, QStringLiteral("modificacao"), ShortDate::toText(modificacao));
    ini.setValue(secaoEnvio, QStringLiteral("mascara"), mascara);
    ini.setValue(secaoEnvio, QStringLiteral("ensaiar_antes"),
                 ensaiarAntes ? QStringLiteral("1") : QStringLiteral("0"));
    ini.setValue(secaoEditar, dataInicio, ShortDate::toText(editarDataInicio));
    ini.setValue(secaoEditar, dataFim, ShortDate::toText(editarDataFim));
    ini.setValue(secaoEditar, maximo, editarMaximo);
    ini.setValue(secaoLog, dataInicio, ShortDate::toText(logDataInicio));
    ini.setValue(secaoLog, dataFim, ShortDate::toText(logDataFim));
    ini.setValue(secaoLog, maximo, logMaximo);
    ini.setValue(secaoConfig, QStringLiteral("maximizado"),
                 maximizado ? QStringLiteral("1") : QStringLiteral("0"));
}
