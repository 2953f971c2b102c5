<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>Message</name>
    <message>
        <location filename="../platform/ui/MessageService.cpp" line="34"/>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <location filename="../platform/ui/MessageService.cpp" line="53"/>
        <location filename="../platform/ui/MessageService.cpp" line="55"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../platform/ui/MessageService.cpp" line="56"/>
        <location filename="../platform/ui/MessageService.cpp" line="65"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../platform/ui/MessageService.cpp" line="59"/>
        <location filename="../platform/ui/MessageService.cpp" line="63"/>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <location filename="../platform/ui/MessageService.cpp" line="60"/>
        <location filename="../platform/ui/MessageService.cpp" line="64"/>
        <source>否</source>
        <translation>No</translation>
    </message>
</context>
<context>
    <name>kv::TBaseParams</name>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="17"/>
        <source>否|是</source>
        <translation>No|Yes</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="18"/>
        <source>是|否</source>
        <translation>Yes|No</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="19"/>
        <source>自动|手动</source>
        <translation>Automatic|Manual</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="20"/>
        <source>多点判断|一点判断</source>
        <translation>Multi-point|One-point</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="21"/>
        <source>与上一点比较|与最大点比较</source>
        <translation>Compare with previous point|Compare with maximum point</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="60"/>
        <location filename="../src/link/ParamTables.cpp" line="136"/>
        <location filename="../src/link/ParamTables.cpp" line="215"/>
        <source>系统最大力</source>
        <translation>Maximum force of the system</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="61"/>
        <location filename="../src/link/ParamTables.cpp" line="137"/>
        <location filename="../src/link/ParamTables.cpp" line="216"/>
        <source>控制入口力值</source>
        <translation>Control entry force</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="62"/>
        <location filename="../src/link/ParamTables.cpp" line="138"/>
        <location filename="../src/link/ParamTables.cpp" line="217"/>
        <source>起始力值</source>
        <translation>Start force</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="63"/>
        <location filename="../src/link/ParamTables.cpp" line="139"/>
        <location filename="../src/link/ParamTables.cpp" line="218"/>
        <source>运行等待时间</source>
        <translation>Run wait time</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="64"/>
        <location filename="../src/link/ParamTables.cpp" line="140"/>
        <location filename="../src/link/ParamTables.cpp" line="219"/>
        <source>卸载延时</source>
        <translation>Unloading delay</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="65"/>
        <location filename="../src/link/ParamTables.cpp" line="141"/>
        <location filename="../src/link/ParamTables.cpp" line="220"/>
        <source>破碎起判力值</source>
        <translation>Break judgement start force</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="66"/>
        <location filename="../src/link/ParamTables.cpp" line="144"/>
        <location filename="../src/link/ParamTables.cpp" line="223"/>
        <source>带手动控制</source>
        <translation>Manual control fitted</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="67"/>
        <location filename="../src/link/ParamTables.cpp" line="145"/>
        <location filename="../src/link/ParamTables.cpp" line="224"/>
        <source>阀口初始开度</source>
        <translation>Initial valve opening</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="67"/>
        <location filename="../src/link/ParamTables.cpp" line="145"/>
        <location filename="../src/link/ParamTables.cpp" line="224"/>
        <source>初始开度</source>
        <translation>Initial opening</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="68"/>
        <location filename="../src/link/ParamTables.cpp" line="146"/>
        <location filename="../src/link/ParamTables.cpp" line="225"/>
        <source>阀口中位</source>
        <translation>Valve middle position</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="69"/>
        <location filename="../src/link/ParamTables.cpp" line="147"/>
        <location filename="../src/link/ParamTables.cpp" line="226"/>
        <source>刚接触时的回退量</source>
        <translation>Back-off on first contact</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="70"/>
        <location filename="../src/link/ParamTables.cpp" line="148"/>
        <location filename="../src/link/ParamTables.cpp" line="227"/>
        <source>区别12段的力值</source>
        <translation>Force between sections 1 and 2</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="71"/>
        <location filename="../src/link/ParamTables.cpp" line="149"/>
        <location filename="../src/link/ParamTables.cpp" line="228"/>
        <source>区别23段的力值</source>
        <translation>Force between sections 2 and 3</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="72"/>
        <location filename="../src/link/ParamTables.cpp" line="150"/>
        <location filename="../src/link/ParamTables.cpp" line="229"/>
        <source>正常控制的第一段KP</source>
        <translation>Loading control section 1 KP</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="73"/>
        <location filename="../src/link/ParamTables.cpp" line="151"/>
        <location filename="../src/link/ParamTables.cpp" line="230"/>
        <source>正常控制的第一段KI</source>
        <translation>Loading control section 1 KI</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="74"/>
        <location filename="../src/link/ParamTables.cpp" line="152"/>
        <location filename="../src/link/ParamTables.cpp" line="231"/>
        <source>正常控制的第二段KP</source>
        <translation>Loading control section 2 KP</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="75"/>
        <location filename="../src/link/ParamTables.cpp" line="153"/>
        <location filename="../src/link/ParamTables.cpp" line="232"/>
        <source>正常控制的第二段KI</source>
        <translation>Loading control section 2 KI</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="76"/>
        <location filename="../src/link/ParamTables.cpp" line="154"/>
        <location filename="../src/link/ParamTables.cpp" line="233"/>
        <source>正常控制的第三段KP</source>
        <translation>Loading control section 3 KP</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="77"/>
        <location filename="../src/link/ParamTables.cpp" line="155"/>
        <location filename="../src/link/ParamTables.cpp" line="234"/>
        <source>正常控制的第三段KI</source>
        <translation>Loading control section 3 KI</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="78"/>
        <location filename="../src/link/ParamTables.cpp" line="156"/>
        <location filename="../src/link/ParamTables.cpp" line="235"/>
        <source>定荷控制的第一段KP</source>
        <translation>Constant-load control section 1 KP</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="79"/>
        <location filename="../src/link/ParamTables.cpp" line="157"/>
        <location filename="../src/link/ParamTables.cpp" line="236"/>
        <source>定荷控制的第一段KI</source>
        <translation>Constant-load control section 1 KI</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="80"/>
        <location filename="../src/link/ParamTables.cpp" line="158"/>
        <location filename="../src/link/ParamTables.cpp" line="237"/>
        <source>定荷控制的第二段KP</source>
        <translation>Constant-load control section 2 KP</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="81"/>
        <location filename="../src/link/ParamTables.cpp" line="159"/>
        <location filename="../src/link/ParamTables.cpp" line="238"/>
        <source>定荷控制的第二段KI</source>
        <translation>Constant-load control section 2 KI</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="82"/>
        <location filename="../src/link/ParamTables.cpp" line="160"/>
        <location filename="../src/link/ParamTables.cpp" line="239"/>
        <source>定荷控制的第三段KP</source>
        <translation>Constant-load control section 3 KP</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="83"/>
        <location filename="../src/link/ParamTables.cpp" line="161"/>
        <location filename="../src/link/ParamTables.cpp" line="240"/>
        <source>定荷控制的第三段KI</source>
        <translation>Constant-load control section 3 KI</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="84"/>
        <location filename="../src/link/ParamTables.cpp" line="162"/>
        <location filename="../src/link/ParamTables.cpp" line="241"/>
        <source>最大输出控制量</source>
        <translation>Largest control output</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="85"/>
        <location filename="../src/link/ParamTables.cpp" line="163"/>
        <location filename="../src/link/ParamTables.cpp" line="242"/>
        <source>最小输出控制量</source>
        <translation>Smallest control output</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="86"/>
        <location filename="../src/link/ParamTables.cpp" line="164"/>
        <location filename="../src/link/ParamTables.cpp" line="243"/>
        <source>第1点力值</source>
        <translation>Force of point 1</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="87"/>
        <location filename="../src/link/ParamTables.cpp" line="165"/>
        <location filename="../src/link/ParamTables.cpp" line="244"/>
        <source>第1点力码</source>
        <translation>Code of point 1</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="88"/>
        <location filename="../src/link/ParamTables.cpp" line="166"/>
        <location filename="../src/link/ParamTables.cpp" line="245"/>
        <source>第2点力值</source>
        <translation>Force of point 2</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="89"/>
        <location filename="../src/link/ParamTables.cpp" line="167"/>
        <location filename="../src/link/ParamTables.cpp" line="246"/>
        <source>第2点力码</source>
        <translation>Code of point 2</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="90"/>
        <location filename="../src/link/ParamTables.cpp" line="168"/>
        <location filename="../src/link/ParamTables.cpp" line="247"/>
        <source>第3点力值</source>
        <translation>Force of point 3</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="91"/>
        <location filename="../src/link/ParamTables.cpp" line="169"/>
        <location filename="../src/link/ParamTables.cpp" line="248"/>
        <source>第3点力码</source>
        <translation>Code of point 3</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="92"/>
        <location filename="../src/link/ParamTables.cpp" line="170"/>
        <location filename="../src/link/ParamTables.cpp" line="249"/>
        <source>第4点力值</source>
        <translation>Force of point 4</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="93"/>
        <location filename="../src/link/ParamTables.cpp" line="171"/>
        <location filename="../src/link/ParamTables.cpp" line="250"/>
        <source>第4点力码</source>
        <translation>Code of point 4</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="94"/>
        <location filename="../src/link/ParamTables.cpp" line="172"/>
        <location filename="../src/link/ParamTables.cpp" line="251"/>
        <source>第5点力值</source>
        <translation>Force of point 5</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="95"/>
        <location filename="../src/link/ParamTables.cpp" line="173"/>
        <location filename="../src/link/ParamTables.cpp" line="252"/>
        <source>第5点力码</source>
        <translation>Code of point 5</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="96"/>
        <location filename="../src/link/ParamTables.cpp" line="174"/>
        <location filename="../src/link/ParamTables.cpp" line="253"/>
        <source>第6点力值</source>
        <translation>Force of point 6</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="97"/>
        <location filename="../src/link/ParamTables.cpp" line="175"/>
        <location filename="../src/link/ParamTables.cpp" line="254"/>
        <source>第6点力码</source>
        <translation>Code of point 6</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="98"/>
        <location filename="../src/link/ParamTables.cpp" line="176"/>
        <location filename="../src/link/ParamTables.cpp" line="255"/>
        <source>第7点力值</source>
        <translation>Force of point 7</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="99"/>
        <location filename="../src/link/ParamTables.cpp" line="177"/>
        <location filename="../src/link/ParamTables.cpp" line="256"/>
        <source>第7点力码</source>
        <translation>Code of point 7</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="100"/>
        <location filename="../src/link/ParamTables.cpp" line="178"/>
        <location filename="../src/link/ParamTables.cpp" line="257"/>
        <source>第8点力值</source>
        <translation>Force of point 8</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="101"/>
        <location filename="../src/link/ParamTables.cpp" line="179"/>
        <location filename="../src/link/ParamTables.cpp" line="258"/>
        <source>第8点力码</source>
        <translation>Code of point 8</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="102"/>
        <location filename="../src/link/ParamTables.cpp" line="180"/>
        <location filename="../src/link/ParamTables.cpp" line="259"/>
        <source>第9点力值</source>
        <translation>Force of point 9</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="103"/>
        <location filename="../src/link/ParamTables.cpp" line="181"/>
        <location filename="../src/link/ParamTables.cpp" line="260"/>
        <source>第9点力码</source>
        <translation>Code of point 9</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="104"/>
        <location filename="../src/link/ParamTables.cpp" line="182"/>
        <location filename="../src/link/ParamTables.cpp" line="261"/>
        <source>第10点力值</source>
        <translation>Force of point 10</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="105"/>
        <location filename="../src/link/ParamTables.cpp" line="183"/>
        <location filename="../src/link/ParamTables.cpp" line="262"/>
        <source>第10点力码</source>
        <translation>Code of point 10</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="106"/>
        <location filename="../src/link/ParamTables.cpp" line="184"/>
        <location filename="../src/link/ParamTables.cpp" line="263"/>
        <source>第11点力值</source>
        <translation>Force of point 11</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="107"/>
        <location filename="../src/link/ParamTables.cpp" line="185"/>
        <location filename="../src/link/ParamTables.cpp" line="264"/>
        <source>第11点力码</source>
        <translation>Code of point 11</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="108"/>
        <location filename="../src/link/ParamTables.cpp" line="186"/>
        <location filename="../src/link/ParamTables.cpp" line="265"/>
        <source>第12点力值</source>
        <translation>Force of point 12</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="109"/>
        <location filename="../src/link/ParamTables.cpp" line="187"/>
        <location filename="../src/link/ParamTables.cpp" line="266"/>
        <source>第12点力码</source>
        <translation>Code of point 12</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="110"/>
        <location filename="../src/link/ParamTables.cpp" line="188"/>
        <location filename="../src/link/ParamTables.cpp" line="267"/>
        <source>冷却的最大时间</source>
        <translation>Longest cooling time</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="111"/>
        <location filename="../src/link/ParamTables.cpp" line="189"/>
        <location filename="../src/link/ParamTables.cpp" line="268"/>
        <source>最大减少量</source>
        <translation>Largest reduction</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="112"/>
        <location filename="../src/link/ParamTables.cpp" line="190"/>
        <location filename="../src/link/ParamTables.cpp" line="269"/>
        <source>每次减少量</source>
        <translation>Reduction per step</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="113"/>
        <location filename="../src/link/ParamTables.cpp" line="191"/>
        <location filename="../src/link/ParamTables.cpp" line="270"/>
        <source>当前减少量</source>
        <translation>Present reduction</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="114"/>
        <location filename="../src/link/ParamTables.cpp" line="192"/>
        <location filename="../src/link/ParamTables.cpp" line="271"/>
        <source>空等待延时时间</source>
        <translation>Idle wait delay</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="115"/>
        <location filename="../src/link/ParamTables.cpp" line="193"/>
        <location filename="../src/link/ParamTables.cpp" line="272"/>
        <source>当前等待时间</source>
        <translation>Present waiting time</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="116"/>
        <location filename="../src/link/ParamTables.cpp" line="194"/>
        <location filename="../src/link/ParamTables.cpp" line="273"/>
        <source>是否显示实时速度</source>
        <translation>Show live speed</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="117"/>
        <location filename="../src/link/ParamTables.cpp" line="195"/>
        <location filename="../src/link/ParamTables.cpp" line="274"/>
        <source>速度显示周期</source>
        <translation>Speed display period</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="118"/>
        <location filename="../src/link/ParamTables.cpp" line="196"/>
        <location filename="../src/link/ParamTables.cpp" line="275"/>
        <source>手动自动加载</source>
        <translation>Manual or automatic loading</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="119"/>
        <location filename="../src/link/ParamTables.cpp" line="197"/>
        <location filename="../src/link/ParamTables.cpp" line="276"/>
        <source>空格键判破</source>
        <translation>Space key marks the break</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="120"/>
        <location filename="../src/link/ParamTables.cpp" line="198"/>
        <location filename="../src/link/ParamTables.cpp" line="277"/>
        <source>空闲保护力值</source>
        <translation>Idle protection force</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="121"/>
        <location filename="../src/link/ParamTables.cpp" line="199"/>
        <location filename="../src/link/ParamTables.cpp" line="278"/>
        <source>是否启用空闲保护</source>
        <translation>Idle protection enabled</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="122"/>
        <location filename="../src/link/ParamTables.cpp" line="200"/>
        <location filename="../src/link/ParamTables.cpp" line="279"/>
        <source>空闲延时保护时间</source>
        <translation>Idle protection delay</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="123"/>
        <location filename="../src/link/ParamTables.cpp" line="201"/>
        <location filename="../src/link/ParamTables.cpp" line="280"/>
        <source>破碎判断方法</source>
        <translation>Break judgement method</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="124"/>
        <location filename="../src/link/ParamTables.cpp" line="202"/>
        <location filename="../src/link/ParamTables.cpp" line="281"/>
        <source>破碎判断条件</source>
        <translation>Break judgement condition</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="125"/>
        <location filename="../src/link/ParamTables.cpp" line="203"/>
        <location filename="../src/link/ParamTables.cpp" line="282"/>
        <source>多点判断的点数</source>
        <translation>Points of the multi-point judgement</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="126"/>
        <location filename="../src/link/ParamTables.cpp" line="204"/>
        <location filename="../src/link/ParamTables.cpp" line="283"/>
        <source>判断模式</source>
        <translation>Judgement mode</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="127"/>
        <location filename="../src/link/ParamTables.cpp" line="205"/>
        <location filename="../src/link/ParamTables.cpp" line="284"/>
        <source>比较模式</source>
        <translation>Comparison mode</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="128"/>
        <location filename="../src/link/ParamTables.cpp" line="206"/>
        <location filename="../src/link/ParamTables.cpp" line="285"/>
        <source>速度时间段</source>
        <translation>Speed time window</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="129"/>
        <location filename="../src/link/ParamTables.cpp" line="207"/>
        <location filename="../src/link/ParamTables.cpp" line="286"/>
        <source>速度衰减率</source>
        <translation>Speed decay rate</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="130"/>
        <location filename="../src/link/ParamTables.cpp" line="208"/>
        <location filename="../src/link/ParamTables.cpp" line="287"/>
        <source>阀口时间段</source>
        <translation>Valve time window</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="131"/>
        <location filename="../src/link/ParamTables.cpp" line="209"/>
        <location filename="../src/link/ParamTables.cpp" line="288"/>
        <source>阀口衰减率</source>
        <translation>Valve decay rate</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="142"/>
        <source>是否进行抗折保护</source>
        <translation>Flexural channel protection</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="143"/>
        <source>抗折保护力码阈值</source>
        <translation>Flexural protection code threshold</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="221"/>
        <source>是否进行抗压保护</source>
        <translation>Compressive channel protection</translation>
    </message>
    <message>
        <location filename="../src/link/ParamTables.cpp" line="222"/>
        <source>抗压保护力码阈值</source>
        <translation>Compressive protection code threshold</translation>
    </message>
    <message>
        <location filename="../src/link/UnitBaseParams.cpp" line="454"/>
        <source>输入不正确</source>
        <translation>: invalid entry </translation>
    </message>
