<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>TModuleText</name>
    <message>
        <source>试件品种</source>
        <translation>Variety</translation>
    </message>
    <message>
        <source>试件龄期(天)</source>
        <translation>Age (days)</translation>
    </message>
    <message>
        <source>试件块数</source>
        <translation>Specimens</translation>
    </message>
    <message>
        <source>水泥胶砂抗压</source>
        <translation>Cement mortar compression</translation>
    </message>
    <message>
        <source>试件规格(mm)</source>
        <translation>Size (mm)</translation>
    </message>
    <message>
        <source>加载速度(kN/s)</source>
        <translation>Loading rate (kN/s)</translation>
    </message>
    <message>
        <source>水泥抗压结果数据：</source>
        <translation>Cement compressive results:</translation>
    </message>
    <message>
        <source>试件规格(mm * mm)</source>
        <translation>Size (mm * mm)</translation>
    </message>
    <message>
        <source>试样品种</source>
        <translation>Variety</translation>
    </message>
    <message>
        <source>龄  期</source>
        <translation>Age</translation>
    </message>
</context>
</TS>
