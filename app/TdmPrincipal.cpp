#include "app/TdmPrincipal.h"

#include "service/Versao.h"

TdmPrincipal::TdmPrincipal(const QString &diretorioExe)
    : TdmPrincipal(LocaisPrograma::deduzir(diretorioExe)) {}

TdmPrincipal::TdmPrincipal(const LocaisPrograma &locais)
    : FVersao(QStringLiteral("1.0.7")), FLocais(locais) {}

QString TdmPrincipal::VerificarVersao() {
    return ::VerificarVersao(FConexao, FVersao, FLocais.diretorioLog);
}