</context>
<context>
    <name>kv::TCtrlBox</name>
    <message>
        <location filename="../src/link/UnitCtrlBox.cpp" line="20"/>
        <source>超过抗折保护力码阈值，请检查抗折、抗压传感器线有无插反!</source>
        <translation>The flexural channel code exceeds its protection threshold. Check whether the flexural and compressive sensor cables are swapped!</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCtrlBox.cpp" line="21"/>
        <source>超过抗压保护力码阈值，请检查抗折、抗压传感器线有无插反!</source>
        <translation>The compressive channel code exceeds its protection threshold. Check whether the flexural and compressive sensor cables are swapped!</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCtrlBox.cpp" line="433"/>
        <source>当前力值已经超过选择的最大力值，请等工作台复位后继续试验！.</source>
        <translation>The present force exceeds the selected maximum force. Wait until the platen has returned, then continue testing.</translation>
    </message>
</context>
<context>
    <name>kv::TStartup</name>
    <message>
        <source>数据库设置已保存，重新启动程序后生效。</source>
        <translation>The database settings are saved; they take effect when the program starts again.</translation>
    </message>
    <message>
        <location filename="../src/core/Startup.cpp" line="139"/>
        <source>数据库的存储引擎不存在,系统无法正常执行</source>
        <translation>The database engine does not exist; the system cannot run</translation>
    </message>
    <message>
        <source>找不到数据库文件 %1。
请从备份中恢复该文件，再重新启动程序。</source>
        <translation>The database file %1 was not found.
Restore the file from a backup, then start the program again.</translation>
    </message>
    <message>
        <source>数据库文件 %1 是空文件（长度为 0），其中没有任何数据。
请从备份中恢复该文件，再重新启动程序。</source>
        <translation>The database file %1 is empty (length 0) and holds no data.
Restore the file from a backup, then start the program again.</translation>
    </message>
    <message>
        <source>数据库文件 %1 已损坏，无法正常读取。程序没有修改该文件。
请从备份中恢复该文件，再重新启动程序。</source>
        <translation>The database file %1 is damaged and cannot be read. The program has not changed the file.
Restore the file from a backup, then start the program again.</translation>
    </message>
    <message>
        <source>数据库文件 %1 正被另一个程序写入（文件已锁定）。
请关闭正在使用该文件的程序，再重新启动本程序。</source>
        <translation>The database file %1 is being written by another program (the file is locked).
Close the program that uses the file, then start this program again.</translation>
    </message>
    <message>
        <source>数据库文件 %1 是只读的，程序无法保存数据。
请检查该文件的权限（当前用户需要写入权限），再重新启动程序。</source>
        <translation>The database file %1 is read-only; the program cannot store data.
Check the file's permissions (the current user needs write access), then start the program again.</translation>
    </message>
    <message>
        <source>数据库所在的文件夹 %1 不能写入，程序无法保存数据。
请检查该文件夹的权限（当前用户需要写入权限），再重新启动程序。</source>
        <translation>The folder %1 that holds the database cannot be written; the program cannot store data.
Check the folder's permissions (the current user needs write access), then start the program again.</translation>
    </message>
    <message>
        <source>文件 %1 不是本程序的测量数据库（%2），可能属于其他程序或更新版本的程序。程序没有修改该文件。
请从备份中恢复本程序的数据库，再重新启动程序。</source>
        <translation>The file %1 is not this program's measurement database (%2); it may belong to another program or to a newer version. The program has not changed the file.
Restore this program's database from a backup, then start the program again.</translation>
    </message>
    <message>
        <source>无法打开数据库文件 %1（%2）。
请检查该文件，必要时从备份中恢复，再重新启动程序。</source>
        <translation>The database file %1 cannot be opened (%2).
Check the file and, if needed, restore it from a backup, then start the program again.</translation>
    </message>
    <message>
        <source>下列文件夹不能写入：
%1
试验结果仍会保存到数据库中。请检查这些文件夹的权限（当前用户需要写入权限）。</source>
        <translation>These folders cannot be written:
%1
Test results are still stored in the database. Check the folders' permissions (the current user needs write access).</translation>
    </message>
    <message>
        <source>试验曲线无法保存</source>
        <translation>test curves cannot be saved</translation>
    </message>
    <message>
        <source>报表模板无法保存</source>
        <translation>report templates cannot be saved</translation>
    </message>
    <message>
        <source>参数的自动备份无法保存</source>
        <translation>automatic parameter backups cannot be saved</translation>
    </message>
