#pragma once

#include <QString>

// Addresses of the web service. The root is a constant that the environment variable
// BRISEL_SERVICE_URL replaces (the settings file never does).
inline constexpr const char *RaizServicoPadrao = "http://127.0.0.1:8080";

QString RaizServico();
// Root + "/services/index.php/scripts"; every script endpoint is URLBase() + its path.
QString URLBase();
// Root + "/services/index.php/versao/listar?programa=SCRIPTS".
QString URLVersao();
