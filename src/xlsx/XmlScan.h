#pragma once
// A byte-exact scanner over the XML of a part: finds elements and their
// byte ranges so an edit replaces only what it changes and every other byte
// of the part stays as the template had it.
#include <QByteArray>
#include <QString>

namespace kv::xlsx {

struct TXmlTag {
    int Begin = -1;   // offset of '<'
    int End = -1;     // offset after '>'
    QByteArray Name;  // qualified name ("x:row")
    bool Closing = false;
    bool SelfClosing = false;
    QByteArray LocalName() const;
    QByteArray Prefix() const; // "x:" or ""
};

// The next tag at or after from (comments, processing instructions,
// declarations and CDATA are skipped); false at the end.
bool NextTag(const QByteArray &xml, int from, TXmlTag &tag);

// An element found by local name: its start tag, and for one that is not
// self-closing the offset of its end tag and the offset after it.
struct TXmlElement {
    TXmlTag Start;
    int ContentEnd = -1; // offset of the end tag ('<' of "</name>")
    int End = -1;        // offset after the element
    bool Found() const { return Start.Begin >= 0; }
};
// The first element of that local name at or after from (nested elements of
// the same name are matched by depth).
TXmlElement FindElement(const QByteArray &xml, const QByteArray &localName, int from = 0, int until = -1);
// The end of the element whose start tag is given.
TXmlElement CompleteElement(const QByteArray &xml, const TXmlTag &start);

// An attribute of a start tag, unescaped; null when absent.
QString Attribute(const QByteArray &xml, const TXmlTag &tag, const QByteArray &name);
// The start tag's bytes with one attribute removed (when present).
QByteArray WithoutAttribute(const QByteArray &startTag, const QByteArray &name);

// Text escaped for element content or an attribute value.
QByteArray Escape(const QString &text);

} // namespace kv::xlsx
