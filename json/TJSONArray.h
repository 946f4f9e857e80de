#pragma once

#include "json/OwnedValue.h"
#include "json/TZAbstractObject.h"

#include <QList>
#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

namespace json {

class JSONTokener;
class TJSONObject;

// A JSON array. A position may be empty (no value at all): every accessor treats it like a
// position that does not exist, and the writer writes "null". Owns its values.
class TJSONArray : public TZAbstractObject {
public:
    TJSONArray();
    // Reads one array from the text; fails with ParseException on a syntax error.
    explicit TJSONArray(const QString &text);
    // Reads one array from the tokenizer at its current position.
    explicit TJSONArray(JSONTokener &x);
    // Appends the values in order and takes ownership of them (null gives an empty element).
    explicit TJSONArray(const QList<TZAbstractObject *> &collection);
    ~TJSONArray() override;

    int length() const { return static_cast<int>(myArrayList.size()); }
    // Null for a negative index, one past the end, or an empty element.
    TZAbstractObject *opt(int index) const;
    TZAbstractObject *get(int index) const;
    bool getBoolean(int index) const;
    double getDouble(int index) const;
    int getInt(int index) const;
    QString getString(int index) const;
    // Owned by the array.
    TJSONObject *getJSONObject(int index) const;
    TJSONArray *getJSONArray(int index) const;
    bool isNull(int index) const;

    bool optBoolean(int index, bool defaultValue = false) const;
    double optDouble(int index, double defaultValue = 0.0) const;
    int optInt(int index, int defaultValue = 0) const;
    QString optString(int index, const QString &defaultValue = QString()) const;
    TJSONObject *optJSONObject(int index) const;
    TJSONArray *optJSONArray(int index) const;

    // The same references in order; the list does not own them.
    QList<TZAbstractObject *> toList() const;
    // An object of (names[i], copy of element i); null when names or this array is empty.
    std::unique_ptr<TJSONObject> toJSONObject(const TJSONArray *names) const;

    // Modifiers. The value passes into this array's ownership, also when the call fails.
    TJSONArray &put(TZAbstractObject *value);
    TJSONArray &put(std::nullptr_t) { return put(static_cast<TZAbstractObject *>(nullptr)); }
    TJSONArray &put(bool value);
    TJSONArray &put(int value);
    TJSONArray &put(double value);
    TJSONArray &put(const QString &value);
    TJSONArray &put(const char *value) = delete;
    // Replaces the element at index, or pads with empty elements up to index and appends.
    TJSONArray &put(int index, TZAbstractObject *value);
    TJSONArray &put(int index, std::nullptr_t) {
        return put(index, static_cast<TZAbstractObject *>(nullptr));
    }
    TJSONArray &put(int index, bool value);
    TJSONArray &put(int index, int value);
    TJSONArray &put(int index, double value);
    TJSONArray &put(int index, const QString &value);
    TJSONArray &put(int index, const char *value) = delete;

    // A new array with copies of the elements (values keep their kinds).
    std::unique_ptr<TJSONArray> copy() const;

    // Text forms.
    QString toString() const override;
    QString toString(int indentFactor) const;
    QString toString(int indentFactor, int indent) const;
    QString join(const QString &separator) const;
    QString className() const override;

private:
    void read(JSONTokener &x);

    std::vector<OwnedValue> myArrayList;
};

} // namespace json
