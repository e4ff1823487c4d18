#pragma once

// JSON values of the device protocol: a small tree of owned values, its compact text form and a
// lenient parser that never fails loudly (invalid text gives no tree at all).

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <map>
#include <memory>
#include <vector>

enum class TlkJSONtypes
{
    jsBase,
    jsNumber,
    jsString,
    jsBoolean,
    jsNull,
    jsList,
    jsObject
};

// The abstract root of every value kind. A tree is owned by its root: freeing the root frees all
// children, and a value added to a container becomes owned by that container.
class TlkJSONbase
{
public:
    TlkJSONbase() = default;
    virtual ~TlkJSONbase();
    TlkJSONbase(const TlkJSONbase &) = delete;
    TlkJSONbase &operator=(const TlkJSONbase &) = delete;

    // The scalar value: double for a number, QString for a string, bool for a boolean, an
    // invalid/null QVariant otherwise.
    virtual QVariant Value() const { return {}; }
    virtual void SetValue(const QVariant &v) { Q_UNUSED(v); }
    // Child by position (members of an object, elements of a list); nullptr when out of range.
    virtual TlkJSONbase *Child(int idx) const
    {
        Q_UNUSED(idx);
        return nullptr;
    }
    // Replaces the child at idx (taking ownership); ignored when out of range.
    virtual void SetChild(int idx, std::unique_ptr<TlkJSONbase> v)
    {
        Q_UNUSED(idx);
        Q_UNUSED(v);
    }
    virtual int Count() const { return 0; }
    // The value of the first member of exactly this name (objects only), else nullptr.
    virtual TlkJSONbase *Field(const QString &name) const
    {
        Q_UNUSED(name);
        return nullptr;
    }
    TlkJSONbase *Field(int idx) const { return Child(idx); }
    virtual TlkJSONtypes SelfType() const { return TlkJSONtypes::jsBase; }
    virtual QString SelfTypeName() const { return QStringLiteral("jsBase"); }

    // The value read as text: a number in its shortest form, a string as it is, a boolean as
    // True/False, null (and containers) as the empty text.
    QString AsText() const;
    // The value read as a whole number (numbers rounded, numeric text converted, else 0).
    qint64 AsInteger(bool *ok = nullptr) const;
};

class TlkJSONnumber : public TlkJSONbase
{
public:
    explicit TlkJSONnumber(double v = 0) : value_(v) {}
    QVariant Value() const override { return value_; }
    void SetValue(const QVariant &v) override { value_ = v.toDouble(); }
    TlkJSONtypes SelfType() const override { return TlkJSONtypes::jsNumber; }
    QString SelfTypeName() const override { return QStringLiteral("jsNumber"); }
    double number() const { return value_; }

private:
    double value_;
};

class TlkJSONstring : public TlkJSONbase
{
public:
    explicit TlkJSONstring(QString v = {}) : value_(std::move(v)) {}
    QVariant Value() const override { return value_; }
    void SetValue(const QVariant &v) override { value_ = v.toString(); }
    TlkJSONtypes SelfType() const override { return TlkJSONtypes::jsString; }
    QString SelfTypeName() const override { return QStringLiteral("jsString"); }
    const QString &text() const { return value_; }

private:
    QString value_;
};

class TlkJSONboolean : public TlkJSONbase
{
public:
    explicit TlkJSONboolean(bool v = false) : value_(v) {}
    QVariant Value() const override { return value_; }
    void SetValue(const QVariant &v) override { value_ = v.toBool(); }
    TlkJSONtypes SelfType() const override { return TlkJSONtypes::jsBoolean; }
    QString SelfTypeName() const override { return QStringLiteral("jsBoolean"); }

private:
    bool value_;
};

class TlkJSONnull : public TlkJSONbase
{
public:
    TlkJSONtypes SelfType() const override { return TlkJSONtypes::jsNull; }
    QString SelfTypeName() const override { return QStringLiteral("jsNull"); }
};

class TlkJSONlist : public TlkJSONbase
{
public:
    // Appends an element; returns its position.
    int Add(std::unique_ptr<TlkJSONbase> v);
    int Add(const QString &text);
    int Add(const char *text) { return Add(QString::fromUtf8(text)); }
    int Add(int number);
    int Add(qint64 number);
    int Add(double number);
    int Add(bool b);

    TlkJSONbase *Child(int idx) const override;
    void SetChild(int idx, std::unique_ptr<TlkJSONbase> v) override;
    int Count() const override { return int(items_.size()); }
    TlkJSONtypes SelfType() const override { return TlkJSONtypes::jsList; }
    QString SelfTypeName() const override { return QStringLiteral("jsList"); }

private:
    std::vector<std::unique_ptr<TlkJSONbase>> items_;
};

// One member of an object: a name and its (owned) value.
class TlkJSONobjectmethod
{
public:
    TlkJSONobjectmethod(QString name, std::unique_ptr<TlkJSONbase> v)
        : name_(std::move(name)), value_(std::move(v))
    {
    }
    const QString &Name() const { return name_; }
    TlkJSONbase *ObjValue() const { return value_.get(); }
    void setObjValue(std::unique_ptr<TlkJSONbase> v) { value_ = std::move(v); }

private:
    QString name_;
    std::unique_ptr<TlkJSONbase> value_;
};

class TlkJSONobject : public TlkJSONbase
{
public:
    // Appends a member (names may repeat; look-up finds the first). Returns its position.
    int Add(const QString &name, std::unique_ptr<TlkJSONbase> v);
    int Add(const QString &name, const QString &text);
    int Add(const QString &name, const char *text) { return Add(name, QString::fromUtf8(text)); }
    int Add(const QString &name, int number);
    int Add(const QString &name, qint64 number);
    int Add(const QString &name, double number);
    int Add(const QString &name, bool b);

    TlkJSONbase *Child(int idx) const override;
    void SetChild(int idx, std::unique_ptr<TlkJSONbase> v) override;
    int Count() const override { return int(members_.size()); }
    TlkJSONbase *Field(const QString &name) const override;
    using TlkJSONbase::Field;
    TlkJSONtypes SelfType() const override { return TlkJSONtypes::jsObject; }
    QString SelfTypeName() const override { return QStringLiteral("jsObject"); }

    const TlkJSONobjectmethod &Member(int idx) const { return *members_.at(size_t(idx)); }
    // Position of the first member of that name, or -1.
    int IndexOfName(const QString &name) const;

private:
    std::vector<std::unique_ptr<TlkJSONobjectmethod>> members_;
    std::map<QString, int> firstIndex_; // name -> position of its first member
};

namespace TlkJSON {
// Compact JSON text: no white space, "/" written as "\/", control characters escaped.
QString GenerateText(const TlkJSONbase *value);
// The tree for a JSON text, or nullptr when the text is not valid. Only the first value is read.
// Byte input: string contents are UTF-8 (falling back to the single-byte set where they are not valid UTF-8).
std::unique_ptr<TlkJSONbase> ParseText(const QByteArray &text);
std::unique_ptr<TlkJSONbase> ParseText(const QString &text);
// Nesting deeper than this makes the text invalid (protects the stack from hostile input).
constexpr int MaxDepth = 256;
// The shortest decimal form of a number, "." as separator, at most 15 significant digits.
QString NumberText(double v);
} // namespace TlkJSON
