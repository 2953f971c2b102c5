<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>TModuleText</name>
    <message>
        <source>普通混凝土轴心抗压</source>
        <translation>Concrete axial compression</translation>
    </message>
</context>
</TS>
