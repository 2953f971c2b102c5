#include "xlsx/XmlScan.h"

#include <QRegularExpression>

namespace kv::xlsx {

QByteArray TXmlTag::LocalName() const
{
    const int colon = Name.indexOf(':');
    return colon < 0 ? Name : Name.mid(colon + 1);
}

QByteArray TXmlTag::Prefix() const
{
    const int colon = Name.indexOf(':');
    return colon < 0 ? QByteArray() : Name.left(colon + 1);
}

bool NextTag(const QByteArray &xml, int from, TXmlTag &tag)
{
    int i = from;
    const int n = xml.size();
    while (true) {
        i = xml.indexOf('<', i);
        if (i < 0 || i + 1 >= n)
            return false;
        if (xml.mid(i, 4) == "<!--") {
            const int e = xml.indexOf("-->", i + 4);
            if (e < 0)
                return false;
            i = e + 3;
            continue;
        }
        if (xml.mid(i, 9) == "<![CDATA[") {
            const int e = xml.indexOf("]]>", i + 9);
            if (e < 0)
                return false;
            i = e + 3;
            continue;
        }
        if (xml[i + 1] == '?' || xml[i + 1] == '!') {
            const int e = xml.indexOf('>', i);
            if (e < 0)
                return false;
            i = e + 1;
            continue;
        }
        break;
    }
    tag = TXmlTag();
    tag.Begin = i;
    int j = i + 1;
    if (xml[j] == '/') {
        tag.Closing = true;
        ++j;
    }
    const int nameStart = j;
    while (j < n && !strchr(" \t\r\n/>", xml[j]))
        ++j;
    tag.Name = xml.mid(nameStart, j - nameStart);
    // To the '>' that is outside every quoted attribute value.
    char quote = 0;
    for (; j < n; ++j) {
        const char c = xml[j];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            tag.SelfClosing = !tag.Closing && xml[j - 1] == '/';
            tag.End = j + 1;
            return true;
        }
    }
    return false;
}

TXmlElement CompleteElement(const QByteArray &xml, const TXmlTag &start)
{
    TXmlElement e;
    e.Start = start;
    if (start.SelfClosing) {
        e.ContentEnd = start.End;
        e.End = start.End;
        return e;
    }
    int depth = 1;
    TXmlTag t;
    int pos = start.End;
    while (NextTag(xml, pos, t)) {
        pos = t.End;
        if (t.Name != start.Name)
            continue;
        if (t.Closing) {
            if (--depth == 0) {
                e.ContentEnd = t.Begin;
                e.End = t.End;
                return e;
            }
        } else if (!t.SelfClosing) {
            ++depth;
        }
    }
    return {}; // not well formed
}

TXmlElement FindElement(const QByteArray &xml, const QByteArray &localName, int from, int until)
{
    TXmlTag t;
    int pos = from;
    while (NextTag(xml, pos, t)) {
        if (until >= 0 && t.Begin >= until)
            break;
        pos = t.End;
        if (!t.Closing && t.LocalName() == localName)
            return CompleteElement(xml, t);
    }
    return {};
}

namespace {

QString Unescape(const QByteArray &raw)
{
    QString s = QString::fromUtf8(raw);
    if (!s.contains(QLatin1Char('&')))
        return s;
    static const QRegularExpression entity(QStringLiteral("&(#x[0-9A-Fa-f]+|#[0-9]+|amp|lt|gt|quot|apos);"));
    QString out;
    int last = 0;
    auto it = entity.globalMatch(s);
    while (it.hasNext()) {
        const auto m = it.next();
        out += s.mid(last, m.capturedStart() - last);
        const QString e = m.captured(1);
        if (e == QLatin1String("amp"))
            out += QLatin1Char('&');
        else if (e == QLatin1String("lt"))
            out += QLatin1Char('<');
        else if (e == QLatin1String("gt"))
            out += QLatin1Char('>');
        else if (e == QLatin1String("quot"))
            out += QLatin1Char('"');
        else if (e == QLatin1String("apos"))
            out += QLatin1Char('\'');
        else {
            const uint code = e.startsWith(QLatin1String("#x")) ? e.mid(2).toUInt(nullptr, 16) : e.mid(1).toUInt();
            out += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        }
        last = m.capturedEnd();
    }
    return out + s.mid(last);
}

// Offsets of attribute name=value pairs in a start tag.
struct TAttrSpan {
    int Begin = -1, End = -1;     // the whole ' name="value"'
    int ValueBegin = -1, ValueEnd = -1;
};

TAttrSpan FindAttribute(const QByteArray &tag, const QByteArray &name)
{
    int i = 1;
    const int n = tag.size();
    while (i < n && !strchr(" \t\r\n/>", tag[i]))
        ++i;
    while (i < n) {
        const int spaceStart = i;
        while (i < n && strchr(" \t\r\n", tag[i]))
            ++i;
        const int nameStart = i;
        while (i < n && !strchr(" \t\r\n=/>", tag[i]))
            ++i;
        const QByteArray attr = tag.mid(nameStart, i - nameStart);
        if (attr.isEmpty())
            return {};
        while (i < n && strchr(" \t\r\n=", tag[i]))
            ++i;
        if (i >= n || (tag[i] != '"' && tag[i] != '\''))
            return {};
        const char q = tag[i];
        const int vb = i + 1;
        const int ve = tag.indexOf(q, vb);
        if (ve < 0)
            return {};
        i = ve + 1;
        if (attr == name)
            return {spaceStart, i, vb, ve};
    }
    return {};
}

} // namespace

QString Attribute(const QByteArray &xml, const TXmlTag &tag, const QByteArray &name)
{
    const QByteArray t = xml.mid(tag.Begin, tag.End - tag.Begin);
    const TAttrSpan a = FindAttribute(t, name);
    if (a.Begin < 0)
        return QString();
    const QString v = Unescape(t.mid(a.ValueBegin, a.ValueEnd - a.ValueBegin));
    return v.isNull() ? QStringLiteral("") : v;
}

QByteArray WithoutAttribute(const QByteArray &startTag, const QByteArray &name)
{
    const TAttrSpan a = FindAttribute(startTag, name);
    if (a.Begin < 0)
        return startTag;
    return startTag.left(a.Begin) + startTag.mid(a.End);
}

QByteArray Escape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QStringLiteral("&amp;"); break;
        case '<': out += QStringLiteral("&lt;"); break;
        case '>': out += QStringLiteral("&gt;"); break;
        case '"': out += QStringLiteral("&quot;"); break;
        default:
            // Characters XML 1.0 cannot carry are left out.
            if (c.unicode() >= 0x20 || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
                out += c;
        }
    }
    return out.toUtf8();
}

} // namespace kv::xlsx