</context>
<context>
    <name>kv::TZovData</name>
    <message>
        <source>缺少表 %1</source>
        <translation>table %1 is missing</translation>
    </message>
    <message>
        <source>表 %1 的结构不同</source>
        <translation>table %1 has another layout</translation>
    </message>
</context>
<context>
    <name>kv::TfrmAddUser</name>
    <message>
        <location filename="../src/store/UnitfrmAdd.cpp" line="21"/>
        <source>新增用户</source>
        <translation>Add User</translation>
    </message>
    <message>
        <location filename="../src/store/UnitfrmAdd.cpp" line="34"/>
        <source>用户名：</source>
        <translation>User name:</translation>
    </message>
    <message>
        <location filename="../src/store/UnitfrmAdd.cpp" line="35"/>
        <source>密码：</source>
        <translation>Password:</translation>
    </message>
    <message>
        <location filename="../src/store/UnitfrmAdd.cpp" line="36"/>
        <source>确认密码：</source>
        <translation>Confirm password:</translation>
    </message>
    <message>
        <location filename="../src/store/UnitfrmAdd.cpp" line="38"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../src/store/UnitfrmAdd.cpp" line="40"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>kv::TfrmCommSettings</name>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="59"/>
        <source>串行参数设置</source>
        <translation>Serial Port Settings</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="69"/>
        <source>串口号：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="79"/>
        <source>波特率：</source>
        <translation>Baud rate:</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="87"/>
        <source>奇偶校验：</source>
        <translation>Parity:</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="90"/>
        <source>无校验</source>
        <translation>None</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="90"/>
        <source>奇校验</source>
        <translation>Odd</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="90"/>
        <source>偶校验</source>
        <translation>Even</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="93"/>
        <source>停止位：</source>
        <translation>Stop bits:</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="96"/>
        <source>1位</source>
        <translation>1</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="96"/>
        <source>1.5位</source>
        <translation>1.5</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="96"/>
        <source>2位</source>
        <translation>2</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="99"/>
        <source>数据长度：</source>
        <translation>Data bits:</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="102"/>
        <source>8位</source>
        <translation>8</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="102"/>
        <source>7位</source>
        <translation>7</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="107"/>
        <source>扫描</source>
        <translation>Scan</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="110"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="114"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="125"/>
        <source>取消扫描</source>
        <translation>Cancel Scan</translation>
    </message>
    <message>
        <location filename="../src/link/UnitCommSettings.cpp" line="262"/>
        <source>无法联系控制器,系统无法正常运行,请检查控制器是否打开!</source>
        <translation>Cannot reach the controller; the system cannot work properly. Please check that the controller is switched on!</translation>
    </message>
</context>
<context>
    <name>kv::TfrmHelp</name>
    <message>
        <source>系统帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>后退</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>前进</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>主页</source>
        <translation>Home</translation>
    </message>
</context>
<context>
    <name>kv::TfrmLogin</name>
    <message>
        <location filename="../src/store/UnitLogin.cpp" line="30"/>
        <source>用户登录</source>
        <translation>User Login</translation>
    </message>
    <message>
        <location filename="../src/store/UnitLogin.cpp" line="38"/>
        <source>请选择用户名</source>
        <translation>Select the user name</translation>
    </message>
    <message>
        <location filename="../src/store/UnitLogin.cpp" line="41"/>
        <source>在此输入该用户名对应的密码</source>
        <translation>Enter this user&apos;s password here</translation>
    </message>
    <message>
        <location filename="../src/store/UnitLogin.cpp" line="53"/>
        <source>用户名：</source>
        <translation>User name:</translation>
    </message>
    <message>
        <location filename="../src/store/UnitLogin.cpp" line="54"/>
        <source>密  码：</source>
        <translation>Password:</translation>
    </message>
    <message>
        <location filename="../src/store/UnitLogin.cpp" line="55"/>
        <source>当前时间：</source>
        <translation>Current time:</translation>
    </message>
    <message>
        <location filename="../src/store/UnitLogin.cpp" line="57"/>
        <source>登录</source>
        <translation>Log In</translation>
    </message>
    <message>
        <location filename="../src/store/UnitLogin.cpp" line="59"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="16"/>
        <source>输入的密码不正确</source>
        <translation>The password entered is not correct.</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="17"/>
        <source>输入的用户不正确</source>
        <translation>The user entered is not correct.</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="20"/>
        <source>密码错误次数过多,请等待%1秒后再试</source>
        <translation>Too many wrong passwords. Please wait %1 s and try again.</translation>
    </message>
</context>
<context>
    <name>kv::TfrmMeasure</name>
    <message>
        <source>数据库设置</source>
        <translation>Database Settings</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="187"/>
        <source>系统功能(&amp;S)</source>
        <translation>&amp;System</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="189"/>
        <source>用户操作</source>
        <translation>User management</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="191"/>
        <source>用户注销</source>
        <translation>Log off</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="193"/>
        <source> 演 示</source>
        <translation> Demonstration</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="196"/>
        <source> 退 出</source>
        <translation> Exit</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="199"/>
        <source>系统设定(&amp;D)</source>
        <translation>Se&amp;ttings</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="201"/>
        <source>高级参数</source>
        <translation>Advanced parameters</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="203"/>
        <source>硬件测试</source>
        <translation>Hardware test</translation>
    </message>
    <message>
        <source>参数备份</source>
        <translation>Back up settings</translation>
    </message>
    <message>
        <source>参数恢复</source>
        <translation>Restore settings</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="205"/>
        <source>力码设定</source>
        <translation>Force code settings</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="207"/>
        <source>控制方式</source>
        <translation>Control mode</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="210"/>
        <source>报表设置</source>
        <translation>Report settings</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="214"/>
        <source>语言切换</source>
        <translation>Language</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="216"/>
        <source>中文(Chinese)</source>
        <translation>中文(Chinese)</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="218"/>
        <source>English(英文)</source>
        <translation>English(英文)</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="225"/>
        <source>机型切换</source>
        <translation>Machine type</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="227"/>
        <source>液压抗压机</source>
        <translation>Hydraulic compression machine</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="229"/>
        <source>液压抗折抗压机</source>
        <translation>Hydraulic flexure and compression machine</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="231"/>
        <source>电子抗压机</source>
        <translation>Motor-driven compression machine</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="233"/>
        <source>电子抗折抗压机</source>
        <translation>Motor-driven flexure and compression machine</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="240"/>
        <source> 关于(&amp;A)</source>
        <translation> &amp;About</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="242"/>
        <source>系统说明</source>
        <translation>About the system</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="244"/>
        <source>系统帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="276"/>
        <source>抗&#x3000;折</source>
        <translation>Flexure</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="277"/>
        <source>抗&#x3000;压</source>
        <translation>Compression</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="278"/>
        <source>切换到抗折，在负荷传感器上试验</source>
        <translation>Switch to flexure: test on the load cell</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="279"/>
        <source>切换到抗压，在压力传感器上试验</source>
        <translation>Switch to compression: test on the pressure sensor</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="289"/>
        <source>试验选择</source>
        <translation>Select test</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="294"/>
        <source>报 告</source>
        <translation>Report</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="295"/>
        <source> 力值校准 </source>
        <translation> Calibration </translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="296"/>
        <source>力值检定</source>
        <translation>Verification</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="297"/>
        <source>定  荷</source>
        <translation>Hold load</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="298"/>
        <source>结束一组</source>
        <translation>End group</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="299"/>
        <source>慢  速</source>
        <translation>Slow</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="300"/>
        <source>快  速</source>
        <translation>Fast</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="301"/>
        <source>退  出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="320"/>
        <source>%1位</source>
        <translation>%1 decimals</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="355"/>
        <source>清零</source>
        <translation>Zero</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="382"/>
        <location filename="../src/core/UnitMeasure.cpp" line="446"/>
        <source>时间(s)</source>
        <translation>Time(s)</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="424"/>
        <source>载荷－时间曲线</source>
        <translation>Load-time curve</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="473"/>
        <source>加力</source>
        <translation>Load up</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="474"/>
        <source>保持</source>
        <translation>Hold</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="475"/>
        <source>减力</source>
        <translation>Load down</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="534"/>
        <source>运行</source>
        <translation>Run</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="535"/>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="536"/>
        <source>复位</source>
        <translation>Reset</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="537"/>
        <source>上升</source>
        <translation>Up</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="538"/>
        <source>下降</source>
        <translation>Down</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="554"/>
        <location filename="../src/core/UnitMeasure.cpp" line="595"/>
        <source>信息提示：</source>
        <translation>Hint: </translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="554"/>
        <source>状态提示：</source>
        <translation>Status: </translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="554"/>
        <source>系统状态：</source>
        <translation>System: </translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="555"/>
        <source>当前时间：</source>
        <translation>Current time: </translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="555"/>
        <source>当前相对码:</source>
        <translation>Relative code:</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="555"/>
        <source>当前阀口位置:</source>
        <translation>Valve position:</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="646"/>
        <source>读取参数时有%1个参数读取错误</source>
        <translation>%1 parameters could not be read</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="768"/>
        <location filename="../src/core/UnitMeasureModules.cpp" line="181"/>
        <source>无法联系控制器,系统无法正常运行,请检查控制器是否打开!</source>
        <translation>Cannot reach the controller; the system cannot work properly. Please check that the controller is switched on!</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="794"/>
        <location filename="../src/core/UnitMeasureModules.cpp" line="138"/>
        <source>系统状态：联机工作</source>
        <translation>System: on line</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="802"/>
        <location filename="../src/core/UnitMeasureModules.cpp" line="140"/>
        <source>系统状态：脱机工作</source>
        <translation>System: off line</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="935"/>
        <source>载荷</source>
        <translation>Load</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="935"/>
        <source>峰值</source>
        <translation>Peak</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="935"/>
        <source>速度</source>
        <translation>Rate</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="935"/>
        <source>强度</source>
        <translation>Strength</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="998"/>
        <location filename="../src/core/UnitMeasure.cpp" line="1008"/>
        <source>设置保存失败,请检查数据库!</source>
        <translation>The setting could not be saved; please check the database!</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="1001"/>
        <source>语言切换成功,下次启动后生效!</source>
        <translation>Language switched; it takes effect at the next start!</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="1011"/>
        <source>机型切换成功,下次启动后生效!</source>
        <translation>Machine type switched; it takes effect at the next start!</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="1033"/>
        <source>正在检测中，请先结束后退出</source>
        <translation>A test is running; end it before exiting</translation>
    </message>
    <message>
        <location filename="../src/core/UnitMeasure.cpp" line="1037"/>
        <source>一组试验没有完成，请先结束一组试验。</source>
        <translation>A group of tests is not finished; end the group first.</translation>
    </message>
    <message>
        <location filename="../src/core/UnitModuleHost.cpp" line="202"/>
        <source>试验编号为%1的试验上一次并没有完成,是否需要继续试验?</source>
        <translation>The test with number %1 was not finished last time. Continue it?</translation>
    </message>
