#pragma once

#include <QApplication>

class Messages;

// The program's application object: title "BriselScripts", and the general error report for
// any error that an event handler lets escape.
class BriselApplication : public QApplication {
    Q_OBJECT
public:
    BriselApplication(int &argc, char **argv);

    // Where the general error report goes; without one, escaping errors are written to stderr.
    void setMessages(Messages *messages) { m_messages = messages; }

    bool notify(QObject *receiver, QEvent *event) override;

private:
    void relatar(const QString &message);

    Messages *m_messages = nullptr;
};
