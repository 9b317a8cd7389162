#!/usr/bin/env python3
"""Writes the spreadsheet test files under tests/data/spreadsheet/ (run from anywhere)."""
import os
import zipfile

out = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tests', 'data', 'spreadsheet')
os.chdir(out)

# An .xlsx as Excel writes it: shared strings, a title row, the 姓名 column in B, rich text, a number.
shared = ['三年级二班学生名单', '序号', '姓名', '性别', '张三', '男', '女', '欧阳娜娜', ' 李四 ']


def si(t):
    if t == '欧阳娜娜':  # rich text in two runs
        return '<si><r><t>欧阳</t></r><r><rPr><b/></rPr><t>娜娜</t></r></si>'
    return f'<si><t xml:space="preserve">{t}</t></si>'


def c(ref, s=None, n=None, inline=None):
    if s is not None:
        return f'<c r="{ref}" t="s"><v>{s}</v></c>'
    if inline is not None:
        return f'<c r="{ref}" t="inlineStr"><is><t>{inline}</t></is></c>'
    return f'<c r="{ref}"><v>{n}</v></c>'


MAIN = 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'
sst = f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<sst xmlns="{MAIN}">' + ''.join(si(t) for t in shared) + '</sst>'
rows = [
    f'<row r="1">{c("A1", s=0)}</row>',
    f'<row r="2">{c("A2", s=1)}{c("B2", s=2)}{c("C2", s=3)}</row>',
    f'<row r="3">{c("A3", n=1)}{c("B3", s=4)}{c("C3", s=5)}</row>',
    f'<row r="4">{c("A4", n=2)}{c("C4", s=6)}</row>',
    f'<row r="6">{c("A6", n=3)}{c("B6", s=7)}{c("C6", s=6)}</row>',
    f'<row r="7">{c("A7", n=4)}{c("B7", s=8)}{c("C7", s=5)}</row>',
    f'<row r="8">{c("A8", n=5)}{c("B8", inline="王五")}</row>',
]
sheet = f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<worksheet xmlns="{MAIN}"><sheetData>' + ''.join(rows) + '</sheetData></worksheet>'
other = f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<worksheet xmlns="{MAIN}"><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>别的表</t></is></c></row></sheetData></worksheet>'
R = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'
workbook = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<workbook xmlns="{MAIN}" xmlns:r="{R}"><sheets>'
            '<sheet name="名单" sheetId="1" r:id="rId7"/><sheet name="其他" sheetId="2" r:id="rId1"/></sheets></workbook>')
rels = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        f'<Relationship Id="rId1" Type="{R}/worksheet" Target="worksheets/sheet1.xml"/>'
        f'<Relationship Id="rId7" Type="{R}/worksheet" Target="worksheets/sheet2.xml"/>'
        f'<Relationship Id="rId3" Type="{R}/sharedStrings" Target="sharedStrings.xml"/></Relationships>')
ct = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
      '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
      '<Default Extension="xml" ContentType="application/xml"/></Types>')
with zipfile.ZipFile('names.xlsx', 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('[Content_Types].xml', ct)
    z.writestr('xl/workbook.xml', workbook)
    z.writestr('xl/_rels/workbook.xml.rels', rels)
    z.writestr('xl/sharedStrings.xml', sst)
    z.writestr('xl/worksheets/sheet1.xml', other)  # the workbook names sheet2.xml first
    z.writestr('xl/worksheets/sheet2.xml', sheet)

# An .ods: repeated columns and rows (a million blank rows at the end), a title of two
# paragraphs, a second sheet.
NS = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
      'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
      'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"')


def cell(t=None, rep=None):
    r = f' table:number-columns-repeated="{rep}"' if rep else ''
    if t is None:
        return f'<table:table-cell{r}/>'
    return f'<table:table-cell{r} office:value-type="string"><text:p>{t}</text:p></table:table-cell>'


def row(cells, rep=None):
    r = f' table:number-rows-repeated="{rep}"' if rep else ''
    return f'<table:table-row{r}>{"".join(cells)}</table:table-row>'