</context>
<context>
    <name>kv::TChange</name>
    <message>
        <source>手动自动切换</source>
        <translation>Manual / Automatic Control</translation>
    </message>
    <message>
        <source>控制方式</source>
        <translation>Control mode</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>手动</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>切换到手动控制</source>
        <translation>Switched to manual control</translation>
    </message>
    <message>
        <source>切换到自动控制</source>
        <translation>Switched to automatic control</translation>
    </message>
</context>
<context>
    <name>kv::TfrmExplain</name>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>数字电液测控软件</source>
        <translation>Digital Electro-Hydraulic Measurement and Control Software</translation>
    </message>
    <message>
        <source>版本：6.1</source>
        <translation>Version: 6.1</translation>
    </message>
    <message>
        <source>未加载：%1</source>
        <translation>not loaded: %1</translation>
    </message>
    <message>
        <source>已加载，本机型没有它的试验</source>
        <translation>loaded, no test for this machine</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>空文件</source>
        <translation>empty file</translation>
    </message>
    <message>
        <source>不是可加载的库</source>
        <translation>not a loadable library</translation>
    </message>
    <message>
        <source>不是试验模块</source>
        <translation>not a test module</translation>
    </message>
    <message>
        <source>模块启动时出错</source>
        <translation>the module failed while starting</translation>
    </message>
    <message>
        <source>与 %1 重复</source>
        <translation>a copy of %1</translation>
    </message>
    <message>
        <source>试验模块</source>
        <translation>Test module</translation>
    </message>
    <message>
        <source>试验</source>
        <translation>Tests</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>kv::TfrmStopPar</name>
    <message>
        <source>定荷设置</source>
        <translation>Constant Load Settings</translation>
    </message>
    <message>
        <source>设置定荷力值和时间</source>
        <translation>Set the constant-load force and time</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>s</translation>
    </message>
    <message>
        <source>定荷的力值：</source>
        <translation>Constant-load force:</translation>
    </message>
    <message>
        <source>定荷的时间：</source>
        <translation>Constant-load time:</translation>
    </message>
    <message>
        <source>运行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>开始定荷控制</source>
        <translation>Start constant-load control</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>设定的定荷力值超出范围最大力的(%1-100%)</source>
        <translation>The constant-load force is outside the range (1%-100%) of the maximum force</translation>
    </message>
</context>
<context>
    <name>kv::TfrmQuit</name>
    <message>
        <location filename="../src/core/UnitQuit.cpp" line="15"/>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <location filename="../src/core/UnitQuit.cpp" line="20"/>
        <source>是否真的退出程序？</source>
        <translation>Do you really want to exit the program?</translation>
    </message>
    <message>
        <location filename="../src/core/UnitQuit.cpp" line="25"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../src/core/UnitQuit.cpp" line="26"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>kv::TfrmRevision</name>
    <message>
        <location filename="../src/store/UnitfrmRevision.cpp" line="21"/>
        <source>密码修改</source>
        <translation>Change Password</translation>
    </message>
    <message>
        <location filename="../src/store/UnitfrmRevision.cpp" line="36"/>
        <source>用户名：</source>
        <translation>User name:</translation>
    </message>
    <message>
        <location filename="../src/store/UnitfrmRevision.cpp" line="37"/>
        <source>原密码：</source>
        <translation>Old password:</translation>
    </message>
    <message>
        <location filename="../src/store/UnitfrmRevision.cpp" line="38"/>
        <source>新密码：</source>
        <translation>New password:</translation>
    </message>
    <message>
        <location filename="../src/store/UnitfrmRevision.cpp" line="39"/>
        <source>确认新密码：</source>
        <translation>Confirm new password:</translation>
    </message>
    <message>
        <location filename="../src/store/UnitfrmRevision.cpp" line="41"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../src/store/UnitfrmRevision.cpp" line="43"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>kv::TfrmTextInfo</name>
    <message>
        <location filename="../src/ui/records/CaptionsDialog.cpp" line="29"/>
        <source>打印表头设置</source>
        <translation>Report Header Settings</translation>
    </message>
    <message>
        <location filename="../src/ui/records/CaptionsDialog.cpp" line="34"/>
        <location filename="../src/ui/records/CaptionsDialog.cpp" line="34"/>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <location filename="../src/ui/records/CaptionsDialog.cpp" line="34"/>
        <location filename="../src/ui/records/CaptionsDialog.cpp" line="34"/>
        <source>内容</source>
        <translation>Content</translation>
    </message>
    <message>
        <location filename="../src/ui/records/CaptionsDialog.cpp" line="48"/>
        <source>保存为默认表头</source>
        <translation>Save as default header</translation>
    </message>
    <message>
        <location filename="../src/ui/records/CaptionsDialog.cpp" line="50"/>
        <source>设为默认表头后，凡是没有单独设置表头的报告都将采用默认表头</source>
        <translation>Once saved as the default, every report without a header of its own uses the default header</translation>
    </message>
    <message>
        <location filename="../src/ui/records/CaptionsDialog.cpp" line="52"/>
        <source>增加行</source>
        <translation>Add Line</translation>
    </message>
    <message>
        <location filename="../src/ui/records/CaptionsDialog.cpp" line="54"/>
        <source>减少行</source>
        <translation>Remove Line</translation>
    </message>
    <message>
        <location filename="../src/ui/records/CaptionsDialog.cpp" line="56"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../src/ui/records/CaptionsDialog.cpp" line="58"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../src/records/CaptionEditor.cpp" line="35"/>
        <source>表头内容超过限制长度，请确认！</source>
        <translation>A header text is longer than allowed. Please check!</translation>
    </message>
</context>
<context>
    <name>kv::TfrmUserMng</name>
    <message>
        <location filename="../src/store/UnitUserMng.cpp" line="19"/>
        <source>用户管理</source>
        <translation>User Management</translation>
    </message>
    <message>
        <location filename="../src/store/UnitUserMng.cpp" line="24"/>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <location filename="../src/store/UnitUserMng.cpp" line="24"/>
        <source>用户名</source>
        <translation>User name</translation>
    </message>
    <message>
        <location filename="../src/store/UnitUserMng.cpp" line="24"/>
        <source>权限</source>
        <translation>Right</translation>
    </message>
    <message>
        <location filename="../src/store/UnitUserMng.cpp" line="32"/>
        <source>新增用户</source>
        <translation>Add User</translation>
    </message>
    <message>
        <location filename="../src/store/UnitUserMng.cpp" line="34"/>
        <source>删除用户</source>
        <translation>Delete User</translation>
    </message>
    <message>
        <location filename="../src/store/UnitUserMng.cpp" line="36"/>
        <source>修改密码</source>
        <translation>Change Password</translation>
    </message>
    <message>
        <location filename="../src/store/UnitUserMng.cpp" line="38"/>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="121"/>
        <source>请选择需要修改密码的用户！</source>
        <translation>Select the user whose password is to be changed!</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="149"/>
        <source>用户名不能为空！</source>
        <translation>The user name must not be empty!</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="150"/>
        <source>管理员</source>
        <translation>Administrator</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="151"/>
        <source>不能添加“管理员”</source>
        <translation>Cannot add &quot;Administrator&quot;.</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="153"/>
        <source>密码不能为空</source>
        <translation>The password must not be empty.</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="155"/>
        <location filename="../src/store/UserAdmin.cpp" line="216"/>
        <source>密码长度不正确</source>
        <translation>The password length is not correct (3 to 8 characters).</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="157"/>
        <location filename="../src/store/UserAdmin.cpp" line="218"/>
        <source>二次密码不一致</source>
        <translation>The two passwords differ.</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="161"/>
        <location filename="../src/store/UserAdmin.cpp" line="167"/>
        <source>用户名已存在</source>
        <translation>The user name already exists.</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="156"/>
        <source>用户名不能超过%1个字符</source>
        <translation>The user name must not be longer than %1 characters.</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="177"/>
        <source>添加用户%1成功！</source>
        <translation>User %1 added.</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="185"/>
        <source>请选择需要删除的用户！</source>
        <translation>Select the user to delete!</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="188"/>
        <source>不能删除系统管理员！</source>
        <translation>The system administrator cannot be deleted!</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="192"/>
        <source>是否删除用户：</source>
        <translation>Delete user: </translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="225"/>
        <location filename="../src/store/UserAdmin.cpp" line="236"/>
        <source>输入的用户不正确</source>
        <translation>The user entered is not correct.</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="231"/>
        <source>原密码不正确</source>
        <translation>The old password is not correct.</translation>
    </message>
    <message>
        <location filename="../src/store/UserAdmin.cpp" line="242"/>
        <source>密码修改成功</source>
        <translation>Password changed.</translation>
    </message>
</context>
<context>
    <name>kv::TfrmWait</name>
    <message>
        <location filename="../src/core/UnitWait.cpp" line="16"/>
        <source>系统初始化,请等待...</source>
        <translation>Initialising the system, please wait...</translation>
    </message>
    <message>
        <location filename="../src/core/UnitWait.cpp" line="103"/>
        <source>数字电液测控软件</source>
        <translation>Digital electro-hydraulic measurement and control</translation>
    </message>
</context>
<context>
    <name>kv::db</name>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="31"/>
        <source>执行数据库语句出错: %1</source>
        <translation>Error executing the database statement: %1</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="141"/>
        <source>表 %1 中已有 %2 行数据不满足新的约束</source>
        <translation>Table %1 already holds %2 rows that violate the new constraint</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="160"/>
        <location filename="../platform/db/DbEngine.cpp" line="182"/>
        <source>表 %1 不存在</source>
        <translation>Table %1 does not exist</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="162"/>
        <source>引用的表 %1 不存在</source>
        <translation>The referenced table %1 does not exist</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="170"/>
        <source>约束 %1 已存在</source>
        <translation>Constraint %1 already exists</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="202"/>
        <source>约束 %1 不存在</source>
        <translation>Constraint %1 does not exist</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="217"/>
        <source>不能删除表 %1 的唯一定义</source>
        <translation>The only definition of table %1 cannot be dropped</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="262"/>
        <source>&apos;%1&apos; 不是有效的数值</source>
        <translation>&apos;%1&apos; is not a valid number</translation>
    </message>
</context>
<context>
    <name>kv::db::TDbConnection</name>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="303"/>
        <source>数据库文件已存在: %1</source>
        <translation>The database file already exists: %1</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="324"/>
        <source>无法创建数据库文件 %1: %2</source>
        <translation>Cannot create the database file %1: %2</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="331"/>
        <source>数据库引擎 (SQLite) 不存在</source>
        <translation>The database engine (SQLite) does not exist</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="334"/>
        <source>数据库文件不存在: %1</source>
        <translation>The database file does not exist: %1</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="336"/>
        <source>文件不是数据库: %1</source>
        <translation>The file is not a database: %1</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="345"/>
        <source>无法打开数据库 %1: %2</source>
        <translation>Cannot open the database %1: %2</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="349"/>
        <source>文件不是数据库: %1 (%2)</source>
        <translation>The file is not a database: %1 (%2)</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="353"/>
        <source>无法设置数据库 %1: %2</source>
        <translation>Cannot set up the database %1: %2</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="388"/>
        <source>数据库没有连接</source>
        <translation>The database is not connected</translation>
    </message>
</context>
<context>
    <name>kv::db::TDbField</name>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="515"/>
        <source>&apos;%1&apos; 不是有效的日期</source>
        <translation>&apos;%1&apos; is not a valid date</translation>
    </message>
