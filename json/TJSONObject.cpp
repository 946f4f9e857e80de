#include "json/TJSONObject.h"

#include "json/Boolean.h"
#include "json/Double.h"
#include "json/Exceptions.h"
#include "json/Integer.h"
#include "json/JSONTokener.h"
#include "json/JSONWriter.h"
#include "json/Null.h"
#include "json/Number.h"
#include "json/NumberText.h"
#include "json/String.h"
#include "json/TJSONArray.h"
#include "json/ValueConversions.h"

#include <algorithm>
#include <cmath>

namespace json {

namespace {

// Key matching: Unicode case folding rather than a locale's tailoring, so that a protocol key
// such as "idscript" matches "IDSCRIPT" under every user's locale (a Turkish one included).
bool keysMatch(const QString &a, const QString &b) {
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

TJSONObject::TJSONObject() = default;

TJSONObject::TJSONObject(const QString &text) {
    JSONTokener x(text);
    read(x);
}

TJSONObject::TJSONObject(JSONTokener &x) {
    read(x);
}

TJSONObject::TJSONObject(const QList<QPair<QString, TZAbstractObject *>> &map) {
    myHashMap.reserve(std::size_t(map.size()));
    for (const auto &[key, value] : map)
        myHashMap.push_back(Entry{key, OwnedValue(value)});
}

TJSONObject::TJSONObject(const TJSONObject &jo, const QStringList &sa) {
    for (const QString &name : sa) {
        if (const TZAbstractObject *value = jo.opt(name))
            putOpt(name, value->Clone().release());
    }
}

TJSONObject::~TJSONObject() {
    clean();
}

void TJSONObject::read(JSONTokener &x) {
    const JSONTokener::NestingGuard guard(x);
    if (x.nextClean() != u'{')
        throw x.syntaxError(QStringLiteral("A TJSONObject must begin with \"{\""));
    for (;;) {
        QChar c = x.nextClean();
        if (c.isNull())
            throw x.syntaxError(QStringLiteral("A TJSONObject must end with \"}\""));
        if (c == u'}')
            return;
        x.back();
        const QString key = x.nextValue()->toString();
        c = x.nextClean();
        if (c == u'=') {
            if (x.next() != u'>')
                x.back();
        } else if (c != u':') {
            throw x.syntaxError(QStringLiteral("Expected a \":\" after a key"));
        }
        myHashMap.push_back(Entry{key, x.nextValue()});
        c = x.nextClean();
        if (c == u',' || c == u';') {
            if (x.nextClean() == u'}')
                return;
            x.back();
        } else if (c == u'}') {
            return;
        } else {
            throw x.syntaxError(QStringLiteral("Expected a \",\" or \"}\""));
        }
    }
}

Null *TJSONObject::nullValue() {
    return Null::instance();
}

TJSONObject::Entries::iterator TJSONObject::findEntry(const QString &key) {
    return std::find_if(myHashMap.begin(), myHashMap.end(),
                        [&](const Entry &e) { return keysMatch(e.key, key); });
}

TJSONObject::Entries::const_iterator TJSONObject::findEntry(const QString &key) const {
    return std::find_if(myHashMap.begin(), myHashMap.end(),
                        [&](const Entry &e) { return keysMatch(e.key, key); });
}

TZAbstractObject *TJSONObject::find(const QString &key) const {
    const auto it = findEntry(key);
    return it == myHashMap.end() ? nullptr : it->value.get();
}

QString TJSONObject::keyText(const QString &key) const {
    return QStringLiteral("TJSONObject[") + quote(key) + QLatin1Char(']');
}

TZAbstractObject *TJSONObject::opt(const QString &key) const {
    if (key.isEmpty())
        throw NullPointerException(QStringLiteral("Null key"));
    return find(key);
}

TZAbstractObject *TJSONObject::get(const QString &key) const {
    TZAbstractObject *value = opt(key);
    if (!value)
        throw NoSuchElementException(keyText(key) + QStringLiteral(" not found."));
    return value;
}

bool TJSONObject::getBoolean(const QString &key) const {
    bool result = false;
    if (!ValueConversions::toBoolean(get(key), result))
        throw ClassCastException(keyText(key) + QStringLiteral(" is not a Boolean."));
    return result;
}

double TJSONObject::getDouble(const QString &key) const {
    double result = 0;
    if (!ValueConversions::toDouble(get(key), result))
        throw NumberFormatException(keyText(key) + QStringLiteral(" is not a number."));
    return result;
}

int TJSONObject::getInt(const QString &key) const {
    if (const auto *n = dynamic_cast<const Number *>(get(key)))
        return n->intValue();
    // Rounded to nearest, halves to even (the default rounding mode).
    return NumberText::low32(std::nearbyint(getDouble(key)));
}

QString TJSONObject::getString(const QString &key) const {
    return get(key)->toString();
}

TJSONObject *TJSONObject::getJSONObject(const QString &key) const {
    auto *o = dynamic_cast<TJSONObject *>(get(key));
    if (!o)
        throw NoSuchElementException(keyText(key) + QStringLiteral(" is not a TJSONObject."));
    return o;
}

TJSONArray *TJSONObject::getJSONArray(const QString &key) const {
    auto *a = dynamic_cast<TJSONArray *>(opt(key));
    if (!a)
        throw NoSuchElementException(keyText(key) + QStringLiteral(" is not a TJSONArray."));
    return a;
}

bool TJSONObject::has(const QString &key) const {
    return findEntry(key) != myHashMap.end();
}

bool TJSONObject::isNull(const QString &key) const {
    return Null::instance()->equals(opt(key));
}

QStringList TJSONObject::keys() const {
    QStringList result;
    result.reserve(length());
    for (const Entry &e : myHashMap)
        result.append(e.key);
    return result;
}

std::unique_ptr<TJSONArray> TJSONObject::names() const {
    if (myHashMap.empty())
        return nullptr;
    auto result = std::make_unique<TJSONArray>();
    for (const Entry &e : myHashMap)
        result->put(new String(e.key));
    return result;
}

bool TJSONObject::optBoolean(const QString &key, bool defaultValue) const {
    return ValueConversions::optBoolean(opt(key), defaultValue);
}

double TJSONObject::optDouble(const QString &key, double defaultValue) const {
    return ValueConversions::optDouble(opt(key), defaultValue);
}

int TJSONObject::optInt(const QString &key, int defaultValue) const {
    return ValueConversions::optInt(opt(key), defaultValue);
}

QString TJSONObject::optString(const QString &key, const QString &defaultValue) const {
    return ValueConversions::optString(opt(key), defaultValue);
}

TJSONObject *TJSONObject::optJSONObject(const QString &key) const {
    return dynamic_cast<TJSONObject *>(opt(key));
}

TJSONArray *TJSONObject::optJSONArray(const QString &key) const {
    return dynamic_cast<TJSONArray *>(opt(key));
}

TJSONObject &TJSONObject::put(const QString &key, TZAbstractObject *value) {
    OwnedValue owned(value);
    if (key.isEmpty())
        throw NullPointerException(QStringLiteral("Null key."));
    if (!value) {
        remove(key);
        return *this;
    }
    const auto it = findEntry(key);
    if (it == myHashMap.end())
        myHashMap.push_back(Entry{key, std::move(owned)});
    else if (it->value.get() == value)
        owned.release(); // already stored here: keep it alive
    else
        it->value = std::move(owned);
    return *this;
}

TJSONObject &TJSONObject::put(const QString &key, bool value) {
    return put(key, Boolean::valueOf(value));
}

TJSONObject &TJSONObject::put(const QString &key, int value) {
    return put(key, new Integer(value));
}

TJSONObject &TJSONObject::put(const QString &key, double value) {
    return put(key, new Double(value));
}

TJSONObject &TJSONObject::put(const QString &key, const QString &value) {
    return put(key, new String(value));
}

TJSONObject &TJSONObject::putOpt(const QString &key, TZAbstractObject *value) {
    return value ? put(key, value) : *this;
}

TJSONObject &TJSONObject::accumulate(const QString &key, TZAbstractObject *value) {
    OwnedValue owned(value);
    TZAbstractObject *existing = opt(key);
    if (!existing)
        return put(key, owned.release());
    if (auto *array = dynamic_cast<TJSONArray *>(existing)) {
        array->put(owned.release());
        return *this;
    }
    auto array = std::make_unique<TJSONArray>();
    array->put(existing->Clone().release());
    array->put(owned.release());
    return put(key, array.release());
}

OwnedValue TJSONObject::remove(const QString &key) {
    const auto it = findEntry(key);
    if (it == myHashMap.end())
        return nullptr;
    OwnedValue value = std::move(it->value);
    myHashMap.erase(it);
    return value;
}

void TJSONObject::assignTo(TJSONObject &json) const {
    for (const QString &key : keys())
        json.put(key, get(key)->Clone().release());
}

std::unique_ptr<TJSONArray> TJSONObject::toJSONArray(const TJSONArray *names) const {
    if (!names || names->length() == 0)
        return nullptr;
    auto result = std::make_unique<TJSONArray>();
    for (int i = 0; i < names->length(); ++i)
        result->put(ValueConversions::copyOf(opt(names->getString(i))));
    return result;
}

void TJSONObject::clean() {
    myHashMap.clear();
}

OwnedValue TJSONObject::Clone() const {
    return OwnedValue(new TJSONObject(toString()));
}

std::unique_ptr<TJSONObject> TJSONObject::copy() const {
    auto result = std::make_unique<TJSONObject>();
    result->myHashMap.reserve(myHashMap.size());
    for (const Entry &e : myHashMap)
        result->myHashMap.push_back(Entry{e.key, OwnedValue(ValueConversions::copyOf(e.value.get()))});
    return result;
}

QString TJSONObject::toString() const {
    return JSONWriter::objectToString(*this);
}

QString TJSONObject::toString(int indentFactor) const {
    return toString(indentFactor, 0);
}

QString TJSONObject::toString(int indentFactor, int indent) const {
    return JSONWriter::objectToString(*this, indentFactor, indent);
}

QString TJSONObject::className() const {
    return QStringLiteral("TJSONObject");
}

QString TJSONObject::quote(const QString &s) {
    return JSONWriter::quote(s);
}

QString TJSONObject::numberToString(const Number *n) {
    return n ? n->toString() : QString();
}

QString TJSONObject::valueToString(const TZAbstractObject *value) {
    return JSONWriter::valueToString(value);
}

QString TJSONObject::valueToString(const TZAbstractObject *value, int indentFactor, int indent) {
    return JSONWriter::valueToString(value, indentFactor, indent);
}

} // namespace json
