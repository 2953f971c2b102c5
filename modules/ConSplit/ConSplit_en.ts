<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>TModuleText</name>
    <message>
        <source>普通混凝土劈裂抗拉</source>
        <translation>Concrete splitting tension</translation>
    </message>
</context>
</TS>
