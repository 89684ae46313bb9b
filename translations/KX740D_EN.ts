<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>Dialog_wait</name>
    <message>
        <location filename="../widgets/dialog_wait.ui" line="+20"/>
        <source>清除FLASH大约需要等待一分钟，请稍等</source>
        <translation>Erasing the flash memory takes about one minute, please wait</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../widgets/dialog_wait.cpp" line="+46"/>
        <source>需要等待一些时间，请稍等
%1秒后自动退出</source>
        <translation>This may take a while, please wait
Closes automatically in %1 s</translation>
    </message>
</context>
<context>
    <name>FormRename</name>
    <message>
        <location filename="../widgets/formrename.ui" line="+14"/>
        <location filename="../widgets/formrename.cpp" line="+11"/>
        <source>重命名</source>
        <translation>Rename</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>FormSetting</name>
    <message>
        <location filename="../widgets/formsetting.ui" line="+14"/>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../app/mainwindow.ui" line="+142"/>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location line="+102"/>
        <source>Tab 1</source>
        <translation>Tab 1</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <location line="+16"/>
        <location filename="../app/mainwindow.cpp" line="+247"/>
        <source>连接设备</source>
        <translation>Connect device</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>新建</source>
        <translation>New</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>另存为</source>
        <translation>Save as</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>导入设备数据</source>
        <translation>Import device data</translation>
    </message>
    <message>
        <location line="+149"/>
        <source>开始/结束</source>
        <translation>Start/Stop</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>HOLD</source>
        <translation>HOLD</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>存储间隔</source>
        <translation>Storage interval</translation>
    </message>
    <message>
        <location line="+22"/>
        <location line="+3312"/>
        <source> 时</source>
        <translation> h</translation>
    </message>
    <message>
        <location line="-3293"/>
        <location line="+3312"/>
        <source> 分</source>
        <translation> min</translation>
    </message>
    <message>
        <location line="-3293"/>
        <location line="+3315"/>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <location line="-3276"/>
        <source>图表</source>
        <translation>Chart</translation>
    </message>
    <message>
        <location line="+57"/>
        <location line="+177"/>
        <source>切换</source>
        <translation>Switch</translation>
    </message>
    <message>
        <location line="-154"/>
        <source>坐标轴</source>
        <translation>Axes</translation>
    </message>
    <message>
        <location line="+30"/>
        <location line="+244"/>
        <location line="+1728"/>
        <location line="+514"/>
        <location line="+1555"/>
        <source>T1</source>
        <translation>T1</translation>
    </message>
    <message>
        <location line="-4022"/>
        <location line="+241"/>
        <location line="+1815"/>
        <location line="+558"/>
        <location line="+1421"/>
        <source>T2</source>
        <translation>T2</translation>
    </message>
    <message>
        <location line="-4016"/>
        <location line="+238"/>
        <location line="+1902"/>
        <location line="+602"/>
        <location line="+1287"/>
        <source>T3</source>
        <translation>T3</translation>
    </message>
    <message>
        <location line="-4010"/>
        <location line="+235"/>
        <location line="+1989"/>
        <location line="+646"/>
        <location line="+1153"/>
        <source>T4</source>
        <translation>T4</translation>
    </message>
    <message>
        <location line="-3992"/>
        <source>表格</source>
        <translation>Table</translation>
    </message>
    <message>
        <location line="+92"/>
        <source>面板控制</source>
        <translation>Panel control</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>差值模式</source>
        <translation>Difference mode</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>NORMAL</source>
        <translation>NORMAL</translation>
    </message>
    <message>
        <location line="+90"/>
        <source>计量模式</source>
        <translation>Measuring mode</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>MAX</source>
        <translation>MAX</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>MIN</source>
        <translation>MIN</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>   NORMAL</source>
        <translation>   NORMAL</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>AVG</source>
        <translation>AVG</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>蓝牙</source>
        <translation>Bluetooth</translation>
    </message>
    <message>
        <location line="+21"/>
        <source> 蓝牙</source>
        <translation> Bluetooth</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>OFF</source>
        <translation>OFF</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>ON</source>
        <translation>ON</translation>
    </message>
    <message>
        <location line="+48"/>
        <location line="+3582"/>
        <source>页</source>
        <translation>Page</translation>
    </message>
    <message>
        <location line="-3483"/>
        <location line="+252"/>
        <location line="+3299"/>
        <source>设备</source>
        <translation>Device</translation>
    </message>
    <message>
        <location line="-3531"/>
        <location line="+679"/>
        <source>单位</source>
        <translation>Unit</translation>
    </message>
    <message>
        <location line="-659"/>
        <location line="+767"/>
        <source>热电偶类型</source>
        <translation>Thermocouple type</translation>
    </message>
    <message>
        <location line="-747"/>
        <location line="+1133"/>
        <source>热电偶补偿</source>
        <translation>Thermocouple compensation</translation>
    </message>
    <message>
        <location line="-1113"/>
        <location line="+1731"/>
        <source>报警阈值</source>
        <translation>Alarm limits</translation>
    </message>
    <message>
        <location line="-1711"/>
        <location line="+2341"/>
        <source>持续测量时间</source>
        <translation>Continuous measuring time</translation>
    </message>
    <message>
        <location line="-2321"/>
        <location line="+2476"/>
        <source>PDF设置</source>
        <translation>PDF settings</translation>
    </message>
    <message>
        <location line="-2456"/>
        <location line="+2679"/>
        <source>数据备份</source>
        <translation>Data backup</translation>
    </message>
    <message>
        <location line="-2659"/>
        <source>说明书</source>
        <translation>Manuals</translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+2905"/>
        <location line="+28"/>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <location line="-2913"/>
        <location line="+2988"/>
        <source>图表设置</source>
        <translation>Chart settings</translation>
    </message>
    <message>
        <location line="-2883"/>
        <source>设备名称</source>
        <translation>Device name</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>固件版本</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>时间同步</source>
        <translation>Synchronise time</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>设备存储空间</source>
        <translation>Device storage</translation>
    </message>
    <message>
        <location line="+66"/>
        <source>自动关机</source>
        <translation>Automatic power-off</translation>
    </message>
    <message>
        <location line="+60"/>
        <source> 工频抗干扰</source>
        <translation> Mains-frequency rejection</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>50Hz</source>
        <translation>50Hz</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>60HZ</source>
        <translation>60Hz</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>清除设备存储数据</source>
        <translation>Erase device storage</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>恢复出厂设置</source>
        <translation>Restore factory settings</translation>
    </message>
    <message>
        <location line="+103"/>
        <source> 单位</source>
        <translation> Unit</translation>
    </message>
    <message>
        <location line="+27"/>
        <location line="+1166"/>
        <location line="+147"/>
        <location line="+147"/>
        <location line="+147"/>
        <source>℃</source>
        <translation>℃</translation>
    </message>
    <message>
        <location line="-1602"/>
        <source>℉</source>
        <translation>℉</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+98"/>
        <location line="+86"/>
        <location line="+86"/>
        <location line="+86"/>
        <source>K</source>
        <translation>K</translation>
    </message>
    <message>
        <location line="-285"/>
        <source>T1热电偶类型</source>
        <translation>T1 thermocouple type</translation>
    </message>
    <message>
        <location line="+32"/>
        <location line="+86"/>
        <location line="+86"/>
        <location line="+86"/>
        <source>J</source>
        <translation>J</translation>
    </message>
    <message>
        <location line="-253"/>
        <location line="+86"/>
        <location line="+86"/>
        <location line="+86"/>
        <source>T</source>
        <translation>T</translation>
    </message>
    <message>
        <location line="-253"/>
        <location line="+86"/>
        <location line="+86"/>
        <location line="+86"/>
        <source>E</source>
        <translation>E</translation>
    </message>
    <message>
        <location line="-253"/>
        <location line="+86"/>
        <location line="+86"/>
        <location line="+86"/>
        <source>R</source>
        <translation>R</translation>
    </message>
    <message>
        <location line="-253"/>
        <location line="+86"/>
        <location line="+86"/>
        <location line="+86"/>
        <source>S</source>
        <translation>S</translation>
    </message>
    <message>
        <location line="-253"/>
        <location line="+86"/>
        <location line="+86"/>
        <location line="+86"/>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <location line="-229"/>
        <source>T2热电偶类型</source>
        <translation>T2 thermocouple type</translation>
    </message>
    <message>
        <location line="+86"/>
        <source>T3热电偶类型</source>
        <translation>T3 thermocouple type</translation>
    </message>
    <message>
        <location line="+86"/>
        <source>T4热电偶类型</source>
        <translation>T4 thermocouple type</translation>
    </message>
    <message>
        <location line="+127"/>
        <source> 通道</source>
        <translation> Channel</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>实时温度  </source>
        <translation>Live temperature  </translation>
    </message>
    <message>
        <location line="+38"/>
        <source>补偿档位</source>
        <translation>Compensation</translation>
    </message>
    <message>
        <location line="+457"/>
        <source>环境温度</source>
        <translation>Ambient temperature</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>25.0</source>
        <translation>25.0</translation>
    </message>
    <message>
        <location line="+116"/>
        <location line="+147"/>
        <location line="+147"/>
        <location line="+147"/>
        <source>上限 </source>
        <translation>High </translation>
    </message>
    <message>
        <location line="-413"/>
        <location line="+147"/>
        <location line="+147"/>
        <location line="+147"/>
        <source>下限  </source>
        <translation>Low  </translation>
    </message>
    <message>
        <location line="+279"/>
        <source>logo</source>
        <translation>Logo</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>更换</source>
        <translation>Change</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>测试人员</source>
        <translation>Tester</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>公司名称</source>
        <translation>Company name</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>备注：</source>
        <translation>Remarks:</translation>
    </message>
    <message>
        <location line="+86"/>
        <source>自动备份</source>
        <translation>Automatic backup</translation>
    </message>
    <message>
        <location line="+74"/>
        <source>使用手册</source>
        <translation>User manuals</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>KX740D使用说明书</source>
        <translation>KX740D user manual</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>PC软件使用说明书</source>
        <translation>PC software manual</translation>
    </message>
    <message>
        <location line="+130"/>
        <source>中文</source>
        <translation>中文 (Chinese)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <location line="+71"/>
        <source>line_style</source>
        <translation>Line style</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>ScatterShape</source>
        <translation>Scatter shape</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>Y轴标题</source>
        <translation>Y-axis title</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>X轴标题</source>
        <translation>X-axis title</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>图例</source>
        <translation>Legend</translation>
    </message>
    <message>
        <location line="+175"/>
        <source> 仪表工作台</source>
        <translation> Instrument workbench</translation>
    </message>
    <message>
        <location line="+39"/>
        <source> debug</source>
        <translation> debug</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>参考线</source>
        <translation>Reference line</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>开启用于对齐表格</source>
        <translation>Turn on to line up with the table</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <location filename="../app/mainwindow.cpp" line="-204"/>
        <source>确定</source>
        <translation>Erasing the flash memory takes about one minute, please wait</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>KX740D数据</source>
        <translation>KX740D data</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>编号</source>
        <translation>No.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>温度</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>KX740D </source>
        <translation>KX740D </translation>
    </message>
    <message>
        <location line="+177"/>
        <source>状态 ：就绪</source>
        <translation>Status: ready</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>状态：未就绪</source>
        <translation>Status: not ready</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>断开连接</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> 已连接设备</source>
        <translation> device connected</translation>
    </message>
    <message>
        <location line="+5"/>
        <source> 未连接设备</source>
        <translation> no device connected</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>是否保存现有列表数据？
不保存目前数据将会丢失</source>
        <translation>Save the current data?
Data that is not saved will be lost.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../app/mainwindow_settings.cpp" line="+89"/>
        <source>无法创建文件，请使用管理员权限运行程序。</source>
        <translation>Cannot create the file. Please run the program with administrator rights.</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>打开图像文件.</source>
        <translation>Open image file.</translation>
    </message>
</context>
</TS>
