<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>TModuleText</name>
    <message>
        <source>普通混凝土抗折</source>
        <translation>Concrete flexure</translation>
    </message>
    <message>
        <source>折断面是否在集中载荷之内?</source>
        <translation>Did the beam break between the load points?</translation>
    </message>
</context>
</TS>
