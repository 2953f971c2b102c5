<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>TModuleText</name>
    <message>
        <source>水泥胶砂抗折</source>
        <translation>Cement mortar flexure</translation>
    </message>
    <message>
        <source>加载速度(N/s)</source>
        <translation>Loading rate (N/s)</translation>
    </message>
    <message>
        <source>保存成功</source>
        <translation>Saved</translation>
    </message>
    <message>
        <source>保存失败</source>
        <translation>Saving failed</translation>
    </message>
    <message>
        <source>边长*跨距</source>
        <translation>Side*span</translation>
    </message>
    <message>
        <source>水泥抗折结果数据：</source>
        <translation>Cement flexural results:</translation>
    </message>
    <message>
        <source>边长*跨距(mm)</source>
        <translation>Side*span (mm)</translation>
    </message>
    <message>
        <source>力值(N)</source>
        <translation>Force (N)</translation>
    </message>
    <message>
        <source>边长输入错误</source>
        <translation>The side is not correct</translation>
    </message>
    <message>
        <source>跨距输入错误</source>
        <translation>The span is not correct</translation>
    </message>
    <message>
        <source>边长</source>
        <translation>Side</translation>
    </message>
    <message>
        <source>跨距</source>
        <translation>Span</translation>
    </message>
</context>
</TS>
