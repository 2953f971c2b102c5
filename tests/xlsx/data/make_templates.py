#!/usr/bin/env python3
"""Writes the two report templates of the workbook tests as flat OpenDocument
spreadsheets and lets LibreOffice save them as .xlsx (run by hand, needs
soffice; the .xlsx files are kept beside this script)."""
import base64, os, struct, subprocess, sys, tempfile, zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def png(width, height):
    """A small red and blue picture, the lab's logo."""
    rows = b""
    for y in range(height):
        rows += b"\0" + b"".join(bytes((200, 30, 30) if (x // 4 + y // 4) % 2 else (30, 30, 200)) for x in range(width))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" xmlns:xlink="http://www.w3.org/1999/xlink"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
 <number:number-style style:name="N1"><number:number number:decimal-places="1" number:min-decimal-places="1" number:min-integer-digits="1"/></number:number-style>
 <number:number-style style:name="N2"><number:number number:decimal-places="2" number:min-decimal-places="2" number:min-integer-digits="1"/></number:number-style>
 <style:style style:name="co1" style:family="table-column"><style:table-column-properties style:column-width="32mm"/></style:style>
 <style:style style:name="ta1" style:family="table" style:master-page-name="mp1"><style:table-properties table:display="true"/></style:style>
 <style:style style:name="ta2" style:family="table" style:master-page-name="mp2"><style:table-properties table:display="true"/></style:style>
 <style:style style:name="title" style:family="table-cell"><style:table-cell-properties style:vertical-align="middle"/><style:paragraph-properties fo:text-align="center"/><style:text-properties fo:font-size="16pt" fo:font-weight="bold" style:font-size-asian="16pt" style:font-weight-asian="bold"/></style:style>
 <style:style style:name="bold" style:family="table-cell"><style:text-properties fo:font-weight="bold" style:font-weight-asian="bold"/></style:style>
 <style:style style:name="box" style:family="table-cell"><style:table-cell-properties fo:border="0.5pt solid #000000"/></style:style>
 <style:style style:name="f1" style:family="table-cell" style:data-style-name="N1"><style:table-cell-properties fo:border="0.5pt solid #000000"/></style:style>
 <style:style style:name="f2" style:family="table-cell" style:data-style-name="N2"><style:table-cell-properties fo:border="0.5pt solid #000000"/></style:style>
 <style:page-layout style:name="pm1"><style:page-layout-properties fo:page-width="297mm" fo:page-height="210mm" style:print-orientation="landscape" fo:margin-top="15mm" fo:margin-bottom="15mm" fo:margin-left="20mm" fo:margin-right="20mm"/></style:page-layout>
 <style:page-layout style:name="pm2"><style:page-layout-properties fo:page-width="210mm" fo:page-height="297mm" style:print-orientation="portrait" style:scale-to-pages="1"/></style:page-layout>
</office:automatic-styles>
<office:master-styles><style:master-page style:name="mp1" style:page-layout-name="pm1"/><style:master-page style:name="mp2" style:page-layout-name="pm2"/></office:master-styles>
<office:body><office:spreadsheet>
"""
TAIL = "</office:spreadsheet></office:body></office:document>\n"


def cell(text="", style=None, span=None, formula=None, number=None, inner=""):
    a = ' table:style-name="%s"' % style if style else ""
    if span:
        a += ' table:number-columns-spanned="%d" table:number-rows-spanned="1"' % span
    if formula:
        a += ' table:formula="%s" office:value-type="float" office:value="0"' % formula
    if number is not None:
        a += ' office:value-type="float" office:value="%s"' % number
        text = str(number)
    body = inner + ("<text:p>%s</text:p>" % text if text else "")
    out = "<table:table-cell%s>%s</table:table-cell>" % (a, body)
    if span:
        out += "<table:covered-table-cell/>" * (span - 1)
    return out


def row(*cells):
    return "<table:table-row>" + "".join(cells) + "</table:table-row>\n"


def names(pairs):
    out = "<table:named-expressions>"
    for name, ref in pairs:
        base = ref.split(":")[0]
        out += '<table:named-range table:name="%s" table:base-cell-address="%s" table:cell-range-address="%s"/>' % (name, base, ref)
    return out + "</table:named-expressions>\n"


def cemcomp_report():
    logo = base64.b64encode(png(24, 12)).decode()
    frame = ('<draw:frame draw:z-index="0" draw:name="logo" svg:width="24mm" svg:height="12mm" svg:x="2mm" svg:y="1mm">'
             '<draw:image><office:binary-data>%s</office:binary-data></draw:image></draw:frame>' % logo)
    t = ('<table:table table:name="报告" table:style-name="ta1" table:print-ranges="$报告.$A$1:.$F$16">'
         '<table:table-column table:style-name="co1" table:number-columns-repeated="6"/>\n')
    t += row(cell("水泥胶砂抗压强度检验报告", "title", span=6))
    t += row()
    t += row(cell("试验编号", "bold"), cell(style="box"), cell("龄期(天)", "bold"), cell(style="box"), cell("品种", "bold"), cell(style="box"))
    t += row(cell("试验日期", "bold"), cell(style="box"), cell("试验员", "bold"), cell(style="box"), cell("试验标准", "bold"), cell(style="box"))
    t += row()
    t += row(cell("序号", "bold"), cell("载荷(kN)", "bold"), cell("强度(MPa)", "bold"), cell("规格", "bold"), cell(inner=frame))
    for k in range(1, 7):
        t += row(cell(number=k), cell(style="f2"), cell(style="f1"), cell(style="box"))
    t += row(cell("有效力值(kN)", "bold"), cell(style="f2"))
    t += row(cell("有效强度(MPa)", "bold"), cell(style="f1", span=2))
    t += row(cell("平均强度", "bold"), cell(style="f1", formula="of:=AVERAGE([.C7:.C12])"))
    t += "</table:table>\n"
    t += ('<table:table table:name="曲线" table:style-name="ta2"><table:table-column table:number-columns-repeated="4"/>'
          + row(cell("时间(s)", "bold"), cell("力值(kN)", "bold")) + "</table:table>\n")
    marks = [("DIY_组号", "$报告.$B$3"), ("DIY_龄期", "$报告.$D$3"), ("DIY_品种", "$报告.$F$3"),
             ("DIY_试验日期", "$报告.$B$4"), ("DIY_试验员", "$报告.$D$4"), ("DIY_试验标准", "$报告.$F$4"),
             ("DIY_有效力值", "$报告.$B$13"), ("DIY_有效强度", "$报告.$B$14:$报告.$C$14"), ("实验室", "$报告.$A$1")]
    for k in range(1, 7):
        marks += [("DIY_载荷_%d" % k, "$报告.$B$%d" % (6 + k)), ("DIY_强度_%d" % k, "$报告.$C$%d" % (6 + k)),
                  ("DIY_规格_%d" % k, "$报告.$D$%d" % (6 + k))]
    return HEAD + t + names(marks) + TAIL


def horizontal():
    t = ('<table:table table:name="Sheet1" table:style-name="ta2">'
         '<table:table-column table:style-name="co1" table:number-columns-repeated="7"/>\n')
    t += row(cell("Flexural report", "title", span=7))
    t += row(cell("Group", "bold"), cell(style="box"))
    t += row()
    t += row(cell("Strength", "bold"), cell(style="f1"), cell(), cell(style="f1"), cell(), cell(style="f1"))
    t += row()
    t += row(cell("Valid", "bold"), cell(style="f1", span=3))
    t += "</table:table>\n"
    marks = [("Lab_name", "$Sheet1.$A$1"), ("DIY_组号", "$Sheet1.$B$2"), ("DIY_强度_1", "$Sheet1.$B$4"),
             ("DIY_强度_2", "$Sheet1.$D$4"), ("DIY_强度_3", "$Sheet1.$F$4"), ("DIY_有效强度", "$Sheet1.$B$6")]
    return HEAD + t + names(marks) + TAIL


def main():
    with tempfile.TemporaryDirectory() as tmp:
        for name, text in (("cemcomp_report", cemcomp_report()), ("horizontal", horizontal())):
            src = os.path.join(tmp, name + ".fods")
            with open(src, "w", encoding="utf-8") as f:
                f.write(text)
            subprocess.run(["soffice", "--headless", "--norestore", "-env:UserInstallation=file://" + tmp + "/profile",
                            "--convert-to", "xlsx:Calc MS Excel 2007 XML", "--outdir", HERE, src], check=True)


if __name__ == "__main__":
    sys.exit(main())
