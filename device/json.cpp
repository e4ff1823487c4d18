#include "device/json.h"

#include "device/ansitext.h"

#include <QStringDecoder>
#include <cmath>
#include <limits>

TlkJSONbase::~TlkJSONbase() = default;

QString TlkJSONbase::AsText() const
{
    switch (SelfType()) {
    case TlkJSONtypes::jsNumber:
        return TlkJSON::NumberText(Value().toDouble());
    case TlkJSONtypes::jsString:
        return Value().toString();
    case TlkJSONtypes::jsBoolean:
        return Value().toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return {};
    }
}

qint64 TlkJSONbase::AsInteger(bool *ok) const
{
    double d = 0;
    bool good = false;
    if (SelfType() == TlkJSONtypes::jsNumber) {
        d = Value().toDouble();
        good = true;
    } else if (SelfType() == TlkJSONtypes::jsString) {
        d = Value().toString().trimmed().toDouble(&good);
    }
    // Out-of-range values would be undefined behaviour in the cast.
    if (!good || !std::isfinite(d) || std::fabs(d) > 9.0e18) {
        if (ok)
            *ok = false;
        return 0;
    }
    if (ok)
        *ok = true;
    return qint64(std::llround(d));
}

// ---- list ----

int TlkJSONlist::Add(std::unique_ptr<TlkJSONbase> v)
{
    items_.push_back(v ? std::move(v) : std::make_unique<TlkJSONnull>());
    return int(items_.size()) - 1;
}
int TlkJSONlist::Add(const QString &text)
{
    return Add(std::make_unique<TlkJSONstring>(text));
}
int TlkJSONlist::Add(int number)
{
    return Add(std::make_unique<TlkJSONnumber>(number));
}
int TlkJSONlist::Add(qint64 number)
{
    return Add(std::make_unique<TlkJSONnumber>(double(number)));
}
int TlkJSONlist::Add(double number)
{
    return Add(std::make_unique<TlkJSONnumber>(number));
}
int TlkJSONlist::Add(bool b)
{
    return Add(std::make_unique<TlkJSONboolean>(b));
}

TlkJSONbase *TlkJSONlist::Child(int idx) const
{
    return idx >= 0 && idx < Count() ? items_[size_t(idx)].get() : nullptr;
}

void TlkJSONlist::SetChild(int idx, std::unique_ptr<TlkJSONbase> v)
{
    if (idx >= 0 && idx < Count())
        items_[size_t(idx)] = v ? std::move(v) : std::make_unique<TlkJSONnull>();
}

// ---- object ----

int TlkJSONobject::Add(const QString &name, std::unique_ptr<TlkJSONbase> v)
{
    const int pos = int(members_.size());
    members_.push_back(
        std::make_unique<TlkJSONobjectmethod>(name, v ? std::move(v) : std::make_unique<TlkJSONnull>()));
    firstIndex_.emplace(name, pos); // keeps an existing (earlier) entry
    return pos;
}
int TlkJSONobject::Add(const QString &name, const QString &text)
{
    return Add(name, std::make_unique<TlkJSONstring>(text));
}
int TlkJSONobject::Add(const QString &name, int number)
{
    return Add(name, std::make_unique<TlkJSONnumber>(number));
}
int TlkJSONobject::Add(const QString &name, qint64 number)
{
    return Add(name, std::make_unique<TlkJSONnumber>(double(number)));
}
int TlkJSONobject::Add(const QString &name, double number)
{
    return Add(name, std::make_unique<TlkJSONnumber>(number));
}
int TlkJSONobject::Add(const QString &name, bool b)
{
    return Add(name, std::make_unique<TlkJSONboolean>(b));
}

TlkJSONbase *TlkJSONobject::Child(int idx) const
{
    return idx >= 0 && idx < Count() ? members_[size_t(idx)]->ObjValue() : nullptr;
}

void TlkJSONobject::SetChild(int idx, std::unique_ptr<TlkJSONbase> v)
{
    if (idx >= 0 && idx < Count())
        members_[size_t(idx)]->setObjValue(v ? std::move(v) : std::make_unique<TlkJSONnull>());
}

int TlkJSONobject::IndexOfName(const QString &name) const
{
    const auto it = firstIndex_.find(name);
    return it == firstIndex_.end() ? -1 : it->second;
}

TlkJSONbase *TlkJSONobject::Field(const QString &name) const
{
    return Child(IndexOfName(name));
}

// ---- text generation ----

