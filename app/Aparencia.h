#pragma once

class QApplication;

// The look the windows were laid out for, on whatever desktop the program runs: Tahoma
// 8 point (Wine's metric-compatible copy when installed), Courier New mapped to Liberation
// Mono, and Qt's own texts, calendars and date forms in Brazilian Portuguese.
namespace Aparencia {

void aplicar(QApplication &app);

} // namespace Aparencia
