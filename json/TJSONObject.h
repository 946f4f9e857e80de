#pragma once

#include "json/OwnedValue.h"
#include "json/TZAbstractObject.h"

#include <QList>
#include <QPair>
#include <QStringList>

#include <cstddef>
#include <memory>
#include <vector>

namespace json {

class JSONTokener;
class Number;
class Null;
class TJSONArray;

// A JSON object: an ordered list of (key, value) entries, looked up by a linear scan that
// compares keys case-insensitively. Keys may repeat; lookups find the first. Owns its values.
class TJSONObject : public TZAbstractObject {
public:
    TJSONObject();
    // Reads one object from the text; fails with ParseException on a syntax error.
    explicit TJSONObject(const QString &text);
    // Reads one object from the tokenizer at its current position.
    explicit TJSONObject(JSONTokener &x);
    // Appends every pair in order, without a duplicate check; takes ownership of the values.
    explicit TJSONObject(const QList<QPair<QString, TZAbstractObject *>> &map);
    // A Clone of each value of jo named in sa (names jo lacks are skipped).
    TJSONObject(const TJSONObject &jo, const QStringList &sa);
    ~TJSONObject() override;

    static Null *nullValue();

    // Getters: get* fail when the key is missing or the value is of the wrong kind; opt* give
    // a default. The returned values stay owned by this object.
    TZAbstractObject *opt(const QString &key) const;
    TZAbstractObject *get(const QString &key) const;
    bool getBoolean(const QString &key) const;
    double getDouble(const QString &key) const;
    int getInt(const QString &key) const;
    QString getString(const QString &key) const;
    TJSONObject *getJSONObject(const QString &key) const;
    TJSONArray *getJSONArray(const QString &key) const;
    bool has(const QString &key) const;
    bool isNull(const QString &key) const;
    int length() const { return static_cast<int>(myHashMap.size()); }
    QStringList keys() const;
    // A new array of the keys as strings; null for an empty object.
    std::unique_ptr<TJSONArray> names() const;

    bool optBoolean(const QString &key, bool defaultValue = false) const;
    double optDouble(const QString &key, double defaultValue = 0.0) const;
    int optInt(const QString &key, int defaultValue = 0) const;
    QString optString(const QString &key, const QString &defaultValue = QString()) const;
    TJSONObject *optJSONObject(const QString &key) const;
    TJSONArray *optJSONArray(const QString &key) const;

    // The value of the first entry whose key matches; no check for the empty key, nothing thrown.
    TZAbstractObject *find(const QString &key) const;

    // Modifiers. The value passes into this object's ownership, also when the call fails.
    // No value (null) removes the entry.
    TJSONObject &put(const QString &key, TZAbstractObject *value);
    TJSONObject &put(const QString &key, std::nullptr_t) {
        return put(key, static_cast<TZAbstractObject *>(nullptr));
    }
    TJSONObject &put(const QString &key, bool value);
    TJSONObject &put(const QString &key, int value);
    TJSONObject &put(const QString &key, double value);
    TJSONObject &put(const QString &key, const QString &value);
    // A literal would otherwise silently become a Boolean.
    TJSONObject &put(const QString &key, const char *value) = delete;
    TJSONObject &putOpt(const QString &key, TZAbstractObject *value);
    TJSONObject &accumulate(const QString &key, TZAbstractObject *value);
    // Hands the removed value to the caller; null when no entry matches.
    OwnedValue remove(const QString &key);
    // Stores a Clone of each of this object's values into json.
    void assignTo(TJSONObject &json) const;
    // The values named by names (copies), with an empty element for each missing name.
    std::unique_ptr<TJSONArray> toJSONArray(const TJSONArray *names) const;
    // Removes every entry, destroying the values.
    void clean();

    // A new object read back from this object's compact text.
    OwnedValue Clone() const override;
    // A new object with copies of the entries; unlike Clone, values keep their kinds.
    std::unique_ptr<TJSONObject> copy() const;

    // Text forms.
    QString toString() const override;
    QString toString(int indentFactor) const;
    QString toString(int indentFactor, int indent) const;
    QString className() const override;

    static QString quote(const QString &s);
    static QString numberToString(const Number *n);
    static QString valueToString(const TZAbstractObject *value);
    static QString valueToString(const TZAbstractObject *value, int indentFactor, int indent);

private:
    struct Entry {
        QString key;
        OwnedValue value;
    };
    using Entries = std::vector<Entry>;

    Entries::iterator findEntry(const QString &key);
    Entries::const_iterator findEntry(const QString &key) const;
    void read(JSONTokener &x);
    QString keyText(const QString &key) const;

    Entries myHashMap;
};

} // namespace json
