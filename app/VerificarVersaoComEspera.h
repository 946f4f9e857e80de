#pragma once

#include <QString>

#include <functional>

// Start-up's version check with its wait on screen: when `verificar` lasts, a small window of its
// own (no other window exists yet) says "Verificando a versão do programa..." and offers
// "Cancelar", which ends the check as a failed one. See VerificacaoVersao.
QString VerificarVersaoComEspera(std::function<QString()> verificar);
