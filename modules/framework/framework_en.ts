<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>TModuleText</name>
    <message>
        <source>当前编号的试样已经在数据库中存在，请填写新的编号</source>
        <translation>Specimens with this number already exist in the database. Please enter a new number.</translation>
    </message>
    <message>
        <source>保存试验参数出错</source>
        <translation>Error saving the test parameters</translation>
    </message>
    <message>
        <source>龄期</source>
        <translation>Age</translation>
    </message>
    <message>
        <source>组号</source>
        <translation>Group No.</translation>
    </message>
    <message>
        <source>报表</source>
        <translation>Report</translation>
    </message>
    <message>
        <source>试验编号：</source>
        <translation>Group No.:</translation>
    </message>
    <message>
        <source>试验日期：</source>
        <translation>Test date:</translation>
    </message>
    <message>
        <source>试 验 人：</source>
        <translation>Operator:</translation>
    </message>
    <message>
        <source>打印日期:</source>
        <translation>Print date:</translation>
    </message>
    <message>
        <source>已修正：</source>
        <translation>Corrected:</translation>
    </message>
    <message>
        <source>检测依据</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>有效强度(MPa)</source>
        <translation>Valid strength (MPa)</translation>
    </message>
    <message>
        <source>规格不正确</source>
        <translation>The size is not correct</translation>
    </message>
    <message>
        <source>结果无效</source>
        <translation>Result invalid</translation>
    </message>
    <message>
        <source>试件编号</source>
        <translation>Group No.</translation>
    </message>
    <message>
        <source>试件块数出错</source>
        <translation>Wrong number of specimens</translation>
    </message>
    <message>
        <source>规格</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>保存成功。</source>
        <translation>Saved.</translation>
    </message>
    <message>
        <source>保存数据出错!</source>
        <translation>Error saving data!</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>规格(mm*mm)</source>
        <translation>Size (mm*mm)</translation>
    </message>
    <message>
        <source>品种</source>
        <translation>Variety</translation>
    </message>
    <message>
        <source>力值(kN)</source>
        <translation>Force (kN)</translation>
    </message>
    <message>
        <source>强度(MPa)</source>
        <translation>Strength (MPa)</translation>
    </message>
    <message>
        <source>数据库操作出错（单元 %1，第 %2 行）：</source>
        <translation>Database operation failed (unit %1, line %2):</translation>
    </message>
    <message>
        <source>没有数据库连接</source>
        <translation>No database connection</translation>
    </message>
    <message>
        <source>没有找到要修改的记录</source>
        <translation>The record to change was not found</translation>
    </message>
    <message>
        <source>导出PDF</source>
        <translation>Export PDF</translation>
    </message>
    <message>
        <source>强度等级</source>
        <translation>Strength grade</translation>
    </message>
    <message>
        <source>本组个数</source>
        <translation>Specimens</translation>
    </message>
    <message>
        <source>有效力值</source>
        <translation>Valid force</translation>
    </message>
    <message>
        <source>有效强度</source>
        <translation>Valid strength</translation>
    </message>
    <message>
        <source>试验日期</source>
        <translation>Test date</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>试验员</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>试验标准</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>载荷</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>强度</source>
        <translation>Strength</translation>
    </message>
    <message>
        <source>试验组号不能为空</source>
        <translation>The group number must not be empty</translation>
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
        <source>试验品种不能为空</source>
        <translation>The variety must not be empty</translation>
    </message>
    <message>
        <source>试样龄期不能为空</source>
        <translation>The age must not be empty</translation>
    </message>
    <message>
        <source>速度输入出错</source>
        <translation>The loading rate is not correct</translation>
    </message>
    <message>
        <source>延时时间错误</source>
        <translation>The delay is not correct</translation>
    </message>
    <message>
        <source>力值</source>
        <translation>Force</translation>
    </message>
    <message>
        <source>第%1块</source>
        <translation>No. %1</translation>
    </message>
    <message>
        <source>是否连续加载</source>
        <translation>Loading mode</translation>
    </message>
    <message>
        <source>单独试验</source>
        <translation>Single test</translation>
    </message>
    <message>
        <source>连续试验</source>
        <translation>Continuous test</translation>
    </message>
    <message>
        <source>延时时间(s)</source>
        <translation>Delay (s)</translation>
    </message>
    <message>
        <source>数据明细</source>
        <translation>Data details</translation>
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
        <source>实测加载速率</source>
        <translation>Measured rate</translation>
    </message>
    <message>
        <source>设定加载速率</source>
        <translation>Set rate</translation>
    </message>
    <message>
        <source>超出±10%</source>
        <translation>outside ±10%</translation>
    </message>
</context>
<context>
    <name>TTemplateExport</name>
    <message>
        <source>报表模板无法打开：%1</source>
        <translation>The report template cannot be opened: %1</translation>
    </message>
    <message>
        <source>报表模板%1中没有DIY_标记，请先在报表设置中标记参数的位置</source>
        <translation>The report template %1 has no DIY_ marks; mark the cells of the parameters in Report settings first</translation>
    </message>
    <message>
        <source>报表模板%1中的标记%2没有指向有效的单元格(%3)，请在报表设置中重新标记</source>
        <translation>The mark %2 of the report template %1 points to no valid cell (%3); mark it again in Report settings</translation>
    </message>
    <message>
        <source>曲线</source>
        <translation>Curves</translation>
    </message>
    <message>
        <source>第%1块 时间(s)</source>
        <translation>Specimen %1 time (s)</translation>
    </message>
    <message>
        <source>第%1块 力值(kN)</source>
        <translation>Specimen %1 force (kN)</translation>
    </message>
    <message>
        <source>报表文件%1无法保存</source>
        <translation>The report file %1 cannot be saved</translation>
    </message>
    <message>
        <source>报表文件%1无法保存，请检查文件夹%2是否可写</source>
        <translation>The report file %1 cannot be saved; check that the folder %2 can be written</translation>
    </message>
    <message>
        <source>报表模板%1不存在</source>
        <translation>The report template %1 does not exist</translation>
    </message>
    <message>
        <source>报表模板%1是旧的Excel 97-2003格式(.xls)，没有安装LibreOffice，无法转换。请用Excel或WPS另存为.xlsx格式后重新添加。</source>
        <translation>The report template %1 is in the old Excel 97-2003 format (.xls), and LibreOffice, which converts it, is not installed. Save it as .xlsx in Excel or WPS and add it again.</translation>
    </message>
    <message>
        <source>报表已保存为%1。</source>
        <translation>The report was saved as %1.</translation>
    </message>
    <message>
        <source>模板中的标记%1不是本试验的参数，没有填写。</source>
        <translation>The template's marks %1 are not parameters of this test and were left empty.</translation>
    </message>
    <message>
        <source>没有找到打开该文件的程序。</source>
        <translation>No program was found to open the file.</translation>
    </message>
    <message>
        <source>没有安装LibreOffice，无法生成PDF文件。</source>
        <translation>LibreOffice is not installed, so no PDF file can be made.</translation>
    </message>
    <message>
        <source>是否同时生成PDF文件?</source>
        <translation>Make a PDF file of it too?</translation>
    </message>
</context>
</TS>
