#include "xlsx/XlsxBook.h"

#include "xlsx/XmlScan.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <cmath>

namespace kv::xlsx {

namespace {

QString Tr(const char *text) { return QCoreApplication::translate("TXlsxBook", text); }

const char kRelNs[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char kRelType[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
const char kSheetType[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
// Cells one name may fill: a name over whole columns writes no million cells.
constexpr qint64 kMaxRangeCells = 10000;

QString Folder(const QString &part)
{
    const int slash = part.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : part.left(slash + 1);
}

QString ResolveTarget(const QString &base, const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    return QDir::cleanPath(Folder(base) + target);
}

// Decimals a number format shows: "0.00" -> 2; -1 for a general format.
int FormatDecimals(int id, const QString &code)
{
    switch (id) {
    case 1: case 3: case 9: return 0;
    case 2: case 4: case 10: return 2;
    default: break;
    }
    if (code.isEmpty() || code.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return -1;
    const QString first = code.section(QLatin1Char(';'), 0, 0);
    const int dot = first.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return first.contains(QLatin1Char('0')) ? 0 : -1;
    int n = 0;
    for (int i = dot + 1; i < first.size() && (first[i] == QLatin1Char('0') || first[i] == QLatin1Char('#')); ++i)
        ++n;
    return n;
}

QByteArray NumberText(double v) { return QByteArray::number(v, 'g', QLocale::FloatingPointShortest); }

} // namespace

TCellValue TCellValue::Auto(const QString &t)
{
    static const QRegularExpression plain(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    const QString s = t.trimmed();
    // Leading zeros ("007") are a label, not a number.
    if (plain.match(s).hasMatch() && !(s.size() > 1 && s.startsWith(QLatin1Char('0')) && s[1] != QLatin1Char('.')) &&
        !s.startsWith(QLatin1String("-0")) && s.size() <= 15)
        return FromNumber(s.toDouble());
    return FromText(t);
}

struct TXlsxBook::TSheet {
    QString Name;
    QString Part;
    int SheetId = 0;
    bool Added = false;
    mutable bool Loaded = false;
    mutable QMap<TCellPos, TCell> Cells;
    mutable QList<TCellRange> Merged;
    mutable QMap<int, double> Widths;
    QMap<TCellPos, TCellValue> Edits;
};

TXlsxBook::TXlsxBook() = default;

TXlsxBook::~TXlsxBook() { qDeleteAll(FSheets); }

QString TXlsxBook::RelsPart(const QString &part) const
{
    const int slash = part.lastIndexOf(QLatin1Char('/'));
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

QMap<QString, TXlsxBook::TRel> TXlsxBook::ReadRels(const QString &part) const
{
    QMap<QString, TRel> rels;
    QXmlStreamReader x(FPackage.Part(part.isEmpty() ? QStringLiteral("_rels/.rels") : RelsPart(part)));
    while (!x.atEnd()) {
        if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("Relationship")) {
            const auto a = x.attributes();
            const QString target = a.value(QLatin1String("Target")).toString();
            const bool external = a.value(QLatin1String("TargetMode")) == QLatin1String("External");
            rels.insert(a.value(QLatin1String("Id")).toString(),
                        {a.value(QLatin1String("Type")).toString(), external ? target : ResolveTarget(part, target)});
        }
    }
    return rels;
}

bool TXlsxBook::Open(const QString &file, QString *error)
{
    qDeleteAll(FSheets);
    FSheets.clear();
    FShared.clear();
    FStyles.clear();
    FNames.clear();
    FMarksChanged = false;
    FAddedSheets.clear();
    if (!FPackage.Read(file, error))
        return false;
    if (!ReadStructure(error)) {
        if (error && error->isEmpty())
            *error = Tr("文件%1不是有效的Excel(.xlsx)文件").arg(file);
        else if (error)
            *error = Tr("文件%1不是有效的Excel(.xlsx)文件").arg(file) + QLatin1Char('\n') + *error;
        return false;
    }
    return true;
}

bool TXlsxBook::ReadStructure(QString *error)
{
    FWorkbookPart.clear();
    for (const TRel &r : ReadRels(QString()))
        if (r.Type.endsWith(QLatin1String("/officeDocument")))
            FWorkbookPart = r.Target;
    if (FWorkbookPart.isEmpty() || !FPackage.Has(FWorkbookPart))
        return false;
    const QMap<QString, TRel> rels = ReadRels(FWorkbookPart);
    QXmlStreamReader x(FPackage.Part(FWorkbookPart));
    while (!x.atEnd()) {
        if (x.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (x.name() == QLatin1String("sheet")) {
            auto *s = new TSheet;
            const auto a = x.attributes();
            s->Name = a.value(QLatin1String("name")).toString();
            s->SheetId = a.value(QLatin1String("sheetId")).toInt();
            const QString id = a.value(QLatin1String(kRelNs), QLatin1String("id")).toString();
            s->Part = rels.value(id).Target;
            FSheets.append(s);
        } else if (x.name() == QLatin1String("definedName")) {
            TDefinedName n;
            const auto a = x.attributes();
            n.Name = a.value(QLatin1String("name")).toString();
            n.LocalSheet = a.hasAttribute(QLatin1String("localSheetId")) ? a.value(QLatin1String("localSheetId")).toInt() : -1;
            n.RefersTo = x.readElementText();
            FNames.append(n);
        }
    }
    if (x.hasError()) {
        if (error)
            *error = x.errorString();
        return false;
    }
    for (const TSheet *s : FSheets)
        if (s->Part.isEmpty() || !FPackage.Has(s->Part))
            return false;
    // Shared strings and cell formats.
    for (const TRel &r : rels) {
        if (r.Type.endsWith(QLatin1String("/sharedStrings"))) {
            QXmlStreamReader ss(FPackage.Part(r.Target));
            QString current;
            int phonetic = 0;
            while (!ss.atEnd()) {
                const auto t = ss.readNext();
                if (t == QXmlStreamReader::StartElement && ss.name() == QLatin1String("si"))
                    current.clear();
                else if (t == QXmlStreamReader::StartElement && ss.name() == QLatin1String("rPh"))
                    ++phonetic;
                else if (t == QXmlStreamReader::EndElement && ss.name() == QLatin1String("rPh"))
                    --phonetic;
                else if (t == QXmlStreamReader::StartElement && ss.name() == QLatin1String("t") && phonetic == 0)
                    current += ss.readElementText();
                else if (t == QXmlStreamReader::EndElement && ss.name() == QLatin1String("si"))
                    FShared.append(current);
            }
            if (ss.hasError())
                return false;
        } else if (r.Type.endsWith(QLatin1String("/styles"))) {
            QXmlStreamReader st(FPackage.Part(r.Target));
            QMap<int, QString> formats;
            QList<bool> boldFonts;
            QString section;
            while (!st.atEnd()) {
                const auto t = st.readNext();
                if (t != QXmlStreamReader::StartElement)
                    continue;
                const auto n = st.name();
                const auto a = st.attributes();
                if (n == QLatin1String("fonts") || n == QLatin1String("cellXfs") || n == QLatin1String("cellStyleXfs") ||
                    n == QLatin1String("dxfs") || n == QLatin1String("cellStyles"))
                    section = n.toString();
                else if (n == QLatin1String("numFmt"))
                    formats.insert(a.value(QLatin1String("numFmtId")).toInt(), a.value(QLatin1String("formatCode")).toString());
                else if (n == QLatin1String("font") && section == QLatin1String("fonts"))
                    boldFonts.append(false);
                else if (n == QLatin1String("b") && section == QLatin1String("fonts") && !boldFonts.isEmpty())
                    boldFonts.last() = a.value(QLatin1String("val")) != QLatin1String("0") &&
                                       a.value(QLatin1String("val")) != QLatin1String("false");
                else if (n == QLatin1String("xf") && section == QLatin1String("cellXfs")) {
                    TCellStyle s;
                    s.NumFmtId = a.value(QLatin1String("numFmtId")).toInt();
                    const int font = a.value(QLatin1String("fontId")).toInt();
                    s.Bold = font >= 0 && font < boldFonts.size() && boldFonts[font];
                    FStyles.append(s);
                }
            }
            for (TCellStyle &s : FStyles)
                s.NumFmt = formats.value(s.NumFmtId);
        }
    }
    return true;
}

bool TXlsxBook::LoadSheet(TSheet &s) const
{
    if (s.Loaded)
        return true;
    s.Loaded = true;
    QXmlStreamReader x(FPackage.Part(s.Part));
    int row = 0, col = 0;
    while (!x.atEnd()) {
        if (x.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto n = x.name();
        const auto a = x.attributes();
        if (n == QLatin1String("row")) {
            row = a.hasAttribute(QLatin1String("r")) ? a.value(QLatin1String("r")).toInt() : row + 1;
            col = 0;
        } else if (n == QLatin1String("c")) {
            TCellPos p = a.hasAttribute(QLatin1String("r")) ? ParseCell(a.value(QLatin1String("r")).toString())
                                                            : TCellPos{row, col + 1};
            if (!p.Valid())
                p = {row, col + 1};
            col = p.Column;
            const QString type = a.value(QLatin1String("t")).toString();
            TCell c;
            c.Style = a.value(QLatin1String("s")).toInt();
            QString v, inl;
            int phonetic = 0;
            while (!x.atEnd()) {
                const auto t = x.readNext();
                if (t == QXmlStreamReader::EndElement && x.name() == QLatin1String("c"))
                    break;
                if (t == QXmlStreamReader::StartElement && x.name() == QLatin1String("rPh"))
                    ++phonetic;
                else if (t == QXmlStreamReader::EndElement && x.name() == QLatin1String("rPh"))
                    --phonetic;
                else if (t == QXmlStreamReader::StartElement && x.name() == QLatin1String("v"))
                    v = x.readElementText();
                else if (t == QXmlStreamReader::StartElement && x.name() == QLatin1String("f"))
                    c.IsFormula = true;
                else if (t == QXmlStreamReader::StartElement && x.name() == QLatin1String("t") && phonetic == 0)
                    inl += x.readElementText();
            }
            if (type == QLatin1String("s"))
                c.Text = FShared.value(v.toInt());
            else if (type == QLatin1String("inlineStr"))
                c.Text = inl;
            else if (type == QLatin1String("b"))
                c.Text = v == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            else if (type == QLatin1String("str") || type == QLatin1String("e"))
                c.Text = v;
            else if (!v.isEmpty()) {
                bool ok = false;
                c.Number = v.toDouble(&ok);
                c.IsNumber = ok;
                const TCellStyle st = Style(c.Style);
                const int dec = FormatDecimals(st.NumFmtId, st.NumFmt);
                c.Text = !ok ? v : dec >= 0 ? QString::number(c.Number, 'f', dec) : QString::number(c.Number, 'g', 12);
            }
            s.Cells.insert(p, c);
        } else if (n == QLatin1String("mergeCell")) {
            const TCellRange r = ParseRange(a.value(QLatin1String("ref")).toString());
            if (r.Valid())
                s.Merged.append(r);
        } else if (n == QLatin1String("col")) {
            const int first = a.value(QLatin1String("min")).toInt();
            const int last = std::min(a.value(QLatin1String("max")).toInt(), first + 256);
            for (int c = first; c <= last && c > 0; ++c)
                s.Widths.insert(c, a.value(QLatin1String("width")).toDouble());
        }
    }
    return !x.hasError();
}

QStringList TXlsxBook::SheetNames() const
{
    QStringList names;
    for (const TSheet *s : FSheets)
        names << s->Name;
    return names;
}

int TXlsxBook::SheetIndex(const QString &name) const
{
    for (int i = 0; i < FSheets.size(); ++i)
        if (FSheets[i]->Name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TCell TXlsxBook::Cell(int sheet, int row, int column) const
{
    if (sheet < 0 || sheet >= FSheets.size())
        return {};
    const TSheet &s = *FSheets[sheet];
    LoadSheet(*FSheets[sheet]);
    TCell c = s.Cells.value({row, column});
    const auto e = s.Edits.constFind({row, column});
    if (e != s.Edits.constEnd()) {
        c.IsFormula = false;
        c.IsNumber = e->Kind == TCellValue::Number;
        c.Number = e->Num;
        c.Text = e->Kind == TCellValue::Text ? e->Str : e->Kind == TCellValue::Number ? QString::number(e->Num, 'g', 12) : QString();
    }
    return c;
}

TCellPos TXlsxBook::Extent(int sheet) const
{
    TCellPos p{0, 0};
    if (sheet < 0 || sheet >= FSheets.size())
        return p;
    const TSheet &s = *FSheets[sheet];
    LoadSheet(*FSheets[sheet]);
    auto grow = [&p](const TCellPos &c) {
        p.Row = std::max(p.Row, c.Row);
        p.Column = std::max(p.Column, c.Column);
    };
    for (auto it = s.Cells.cbegin(); it != s.Cells.cend(); ++it)
        grow(it.key());
    for (auto it = s.Edits.cbegin(); it != s.Edits.cend(); ++it)
        grow(it.key());
    for (const TCellRange &r : s.Merged)
        grow(r.Last);
    return p;
}

QList<TCellRange> TXlsxBook::MergedCells(int sheet) const
{
    if (sheet < 0 || sheet >= FSheets.size())
        return {};
    LoadSheet(*FSheets[sheet]);
    return FSheets[sheet]->Merged;
}

double TXlsxBook::ColumnWidth(int sheet, int column) const
{
    if (sheet < 0 || sheet >= FSheets.size())
        return 0;
    LoadSheet(*FSheets[sheet]);
    return FSheets[sheet]->Widths.value(column);
}

TCellStyle TXlsxBook::Style(int index) const { return index >= 0 && index < FStyles.size() ? FStyles[index] : TCellStyle(); }

QList<TDefinedName> TXlsxBook::DefinedNames() const
{
    if (!FMarksChanged)
        return FNames;
    QList<TDefinedName> names;
    for (const TDefinedName &n : FNames)
        if (n.LocalSheet >= 0 || !n.Name.startsWith(FMarkPrefix, Qt::CaseInsensitive))
            names << n;
    return names + FNewMarks;
}

QList<TDefinedName> TXlsxBook::Marks(const QString &prefix) const
{
    QList<TDefinedName> marks;
    for (const TDefinedName &n : DefinedNames())
        if (n.LocalSheet < 0 && n.Name.startsWith(prefix, Qt::CaseInsensitive))
            marks << n;
    return marks;
}

void TXlsxBook::SetMarks(const QList<TDefinedName> &names, const QString &prefix)
{
    FMarksChanged = true;
    FMarkPrefix = prefix;
    FNewMarks = names;
}

void TXlsxBook::SetCell(int sheet, const TCellPos &pos, const TCellValue &value)
{
    if (sheet >= 0 && sheet < FSheets.size() && pos.Valid())
        FSheets[sheet]->Edits.insert(pos, value);
}

bool TXlsxBook::Resolve(const QString &name, int &sheet, TCellRange &range) const
{
    for (const TDefinedName &n : DefinedNames()) {
        if (n.LocalSheet >= 0 || n.Name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        const TSheetRef ref = ParseSheetRef(n.RefersTo);
        sheet = SheetIndex(ref.Sheet);
        range = ref.Range;
        return ref.Valid() && sheet >= 0;
    }
    return false;
}

void TXlsxBook::SetRange(int sheet, const TCellRange &range, const TCellValue &value)
{
    if (!range.Valid())
        return;
    const QList<TCellRange> merged = MergedCells(sheet);
    qint64 written = 0;
    // The walk ends with the last cell it may fill: a name over whole
    // columns is a million cells to look at otherwise.
    for (int r = range.First.Row; r <= range.Last.Row && written < kMaxRangeCells; ++r)
        for (int c = range.First.Column; c <= range.Last.Column && written < kMaxRangeCells; ++c) {
            const TCellPos p{r, c};
            bool hidden = false;
            for (const TCellRange &m : merged)
                if (m.Contains(p) && !(m.First == p))
                    hidden = true;
            if (!hidden) {
                SetCell(sheet, p, value);
                ++written;
            }
        }
}

int TXlsxBook::AddSheet(const QString &name)
{
    auto *s = new TSheet;
    s->Name = name;
    s->Added = true;
    s->Loaded = true;
    int id = 0;
    for (const TSheet *o : FSheets)
        id = std::max(id, o->SheetId);
    s->SheetId = id + 1;
    int n = FSheets.size() + 1;
    while (FPackage.Has(QStringLiteral("xl/worksheets/sheet%1.xml").arg(n)))
        ++n;
    s->Part = QStringLiteral("xl/worksheets/sheet%1.xml").arg(n);
    FPackage.SetPart(s->Part, QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheetData/></worksheet>"));
    FSheets.append(s);
    FAddedSheets.append(FSheets.size() - 1);
    return FSheets.size() - 1;
}

// ---- writing ----

namespace {

QByteArray CellXml(const QByteArray &prefix, const TCellPos &p, const TCellValue &v, const QString &style)
{
    QByteArray s = "<" + prefix + "c r=\"" + CellName(p).toLatin1() + "\"";
    if (!style.isEmpty() && style != QLatin1String("0"))
        s += " s=\"" + Escape(style) + "\"";
    switch (v.Kind) {
    case TCellValue::Empty:
        return s + "/>";
    case TCellValue::Number:
        if (!std::isfinite(v.Num))
            return s + "/>";
        return s + "><" + prefix + "v>" + NumberText(v.Num) + "</" + prefix + "v></" + prefix + "c>";
    case TCellValue::Text:
        return s + " t=\"inlineStr\"><" + prefix + "is><" + prefix + "t xml:space=\"preserve\">" + Escape(v.Str) + "</" +
               prefix + "t></" + prefix + "is></" + prefix + "c>";
    }
    return s + "/>";
}

QByteArray NewRow(const QByteArray &prefix, int row, const QMap<int, TCellValue> &cells)
{
    QByteArray s = "<" + prefix + "row r=\"" + QByteArray::number(row) + "\">";
    for (auto it = cells.cbegin(); it != cells.cend(); ++it)
        s += CellXml(prefix, {row, it.key()}, it.value(), QString());
    return s + "</" + prefix + "row>";
}

// The row element with the new cells merged in by column; existing cells
// that are not written keep their bytes.
QByteArray MergeRow(const QByteArray &xml, const TXmlElement &rowEl, int row, const QMap<int, TCellValue> &cells,
                    bool &formulaReplaced)
{
    const QByteArray prefix = rowEl.Start.Prefix();
    QByteArray start = WithoutAttribute(xml.mid(rowEl.Start.Begin, rowEl.Start.End - rowEl.Start.Begin), "spans");
    if (rowEl.Start.SelfClosing) {
        start.chop(1); // '>'
        while (start.endsWith('/') || start.endsWith(' '))
            start.chop(1);
        start += '>';
    }
    if (Attribute(start, TXmlTag{0, int(start.size()), rowEl.Start.Name, false, false}, "r").isNull())
        start.insert(1 + rowEl.Start.Name.size(), " r=\"" + QByteArray::number(row) + "\"");
    QByteArray out = start;
    auto pending = cells.cbegin();
    if (!rowEl.Start.SelfClosing) {
        int cursor = rowEl.Start.End;
        int pos = cursor;
        int col = 0;
        TXmlTag t;
        while (NextTag(xml, pos, t) && t.Begin < rowEl.ContentEnd) {
            if (t.Closing || t.LocalName() != "c") {
                pos = t.End;
                continue;
            }
            const TXmlElement c = CompleteElement(xml, t);
            const QString ref = Attribute(xml, t, "r");
            const TCellPos p = ref.isNull() ? TCellPos{row, col + 1} : ParseCell(ref);
            col = p.Column;
            while (pending != cells.cend() && pending.key() < col) {
                out += xml.mid(cursor, t.Begin - cursor) + CellXml(prefix, {row, pending.key()}, pending.value(), QString());
                cursor = t.Begin;
                ++pending;
            }
            if (pending != cells.cend() && pending.key() == col) {
                if (FindElement(xml, "f", t.End, c.End).Found())
                    formulaReplaced = true;
                out += xml.mid(cursor, t.Begin - cursor) + CellXml(prefix, {row, col}, pending.value(), Attribute(xml, t, "s"));
                cursor = c.End;
                ++pending;
            }
            pos = c.End;
        }
        out += xml.mid(cursor, rowEl.ContentEnd - cursor);
    }
    for (; pending != cells.cend(); ++pending)
        out += CellXml(prefix, {row, pending.key()}, pending.value(), QString());
    return out + "</" + rowEl.Start.Name + ">";
}

// The sheet's XML with the edits written; empty when it has no sheetData.
QByteArray ApplyCells(const QByteArray &xml, const QMap<TCellPos, TCellValue> &edits, bool &formulaReplaced)
{
    const TXmlElement sd = FindElement(xml, "sheetData");
    if (!sd.Found())
        return {};
    QMap<int, QMap<int, TCellValue>> rows;
    for (auto it = edits.cbegin(); it != edits.cend(); ++it)
        rows[it.key().Row].insert(it.key().Column, it.value());
    const QByteArray prefix = sd.Start.Prefix();
    QByteArray out = xml.left(sd.Start.Begin);
    int cursor, contentEnd;
    if (sd.Start.SelfClosing) {
        out += "<" + sd.Start.Name + ">";
        cursor = contentEnd = sd.Start.End;
    } else {
        out += xml.mid(sd.Start.Begin, sd.Start.End - sd.Start.Begin);
        cursor = sd.Start.End;
        contentEnd = sd.ContentEnd;
    }
    auto pending = rows.cbegin();
    int pos = cursor, last = 0;
    TXmlTag t;
    while (NextTag(xml, pos, t) && t.Begin < contentEnd) {
        if (t.Closing || t.LocalName() != "row") {
            pos = t.End;
            continue;
        }
        const TXmlElement row = CompleteElement(xml, t);
        if (!row.Found())
            return {};
        const QString r = Attribute(xml, t, "r");
        const int index = r.isNull() ? last + 1 : r.toInt();
        last = index;
        while (pending != rows.cend() && pending.key() < index) {
            out += xml.mid(cursor, t.Begin - cursor) + NewRow(prefix, pending.key(), pending.value());
            cursor = t.Begin;
            ++pending;
        }
        if (pending != rows.cend() && pending.key() == index) {
            out += xml.mid(cursor, t.Begin - cursor) + MergeRow(xml, row, index, pending.value(), formulaReplaced);
            cursor = row.End;
            ++pending;
        }
        pos = row.End;
    }
    out += xml.mid(cursor, contentEnd - cursor);
    for (; pending != rows.cend(); ++pending)
        out += NewRow(prefix, pending.key(), pending.value());
    if (sd.Start.SelfClosing)
        return out + "</" + sd.Start.Name + ">" + xml.mid(sd.Start.End);
    return out + xml.mid(contentEnd);
}

// The sheet without the stored results of its formulas, so that a reader
// that does not recalculate on opening computes them from the new values.
QByteArray WithoutFormulaResults(const QByteArray &xml)
{
    QByteArray out;
    int cursor = 0, pos = 0;
    TXmlTag t;
    while (NextTag(xml, pos, t)) {
        pos = t.End;
        if (t.Closing || t.SelfClosing || t.LocalName() != "c")
            continue;
        const TXmlElement c = CompleteElement(xml, t);
        if (!c.Found())
            break;
        pos = c.End;
        if (!FindElement(xml, "f", t.End, c.ContentEnd).Found())
            continue;
        const TXmlElement v = FindElement(xml, "v", t.End, c.ContentEnd);
        if (!v.Found())
            continue;
        out += xml.mid(cursor, v.Start.Begin - cursor);
        cursor = v.End;
    }
    return cursor == 0 ? xml : out + xml.mid(cursor);
}

// Offset after the last of the elements that come before definedNames.
int AfterSheets(const QByteArray &xml)
{
    int at = -1;
    for (const char *name : {"sheets", "functionGroups", "externalReferences"}) {
        const TXmlElement e = FindElement(xml, name);
        if (e.Found())
            at = std::max(at, e.End);
    }
    return at;
}

QByteArray InsertBeforeEnd(const QByteArray &xml, const QByteArray &localName, const QByteArray &what)
{
    const TXmlElement e = FindElement(xml, localName);
    if (!e.Found())
        return xml;
    if (e.Start.SelfClosing) {
        QByteArray start = xml.mid(e.Start.Begin, e.Start.End - e.Start.Begin);
        start.chop(2);
        return xml.left(e.Start.Begin) + start + ">" + what + "</" + e.Start.Name + ">" + xml.mid(e.End);
    }
    return xml.left(e.ContentEnd) + what + xml.mid(e.ContentEnd);
}

QByteArray RelPrefix(const QByteArray &xml)
{
    static const QRegularExpression decl(QStringLiteral("xmlns:([A-Za-z0-9_]+)=\"") +
                                         QRegularExpression::escape(QLatin1String(kRelNs)) + QLatin1Char('"'));
    const auto m = decl.match(QString::fromUtf8(xml.left(4096)));
    return m.hasMatch() ? m.captured(1).toUtf8() : QByteArray();
}

} // namespace

QByteArray TXlsxBook::WorkbookWithChanges(bool recalc)
{
    QByteArray xml = FPackage.Part(FWorkbookPart);
    const TXmlElement sheets = FindElement(xml, "sheets");
    const QByteArray prefix = sheets.Start.Prefix();
    // Sheets added for the curves.
    if (!FAddedSheets.isEmpty()) {
        const QString relsPart = RelsPart(FWorkbookPart);
        QByteArray rels = FPackage.Part(relsPart);
        QByteArray types = FPackage.Part(QStringLiteral("[Content_Types].xml"));
        const QMap<QString, TRel> known = ReadRels(FWorkbookPart);
        QByteArray rp = RelPrefix(xml);
        QByteArray entries;
        int n = 1;
        for (int index : FAddedSheets) {
            const TSheet &s = *FSheets[index];
            QString id;
            do
                id = QStringLiteral("rIdKv%1").arg(n++);
            while (known.contains(id));
            const QString target = s.Part.mid(Folder(FWorkbookPart).size());
            rels = InsertBeforeEnd(rels, "Relationships",
                                   "<Relationship Id=\"" + id.toUtf8() + "\" Type=\"" + QByteArray(kRelType) +
                                       "worksheet\" Target=\"" + Escape(target) + "\"/>");
            types = InsertBeforeEnd(types, "Types",
                                    "<Override PartName=\"/" + Escape(s.Part) + "\" ContentType=\"" + kSheetType + "\"/>");
            entries += "<" + prefix + "sheet name=\"" + Escape(s.Name) + "\" sheetId=\"" + QByteArray::number(s.SheetId) +
                       "\" " + (rp.isEmpty() ? "xmlns:kvr=\"" + QByteArray(kRelNs) + "\" kvr" : rp) + ":id=\"" +
                       id.toUtf8() + "\"/>";
        }
        FPackage.SetPart(relsPart, rels);
        FPackage.SetPart(QStringLiteral("[Content_Types].xml"), types);
        xml = InsertBeforeEnd(xml, "sheets", entries);
        FAddedSheets.clear();
    }
    // The marks: other names keep their bytes, the new marks follow them.
    if (FMarksChanged) {
        QByteArray names;
        const TXmlElement dn = FindElement(xml, "definedNames");
        if (dn.Found() && !dn.Start.SelfClosing) {
            int pos = dn.Start.End, cursor = dn.Start.End;
            TXmlTag t;
            while (NextTag(xml, pos, t) && t.Begin < dn.ContentEnd) {
                if (t.Closing || t.LocalName() != "definedName") {
                    pos = t.End;
                    continue;
                }
                const TXmlElement e = CompleteElement(xml, t);
                const bool mark = Attribute(xml, t, "localSheetId").isNull() &&
                                  Attribute(xml, t, "name").startsWith(FMarkPrefix, Qt::CaseInsensitive);
                if (mark) {
                    names += xml.mid(cursor, t.Begin - cursor);
                    cursor = e.End;
                }
                pos = e.End;
            }
            names += xml.mid(cursor, dn.ContentEnd - cursor);
        }
        for (const TDefinedName &m : FNewMarks)
            names += "<" + prefix + "definedName name=\"" + Escape(m.Name) + "\">" + Escape(m.RefersTo) + "</" + prefix +
                     "definedName>";
        const bool any = !names.trimmed().isEmpty();
        const QByteArray element = any ? "<" + prefix + "definedNames>" + names + "</" + prefix + "definedNames>" : QByteArray();
        if (dn.Found())
            xml = xml.left(dn.Start.Begin) + element + xml.mid(dn.End);
        else if (any) {
            const int at = AfterSheets(xml);
            if (at >= 0)
                xml = xml.left(at) + element + xml.mid(at);
        }
    }
    // Formulas over the written cells are computed again when the file opens.
    if (recalc) {
        const TXmlElement calc = FindElement(xml, "calcPr");
        if (calc.Found()) {
            QByteArray tag = WithoutAttribute(xml.mid(calc.Start.Begin, calc.Start.End - calc.Start.Begin), "fullCalcOnLoad");
            tag.insert(1 + calc.Start.Name.size(), " fullCalcOnLoad=\"1\"");
            xml = xml.left(calc.Start.Begin) + tag + xml.mid(calc.Start.End);
        } else {
            const TXmlElement dn = FindElement(xml, "definedNames");
            const int at = dn.Found() ? dn.End : AfterSheets(xml);
            if (at >= 0)
                xml = xml.left(at) + "<" + prefix + "calcPr fullCalcOnLoad=\"1\"/>" + xml.mid(at);
        }
    }
    return xml;
}

void TXlsxBook::DropCalcChain()
{
    // A cell that lost its formula must not stay in the calculation chain.
    const QMap<QString, TRel> rels0 = ReadRels(FWorkbookPart);
    for (auto it = rels0.cbegin(); it != rels0.cend(); ++it) {
        if (!it->Type.endsWith(QLatin1String("/calcChain")))
            continue;
        FPackage.RemovePart(it->Target);
        const QString relsPart = RelsPart(FWorkbookPart);
        QByteArray rels = FPackage.Part(relsPart);
        int pos = 0;
        TXmlTag t;
        while (NextTag(rels, pos, t)) {
            pos = t.End;
            if (!t.Closing && t.LocalName() == "Relationship" && Attribute(rels, t, "Id") == it.key()) {
                rels = rels.left(t.Begin) + rels.mid(CompleteElement(rels, t).End);
                break;
            }
        }
        FPackage.SetPart(relsPart, rels);
        QByteArray types = FPackage.Part(QStringLiteral("[Content_Types].xml"));
        pos = 0;
        while (NextTag(types, pos, t)) {
            pos = t.End;
            if (!t.Closing && t.LocalName() == "Override" && Attribute(types, t, "PartName") == QLatin1Char('/') + it->Target) {
                types = types.left(t.Begin) + types.mid(CompleteElement(types, t).End);
                break;
            }
        }
        FPackage.SetPart(QStringLiteral("[Content_Types].xml"), types);
        return;
    }
}

bool TXlsxBook::SaveAs(const QString &file, QString *error)
{
    bool anyCell = false, formulaReplaced = false;
    for (TSheet *s : FSheets) {
        if (s->Edits.isEmpty())
            continue;
        anyCell = true;
        const QByteArray xml = ApplyCells(FPackage.Part(s->Part), s->Edits, formulaReplaced);
        if (xml.isEmpty()) {
            if (error)
                *error = Tr("工作表%1无法写入").arg(s->Name);
            return false;
        }
        FPackage.SetPart(s->Part, xml);
        // The cells as written are the sheet's cells from now on.
        s->Loaded = false;
        s->Cells.clear();
        s->Merged.clear();
        s->Widths.clear();
        s->Edits.clear();
    }
    if (anyCell)
        for (TSheet *s : FSheets)
            FPackage.SetPart(s->Part, WithoutFormulaResults(FPackage.Part(s->Part)));
    if (!FAddedSheets.isEmpty() || FMarksChanged || anyCell) {
        FPackage.SetPart(FWorkbookPart, WorkbookWithChanges(anyCell));
        if (FMarksChanged) {
            FNames = DefinedNames();
            FMarksChanged = false;
        }
    }
    if (formulaReplaced)
        DropCalcChain();
    return FPackage.Write(file, error);
}

} // namespace kv::xlsx
