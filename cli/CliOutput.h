#pragma once

#include "json/TJSONArray.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QTextStream>
#include <QVariant>

// What a command prints on standard output: its records as lines, or with --json one JSON
// document once the command ends: the array of its records as objects, or on a failure the
// service's own envelope {"success": false, "message": ...}. A command writes why it fails to
// `errors()`; with --json that text is also kept for the envelope's message.
class CliOutput {
public:
    // One value of a record under its key: a null value is empty in the line and null in JSON; a
    // list of maps is an array of objects in JSON.
    struct Field {
        QString key;
        QVariant value;
    };
    using Fields = QList<Field>;

    static QCommandLineOption option();

    CliOutput(QTextStream &out, QTextStream &err, bool json);

    bool json() const { return FJson; }
    QTextStream &errors() { return FJson ? FCaptured : FErr; }

    // A record: its values joined by tabs as one line, written at once (a pipeline reading the
    // text sees each as it comes), or an object of the document.
    void record(const Fields &fields);
    // A line that only the text form has, and a record that only the document has, for a
    // command whose text says more than one line per record.
    void textLine(const QString &line);
    void jsonRecord(const Fields &fields);

    // Ends the command with its exit code: a failure gives the envelope, a usage error nothing
    // on standard output, anything else the records.
    int finish(int code);
    // Ends with the records whatever the code: the answer of a command whose records are the
    // reason it fails (the failing statements of a validation).
    int finishWithRecords(int code);

private:
    void passCapturedOn();

    QTextStream &FOut;
    QTextStream &FErr;
    bool FJson;
    QString FCapturedText;
    QTextStream FCaptured{&FCapturedText};
    json::TJSONArray FRecords;
};
