<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>TModuleText</name>
    <message>
        <source>试件数量错误</source>
        <translation>Wrong number of specimens</translation>
    </message>
    <message>
        <source>水泥抗折结果数据：</source>
        <translation>Cement flexural results:</translation>
    </message>
    <message>
        <source>边长(mm)</source>
        <translation>Side (mm)</translation>
    </message>
    <message>
        <source>跨距(mm)</source>
        <translation>Span (mm)</translation>
    </message>
    <message>
        <source>力值(N)</source>
        <translation>Force (N)</translation>
    </message>
    <message>
        <source>抗折有效力值</source>
        <translation>Flexural valid force</translation>
    </message>
    <message>
        <source>抗折有效强度</source>
        <translation>Flexural valid strength</translation>
    </message>
    <message>
        <source>抗折载荷</source>
        <translation>Flexural load</translation>
    </message>
    <message>
        <source>抗折强度</source>
        <translation>Flexural strength</translation>
    </message>
    <message>
        <source>抗折边长</source>
        <translation>Flexural side</translation>
    </message>
    <message>
        <source>抗折跨距</source>
        <translation>Flexural span</translation>
    </message>
</context>
</TS>
