#pragma once

#include <Qsci/qsciscintilla.h>

// The one SQL editor of the program: Courier New 10 point, SQL colouring and a gutter with
// line numbers. Every window that shows a script uses it.
class SqlEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit SqlEditor(QWidget *parent = nullptr);

private:
    void ajustarMargem();
};
