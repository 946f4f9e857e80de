#include "app/TdmPrincipal.h"

#include "service/Versao.h"

TdmPrincipal::TdmPrincipal(const QString &diretorioExe)
    : FVersao(QStringLiteral("1.0.7")), FDiretorioExe(diretorioExe) {}

QString TdmPrincipal::VerificarVersao() {
    return ::VerificarVersao(FConexao, FVersao, FDiretorioExe);
}