</context>
<context>
    <name>kv::db::TDbQuery</name>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="544"/>
        <source>语句不返回记录集</source>
        <translation>The statement returns no result set</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="683"/>
        <source>记录号 %1 超出范围</source>
        <translation>Record number %1 is out of range</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="701"/>
        <location filename="../platform/db/DbEngine.cpp" line="757"/>
        <source>字段 %1 不存在</source>
        <translation>Field %1 does not exist</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="724"/>
        <source>查询没有打开</source>
        <translation>The query is not open</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="726"/>
        <source>结果集不是来自单个表, 不能修改</source>
        <translation>The result set does not come from a single table and cannot be edited</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="735"/>
        <source>没有可修改的记录</source>
        <translation>There is no record to edit</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="754"/>
        <source>记录不在编辑状态</source>
        <translation>The record is not being edited</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="759"/>
        <source>字段 %1 是计算列, 不能修改</source>
        <translation>Field %1 is a computed column and cannot be edited</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="838"/>
        <source>要修改的记录已不存在</source>
        <translation>The record to be changed no longer exists</translation>
    </message>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="866"/>
        <source>没有可删除的记录</source>
        <translation>There is no record to delete</translation>
    </message>
</context>
<context>
    <name>kv::db::detail</name>
    <message>
        <location filename="../platform/db/DbEngine.cpp" line="104"/>
        <source>无法读取表的定义</source>
        <translation>Cannot read the table definition</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="164"/>
        <source>无法识别的日期: #%1#</source>
        <translation>Unrecognised date: #%1#</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="204"/>
        <source>文本常量缺少结束引号</source>
        <translation>A text constant lacks its closing quote</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="227"/>
        <source>名称缺少结束括号</source>
        <translation>A name lacks its closing bracket</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="234"/>
        <source>日期常量缺少结束符 #</source>
        <translation>A date constant lacks its closing #</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="280"/>
        <source>语句中有无法识别的字符 &apos;%1&apos;</source>
        <translation>The statement contains an unrecognised character &apos;%1&apos;</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="295"/>
        <location filename="../platform/db/JetDialect.cpp" line="305"/>
        <source>括号不匹配</source>
        <translation>Unbalanced parentheses</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="361"/>
        <source>Format 的格式必须是文本常量</source>
        <translation>The format of Format must be a text constant</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="404"/>
        <source>不支持的 Format 格式: %1</source>
        <translation>Unsupported Format format: %1</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="437"/>
        <source>函数 %1 的参数个数不对</source>
        <translation>Wrong number of arguments for function %1</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="603"/>
        <source>运算符 &amp; 缺少操作数</source>
        <translation>Operator &amp; lacks an operand</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="741"/>
        <source>不支持 TOP ... PERCENT</source>
        <translation>TOP ... PERCENT is not supported</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="784"/>
        <location filename="../platform/db/JetDialect.cpp" line="894"/>
        <source>列定义不正确</source>
        <translation>Invalid column definition</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="887"/>
        <source>Create Table 缺少列定义</source>
        <translation>Create Table lacks column definitions</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="908"/>
        <source>一个表只能有一个自动编号列</source>
        <translation>A table can have only one autonumber column</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="915"/>
        <source>自动编号列不能与其他主键同时使用</source>
        <translation>An autonumber column cannot be combined with another primary key</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="1057"/>
        <source>ALTER TABLE 语句不正确</source>
        <translation>Invalid ALTER TABLE statement</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="1087"/>
        <source>一次只能增加一列</source>
        <translation>Only one column can be added at a time</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="1106"/>
        <source>不支持修改列的类型</source>
        <translation>Changing the type of a column is not supported</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="1169"/>
        <source>一次只能执行一条语句</source>
        <translation>Only one statement can be executed at a time</translation>
    </message>
    <message>
        <location filename="../platform/db/JetDialect.cpp" line="1171"/>
        <source>语句为空</source>
        <translation>The statement is empty</translation>
    </message>
</context>
<context>
    <name>kv::TIdleMonitor</name>
    <message>
        <source>控制状态：  手动控制</source>
        <translation>Control: manual</translation>
    </message>
    <message>
        <source>控制状态：  自动控制</source>
        <translation>Control: automatic</translation>
    </message>
    <message>
        <source>当前力码</source>
        <translation>Force code </translation>
    </message>
    <message>
        <source>当前阀位置</source>
        <translation>Valve position </translation>
    </message>
    <message>
        <source>系统状态：联机工作</source>
        <translation>System status: on-line</translation>
    </message>
    <message>
        <source>系统状态：脱机工作</source>
        <translation>System status: off-line</translation>
    </message>
    <message>
        <source>当前力值超过设定的空闲保护力值,已进入保护状态,请先排查原因!</source>
        <translation>The force exceeds the idle-protection force. Protection is active; find the cause first!</translation>
    </message>
    <message>
        <source>是否解除保护?如已排除请选择</source>
        <translation>Release the protection? If the cause is removed, choose </translation>
    </message>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>当前处于保护状态,请重启软件和控制器!</source>
        <translation>Protection is active. Restart the software and the controller!</translation>
    </message>
    <message>
        <source>距离下次运行还有%1秒</source>
        <translation>Next run in %1 s</translation>
    </message>
    <message>
        <source>无法联系控制器,系统无法正常运行,请检查控制器是否打开!</source>
        <translation>Cannot reach the controller; the system cannot work. Please check that the controller is switched on!</translation>
    </message>
</context>
<context>
    <name>kv::TRunSequence</name>
    <message>
        <source>当前处于保护状态,请重启软件和控制器!</source>
        <translation>Protection is active. Restart the software and the controller!</translation>
    </message>
    <message>
        <source>请选择试验</source>
        <translation>Please select a test</translation>
    </message>
    <message>
        <source>无法联系控制器,系统无法正常运行,请检查控制器是否打开!</source>
        <translation>Cannot reach the controller; the system cannot work. Please check that the controller is switched on!</translation>
    </message>
    <message>
        <source>软件与控制箱之间有%1个参数不一致,请判断</source>
        <translation>%1 parameters differ between the software and the controller box. Please decide.</translation>
    </message>
    <message>
        <source>组号中不能包括'/', '\', '*', ':', '?', '</source>
        <translation>The group number must not contain '/', '\', '*', ':', '?', '</translation>
    </message>
    <message>
        <source>', '&lt;', '&gt;', '|'字符</source>
        <translation>', '&lt;', '&gt;', '|'</translation>
    </message>
    <message>
        <source>当前编号的试样已经在数据库中存在，请填写新的编号</source>
        <translation>Specimens with this number already exist in the database. Please enter a new number.</translation>
    </message>
    <message>
        <source>发送数据到控制器出错</source>
        <translation>Error sending data to the controller</translation>
    </message>
    <message>
        <source>当前力码</source>
        <translation>Force code </translation>
    </message>
    <message>
        <source>当前阀位置</source>
        <translation>Valve position </translation>
    </message>
    <message>
        <source>试验已停止，请等工作台回落后继续试验</source>
        <translation>Test stopped. Wait until the platen has come down before continuing.</translation>
    </message>
    <message>
        <source>无法加载,可能原因是
1.等待加载时间不够.
2.初始开度不够.
3.回油阀没关紧(液压式)</source>
        <translation>Cannot load. Possible causes:
1. The waiting time is too short.
2. The initial valve opening is too small.
3. The return valve is not closed (hydraulic).</translation>
    </message>
    <message>
        <source>控制器通讯中断后恢复,控制器可能已复位,本次加载无效,试验已停止!</source>
        <translation>The controller stopped sending and came back; it may have been reset. This loading is void and the test was stopped.</translation>
    </message>
    <message>
        <source>力值低于起始力值已超过%1秒，试验停止。
可能原因：试件在破碎起判力值以下已经破坏。</source>
        <translation>The force has stayed below the start force for more than %1 s; the test was stopped.
Likely cause: the specimen failed below the break judgement start force.</translation>
    </message>
    <message>
        <source>到现在等待时间还有%1秒</source>
        <translation>Waiting time left: %1 s</translation>
    </message>
    <message>
        <source>初始力值过大，系统无法加载，请检查是否清零！</source>
        <translation>Initial force too large, cannot load. Check that the force was zeroed!</translation>
    </message>
    <message>
        <source>现在进入正式控制阶段，请不要做任何操作!!!</source>
        <translation>Entering the control stage. Do not operate anything!!!</translation>
    </message>
    <message>
        <source>系统加载速度过快</source>
        <translation>The system loads too fast</translation>
    </message>
    <message>
        <source>定荷的时间已到，自动卸载</source>
        <translation>The constant-load time is over; unloading automatically</translation>
    </message>
    <message>
        <source>试验方法出错,试验停止</source>
        <translation>Test method error; test stopped</translation>
    </message>
    <message>
        <source>试样%1的曲线没有写入曲线文件</source>
        <translation>The curve of specimen %1 was not written to the curve file</translation>
    </message>
    <message>
        <source>最大力值</source>
        <translation>Peak force </translation>
    </message>
    <message>
        <source>目前系统处于卸载状态.</source>
        <translation>The system is unloading.</translation>
    </message>
    <message>
        <source>系统状态：脱机工作</source>
        <translation>System status: off-line</translation>
    </message>
</context>
<context>
    <name>kv::TfrmPrint</name>
    <message>
        <source>CSV文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>修改前</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>修改后</source>
        <translation>After</translation>
    </message>
    <message>
        <source>修改记录</source>
        <translation>Change log</translation>
    </message>
    <message>
        <source>修改记录:</source>
        <translation>Change log:</translation>
    </message>
    <message>
        <source>内置报表</source>
        <translation>Built-in report</translation>
    </message>
    <message>
        <source>旧的.xls格式报表模板，需要安装LibreOffice转换后才能使用</source>
        <translation>Old .xls report template: install LibreOffice to convert it before it can be used</translation>
    </message>
    <message>
        <source>删除当前记录</source>
        <translation>Delete current record</translation>
    </message>
    <message>
        <source>删除查询到的所有记录</source>
        <translation>Delete all records found</translation>
    </message>
    <message>
        <source>删除查询到的记录</source>
        <translation>Delete records found</translation>
    </message>
    <message>
        <source>到</source>
        <translation>to</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>导出CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>导出修改记录</source>
        <translation>Export change log</translation>
    </message>
    <message>
        <source>当前试验无记录</source>
        <translation>The current test has no records</translation>
    </message>
    <message>
        <source>当前选中的编号是:</source>
        <translation>Selected number: </translation>
    </message>
    <message>
        <source>待查询的日期从:</source>
        <translation>Dates from:</translation>
    </message>
    <message>
        <source>待查询的编号从:</source>
        <translation>Numbers from:</translation>
    </message>
    <message>
        <source>打  印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>打印设置</source>
        <translation>Print setup</translation>
    </message>
    <message>
        <source>把查询到的各组及其试件导出为CSV文件</source>
        <translation>Export the groups found with their specimens as a CSV file</translation>
    </message>
    <message>
        <source>报表打印</source>
        <translation>Report Printing</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Action</translation>
    </message>
    <message>
        <source>操作员</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>文件%1无法写入</source>
        <translation>The file %1 cannot be written</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>是否删除查询到的所有记录?</source>
        <translation>Delete all records found?</translation>
    </message>
    <message>
        <source>是否删除组号%1的记录</source>
        <translation>Delete the records of group %1?</translation>
    </message>
    <message>
        <source>查  询</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>正在导出,请稍后...</source>
        <translation>Exporting, please wait...</translation>
    </message>
    <message>
        <source>没有安装打印机</source>
        <translation>No printer installed</translation>
    </message>
    <message>
        <source>表头设置</source>
        <translation>Header settings</translation>
    </message>
    <message>
        <source>试验日期</source>
        <translation>Test date</translation>
    </message>
    <message>
        <source>试验类型:</source>
        <translation>Test kind:</translation>
    </message>
    <message>
        <source>试验编号</source>
        <translation>Test number</translation>
    </message>
    <message>
        <source>请选择需要操作的组号!</source>
        <translation>Select the group number to work on!</translation>
    </message>
    <message>
        <source>退  出</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>kv::TRecordsExport</name>
    <message>
        <source>导出已取消</source>
        <translation>Export cancelled</translation>
    </message>
    <message>
        <source>查询结果中没有组号或龄期</source>
        <translation>The search result has no group number or age</translation>
    </message>