namespace {

void writeString(QString &out, const QString &s)
{
    static const char hex[] = "0123456789ABCDEF";
    out += QLatin1Char('"');
    for (const QChar c : s) {
        switch (c.unicode()) {
        case '\b':
            out += QLatin1String("\\b");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\f':
            out += QLatin1String("\\f");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '/':
            out += QLatin1String("\\/");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        default:
            if (c.unicode() < 32) {
                out += QLatin1String("\\u00");
                out += QLatin1Char(hex[c.unicode() >> 4]);
                out += QLatin1Char(hex[c.unicode() & 15]);
            } else {
                out += c;
            }
        }
    }
    out += QLatin1Char('"');
}

void writeValue(QString &out, const TlkJSONbase *v)
{
    if (!v) {
        out += QLatin1String("null");
        return;
    }
    switch (v->SelfType()) {
    case TlkJSONtypes::jsNumber: {
        const double d = v->Value().toDouble();
        out += std::isfinite(d) ? TlkJSON::NumberText(d) : QStringLiteral("null");
        break;
    }
    case TlkJSONtypes::jsString:
        writeString(out, v->Value().toString());
        break;
    case TlkJSONtypes::jsBoolean:
        out += v->Value().toBool() ? QLatin1String("true") : QLatin1String("false");
        break;
    case TlkJSONtypes::jsList:
        out += QLatin1Char('[');
        for (int i = 0; i < v->Count(); ++i) {
            if (i)
                out += QLatin1Char(',');
            writeValue(out, v->Child(i));
        }
        out += QLatin1Char(']');
        break;
    case TlkJSONtypes::jsObject: {
        const auto *o = static_cast<const TlkJSONobject *>(v);
        out += QLatin1Char('{');
        for (int i = 0; i < o->Count(); ++i) {
            if (i)
                out += QLatin1Char(',');
            writeString(out, o->Member(i).Name());
            out += QLatin1Char(':');
            writeValue(out, o->Member(i).ObjValue());
        }
        out += QLatin1Char('}');
        break;
    }
    default:
        out += QLatin1String("null");
        break;
    }
}

// ---- parsing ----

class Parser
{
public:
    explicit Parser(const QByteArray &t) : s_(t.constData()), n_(t.size()) {}

    std::unique_ptr<TlkJSONbase> parseDocument()
    {
        if (n_ >= 3 && uchar(s_[0]) == 0xEF && uchar(s_[1]) == 0xBB && uchar(s_[2]) == 0xBF)
            p_ = 3;
        return parseValue(0);
    }

private:
    void skipWhite()
    {
        while (p_ < n_ && uchar(s_[p_]) <= 32)
            ++p_;
    }
    bool startsWith(const char *word) const
    {
        const qsizetype len = qsizetype(qstrlen(word));
        return n_ - p_ >= len && qstrncmp(s_ + p_, word, size_t(len)) == 0;
    }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

    std::unique_ptr<TlkJSONbase> parseValue(int depth)
    {
        skipWhite();
        if (p_ >= n_)
            return nullptr;
        if (startsWith("true")) {
            p_ += 4;
            return std::make_unique<TlkJSONboolean>(true);
        }
        if (startsWith("false")) {
            p_ += 5;
            return std::make_unique<TlkJSONboolean>(false);
        }
        if (startsWith("null")) {
            p_ += 4;
            return std::make_unique<TlkJSONnull>();
        }
        const char c = s_[p_];
        if (c == '+' || c == '-' || isDigit(c))
            return parseNumber();
        if (c == '"') {
            QString text;
            if (!parseString(&text))
                return nullptr;
            return std::make_unique<TlkJSONstring>(text);
        }
        if (c == '[' || c == '{') {
            if (depth >= TlkJSON::MaxDepth)
                return nullptr;
            return c == '[' ? parseList(depth + 1) : parseObject(depth + 1);
        }
        return nullptr;
    }

    std::unique_ptr<TlkJSONbase> parseNumber()
    {
        const qsizetype start = p_;
        if (s_[p_] == '+' || s_[p_] == '-')
            ++p_;
        const qsizetype digits = p_;
        while (p_ < n_ && isDigit(s_[p_]))
            ++p_;
        if (p_ == digits)
            return nullptr;
        if (p_ + 1 < n_ && s_[p_] == '.' && isDigit(s_[p_ + 1])) {
            p_ += 2;
            while (p_ < n_ && isDigit(s_[p_]))
                ++p_;
        }
        if (p_ < n_ && (s_[p_] == 'e' || s_[p_] == 'E')) {
            qsizetype q = p_ + 1;
            if (q < n_ && (s_[q] == '+' || s_[q] == '-'))
                ++q;
            if (q < n_ && isDigit(s_[q])) {
                while (q < n_ && isDigit(s_[q]))
                    ++q;
                p_ = q;
            }
        }
        QByteArray text(s_ + start, p_ - start);
        if (text.startsWith('+'))
            text.remove(0, 1);
        bool ok = false;
        const double d = text.toDouble(&ok);
        // A value beyond the range of a double cannot be represented: the text is invalid.
        if (!ok || !std::isfinite(d))
            return nullptr;
        return std::make_unique<TlkJSONnumber>(d);
    }