title = '<table:table-cell office:value-type="string"><text:p>三年级</text:p><text:p>学生名单</text:p></table:table-cell>'
content = (f'<?xml version="1.0" encoding="UTF-8"?>\n<office:document-content {NS} office:version="1.2">'
           '<office:body><office:spreadsheet><table:table table:name="名单">'
           + row([title, cell(rep=1023)])
           + row([cell('学号'), cell('学生姓名'), cell(rep=1022)])
           + row([cell('1'), cell('张三'), cell(rep=1022)])
           + row([cell(rep=1024)], rep=2)
           + row([cell('2'), cell('李四'), cell(rep=1022)])
           + row([cell(rep=1024)], rep=1048570)
           + '</table:table><table:table table:name="其他">' + row([cell('别的表')])
           + '</table:table></office:spreadsheet></office:body></office:document-content>')
manifest = ('<?xml version="1.0" encoding="UTF-8"?><manifest:manifest '
            'xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"><manifest:file-entry '
            'manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>'
            '</manifest:manifest>')
with zipfile.ZipFile('names.ods', 'w') as z:
    z.writestr(zipfile.ZipInfo('mimetype'), 'application/vnd.oasis.opendocument.spreadsheet')
    z.writestr('content.xml', content, compress_type=zipfile.ZIP_DEFLATED)
    z.writestr('META-INF/manifest.xml', manifest, compress_type=zipfile.ZIP_DEFLATED)

# A spreadsheet protected by a password is an OLE compound file, not a ZIP archive.
with open('protected.xlsx', 'wb') as f:
    f.write(bytes.fromhex('D0CF11E0A1B11AE1') + b'\0' * 504)
with open('damaged.ods', 'wb') as f:
    f.write(b'PK\x03\x04 this is not a spreadsheet at all' * 3)

# A class of 101 as a school office keeps it, saved by LibreOffice Calc itself (class101.xlsx,
# class101.ods): a merged title row, a heading row, a 班级 column merged down each half of the
# class, an empty row between the halves, and one name merged across two columns.
SURNAMES = '王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗'
GIVEN = ['子涵', '欣怡', '梓轩', '浩然', '雨桐']
names = [SURNAMES[i % 20] + GIVEN[(i // 20) % 5] + ('' if i < 100 else '甲') for i in range(101)]



def spanned(t, cols=1, rows=1):
    return (f'<table:table-cell table:number-columns-spanned="{cols}" table:number-rows-spanned="{rows}" '
            f'office:value-type="string"><text:p>{t}</text:p></table:table-cell>')


def number(n):
    return f'<table:table-cell office:value-type="float" office:value="{n}"><text:p>{n}</text:p></table:table-cell>'


covered = '<table:covered-table-cell/>'
body = row([spanned('三年级二班学生名单', cols=4), covered * 3])
body += row([cell('班级'), cell('学号'), cell('姓名'), cell('备注')])
for half, (start, end) in enumerate([(0, 50), (50, 101)]):
    if half:
        body += row([cell(rep=4)])
    for i in range(start, end):
        first = spanned('三年级二班', rows=end - start) if i == start else covered
        if i == 77:
            body += row([first, number(i + 1), spanned(names[i], cols=2), covered])
        else:
            body += row([first, number(i + 1), cell(names[i]), cell('转入' if i == 30 else None)])
fods = (f'<?xml version="1.0" encoding="UTF-8"?>\n<office:document {NS} office:version="1.2" '
        'office:mimetype="application/vnd.oasis.opendocument.spreadsheet">'
        '<office:body><office:spreadsheet><table:table table:name="名单">'
        + body + '</table:table></office:spreadsheet></office:body></office:document>')
with open('class101.txt', 'w', encoding='utf-8') as f:
    f.write(''.join(n + '\r\n' for n in names))
import shutil
import subprocess
import tempfile
with tempfile.TemporaryDirectory() as work:
    with open(os.path.join(work, 'class101.fods'), 'w', encoding='utf-8') as f:
        f.write(fods)
    for kind in ('xlsx', 'ods'):
        subprocess.run(['soffice', f'-env:UserInstallation=file://{work}/profile', '--headless',
                        '--convert-to', kind, '--outdir', work, os.path.join(work, 'class101.fods')],
                       check=True, capture_output=True)
        shutil.copy(os.path.join(work, f'class101.{kind}'), f'class101.{kind}')