</context>
<context>
    <name>kv::TAuditTrail</name>
    <message>
        <source>修改前</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>修改后</source>
        <translation>After</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Action</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>用户</source>
        <translation>User</translation>
    </message>
    <message>
        <source>组号</source>
        <translation>Group No.</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>试验项目</source>
        <translation>Test</translation>
    </message>
</context>
<context>
    <name>kv::TParamBackup</name>
    <message>
        <location filename="../src/link/ParamBackup.cpp" line="82"/>
        <source>该文件没有包含%1的信息,可能不是正确的文件。</source>
        <translation>The file holds no information for %1; it may not be the right file.</translation>
    </message>
    <message>
        <location filename="../src/link/ParamBackup.cpp" line="97"/>
        <source>还原成功!</source>
        <translation>Restored successfully!</translation>
    </message>
</context>
<context>
    <name>kv::TfrmMessage</name>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="22"/>
        <source>提示</source>
        <translation>Message</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="25"/>
        <source>软件与控制箱之间有%1个参数不一致,请判断</source>
        <translation>%1 parameters differ between the software and the controller box; please decide</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="37"/>
        <source>软件参数准确</source>
        <translation>Software parameters are correct</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="38"/>
        <source>以电脑为准，修改控制箱参数</source>
        <translation>Keep the computer&apos;s values and change the controller box&apos;s parameters</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="39"/>
        <source>控制箱参数准确</source>
        <translation>Controller box parameters are correct</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="40"/>
        <source>以控制箱为准，修改电脑参数</source>
        <translation>Keep the controller box&apos;s values and change the computer&apos;s parameters</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="41"/>
        <source>不更改</source>
        <translation>No change</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="42"/>
        <source>详细信息</source>
        <translation>Details</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="43"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="53"/>
        <source>参数</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="53"/>
        <source>软件值</source>
        <translation>Software value</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="53"/>
        <source>控制箱值</source>
        <translation>Box value</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="98"/>
        <source>系统将以软件参数为准,请再次确认</source>
        <translation>The system will take the software parameters as correct. Please confirm again</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="102"/>
        <source>控制箱参数备份失败</source>
        <translation>The controller box parameters could not be backed up</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="110"/>
        <source>写入后仍有%1个参数不一致</source>
        <translation>%1 parameters still differ after writing</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="116"/>
        <source>系统将以控制箱参数为准,请再次确认</source>
        <translation>The system will take the controller box parameters as correct. Please confirm again</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="121"/>
        <source>软件参数备份失败</source>
        <translation>The software parameters could not be backed up</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="127"/>
        <source>控制箱参数未能全部保存到软件中</source>
        <translation>Not all controller box parameters could be stored in the software</translation>
    </message>
    <message>
        <location filename="../src/ui/params/DifferenceDialog.cpp" line="144"/>
        <source>未读出</source>
        <translation>Not read</translation>
    </message>
</context>
<context>
    <name>kv::TfrmBaseParams</name>
    <message>
        <source>高级参数</source>
        <translation>Advanced Parameters</translation>
    </message>
    <message>
        <source>基本参数</source>
        <translation>Basic</translation>
    </message>
    <message>
        <source>阀参数</source>
        <translation>Valve</translation>
    </message>
    <message>
        <source>PID控制参数</source>
        <translation>PID Control</translation>
    </message>
    <message>
        <source>传感器校准值</source>
        <translation>Sensor Calibration</translation>
    </message>
    <message>
        <source>温度参数</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>其它设置</source>
        <translation>Other Settings</translation>
    </message>
    <message>
        <source>破碎判断方式</source>
        <translation>Break Detection</translation>
    </message>
    <message>
        <source>力值判断</source>
        <translation>Force criterion</translation>
    </message>
    <message>
        <source>速度判断</source>
        <translation>Speed criterion</translation>
    </message>
    <message>
        <source>阀口开度判断</source>
        <translation>Valve-opening criterion</translation>
    </message>
    <message>
        <source>软件的值</source>
        <translation>Software value</translation>
    </message>
    <message>
        <source>控制箱的值</source>
        <translation>Controller value</translation>
    </message>
    <message>
        <source>读取控制箱</source>
        <translation>Read Controller</translation>
    </message>
    <message>
        <source>更正控制箱</source>
        <translation>Correct Controller</translation>
    </message>
    <message>
        <source>更正软件</source>
        <translation>Correct Software</translation>
    </message>
    <message>
        <source>备份参数</source>
        <translation>Back Up</translation>
    </message>
    <message>
        <source>还原参数</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>串口通讯等待</source>
        <translation>Serial Communication</translation>
    </message>
    <message>
        <source>正在读取数据,请稍后...</source>
        <translation>Reading data, please wait...</translation>
    </message>
    <message>
        <source>正在下发数据,请稍后...</source>
        <translation>Sending data, please wait...</translation>
    </message>
    <message>
        <source>参数备份文件 (*.ini)</source>
        <translation>Parameter backup files (*.ini)</translation>
    </message>
    <message>
        <source>请输入要保存的备份文件</source>
        <translation>Enter the backup file to save</translation>
    </message>
    <message>
        <source>请选择要还原的备份文件</source>
        <translation>Choose the backup file to restore</translation>
    </message>
    <message>
        <source>输入不正确</source>
        <translation> is not valid</translation>
    </message>
    <message>
        <source>备份文件无法写入:%1</source>
        <translation>The backup file cannot be written: %1</translation>
    </message>
    <message>
        <source>无法联系控制器,系统无法正常运行,请检查控制器是否打开!</source>
        <translation>Cannot contact the controller; the system cannot work properly. Please check that the controller is switched on!</translation>
    </message>
    <message>
        <source>软件与控制箱之间有%1个参数不一致,请判断</source>
        <translation>%1 parameters differ between the software and the controller; please decide.</translation>
    </message>
</context>
<context>
    <name>kv::TfrmCheckParam</name>
    <message>
        <source>检测参数</source>
        <translation>Check Parameters</translation>
    </message>
    <message>
        <source>第%1点</source>
        <translation>Point %1</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>检测点</source>
        <translation>Checkpoint</translation>
    </message>
    <message>
        <source>插入</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>删 除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>增加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>减少</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>提示 ： 允许检测的最大力为</source>
        <translation>Note: the largest force that may be checked is </translation>
    </message>
    <message>
        <source>加载设置</source>
        <translation>Loading Settings</translation>
    </message>
    <message>
        <source>快速加载</source>
        <translation>Fast loading</translation>
    </message>
    <message>
        <source>慢速加载</source>
        <translation>Slow loading</translation>
    </message>
    <message>
        <source>快慢速选择</source>
        <translation>Fast/Slow Switching</translation>
    </message>
    <message>
        <source>自动快慢速</source>
        <translation>Automatic fast/slow</translation>
    </message>
    <message>
        <source>手动快慢速</source>
        <translation>Manual fast/slow</translation>
    </message>
    <message>
        <source>慢速提前量</source>
        <translation>Slow-speed advance</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>检测点输入有误</source>
        <translation>A checkpoint is not valid</translation>
    </message>
    <message>
        <source>速度输入有误</source>
        <translation>A loading speed is not valid</translation>
    </message>
    <message>
        <source>慢速提前量错误</source>
        <translation>The slow-speed advance is not a number</translation>
    </message>
    <message>
        <source>慢速提前量范围出错</source>
        <translation>The slow-speed advance is out of range</translation>
    </message>
    <message>
        <source>发送数据到控制器出错</source>
        <translation>Error sending data to the controller</translation>
    </message>
    <message>
        <source>保存到数据库出错</source>
        <translation>Error saving to the database</translation>
    </message>
</context>
<context>
    <name>kv::TfrmSetport</name>
    <message>
        <source>力码设定</source>
        <translation>Force Code Setting</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>检测点</source>
        <translation>Force</translation>
    </message>
    <message>
        <source>力码</source>
        <translation>Force code</translation>
    </message>
    <message>
        <source>第%1点</source>
        <translation>Point %1</translation>
    </message>
    <message>
        <source>校准的力值力码</source>
        <translation>Calibrated Forces and Codes</translation>
    </message>
    <message>
        <source>现有的力值力码</source>
        <translation>Existing Forces and Codes</translation>
    </message>
    <message>
        <source>插入</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>增加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>减少</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>提示： 允许设置的最大力为</source>
        <translation>Note: the largest force that may be set is </translation>
    </message>
    <message>
        <source>还原</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>修正</source>
        <translation>Take Over</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>正在下发数据,请稍后...</source>
        <translation>Sending data, please wait...</translation>
    </message>
    <message>
        <source>无法联系控制器,系统无法正常运行,请检查控制器是否打开!</source>
        <translation>Cannot contact the controller; the system cannot work properly. Please check that the controller is switched on!</translation>
    </message>
    <message>
        <source>保存到数据库出错</source>
        <translation>Error saving to the database</translation>
    </message>
    <message>
        <source>力值输入出错</source>
        <translation>Force input error</translation>
    </message>
    <message>
        <source>力码输入出错</source>
        <translation>Force code input error</translation>
    </message>
    <message>
        <source>第%1点的力值小于第%2点的力值,力值不能减小</source>
        <translation>The force of point %1 is below that of point %2; forces must not decrease</translation>
    </message>
    <message>
        <source>第%1点的力码小于第%2点的力码,力码不能减小</source>
        <translation>The code of point %1 is below that of point %2; codes must not decrease</translation>
    </message>
</context>
<context>
    <name>kv::TCodeDownload</name>
    <message>
        <source>无法联系控制器,系统无法正常运行,请检查控制器是否打开!</source>
        <translation>Cannot contact the controller; the system cannot work properly. Please check that the controller is switched on!</translation>
    </message>
    <message>
        <source>发送数据到控制器出错</source>
        <translation>Error sending data to the controller</translation>
    </message>
    <message>
        <source>保存到数据库出错</source>
        <translation>Error saving to the database</translation>
    </message>
    <message>
        <source>控制箱已恢复原来的力码表,控制箱、软件和数据库仍是原来的力码表。</source>
        <translation>The controller has its previous force code table again; the controller, the software and the database all keep the previous table.</translation>
    </message>
    <message>
        <source>控制箱中的力码表可能已部分改写,软件和数据库仍是原来的力码表。请在控制器恢复联系后重新下发,或在高级参数中核对。</source>
        <translation>The force code table in the controller may be partly overwritten; the software and the database keep the previous table. Send the table again once the controller answers, or compare them in the advanced parameters.</translation>
    </message>
    <message>
        <source>控制箱中已是新的力码表(或其一部分),软件和数据库仍是原来的力码表。请在控制器恢复联系后重新下发,或在高级参数中核对。</source>
        <translation>The controller holds the new force code table (or part of it); the software and the database keep the previous table. Send the table again once the controller answers, or compare them in the advanced parameters.</translation>
    </message>
