#include "cli/CliOutput.h"

#include "cli/Command.h"
#include "json/Null.h"
#include "json/TJSONObject.h"

QCommandLineOption CliOutput::option() {
    return QCommandLineOption(QStringLiteral("json"));
}

CliOutput::CliOutput(QTextStream &out, QTextStream &err, bool json) : FOut(out), FErr(err), FJson(json) {}

void CliOutput::record(const Fields &fields) {
    if (FJson) {
        jsonRecord(fields);
        return;
    }
    QStringList values;
    for (const Field &f : fields)
        values << (f.value.isNull() ? QString() : f.value.toString());
    textLine(values.join(QLatin1Char('\t')));
}

void CliOutput::textLine(const QString &line) {
    if (FJson)
        return;
    FOut << line << '\n';
    FOut.flush();
}

namespace {

// A record's value under its key; a list of maps is an array of objects (a file's failures).
void put(json::TJSONObject &object, const QString &key, const QVariant &value) {
    if (value.isNull()) {
        object.put(key, json::Null::instance());
    } else if (value.typeId() == QMetaType::Int) {
        object.put(key, value.toInt());
    } else if (value.typeId() == QMetaType::Bool) {
        object.put(key, value.toBool());
    } else if (value.typeId() == QMetaType::QVariantList) {
        auto *array = new json::TJSONArray;
        object.put(key, array);
        for (const QVariant &item : value.toList()) {
            auto *element = new json::TJSONObject;
            array->put(element);
            const QVariantMap fields = item.toMap();
            for (auto field = fields.begin(); field != fields.end(); ++field)
                put(*element, field.key(), field.value());
        }
    } else {
        object.put(key, value.toString());
    }
}

} // namespace

void CliOutput::jsonRecord(const Fields &fields) {
    if (!FJson)
        return;
    auto *object = new json::TJSONObject;
    FRecords.put(object);
    for (const Field &f : fields)
        put(*object, f.key, f.value);
}

int CliOutput::finish(int code) {
    if (!FJson || code == ExitUsage) {
        passCapturedOn();
        return code;
    }
    if (code != ExitFailure)
        return finishWithRecords(code);
    FCaptured.flush();
    // A failure always says why, but the envelope never goes without a message.
    const QString message = FCapturedText.trimmed();
    json::TJSONObject envelope;
    envelope.put(QStringLiteral("success"), false);
    envelope.put(QStringLiteral("message"), message.isEmpty() ? QStringLiteral("Falha.") : message);
    passCapturedOn();
    FOut << envelope.toString() << '\n';
    FOut.flush();
    return code;
}

int CliOutput::finishWithRecords(int code) {
    passCapturedOn();
    if (FJson) {
        FOut << FRecords.toString() << '\n';
        FOut.flush();
    }
    return code;
}

void CliOutput::passCapturedOn() {
    FCaptured.flush();
    FErr << FCapturedText;
    FErr.flush();
}
