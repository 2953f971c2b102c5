<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>TModuleText</name>
    <message>
        <source>试件龄期(天)</source>
        <translation>Age (days)</translation>
    </message>
    <message>
        <source>试件规格(mm)</source>
        <translation>Specimen size (mm)</translation>
    </message>
    <message>
        <source>试件块数</source>
        <translation>Specimens</translation>
    </message>
    <message>
        <source>试件块数错误</source>
        <translation>Wrong number of specimens</translation>
    </message>
    <message>
        <source>应力速度(MPa/s)</source>
        <translation>Stress rate (MPa/s)</translation>
    </message>
    <message>
        <source>修正系数</source>
        <translation>Size coefficient</translation>
    </message>
    <message>
        <source>载荷速度(kN/s)</source>
        <translation>Load rate (kN/s)</translation>
    </message>
    <message>
        <source>系数输入不正确</source>
        <translation>The coefficient is not valid</translation>
    </message>
    <message>
        <source>龄  期</source>
        <translation>Age</translation>
    </message>
</context>
</TS>