</context>
<context>
    <name>kv::TfrmExamreport</name>
    <message>
        <source>力值检测结果记录表</source>
        <translation>Force Check Record</translation>
    </message>
    <message>
        <source>检测方式：%1</source>
        <translation>Mode: %1</translation>
    </message>
    <message>
        <source>力值检测</source>
        <translation>Force verification</translation>
    </message>
    <message>
        <source>力值校准</source>
        <translation>Force calibration</translation>
    </message>
    <message>
        <source>第%1点</source>
        <translation>Point %1</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>检测点</source>
        <translation>Checkpoint</translation>
    </message>
    <message>
        <source>实测力值</source>
        <translation>Measured</translation>
    </message>
    <message>
        <source>实测力码</source>
        <translation>Force code</translation>
    </message>
    <message>
        <source>误差(%)</source>
        <translation>Error (%)</translation>
    </message>
    <message>
        <source>示值误差与重复性</source>
        <translation>Indication error and repeatability</translation>
    </message>
    <message>
        <source>平均实测力值</source>
        <translation>Mean measured</translation>
    </message>
    <message>
        <source>示值误差q(%)</source>
        <translation>Error q (%)</translation>
    </message>
    <message>
        <source>重复性b(%)</source>
        <translation>Repeatability b (%)</translation>
    </message>
    <message>
        <source>计入的测量次数：%1</source>
        <translation>Series counted: %1</translation>
    </message>
    <message>
        <source>准确度级别：不评定（无检测数据）</source>
        <translation>Accuracy class: not assessed (nothing measured)</translation>
    </message>
    <message>
        <source>准确度级别：不评定（重复性需三次测量，现有%1次）</source>
        <translation>Accuracy class: not assessed (repeatability needs three series; %1 taken)</translation>
    </message>
    <message>
        <source>准确度级别：%1级</source>
        <translation>Accuracy class: %1</translation>
    </message>
    <message>
        <source>准确度级别：未达到3级</source>
        <translation>Accuracy class: class 3 not reached</translation>
    </message>
    <message>
        <source>注：示值相对误差 q = (Fm − F) / F × 100%，重复性相对误差 b = (Fmax − Fmin) / F × 100%。F 为标准测力仪所示的检测点力值，Fm、Fmax、Fmin 为检测点相同的最近三次测量中试验机实测力值的平均值、最大值和最小值（ISO 7500-1）。级别为 0.5、1、2、3 级中各检测点 |q| 与 b 均不超过其限值（0.5%、1.0%、2.0%、3.0%）的最高级别。仅评定 q 与 b：回零误差、可逆性误差和相对分辨力本机不测量，未参与评定。</source>
        <translation>Note: relative indication error q = (Fm − F) / F × 100%, relative repeatability error b = (Fmax − Fmin) / F × 100%. F is the checkpoint force shown by the reference instrument; Fm, Fmax and Fmin are the mean, largest and smallest force the machine measured in the last three series over the same checkpoints (ISO 7500-1). The class is the best of 0.5, 1, 2 and 3 whose limits (0.5 %, 1.0 %, 2.0 %, 3.0 %) hold for |q| and b at every checkpoint. Only q and b are assessed: zero error, reversibility and relative resolution are not measured by this machine and do not count.</translation>
    </message>
    <message>
        <source>日期：</source>
        <translation>Date: </translation>
    </message>
    <message>
        <source>校核：</source>
        <translation>Checked by: </translation>
    </message>
    <message>
        <source>检测：</source>
        <translation>Tested by: </translation>
    </message>
    <message>
        <source>导出PDF</source>
        <translation>Export PDF</translation>
    </message>
</context>
<context>
    <name>kv::TfrmCheck</name>
    <message>
        <source>表  头</source>
        <translation>Header</translation>
    </message>
    <message>
        <source>检测记录表的表头内容</source>
        <translation>The header lines of the check record</translation>
    </message>
    <message>
        <source>无法加载,可能是回油阀没有关紧或油管泄露！</source>
        <translation>Cannot load: the return valve may not be closed, or a hose is leaking!</translation>
    </message>
    <message>
        <source>无法联系控制器,系统无法正常运行,请检查控制器是否打开!</source>
        <translation>Cannot reach the controller; the system cannot run. Please check that the controller is switched on!</translation>
    </message>
    <message>
        <source>试验已停止，请等工作台回落后继续试验</source>
        <translation>The test has stopped. Please wait for the platen to come down before continuing.</translation>
    </message>
    <message>
        <source>当前力值已经超过选择的最大力值，请等工作台复位后继续试验！.</source>
        <translation>The force is above the selected maximum force. Please wait for the platen to return before continuing!</translation>
    </message>
    <message>
        <source>无法加载,可能原因是
1.等待加载时间不够.
2.初始开度不够.
3.回油阀没关紧(液压式)</source>
        <translation>Cannot load. Possible causes:
1. The waiting time is too short.
2. The initial valve opening is too small.
3. The return valve is not closed (hydraulic machines).</translation>
    </message>
    <message>
        <source>初始力值过大，系统无法加载，请检查是否清零！</source>
        <translation>The initial force is too high; the system cannot load. Please check that the force was zeroed!</translation>
    </message>
    <message>
        <source>当前力值超过设定的空闲保护力值,已进入保护状态,请先排查原因!</source>
        <translation>The force is above the idle-protection force; protection is on. Please find the cause first!</translation>
    </message>
    <message>
        <source>是否解除保护?如已排除请选择&quot;是&quot;</source>
        <translation>Release the protection? If the cause is removed, choose &quot;Yes&quot;</translation>
    </message>
    <message>
        <source>当前处于保护状态,请重启软件和控制器!</source>
        <translation>Protection is on. Please restart the software and the controller!</translation>
    </message>
    <message>
        <source>正在检测中，请先结束后退出</source>
        <translation>A check is in progress. Please end it before leaving.</translation>
    </message>
    <message>
        <source>软件与控制箱之间有%1个参数不一致,请判断</source>
        <translation>%1 parameters differ between the software and the controller. Please decide.</translation>
    </message>
    <message>
        <source>力值检测结束，是否需要修正标定力值数据</source>
        <translation>The force check is finished. Correct the calibration force data?</translation>
    </message>
    <message>
        <source>力值检测</source>
        <translation>Force Verification</translation>
    </message>
    <message>
        <source>力值校准</source>
        <translation>Force Calibration</translation>
    </message>
    <message>
        <source>开  始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>结  束</source>
        <translation>End</translation>
    </message>
    <message>
        <source>力码设置</source>
        <translation>Force Codes</translation>
    </message>
    <message>
        <source>打  印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>快  速</source>
        <translation>Fast</translation>
    </message>
    <message>
        <source>慢  速</source>
        <translation>Slow</translation>
    </message>
    <message>
        <source>采  点</source>
        <translation>Take Point</translation>
    </message>
    <message>
        <source>退  出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>载荷</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Rate</translation>
    </message>
    <message>
        <source>时间(s)</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <source>清零</source>
        <translation>Zero</translation>
    </message>
    <message>
        <source>开始后，当标准测力仪显示检测点力值时，请按空格键或“采  点”按钮采点。</source>
        <translation>After the start, press the space bar or &quot;Take Point&quot; when the reference instrument shows the checkpoint force.</translation>
    </message>
    <message>
        <source>显示校准/检定结果</source>
        <translation>Calibration / verification results</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>检测点</source>
        <translation>Checkpoint</translation>
    </message>
    <message>
        <source>实测力值</source>
        <translation>Measured force</translation>
    </message>
    <message>
        <source>力码</source>
        <translation>Force code</translation>
    </message>
    <message>
        <source>误差(%)</source>
        <translation>Error (%)</translation>
    </message>
    <message>
        <source>载荷－时间曲线</source>
        <translation>Load - Time Curve</translation>
    </message>
    <message>
        <source>第%1点</source>
        <translation>Point %1</translation>
    </message>
</context>
<context>
    <name>kv::TSettingsBackup</name>
    <message>
        <source>真的要对现在的参数进行备份吗？（这样会覆盖原有的数据备份）</source>
        <translation>Back up the current settings? (This replaces the existing backup.)</translation>
    </message>
    <message>
        <source>将备份数据保存在计算机中吗？（选“否”可另选保存位置，例如U盘）</source>
        <translation>Save the backup on this computer? (Choose “No” to choose another place, such as a USB disk.)</translation>
    </message>
    <message>
        <source>真的要恢复备份数据吗？（这样会覆盖原有的数据备份）</source>
        <translation>Restore the backup data? (This overwrites the present data.)</translation>
    </message>
    <message>
        <source>选用计算机中的还是其他位置（例如U盘）中的备份数据。计算机中的数据吗？</source>
        <translation>Use the backup on this computer or one from another place (such as a USB disk)? The one on this computer?</translation>
    </message>
    <message>
        <source>计算机中无法找到备份文件，请选择其他位置（例如U盘）中的备份文件进行数据恢复。</source>
        <translation>No backup file was found on this computer. Please restore from a backup file in another place (such as a USB disk).</translation>
    </message>
    <message>
        <source>请将带有备份数据的U盘插入计算机然后再进行数据恢复。</source>
        <translation>Please insert the USB disk with the backup data, then restore again.</translation>
    </message>
    <message>
        <source>读取数据库出错，数据备份没有完成。</source>
        <translation>Error reading the database; the backup was not made.</translation>
    </message>
    <message>
        <source>原有的备份文件无法改名为 %1，数据备份没有完成。</source>
        <translation>The existing backup file cannot be renamed to %1; the backup was not made.</translation>
    </message>
    <message>
        <source>备份文件无法写入：%1</source>
        <translation>The backup file cannot be written: %1</translation>
    </message>
    <message>
        <source>数据备份完成，请确认！</source>
        <translation>Backup finished. Please confirm!</translation>
    </message>
    <message>
        <source>备份文件是空的。</source>
        <translation>The backup file is empty.</translation>
    </message>
    <message>
        <source>备份文件不是文本文件。</source>
        <translation>The backup file is not a text file.</translation>
    </message>
    <message>
        <source>第1行不是“[SavNum]”，这不是参数备份文件。</source>
        <translation>Line 1 is not “[SavNum]”: this is not a settings backup file.</translation>
    </message>
    <message>
        <source>第%1行：“%2”不是整数。</source>
        <translation>Line %1: “%2” is not a whole number.</translation>
    </message>
    <message>
        <source>第%1行：“%2”超出范围。</source>
        <translation>Line %1: “%2” is out of range.</translation>
    </message>
    <message>
        <source>第%1行：“%2”不是数值。</source>
        <translation>Line %1: “%2” is not a number.</translation>
    </message>
    <message>
        <source>第%1行：无法解码的值。</source>
        <translation>Line %1: a value that cannot be decoded.</translation>
    </message>
    <message>
        <source>文件在第%1行后中断，缺少“%2”，备份文件不完整。</source>
        <translation>The file ends after line %1 without “%2”: the backup file is incomplete.</translation>
    </message>
    <message>
        <source>第%1行：段“%2”的位置不对。</source>
        <translation>Line %1: section “%2” is out of place.</translation>
    </message>
    <message>
        <source>第%1行：未知的段“%2”。</source>
        <translation>Line %1: unknown section “%2”.</translation>
    </message>
    <message>
        <source>第%1行：用户名“%2”无效。</source>
        <translation>Line %1: the user name “%2” is not valid.</translation>
    </message>
    <message>
        <source>第%1行：“[End]”之后还有内容。</source>
        <translation>Line %1: there is more after “[End]”.</translation>
    </message>
    <message>
        <source>读取参数出错，请确认备份文件是否正确？</source>
        <translation>Error reading the settings. Is the backup file correct?</translation>
    </message>
    <message>
        <source>文件无法打开：%1</source>
        <translation>The file cannot be opened: %1</translation>
    </message>
    <message>
        <source>数据库正忙，无法写入。</source>
        <translation>The database is busy and cannot be written.</translation>
    </message>
    <message>
        <source>第%1行：无法写入数据库，没有恢复任何数据。</source>
        <translation>Line %1: the database cannot be written; nothing was restored.</translation>
    </message>
    <message>
        <source>出错</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>数据恢复完成，部分参数需要重新启动采能起作用！</source>
        <translation>Restore finished. Some settings take effect only after a restart!</translation>
    </message>
