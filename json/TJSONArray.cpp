#include "json/TJSONArray.h"

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
#include "json/TJSONObject.h"
#include "json/ValueConversions.h"

#include <cmath>

namespace json {

namespace {

QString indexText(int index) {
    return QStringLiteral("TJSONArray[") + QString::number(index) + QLatin1Char(']');
}

} // namespace

TJSONArray::TJSONArray() = default;

TJSONArray::TJSONArray(const QString &text) {
    JSONTokener x(text);
    read(x);
}

TJSONArray::TJSONArray(JSONTokener &x) {
    read(x);
}

TJSONArray::TJSONArray(const QList<TZAbstractObject *> &collection) {
    myArrayList.reserve(std::size_t(collection.size()));
    for (TZAbstractObject *value : collection)
        myArrayList.emplace_back(value);
}

// Front to back, as the elements were added.
TJSONArray::~TJSONArray() {
    for (OwnedValue &value : myArrayList)
        value.reset();
}

void TJSONArray::read(JSONTokener &x) {
    const JSONTokener::NestingGuard guard(x);
    if (x.nextClean() != u'[')
        throw x.syntaxError(QStringLiteral("A TJSONArray must start with \"[\""));
    if (x.nextClean() == u']')
        return;
    x.back();
    for (;;) {
        if (x.nextClean() == u',') {
            x.back();
            myArrayList.emplace_back(); // an omitted element
        } else {
            x.back();
            myArrayList.push_back(x.nextValue());
        }
        const QChar c = x.nextClean();
        if (c == u',' || c == u';') {
            if (x.nextClean() == u']')
                return;
            x.back();
        } else if (c == u']') {
            return;
        } else {
            throw x.syntaxError(QStringLiteral("Expected a \",\" or \"]\""));
        }
    }
}

TZAbstractObject *TJSONArray::opt(int index) const {
    if (index < 0 || index >= length())
        return nullptr;
    return myArrayList[std::size_t(index)].get();
}

TZAbstractObject *TJSONArray::get(int index) const {
    TZAbstractObject *value = opt(index);
    if (!value)
        throw NoSuchElementException(indexText(index) + QStringLiteral(" not found."));
    return value;
}

bool TJSONArray::getBoolean(int index) const {
    bool result = false;
    if (!ValueConversions::toBoolean(get(index), result))
        throw ClassCastException(indexText(index) + QStringLiteral(" not a Boolean."));
    return result;
}

double TJSONArray::getDouble(int index) const {
    double result = 0;
    if (!ValueConversions::toDouble(get(index), result))
        throw NumberFormatException(indexText(index) + QStringLiteral(" is not a number."));
    return result;
}

int TJSONArray::getInt(int index) const {
    if (const auto *n = dynamic_cast<const Number *>(get(index)))
        return n->intValue();
    return NumberText::low32(std::trunc(getDouble(index)));
}

QString TJSONArray::getString(int index) const {
    return get(index)->toString();
}

TJSONObject *TJSONArray::getJSONObject(int index) const {
    TZAbstractObject *value = get(index);
    auto *o = dynamic_cast<TJSONObject *>(value);
    if (!o)
        throw NoSuchElementException(indexText(index) + QStringLiteral(" is not a TJSONObject is ") +
                                     value->className());
    return o;
}

TJSONArray *TJSONArray::getJSONArray(int index) const {
    auto *a = dynamic_cast<TJSONArray *>(get(index));
    if (!a)
        throw NoSuchElementException(indexText(index) + QStringLiteral(" is not a TJSONArray."));
    return a;
}

bool TJSONArray::isNull(int index) const {
    return Null::instance()->equals(opt(index));
}

bool TJSONArray::optBoolean(int index, bool defaultValue) const {
    return ValueConversions::optBoolean(opt(index), defaultValue);
}

double TJSONArray::optDouble(int index, double defaultValue) const {
    return ValueConversions::optDouble(opt(index), defaultValue);
}

int TJSONArray::optInt(int index, int defaultValue) const {
    return ValueConversions::optInt(opt(index), defaultValue);
}

QString TJSONArray::optString(int index, const QString &defaultValue) const {
    return ValueConversions::optString(opt(index), defaultValue);
}

TJSONObject *TJSONArray::optJSONObject(int index) const {
    return dynamic_cast<TJSONObject *>(opt(index));
}

TJSONArray *TJSONArray::optJSONArray(int index) const {
    return dynamic_cast<TJSONArray *>(opt(index));
}

QList<TZAbstractObject *> TJSONArray::toList() const {
    QList<TZAbstractObject *> result;
    result.reserve(length());
    for (const OwnedValue &value : myArrayList)
        result.append(value.get());
    return result;
}

std::unique_ptr<TJSONObject> TJSONArray::toJSONObject(const TJSONArray *names) const {
    if (!names || names->length() == 0 || myArrayList.empty())
        return nullptr;
    auto result = std::make_unique<TJSONObject>();
    for (int i = 0; i < names->length(); ++i)
        result->put(names->getString(i), ValueConversions::copyOf(opt(i)));
    return result;
}

TJSONArray &TJSONArray::put(TZAbstractObject *value) {
    myArrayList.emplace_back(value);
    return *this;
}

TJSONArray &TJSONArray::put(bool value) {
    return put(Boolean::valueOf(value));
}

TJSONArray &TJSONArray::put(int value) {
    return put(new Integer(value));
}

TJSONArray &TJSONArray::put(double value) {
    return put(new Double(value));
}

TJSONArray &TJSONArray::put(const QString &value) {
    return put(new String(value));
}

TJSONArray &TJSONArray::put(int index, TZAbstractObject *value) {
    OwnedValue owned(value);
    if (index < 0)
        throw NoSuchElementException(indexText(index) + QStringLiteral(" not found."));
    if (!value)
        throw NullPointerException(QString());
    if (index < length()) {
        OwnedValue &slot = myArrayList[std::size_t(index)];
        if (slot.get() == value)
            owned.release(); // already stored here: keep it alive
        else
            slot = std::move(owned);
    } else {
        myArrayList.resize(std::size_t(index));
        myArrayList.push_back(std::move(owned));
    }
    return *this;
}

TJSONArray &TJSONArray::put(int index, bool value) {
    return put(index, Boolean::valueOf(value));
}

TJSONArray &TJSONArray::put(int index, int value) {
    return put(index, new Integer(value));
}

TJSONArray &TJSONArray::put(int index, double value) {
    return put(index, new Double(value));
}

TJSONArray &TJSONArray::put(int index, const QString &value) {
    return put(index, new String(value));
}

std::unique_ptr<TJSONArray> TJSONArray::copy() const {
    auto result = std::make_unique<TJSONArray>();
    result->myArrayList.reserve(myArrayList.size());
    for (const OwnedValue &value : myArrayList)
        result->myArrayList.emplace_back(ValueConversions::copyOf(value.get()));
    return result;
}

QString TJSONArray::toString() const {
    return QLatin1Char('[') + join(QStringLiteral(",")) + QLatin1Char(']');
}

QString TJSONArray::toString(int indentFactor) const {
    return toString(indentFactor, 0);
}

QString TJSONArray::toString(int indentFactor, int indent) const {
    return JSONWriter::arrayToString(*this, indentFactor, indent);
}

QString TJSONArray::join(const QString &separator) const {
    return JSONWriter::join(*this, separator);
}

QString TJSONArray::className() const {
    return QStringLiteral("TJSONArray");
}

} // namespace json