    static int hexValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    bool readHex4(uint *code)
    {
        if (n_ - p_ < 4)
            return false;
        uint v = 0;
        for (int i = 0; i < 4; ++i) {
            const int h = hexValue(s_[p_ + i]);
            if (h < 0)
                return false;
            v = v * 16 + uint(h);
        }
        p_ += 4;
        *code = v;
        return true;
    }

    static void appendUtf8(QByteArray &b, uint cp)
    {
        if (cp < 0x80) {
            b += char(cp);
        } else if (cp < 0x800) {
            b += char(0xC0 | (cp >> 6));
            b += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            b += char(0xE0 | (cp >> 12));
            b += char(0x80 | ((cp >> 6) & 0x3F));
            b += char(0x80 | (cp & 0x3F));
        } else {
            b += char(0xF0 | (cp >> 18));
            b += char(0x80 | ((cp >> 12) & 0x3F));
            b += char(0x80 | ((cp >> 6) & 0x3F));
            b += char(0x80 | (cp & 0x3F));
        }
    }

    bool parseString(QString *out)
    {
        ++p_; // opening quote
        QByteArray bytes;
        while (true) {
            if (p_ >= n_)
                return false;
            const char c = s_[p_++];
            if (c == '"')
                break;
            if (c != '\\') {
                bytes += c;
                continue;
            }
            if (p_ >= n_)
                return false;
            const char e = s_[p_++];
            switch (e) {
            case '"':
                bytes += '"';
                break;
            case '\'':
                bytes += '\'';
                break;
            case '/':
                bytes += '/';
                break;
            case '\\':
                bytes += '\\';
                break;
            case 'b':
                bytes += '\b';
                break;
            case 'f':
                bytes += '\f';
                break;
            case 'n':
                bytes += '\n';
                break;
            case 'r':
                bytes += '\r';
                break;
            case 't':
                bytes += '\t';
                break;
            case 'u': {
                uint code = 0;
                if (!readHex4(&code))
                    return false;
                // A surrogate pair written as two escapes is one character.
                if (code >= 0xD800 && code < 0xDC00 && n_ - p_ >= 6 && s_[p_] == '\\' && s_[p_ + 1] == 'u') {
                    const qsizetype save = p_;
                    p_ += 2;
                    uint low = 0;
                    if (readHex4(&low) && low >= 0xDC00 && low < 0xE000)
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    else
                        p_ = save;
                }
                if (code >= 0xD800 && code < 0xE000)
                    code = 0xFFFD; // a lone surrogate has no text form
                appendUtf8(bytes, code);
                break;
            }
            default:
                return false;
            }
        }
        auto decoder = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decoder.decode(bytes);
        if (decoder.hasError())
            text = AnsiText::decode(bytes);
        *out = text;
        return true;
    }

    std::unique_ptr<TlkJSONbase> parseList(int depth)
    {
        ++p_;
        auto list = std::make_unique<TlkJSONlist>();
        while (true) {
            skipWhite();
            if (p_ >= n_)
                return nullptr;
            if (s_[p_] == ']') {
                ++p_;
                return list;
            }
            auto v = parseValue(depth);
            if (!v)
                return nullptr;
            list->Add(std::move(v));
            skipWhite();
            if (p_ < n_ && s_[p_] == ',')
                ++p_;
        }
    }

    std::unique_ptr<TlkJSONbase> parseObject(int depth)
    {
        ++p_;
        auto obj = std::make_unique<TlkJSONobject>();
        while (true) {
            skipWhite();
            if (p_ >= n_)
                return nullptr;
            if (s_[p_] == '}') {
                ++p_;
                return obj;
            }
            if (s_[p_] != '"')
                return nullptr;
            QString name;
            if (!parseString(&name))
                return nullptr;
            skipWhite();
            if (p_ >= n_ || s_[p_] != ':')
                return nullptr;
            ++p_;
            auto v = parseValue(depth);
            if (!v)
                return nullptr;
            obj->Add(name, std::move(v));
            skipWhite();
            if (p_ < n_ && s_[p_] == ',')
                ++p_;
        }
    }

    const char *s_;
    qsizetype n_;
    qsizetype p_ = 0;
};

} // namespace

QString TlkJSON::NumberText(double v)
{
    if (v == 0)
        return QStringLiteral("0");
    if (std::fabs(v) < 1e15 && v == std::trunc(v))
        return QString::number(qint64(v));
    return QString::number(v, 'g', 15); // locale independent, trailing zeros removed
}

QString TlkJSON::GenerateText(const TlkJSONbase *value)
{
    QString out;
    writeValue(out, value);
    return out;
}

std::unique_ptr<TlkJSONbase> TlkJSON::ParseText(const QByteArray &text)
{
    Parser p(text);
    return p.parseDocument();
}

std::unique_ptr<TlkJSONbase> TlkJSON::ParseText(const QString &text)
{
    return ParseText(text.toUtf8());
}