</context>
<context>
    <name>kv::TSettingsBackupCommands</name>
    <message>
        <source>参数备份文件 (sasback.txt*);;所有文件 (*)</source>
        <translation>Settings backup files (sasback.txt*);;All files (*)</translation>
    </message>
    <message>
        <source>请选择备份文件的保存位置</source>
        <translation>Choose where to save the backup file</translation>
    </message>
    <message>
        <source>请选择要恢复的备份文件</source>
        <translation>Choose the backup file to restore</translation>
    </message>
</context>
<context>
    <name>kv::TfrmTestHardWare</name>
    <message>
        <source>测试硬件采样模块</source>
        <translation>Test the hardware sampling module</translation>
    </message>
    <message>
        <source>当前力码：</source>
        <translation>Present force code:</translation>
    </message>
    <message>
        <source>相对码</source>
        <translation>Relative code</translation>
    </message>
    <message>
        <source>绝对码</source>
        <translation>Absolute code</translation>
    </message>
    <message>
        <source>清零</source>
        <translation>Zero</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>kv::TfrmExamCaptions</name>
    <message>
        <source>记录表表头</source>
        <translation>Record Header</translation>
    </message>
    <message>
        <source>检测记录表上方的表头内容（单位、设备、标准测力仪等），每项不超过10个汉字。</source>
        <translation>The header lines above the check record (laboratory, machine, reference instrument ...), each entry at most 20 characters.</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>内容</source>
        <translation>Content</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>保存到数据库出错</source>
        <translation>Error saving to the database</translation>
    </message>
</context>
<context>
    <name>kv::TfrmConfigRep</name>
    <message>
        <source>报表模板复制失败：</source>
        <translation>The template could not be copied: </translation>
    </message>
    <message>
        <source>报表设置</source>
        <translation>Report settings</translation>
    </message>
    <message>
        <source>本组个数</source>
        <translation>Specimens per group</translation>
    </message>
    <message>
        <source>在右边的表格中选中单元格，双击参数位置框或按“...”取地址；退格键清空位置。</source>
        <translation>Select a cell in the sheet on the right, then double-click a position box or press "..." to take its address; Backspace clears a position.</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>旧的.xls格式，LibreOffice无法转换</source>
        <translation>Old .xls format; LibreOffice could not convert it</translation>
    </message>
    <message>
        <source>旧的.xls格式，需要安装LibreOffice转换后才能使用</source>
        <translation>Old .xls format; install LibreOffice to convert it</translation>
    </message>
    <message>
        <source>Excel文件(*.xlsx *.xls)</source>
        <translation>Excel files (*.xlsx *.xls)</translation>
    </message>
    <message>
        <source>报表文件夹不存在,请检查!</source>
        <translation>The report folder does not exist, please check!</translation>
    </message>
    <message>
        <source>该名称报表已存在,是否覆盖?</source>
        <translation>A report of this name exists. Overwrite it?</translation>
    </message>
    <message>
        <source>没有安装LibreOffice，旧的.xls格式报表模板无法使用。请用Excel或WPS另存为.xlsx格式后再添加。</source>
        <translation>LibreOffice is not installed, so an old .xls report template cannot be used. Save it as .xlsx in Excel or WPS and add it again.</translation>
    </message>
    <message>
        <source>是否删除该报表</source>
        <translation>Delete this report?</translation>
    </message>
    <message>
        <source>文件无法删除,可能正在使用</source>
        <translation>The file cannot be deleted; it may be in use</translation>
    </message>
    <message>
        <source>旧的.xls格式报表模板，需要安装LibreOffice转换后才能使用</source>
        <translation>Old .xls report template: install LibreOffice to convert it before it can be used</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>参数名称</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>参数位置</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>排列方式</source>
        <translation>Arrangement</translation>
    </message>
    <message>
        <source>间隔</source>
        <translation>Spacing</translation>
    </message>
    <message>
        <source>横向</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>纵向</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>双击取地址</source>
        <translation>Double-click to take the address</translation>
    </message>
    <message>
        <source>本组个数出错</source>
        <translation>Specimens per group is wrong</translation>
    </message>
    <message>
        <source>排列间隔出错</source>
        <translation>Arrangement spacing is wrong</translation>
    </message>
</context>
<context>
    <name>TXlsxBook</name>
    <message>
        <source>文件%1不是有效的Excel(.xlsx)文件</source>
        <translation>The file %1 is not a valid Excel (.xlsx) workbook</translation>
    </message>
    <message>
        <source>文件%1不存在</source>
        <translation>The file %1 does not exist</translation>
    </message>
    <message>
        <source>文件%1已损坏</source>
        <translation>The file %1 is damaged</translation>
    </message>
    <message>
        <source>文件%1无法写入</source>
        <translation>The file %1 cannot be written</translation>
    </message>
    <message>
        <source>工作表%1无法写入</source>
        <translation>The sheet %1 cannot be written</translation>
    </message>
    <message>
        <source>没有安装LibreOffice</source>
        <translation>LibreOffice is not installed</translation>
    </message>
    <message>
        <source>LibreOffice无法转换文件%1</source>
        <translation>LibreOffice could not convert the file %1</translation>
    </message>
</context>
<context>
    <name>kv::TfrmDbSettings</name>
    <message>
        <source>数据库设置</source>
        <translation>Database settings</translation>
    </message>
    <message>
        <source>本机数据库文件 (SQLite)</source>
        <translation>Database file on this computer (SQLite)</translation>
    </message>
    <message>
        <source>数据库服务器 (PostgreSQL)</source>
        <translation>Database server (PostgreSQL)</translation>
    </message>
    <message>
        <source>空: 本机</source>
        <translation>empty: this computer</translation>
    </message>
    <message>
        <source>空: 使用密码文件 (~/.pgpass)</source>
        <translation>empty: use the password file (~/.pgpass)</translation>
    </message>
    <message>
        <source>空: 默认</source>
        <translation>empty: default</translation>
    </message>
    <message>
        <source>服务器:</source>
        <translation>Server:</translation>
    </message>
    <message>
        <source>端口:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>数据库:</source>
        <translation>Database:</translation>
    </message>
    <message>
        <source>用户:</source>
        <translation>User:</translation>
    </message>
    <message>
        <source>密码:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>模式:</source>
        <translation>Schema:</translation>
    </message>
    <message>
        <source>密码不会保存; 设置保存在数据库文件旁的 Database.ini 中。</source>
        <translation>The password is never stored; the settings are kept in Database.ini beside the database file.</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>kv::TStartup</name>
    <message>
        <source>无法连接数据库服务器（%1）。
请检查网络、服务器和数据库设置。</source>
        <translation>Cannot connect to the database server (%1).
Please check the network, the server and the database settings.</translation>
    </message>
    <message>
        <source>数据库服务器上的数据库 %1 无法使用（%2）。
请检查服务器上的数据库和该用户的权限，再重新启动程序。</source>
        <translation>The database %1 on the database server cannot be used (%2).
Please check the database on the server and the rights of its user, then start the program again.</translation>
    </message>
    <message>
        <source>是否修改数据库设置？</source>
        <translation>Change the database settings?</translation>
    </message>
    <message>
        <source>无法保存数据库设置 %1</source>
        <translation>Cannot save the database settings %1</translation>
    </message>
</context>
<context>
    <name>kv::ImportCommand</name>
    <message>
        <source>找不到要导入的数据库文件 %1</source>
        <translation>The database file to import was not found: %1</translation>
    </message>
    <message>
        <source>%1 中没有设置数据库服务器, 请先在数据库设置中选择服务器</source>
        <translation>%1 names no database server; choose the server in the database settings first</translation>
    </message>
    <message>
        <source>无法读取 %1</source>
        <translation>Cannot read %1</translation>
    </message>
    <message>
        <source>%1: %2 行</source>
        <translation>%1: %2 rows</translation>
    </message>
    <message>
        <source>已导入 %1 个表, 共 %2 行, 到 %3</source>
        <translation>Imported %1 tables, %2 rows in all, into %3</translation>
    </message>
    <message>
        <source>导入失败: %1</source>
        <translation>Import failed: %1</translation>
    </message>
</context>
<context>
    <name>kv::DbTransfer</name>
    <message>
        <source>服务器数据库中已有表 %1, 只能导入到空数据库</source>
        <translation>The server database already has the table %1; import only into an empty database</translation>
    </message>
    <message>
        <source>无法读取数据库模板 %1</source>
        <translation>Cannot read the database template %1</translation>
    </message>
    <message>
        <source>无法读取表 %1: %2</source>
        <translation>Cannot read the table %1: %2</translation>
    </message>
    <message>
        <source>无法写入表 %1: %2</source>
        <translation>Cannot write the table %1: %2</translation>
    </message>
    <message>
        <source>无法写入表 %1 的第 %2 行: %3</source>
        <translation>Cannot write row %2 of the table %1: %3</translation>
    </message>
    <message>
        <source>无法写入服务器数据库: %1</source>
        <translation>Cannot write the server database: %1</translation>
    </message>
</context>
<context>
    <name>TDbEngine</name>
    <message>
        <source>数据库引擎 (PostgreSQL) 不存在</source>
        <translation>The database engine (PostgreSQL) is not installed</translation>
    </message>
    <message>
        <source>无法连接数据库服务器 %1: %2</source>
        <translation>Cannot connect to the database server %1: %2</translation>
    </message>
    <message>
        <source>数据库 %1 缺少 citext 扩展, 且无法创建: %2</source>
        <translation>The database %1 lacks the citext extension and it cannot be created: %2</translation>
    </message>
</context>
</TS>
