<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>AlarmControl</name>
    <message>
        <location filename="../app/alarmcontrol.cpp" line="+173"/>
        <source>确认</source>
        <translation>Acknowledge</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>（已确认）</source>
        <translation> (acknowledged)</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>%1，自 %2起</source>
        <translation>%1, since %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1（%2 至 %3）</source>
        <translation>%1 (%2 to %3)</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>告警提示音无法加载，告警时不会发出声音。</source>
        <translation>The alarm sound could not be loaded: alarms make no sound.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>没有可用的音频输出设备，告警时不会发出声音。</source>
        <translation>No audio output device is available: alarms make no sound.</translation>
    </message>
</context>
<context>
    <name>AlarmPage</name>
    <message>
        <location filename="../app/alarmpage.cpp" line="+32"/>
        <source>告警在读数回到限值以内这么多之后才解除，探头在限值附近抖动时不会反复告警。</source>
        <translation>An alarm clears only once the reading is back inside its limit by this much, so a probe wavering at the limit does not raise it again and again.</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+7"/>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <location line="-6"/>
        <source>超限状态持续这么久才告警。</source>
        <translation>The reading must stay beyond the limit this long before the alarm is raised.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>探头开路或超出量程时告警</source>
        <translation>Alarm when a probe opens or leaves its range</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>不告警</source>
        <translation>No alarm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>连接或记录时，与仪器的连接断开这么久后告警。</source>
        <translation>While connected or recording: alarm once the link to the instrument has been lost this long.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>窗口不在前台时显示桌面通知</source>
        <translation>Desktop notification while the window is not in front</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>告警时播放提示音，直到确认</source>
        <translation>Play a sound on an alarm until it is acknowledged</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>回差</source>
        <translation>Hysteresis</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>告警延时</source>
        <translation>Alarm delay</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>仪器断开告警</source>
        <translation>Instrument lost after</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>上下限在本窗口“仪器”页的“报警阈值”中设置并开启。告警显示在主窗口上方的告警栏中，直到情况恢复并被确认。</source>
        <translation>The high and low limits are set and switched on under “Alarm limits” on this window&apos;s Instrument tab. Alarms appear in the alarm strip at the top of the main window until the condition is over and acknowledged.</translation>
    </message>
</context>
<context>
    <name>AlarmProgramRunner</name>
    <message>
        <location filename="../alarm/alarmprogram.cpp" line="+68"/>
        <source>告警程序 %1 仍有 %2 个未完成的运行；最早的一个被放弃。</source>
        <translation>The alarm program %1 has %2 runs waiting; the oldest one is dropped.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>告警程序 %1 还有 %2 次运行未开始，已放弃。</source>
        <translation>The alarm program %1 still had %2 runs waiting; they were dropped.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>告警程序 %1 有 %2 次运行在结束时仍未完成，已被终止。</source>
        <translation>Ended the alarm program %1 at the end: %2 run(s) had not finished.</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>告警程序 %1 在 %2 秒内没有结束，已被终止。</source>
        <translation>The alarm program %1 did not end within %2 s and was killed.</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>无法启动告警程序 %1：%2</source>
        <translation>Cannot start the alarm program %1: %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>告警程序 %1 以状态 %2 结束。</source>
        <translation>The alarm program %1 ended with status %2.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>告警程序 %1 异常结束。</source>
        <translation>The alarm program %1 crashed.</translation>
    </message>
</context>
<context>
    <name>AlarmStrip</name>
    <message>
        <location filename="../widgets/alarmstrip.cpp" line="+55"/>
        <source>确认</source>
        <translation>Acknowledge</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>确认此告警：停止提示音并收回桌面通知</source>
        <translation>Acknowledge this alarm: stops the sound and takes back the desktop notification</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>另有 %1 条较早的告警</source>
        <translation>%1 older alarms not shown</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全部确认</source>
        <translation>Acknowledge all</translation>
    </message>
</context>
<context>
    <name>AlarmText</name>
    <message>
        <location filename="../alarm/alarmtext.cpp" line="+26"/>
        <source>高于上限</source>
        <translation>above the high limit</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>低于下限</source>
        <translation>below the low limit</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>探头开路</source>
        <translation>probe open</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>超出量程上限</source>
        <translation>above the measuring range</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>低于量程下限</source>
        <translation>below the measuring range</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>与仪器的连接丢失</source>
        <translation>instrument lost</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>仪器</source>
        <translation>instrument</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>告警：%1</source>
        <translation>Alarm: %1</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>告警：%1 %2（读数 %3）</source>
        <translation>Alarm: %1 %2 (reading %3)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>告警解除：%1，持续 %2</source>
        <translation>Alarm cleared: %1, lasted %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>告警解除：%1，持续 %2，极值 %3</source>
        <translation>Alarm cleared: %1, lasted %2, extreme %3</translation>
    </message>
</context>
<context>
    <name>AppSettings</name>
    <message>
        <location filename="../settings/settingsfile.cpp" line="+21"/>
        <source>KX740D 测试员</source>
        <translation>KX740D tester</translation>
    </message>
</context>
<context>
    <name>ArchiveBackup</name>
    <message numerus="yes">
        <location filename="../app/archivebackup.cpp" line="+105"/>
        <source>%1（%n 条记录）</source>
        <translation>
            <numerusform>%1 (%n record)</numerusform>
            <numerusform>%1 (%n records)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+19"/>
        <source>另外 %n 个测量</source>
        <translation>
            <numerusform>and %n more measurement</numerusform>
            <numerusform>and %n more measurements</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>程序上次没有正常结束。以下测量已恢复，尚未保存：</source>
        <translation>The program did not end normally last time. These measurements were brought back and are not saved yet:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>当时正在进行的记录可以继续：选中它的测量后按“开始”。</source>
        <translation>The recording that was running then can go on: select its measurement and press Start.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已恢复数据</source>
        <translation>Data brought back</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>上次未保存的数据已损坏，无法恢复。
该文件保留为：%1</source>
        <translation>The unsaved data left from last time is damaged and cannot be restored.
The file is kept as: %1</translation>
    </message>
    <message>
        <location line="+143"/>
        <source>无法备份未保存的数据到 %1：%2
程序意外退出时这些数据将会丢失，请及时保存。</source>
        <translation>Cannot back up the unsaved data to %1: %2
If the program ends unexpectedly, this data is lost. Please save it soon.</translation>
    </message>
</context>
<context>
    <name>ArchivePage</name>
    <message>
        <location filename="../app/archivepage.cpp" line="+122"/>
        <source>保存数据到文件</source>
        <translation>Save data to file</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+21"/>
        <source>数据文件</source>
        <translation>Data file</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>打开数据文件</source>
        <translation>Open data file</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>该文件不是有效的数据文件，无法打开。</source>
        <translation>This file is not a valid data file and cannot be opened.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>保存数据</source>
        <translation>Save data</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>是否保存现有列表数据？
不保存目前数据将会丢失</source>
        <translation>Save the current data?
Data that is not saved will be lost.</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+349"/>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <location line="-349"/>
        <location line="+349"/>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <location line="-349"/>
        <location line="+208"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="-136"/>
        <source>撤销%1</source>
        <translation>Undo %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>重做%1</source>
        <translation>Redo %1</translation>
    </message>
    <message>
        <location line="+118"/>
        <location line="+86"/>
        <source>与…比较</source>
        <translation>Compare with…</translation>
    </message>
    <message>
        <location line="-74"/>
        <source>选择要在图表中比较的测量（最多 %1 个）：</source>
        <translation>Choose the measurements to compare on the chart (at most %1):</translation>
    </message>
    <message>
        <location line="+64"/>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>另存为</source>
        <translation>Save as</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Excel 工作簿</source>
        <translation>Excel workbook</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>PDF 报告</source>
        <translation>PDF report</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>上移</source>
        <translation>Move up</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>重命名</source>
        <translation>Rename</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件管理器中打开</source>
        <translation>Open in file manager</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>属性</source>
        <translation>Properties</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>导入设备数据</source>
        <translation>Import device data</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>新建</source>
        <translation>New</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>请选择需要导出的list数据</source>
        <translation>Please select the measurement to export</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>数据删除提示</source>
        <translation>Delete data</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除测量“%1”？
删除后可以用“撤销”（Ctrl+Z）恢复，打开其他文件后不能再恢复。</source>
        <translation>Delete the measurement “%1”?
Undo (Ctrl+Z) brings it back until another file is opened.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>删除 %1</source>
        <translation>Delete %1</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>上移 %1</source>
        <translation>move %1 up</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>重命名 %1 为 %2</source>
        <translation>rename %1 to %2</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>测量名称   </source>
        <translation>Measurement name   </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>测量时间   </source>
        <translation>Measured at   </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>数据数量   </source>
        <translation>Records   </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>仪器   </source>
        <translation>Instruments   </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>测量属性</source>
        <translation>Measurement properties</translation>
    </message>
</context>
<context>
    <name>Bash</name>
    <message>
        <location filename="../widgets/bash.ui" line="+137"/>
        <location line="+237"/>
        <location line="+237"/>
        <location line="+237"/>
        <source>设为差值参考</source>
        <translation>Set as difference reference</translation>
    </message>
</context>
<context>
    <name>ChartPage</name>
    <message>
        <location filename="../app/chartpage.cpp" line="+56"/>
        <source>KX740D数据</source>
        <translation>KX740D data</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>整体显示</source>
        <translation>Show all</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>统计</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>统计面板</source>
        <translation>Statistics panel</translation>
    </message>
    <message>
        <location line="+411"/>
        <source>移动到左上</source>
        <translation>Move to top left</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>移动到上方中间</source>
        <translation>Move to top centre</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>移动到右上</source>
        <translation>Move to top right</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>移动到左下</source>
        <translation>Move to bottom left</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>移动到右下</source>
        <translation>Move to bottom right</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>复制图片</source>
        <translation>Copy picture</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+45"/>
        <source>JPG 图像</source>
        <translation>JPG image</translation>
    </message>
    <message>
        <location line="-43"/>
        <location line="+51"/>
        <source>PDF 文件</source>
        <translation>PDF file</translation>
    </message>
    <message>
        <location line="-49"/>
        <source>显示报警阈值线</source>
        <translation>Show the alarm limits as lines</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>保存到图像文件</source>
        <translation>Save to image file</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>保存到pdf文件</source>
        <translation>Save to PDF file</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>重命名坐标轴</source>
        <translation>Rename axis</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>新坐标轴标签：</source>
        <translation>New axis label:</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>重命名曲线</source>
        <translation>Rename graph</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>新图表名称：</source>
        <translation>New graph name:</translation>
    </message>
</context>
<context>
    <name>ChartPlot</name>
    <message>
        <location filename="../chart/chartplot.cpp" line="+359"/>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>编号</source>
        <translation>No.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>温度</source>
        <translation>Temperature</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <location filename="../app/startup.cpp" line="+83"/>
        <source>KX740D 四通道温度计的桌面程序</source>
        <translation>Desktop program of the KX740D four-channel thermometer</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>使用内置的模拟仪器</source>
        <translation>use the built-in simulated instrument</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>启动后连接端口列表中的第一个端口</source>
        <translation>connect to the first port of the list at start</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>把该端口加入端口列表（可重复）</source>
        <translation>add this port to the port list (repeatable)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>启动时打开的数据文件</source>
        <translation>data file to open at start</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>只能打开一个数据文件。</source>
        <translation>Only one data file can be opened.</translation>
    </message>
</context>
<context>
    <name>ConnectFailure</name>
    <message>
        <location filename="../measurement/connectfailure.cpp" line="+51"/>
        <source>无法打开串口 %1。</source>
        <translation>Cannot open the serial port %1.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>没有使用该串口的权限。请让系统管理员为当前用户开放该串口的读写权限。</source>
        <translation>No permission to use this port. Ask the system administrator to give the current user read and write access to it.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>没有使用该串口的权限。该串口属于用户组 %1，请将当前用户加入该组：在终端中运行
%2
然后注销并重新登录，使新的组成员身份生效。</source>
        <translation>No permission to use this port. The port belongs to the group %1; add the current user to that group by running
%2
in a terminal, then log out and log in again for the new group membership to take effect.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>该串口正被其他程序使用，请关闭该程序后重试。</source>
        <translation>The port is in use by another program. Close that program and try again.</translation>
    </message>
</context>
<context>
    <name>DataOutput</name>
    <message>
        <location filename="../store/csvtext.cpp" line="+19"/>
        <source>NO.</source>
        <translation>NO.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>time</source>
        <translation>time</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Temperature</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Thermocouple</source>
        <translation>Thermocouple</translation>
    </message>
    <message>
        <location filename="../export/dataoutput.cpp" line="+48"/>
        <source>编号</source>
        <translation>No.</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+33"/>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="-32"/>
        <source>温度</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>热电偶</source>
        <translation>Thermocouple</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>KX740D测试文件</source>
        <translation>KX740D test file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>使用者: </source>
        <translation>User: </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备名称: </source>
        <translation>Device name: </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件创建时间</source>
        <translation>File created</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件名称</source>
        <translation>File name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>数据量</source>
        <translation>Records</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>备注</source>
        <translation>Note</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>告警记录</source>
        <translation>Alarms</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>告警</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+12"/>
        <source>通道</source>
        <translation>Channel</translation>
    </message>
    <message>
        <location line="-12"/>
        <source>开始</source>
        <translation>From</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>结束</source>
        <translation>To</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>极值</source>
        <translation>Extreme</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>至测量结束</source>
        <translation>to the end of the measurement</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>测量期间没有告警。</source>
        <translation>No alarms during the measurement.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>统计</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+3"/>
        <source>测量</source>
        <translation>Measurement</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>读数</source>
        <translation>Readings</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最低</source>
        <translation>Min</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最高</source>
        <translation>Max</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>平均</source>
        <translation>Mean</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>标准差</source>
        <translation>Std dev</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>平均动力学温度</source>
        <translation>MKT</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>高于上限(秒)</source>
        <translation>Above (s)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>低于下限(秒)</source>
        <translation>Below (s)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>最大通道温差</source>
        <translation>Largest spread</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最高通道</source>
        <translation>Highest</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最低通道</source>
        <translation>Lowest</translation>
    </message>
</context>
<context>
    <name>DataStore</name>
    <message>
        <location filename="../store/data_list_t.cpp" line="+20"/>
        <source>新建测量</source>
        <translation>New measurement</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>%1_KX740D数据记录</source>
        <translation>%1_KX740D Data Logging</translation>
    </message>
    <message>
        <location filename="../store/data_table_t.cpp" line="+68"/>
        <source>新建档案</source>
        <translation>New archive</translation>
    </message>
</context>
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
        <location filename="../widgets/dialog_wait.cpp" line="+55"/>
        <source>正在读取仪器中存储的记录…
已读取 %1 / %2 条</source>
        <translation>Reading the records stored in the instrument…
%1 of %2 read</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>，剩余约 %1 秒</source>
        <translation>, about %1 s left</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>需要等待一些时间，请稍等
%1秒后自动退出</source>
        <translation>This may take a while, please wait
Closes automatically in %1 s</translation>
    </message>
</context>
<context>
    <name>Document</name>
    <message>
        <location filename="../document/document.cpp" line="+216"/>
        <source>剪切 1 行</source>
        <translation>cut 1 row</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>剪切 %1 行</source>
        <translation>cut %1 rows</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>删除 1 行</source>
        <translation>delete 1 row</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>删除 %1 行</source>
        <translation>delete %1 rows</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>插入 1 行</source>
        <translation>insert 1 row</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>插入 %1 行</source>
        <translation>insert %1 rows</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>重命名 %1 为 %2</source>
        <translation>rename %1 to %2</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>删除测量 %1</source>
        <translation>delete measurement %1</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>上移 %1</source>
        <translation>move %1 up</translation>
    </message>
</context>
<context>
    <name>EventOutbox</name>
    <message>
        <location filename="../store/eventoutbox.cpp" line="+77"/>
        <source>无法打开告警事件文件 %1：%2；告警事件只保存在内存中。</source>
        <translation>Cannot open the alarm event file %1: %2; alarm events are kept in memory only.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>%1 不是告警事件文件，未改动它；告警事件只保存在内存中。</source>
        <translation>%1 is not an alarm event file and was left alone; alarm events are kept in memory only.</translation>
    </message>
    <message>
        <location line="+123"/>
        <source>无法写入告警事件文件 %1：%2；告警事件暂存在内存中，稍后重试。</source>
        <translation>Cannot write the alarm event file %1: %2; the alarm events are kept in memory and written when it works again.</translation>
    </message>
</context>
<context>
    <name>ExportControl</name>
    <message>
        <location filename="../app/exportcontrol.cpp" line="+56"/>
        <source>导出完成</source>
        <translation>Export finished</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件已保存到：
%1</source>
        <translation>The file was saved to:
%1</translation>
    </message>
    <message>
        <location line="+83"/>
        <source>保存数据到文件</source>
        <translation>Save data to file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Excel 工作簿</source>
        <translation>Excel workbook</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>PDF 报告</source>
        <translation>PDF report</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CSV 文本</source>
        <translation>CSV text</translation>
    </message>
</context>
<context>
    <name>ExportTool</name>
    <message>
        <location filename="../cli/main.cpp" line="+93"/>
        <source>找不到设置文件 %1。</source>
        <translation>Settings file %1 not found.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>无法打开设置文件 %1：%2</source>
        <translation>Cannot open settings file %1: %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 不是有效的设置文件，报告使用默认的标志、公司、测试人员和图表设置。</source>
        <translation>%1 is not a valid settings file; the reports use the default logo, company, tester and chart settings.</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>--%1 的值无效：%2（应为摄氏温度）</source>
        <translation>Invalid value for --%1: %2 (expected a temperature in °C)</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>--band 的值无效：%1（应为 LO:HI，摄氏温度，LO 不大于 HI）</source>
        <translation>Invalid value for --band: %1 (expected LO:HI in °C with LO not above HI)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>--mkt-dh 的值无效：%1（应为大于 0 的活化能，单位 kJ/mol）</source>
        <translation>Invalid value for --mkt-dh: %1 (expected an activation energy above 0 in kJ/mol)</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>把数据文件转换为 Excel 工作簿、PDF 报告或 CSV 文本</source>
        <translation>Converts a data file to an Excel workbook, PDF reports or CSV text</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>数据文件</source>
        <translation>data file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>写入工作簿（所有测量）</source>
        <translation>write a workbook (all measurements)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>写入 PDF 报告（每个测量一个）</source>
        <translation>write PDF reports (one per measurement)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>写入 CSV 文本（每个测量一个）</source>
        <translation>write CSV text (one per measurement)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>温度单位：C、F 或 K</source>
        <translation>temperature unit: C, F or K</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>只导出第 N 个测量（从 1 开始）；它属于多台仪器同时记录的一组时导出整组</source>
        <translation>export only measurement N (counted from 1), with its group when several instruments recorded it together</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>与 --measurement 一起：只导出这一个测量，不导出它所在的组</source>
        <translation>with --measurement: export that measurement alone, not its group</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>列出文件中的测量</source>
        <translation>list the measurements of the file</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>报告的标志、公司、测试人员和图表设置所在的设置文件（默认为工作目录中的 config.cfg）</source>
        <translation>settings file with the reports&apos; logo, company, tester and chart settings (default: config.cfg in the working directory)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>把每个测量各通道的统计（读数、最小值、最大值、平均值、标准差、平均动力学温度、超限时间）以 CSV 写到标准输出</source>
        <translation>Print the statistics of each measurement&apos;s channels (readings, minimum, maximum, mean, standard deviation, mean kinetic temperature, time outside limits) as CSV to standard output</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>与 --stats 一起：计算高于 T ℃ 的时间</source>
        <translation>With --stats: the time above T °C</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>与 --stats 一起：计算低于 T ℃ 的时间</source>
        <translation>With --stats: the time below T °C</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>与 --stats 一起：计算在 LO 到 HI ℃ 之间（含两端）的时间</source>
        <translation>With --stats: the time from LO to HI °C (both included)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>与 --stats 一起：平均动力学温度的活化能 ΔH（kJ/mol，默认 83.144）</source>
        <translation>With --stats: activation energy ΔH of the mean kinetic temperature (kJ/mol, default 83.144)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>请指定一个数据文件。</source>
        <translation>Please name one data file.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>未知的温度单位：%1（可用 C、F、K）</source>
        <translation>Unknown temperature unit: %1 (use C, F or K)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>--stats 只输出摄氏温度，不能与 --xlsx、--pdf、--csv、--list 或 --unit F|K 一起使用。</source>
        <translation>--stats prints degrees Celsius only and cannot be combined with --xlsx, --pdf, --csv, --list or --unit F|K.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>--high、--low、--band 和 --mkt-dh 只能与 --stats 一起使用。</source>
        <translation>--high, --low, --band and --mkt-dh are used only with --stats.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>--single 只能与 --measurement 一起使用。</source>
        <translation>--single can only be used with --measurement.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>无法打开文件 %1：%2</source>
        <translation>Cannot open the file %1: %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1 不是有效的数据文件。</source>
        <translation>%1 is not a valid data file.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>没有第 %1 个测量（文件中有 %2 个）。</source>
        <translation>There is no measurement %1 (the file holds %2).</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>请至少指定 --xlsx、--pdf、--csv、--list 或 --stats 之一。</source>
        <translation>Please give at least one of --xlsx, --pdf, --csv, --list or --stats.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>已写入 %1（%2 条记录）</source>
        <translation>wrote %1 (%2 records)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>无法写入 %1：%2</source>
        <translation>Cannot write %1: %2</translation>
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
        <location line="+6"/>
        <source>测量的新名称：</source>
        <translation>New name of the measurement:</translation>
    </message>
    <message>
        <location line="+13"/>
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
    <message>
        <location line="+93"/>
        <source>仪器</source>
        <translation>Instrument</translation>
    </message>
</context>
<context>
    <name>InstrumentList</name>
    <message>
        <location filename="../app/instrumentlist.cpp" line="+35"/>
        <source>仪器列表</source>
        <translation>Instruments</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>标签</source>
        <translation>Label</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>固件</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>连接</source>
        <translation>Connect</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>未找到仪器</source>
        <translation>No instrument found</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>连接全部</source>
        <translation>Connect all</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>在仪器面板上显示和设置此仪器</source>
        <translation>Show and set this instrument on the instrument panel</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>已连接</source>
        <translation>Connected</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>等待重新连接</source>
        <translation>Waiting to reconnect</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>未连接</source>
        <translation>Not connected</translation>
    </message>
</context>
<context>
    <name>InstrumentPage</name>
    <message>
        <location filename="../app/instrumentpage.cpp" line="+72"/>
        <source>KX740D </source>
        <translation>KX740D </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>与仪器的连接已断开：记录等待仪器重新连接后继续</source>
        <translation>Connection to the instrument lost: the recording waits and goes on when it is back</translation>
    </message>
    <message>
        <location line="+82"/>
        <source>断开连接</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <location line="+4"/>
        <source> 已连接设备</source>
        <translation> device connected</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>连接设备</source>
        <translation>Connect device</translation>
    </message>
    <message>
        <location line="+4"/>
        <source> 未连接设备</source>
        <translation> no device connected</translation>
    </message>
    <message>
        <location line="+246"/>
        <source>标签只能由 1 到 32 个字母、数字、“_”或“-”组成。</source>
        <translation>A label is 1 to 32 letters, digits, &quot;_&quot; or &quot;-&quot;.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>标签“%1”已被另一台仪器使用。</source>
        <translation>The label &quot;%1&quot; is used by another instrument.</translation>
    </message>
    <message>
        <location line="+113"/>
        <location line="+121"/>
        <location line="+78"/>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <location line="-199"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+120"/>
        <source>恢复出厂设置</source>
        <translation>Restore factory settings</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+78"/>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <location line="-42"/>
        <source>未连接设备，请先连接设备。</source>
        <translation>No instrument is connected. Connect the instrument first.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>仪器正在传输数据，请等待传输结束后再试。</source>
        <translation>The instrument is still transferring data. Please try again when the transfer has finished.</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+49"/>
        <source>仪器中没有存储的记录。</source>
        <translation>The instrument holds no stored records.</translation>
    </message>
    <message>
        <location line="-27"/>
        <source>清除仪器存储</source>
        <translation>Erase instrument storage</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>仪器中存储的 %1 条记录将被清除且无法恢复，是否继续？</source>
        <translation>The %1 records stored in the instrument will be erased and cannot be recovered. Continue?</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>读取的记录全部未通过校验，没有可用的记录。</source>
        <translation>The records read all failed their checks; none could be used.</translation>
    </message>
</context>
<context>
    <name>LogoImage</name>
    <message>
        <location filename="../settings/logoimage.cpp" line="+112"/>
        <source>设置文件中的标志图像已损坏或过大，已改用默认标志。</source>
        <translation>The logo image in the settings file is damaged or too large; the default logo is used instead.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>无法使用图像 %1：文件已损坏或图像过大。</source>
        <translation>Cannot use the image %1: the file is damaged or the image is too large.</translation>
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
        <location line="+3313"/>
        <source> 时</source>
        <translation> h</translation>
    </message>
    <message>
        <location line="-3294"/>
        <location line="+3313"/>
        <source> 分</source>
        <translation> min</translation>
    </message>
    <message>
        <location line="-3294"/>
        <location line="+3316"/>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <location line="-3277"/>
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
        <location line="+251"/>
        <location line="+1722"/>
        <location line="+514"/>
        <location line="+1549"/>
        <source>T1</source>
        <translation>T1</translation>
    </message>
    <message>
        <location line="-4017"/>
        <location line="+248"/>
        <location line="+1809"/>
        <location line="+558"/>
        <location line="+1415"/>
        <source>T2</source>
        <translation>T2</translation>
    </message>
    <message>
        <location line="-4011"/>
        <location line="+245"/>
        <location line="+1896"/>
        <location line="+602"/>
        <location line="+1281"/>
        <source>T3</source>
        <translation>T3</translation>
    </message>
    <message>
        <location line="-4005"/>
        <location line="+242"/>
        <location line="+1983"/>
        <location line="+646"/>
        <location line="+1147"/>
        <source>T4</source>
        <translation>T4</translation>
    </message>
    <message>
        <location line="-3987"/>
        <source>表格</source>
        <translation>Table</translation>
    </message>
    <message>
        <location line="+99"/>
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
        <location line="+3570"/>
        <source>页</source>
        <translation>Page</translation>
    </message>
    <message>
        <location line="-3471"/>
        <location line="+252"/>
        <location line="+3287"/>
        <source>设备</source>
        <translation>Device</translation>
    </message>
    <message>
        <location line="-3519"/>
        <location line="+673"/>
        <source>单位</source>
        <translation>Unit</translation>
    </message>
    <message>
        <location line="-653"/>
        <location line="+761"/>
        <source>热电偶类型</source>
        <translation>Thermocouple type</translation>
    </message>
    <message>
        <location line="-741"/>
        <location line="+1127"/>
        <source>热电偶补偿</source>
        <translation>Thermocouple compensation</translation>
    </message>
    <message>
        <location line="-1107"/>
        <location line="+1725"/>
        <source>报警阈值</source>
        <translation>Alarm limits</translation>
    </message>
    <message>
        <location line="-1705"/>
        <location line="+2335"/>
        <source>持续测量时间</source>
        <translation>Continuous measuring time</translation>
    </message>
    <message>
        <location line="-2315"/>
        <location line="+2470"/>
        <source>PDF设置</source>
        <translation>PDF settings</translation>
    </message>
    <message>
        <location line="-2450"/>
        <location line="+2667"/>
        <source>数据备份</source>
        <translation>Data backup</translation>
    </message>
    <message>
        <location line="-2647"/>
        <source>说明书</source>
        <translation>Manuals</translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+2893"/>
        <location line="+28"/>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <location line="-2901"/>
        <location line="+2976"/>
        <source>图表设置</source>
        <translation>Chart settings</translation>
    </message>
    <message>
        <location line="-2871"/>
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
        <location line="+60"/>
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
        <location line="+38"/>
        <source>公司名称</source>
        <translation>Company name</translation>
    </message>
    <message>
        <location line="+20"/>
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
        <location filename="../app/mainwindow.cpp" line="+204"/>
        <source>正在记录。是否保存现有列表数据？
选择“是”或“否”都将结束记录，选择“取消”继续记录。</source>
        <translation>A recording is running. Save the data in the list?
Yes and No both end the recording; Cancel lets it go on.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>是否保存现有列表数据？
不保存目前数据将会丢失</source>
        <translation>Save the current data?
Data that is not saved will be lost.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>保存数据</source>
        <translation>Save data</translation>
    </message>
    <message>
        <location line="+0"/>
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
</context>
<context>
    <name>MetricsServer</name>
    <message>
        <location filename="../record/main.cpp" line="+79"/>
        <source>无法在 %1 端口 %2 上提供指标：%3</source>
        <translation>Cannot serve the metrics on %1 port %2: %3</translation>
    </message>
</context>
<context>
    <name>MqttControl</name>
    <message>
        <location filename="../app/mqttcontrol.cpp" line="+190"/>
        <source>仪器连接后开始发布。</source>
        <translation>Publishing starts once the instrument is connected.</translation>
    </message>
    <message>
        <location line="+78"/>
        <source>代理在 %1 秒内没有回答。</source>
        <translation>The broker did not answer within %1 seconds.</translation>
    </message>
</context>
<context>
    <name>MqttPage</name>
    <message>
        <location filename="../app/mqttpage.cpp" line="+56"/>
        <source>发布到 MQTT 代理</source>
        <translation>Publish to an MQTT broker</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>mqtt://主机:1883</source>
        <translation>mqtt://host:1883</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+3"/>
        <source>可选</source>
        <translation>Optional</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>代理地址</source>
        <translation>Broker address</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>主题前缀</source>
        <translation>Topic prefix</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>用户名</source>
        <translation>User name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>证书文件 (*.pem *.crt *.cer);;所有文件 (*)</source>
        <translation>Certificate files (*.pem *.crt *.cer);;All files (*)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>私钥文件 (*.pem *.key);;所有文件 (*)</source>
        <translation>Key files (*.pem *.key);;All files (*)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>仅用于 mqtts，可选</source>
        <translation>mqtts only, optional</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>CA 证书</source>
        <translation>CA certificate</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>仅用于 mqtts；留空则使用系统的证书</source>
        <translation>mqtts only; empty: the system&apos;s certificates</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>客户端证书</source>
        <translation>Client certificate</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>客户端私钥</source>
        <translation>Client key</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>发送 Home Assistant 自动发现消息</source>
        <translation>Send Home Assistant discovery messages</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>测试连接</source>
        <translation>Test connection</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>用上面填写的设置连接一次，不发布任何内容。</source>
        <translation>Connects once with the settings above and publishes nothing.</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>kx740d/&lt;仪器名称&gt;</source>
        <translation>kx740d/&lt;instrument name&gt;</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>发布的内容：实时读数（约每秒一条）发到 %1/live；记录的读数按顺序发到 %1/record，代理不可用时排队等候；在线状态 online/offline（保留消息）发到 %1/status；仪器连接状态 connected/lost（保留消息）发到 %1/link；当前的告警列表（保留消息）发到 %1/alarm，每次告警出现和解除发到 %1/alarm/event。</source>
        <translation>Published: live readings (about one a second) to %1/live; recorded readings, in order, to %1/record, queued while the broker is away; online/offline (retained) to %1/status; the instrument&apos;s link, connected/lost (retained), to %1/link; the active alarms (retained) to %1/alarm, and each alarm raised and cleared to %1/alarm/event.</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>%1 条记录的读数等待代理接收。</source>
        <translation>%1 recorded readings are waiting for the broker.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 条记录的读数未能送达代理（队列已满、被代理拒绝，或停止发布时尚未确认）。</source>
        <translation>%1 recorded readings did not reach the broker (the queue was full, the broker refused them, or they were not acknowledged when publishing stopped).</translation>
    </message>
    <message>
        <location line="-23"/>
        <source>更改在切换“%1”时和关闭设置窗口时生效。</source>
        <translation>Changes apply when “%1” is switched on or off and when the settings window is closed.</translation>
    </message>
</context>
<context>
    <name>MqttPublisher</name>
    <message>
        <location filename="../mqtt/mqttpublisher.cpp" line="+1044"/>
        <location line="+107"/>
        <location filename="../mqtt/mqttstatetext.cpp" line="+24"/>
        <source>已关闭</source>
        <translation>Off</translation>
    </message>
    <message>
        <location filename="../mqtt/mqttstatetext.cpp" line="+3"/>
        <source>正在连接 %1…</source>
        <translation>Connecting to %1…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未能连接到 %1：%2。</source>
        <translation>Could not connect to %1: %2.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未连接到 %1：%2。稍后自动重试。</source>
        <translation>Not connected to %1: %2. Trying again shortly.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>另一个发布者 %1（主机 %2）也在使用主题前缀 %3。</source>
        <translation>Another publisher, %1 (host %2), also uses the topic prefix %3.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>代理拒绝了发往 %1 的消息：%2。</source>
        <translation>The broker refused the messages to %1: %2.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>已连接</source>
        <translation>Connected</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>已连接；%1</source>
        <translation>Connected; %1</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>无法验证代理的证书：%1；约每分钟重试一次。</source>
        <translation>The broker&apos;s certificate could not be verified: %1; trying again about once a minute.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>另一个客户端以相同的客户端 ID %1 连接到代理，代理断开了本连接；约每分钟重试一次。</source>
        <translation>Another client connected to the broker with the same client id %1, and the broker closed this connection; trying again about once a minute.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>代理一再在连接后立即断开本连接，可能另一个客户端在使用相同的客户端 ID %1；约每分钟重试一次。</source>
        <translation>The broker closes this connection again and again right after connecting; another client may be using the same client id %1. Trying again about once a minute.</translation>
    </message>
    <message>
        <location line="-13"/>
        <source>代理拒绝连接：%1；约每分钟重试一次。</source>
        <translation>The broker refused the connection: %1; trying again about once a minute.</translation>
    </message>
    <message>
        <location filename="../mqtt/mqttpublisher.cpp" line="-267"/>
        <source>无法创建 MQTT 客户端。</source>
        <translation>Cannot create the MQTT client.</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>MQTT 设置无效：%1</source>
        <translation>The MQTT settings cannot be used: %1</translation>
    </message>
</context>
<context>
    <name>MqttTexts</name>
    <message>
        <location filename="../mqtt/mqttsettings.cpp" line="+9"/>
        <source>请输入代理地址，例如 mqtt://主机:1883。</source>
        <translation>Enter the broker address, e.g. mqtt://host:1883.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>代理地址 %1 无效：应为 mqtt://主机[:端口] 或 mqtts://主机[:端口]。</source>
        <translation>The broker address %1 is not valid: use mqtt://host[:port] or mqtts://host[:port].</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>代理地址 %1 无效：只能包含主机和端口。</source>
        <translation>The broker address %1 is not valid: it may hold only a host and a port.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>代理地址 %1 的端口无效。</source>
        <translation>The port of the broker address %1 is not valid.</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>主题前缀 %1 无效：不能包含 + 或 #。</source>
        <translation>The topic prefix %1 is not valid: it must not contain + or #.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>主题前缀 %1 无效：不能以 $ 开头（那是代理自己的主题）。</source>
        <translation>The topic prefix %1 is not valid: it must not start with $ (the broker&apos;s own topics do).</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>主题前缀 %1 无效：不能包含控制字符。</source>
        <translation>The topic prefix %1 is not valid: it must not contain control characters.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>证书文件只用于 mqtts:// 地址；%1 是未加密的地址。</source>
        <translation>Certificate files are only used with an mqtts:// address; %1 is not encrypted.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>无法读取文件 %1。</source>
        <translation>Cannot read the file %1.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>客户端证书和私钥必须同时给出。</source>
        <translation>Give both the client certificate and its key, or neither.</translation>
    </message>
    <message>
        <location filename="../app/mqttconfig.cpp" line="+90"/>
        <source>无法写入 MQTT 设置文件 %1：%2</source>
        <translation>Cannot write the MQTT settings file %1: %2</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>密码保存在系统的密钥环中。</source>
        <translation>The password is kept in the desktop&apos;s keyring.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>没有可用的密钥环：密码保存在 %1 中，只有你的用户帐户可以读写该文件。</source>
        <translation>No keyring is available: the password is kept in %1, which only your user account can read and write.</translation>
    </message>
    <message>
        <location filename="../mqtt/mqttconnecterror.cpp" line="+21"/>
        <source>找不到该主机</source>
        <translation>host not found</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>域名服务器暂时无法查到该主机</source>
        <translation>the name server cannot look the host up at the moment</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>连接被拒绝（该端口上没有运行代理，或被防火墙拒绝）</source>
        <translation>connection refused (no broker runs on that port, or a firewall rejects it)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>无法到达该主机</source>
        <translation>host unreachable</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>连接超时</source>
        <translation>connection timed out</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+7"/>
        <source>连接中断</source>
        <translation>connection lost</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>代理不再应答</source>
        <translation>the broker stopped answering</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>代理没有应答</source>
        <translation>the broker did not answer</translation>
    </message>
</context>
<context>
    <name>OverlayControls</name>
    <message>
        <location filename="../app/overlaycontrols.cpp" line="+18"/>
        <source>按时钟对齐</source>
        <translation>Align by clock</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>按开始对齐</source>
        <translation>Align at start</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>按越过温度对齐</source>
        <translation>Align at crossing</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>上升</source>
        <translation>rising</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>下降</source>
        <translation>falling</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>对齐：</source>
        <translation>Alignment:</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>未越过该温度，按开始显示：%1</source>
        <translation>Never crossed, shown from start: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>选择了 %1 个测量，最多比较 %2 个，只显示前 %2 个。</source>
        <translation>%1 measurements chosen; at most %2 are compared, the first %2 are shown.</translation>
    </message>
</context>
<context>
    <name>PseudoTerminal</name>
    <message>
        <location filename="../sim/pseudoterminal.cpp" line="+23"/>
        <source>无法创建伪终端：%1</source>
        <translation>Cannot create a pseudo-terminal: %1</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>无法解锁伪终端：%1</source>
        <translation>Cannot unlock the pseudo-terminal: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>无法取得伪终端的路径：%1</source>
        <translation>Cannot get the pseudo-terminal&apos;s path: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+5"/>
        <location line="+4"/>
        <source>无法设置伪终端：%1</source>
        <translation>Cannot set up the pseudo-terminal: %1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>无法打开伪终端的从端：%1</source>
        <translation>Cannot open the pseudo-terminal&apos;s slave side: %1</translation>
    </message>
</context>
<context>
    <name>Recorder</name>
    <message>
        <location filename="../record/recorder.cpp" line="+49"/>
        <source>无法写入输出文件夹 %1。</source>
        <translation>Cannot write to the output folder %1.</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>无法读取 %1：%2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 不是有效的数据文件；测量不会追加到其中。</source>
        <translation>%1 is not a valid data file; no measurement is appended to it.</translation>
    </message>
    <message>
        <location line="+162"/>
        <source>两台仪器的标签都是 %1；请用 --port 标签=设备 给出各自的标签。</source>
        <translation>Two instruments have the label %1; give each its own with --port LABEL=DEV.</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>没有找到仪器；等待仪器接上。</source>
        <translation>No instrument found; waiting for one to be plugged in.</translation>
    </message>
    <message>
        <location line="+58"/>
        <source>找到仪器 %1（%2）。</source>
        <translation>Instrument %1 found (%2).</translation>
    </message>
    <message>
        <location line="+124"/>
        <source>%1 台仪器  %2 个读数  %3</source>
        <translation>%1 instruments  %2 readings  %3</translation>
    </message>
    <message>
        <location filename="../store/datafilestream.cpp" line="+127"/>
        <location line="+9"/>
        <location line="+6"/>
        <location line="+7"/>
        <source>不是有效的数据文件</source>
        <translation>not a valid data file</translation>
    </message>
    <message>
        <location filename="../record/instrumentrecorder.cpp" line="+116"/>
        <source>端口 %1 上的仪器没有应答。</source>
        <translation>The instrument on port %1 does not answer.</translation>
    </message>
    <message>
        <location line="+95"/>
        <location filename="../record/recorder.cpp" line="-215"/>
        <source>无法锁定 %1 的记录：%2</source>
        <translation>Cannot lock the recording of %1: %2</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>无法写入 CSV 文件 %1：%2</source>
        <translation>Cannot write the CSV file %1: %2</translation>
    </message>
    <message>
        <location line="+34"/>
        <location line="+341"/>
        <source>无法写入 %1：%2。读数保留在日志 %3 中。</source>
        <translation>Cannot write %1: %2. The readings stay in the journal %3.</translation>
    </message>
    <message>
        <location line="-494"/>
        <source>无法写入日志文件 %1：%2；读数暂存在内存中，稍后重试。</source>
        <translation>Cannot write the journal %1: %2; the readings are kept in memory and written when it works again.</translation>
    </message>
    <message>
        <location filename="../record/recorder.cpp" line="-188"/>
        <source>%1 是指向 %2 的符号链接，但 %2 不存在。</source>
        <translation>%1 is a symbolic link to %2, but %2 does not exist.</translation>
    </message>
    <message>
        <location filename="../record/instrumentrecorder.cpp" line="+4"/>
        <source>日志文件 %1 又可以写入了；暂存的读数已写入。</source>
        <translation>The journal %1 can be written again; the readings kept in memory are in it.</translation>
    </message>
    <message>
        <location line="+95"/>
        <location filename="../record/recorder.cpp" line="+184"/>
        <source>%1 正在被另一个记录程序写入（%2）。</source>
        <translation>%1 is already being recorded by another recorder (%2).</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>%1 不是日志文件；请将其移走后再开始。</source>
        <translation>%1 is not a journal; move it away before starting.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>继续被中断的记录“%1”（%2 个读数）。</source>
        <translation>Going on with the interrupted recording &quot;%1&quot; (%2 readings).</translation>
    </message>
    <message>
        <location line="+12"/>
        <location line="+131"/>
        <source>已写入 %1：%2 个读数。</source>
        <translation>Wrote %1: %2 readings.</translation>
    </message>
    <message>
        <location line="-114"/>
        <source>无法启动仪器模拟器：%1</source>
        <translation>Cannot start the instrument simulator: %1</translation>
    </message>
    <message>
        <location filename="../record/recorder.cpp" line="+58"/>
        <source>没有找到仪器。请连接仪器，或用 --port 指定端口。</source>
        <translation>No instrument found. Connect the instrument or name its port with --port.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>找到多台仪器，请用 --port 选择其中一台：</source>
        <translation>Several instruments found; choose one with --port:</translation>
    </message>
    <message>
        <location filename="../record/instrumentrecorder.cpp" line="+35"/>
        <source>仪器的存储间隔为0秒，不会存储任何数据。请用 --interval 设置存储间隔。</source>
        <translation>The instrument&apos;s storage interval is 0 s, so nothing would be stored. Set one with --interval.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>开始记录：端口 %1，仪器 %2，间隔 %3 秒，测量“%4”，写入 %5</source>
        <translation>Recording: port %1, instrument %2, interval %3 s, measurement &quot;%4&quot;, into %5</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>无法写入日志文件 %1。</source>
        <translation>Cannot write the journal %1.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>日志中的记录“%1”来自另一台仪器；它作为单独的测量写入，新的记录重新开始。</source>
        <translation>The recording &quot;%1&quot; in the journal comes from another instrument; it is written as a measurement of its own and a new recording begins.</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>无法写入 %1：%2。读数保留在日志 %3 中，稍后重试。</source>
        <translation>Cannot write %1: %2. The readings stay in the journal %3; trying again later.</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>发布到 %1，主题 %2/…</source>
        <translation>Publishing to %1, topics %2/…</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>MQTT：%1；记录继续。</source>
        <translation>MQTT: %1; the recording goes on.</translation>
    </message>
    <message>
        <location line="+27"/>
        <location filename="../record/recorder.cpp" line="+161"/>
        <source>（连接已断开）</source>
        <translation> (connection lost)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1%2  %3 个读数  %4  %5 %6</source>
        <translation>%1%2  %3 readings  %4  %5 %6</translation>
    </message>
    <message>
        <location line="+9"/>
        <location filename="../record/recorder.cpp" line="+6"/>
        <source>  告警：%1</source>
        <translation>  ALARM: %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <location line="+12"/>
        <source>，%1 个读数待发送</source>
        <translation>, %1 readings waiting</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>，%1 个告警事件待发送</source>
        <translation>, %1 alarm events waiting</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>无法写入 CSV 文件 %1：%2；记录继续。</source>
        <translation>Cannot write the CSV file %1: %2; the recording goes on.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>仪器的存储间隔已设为0秒，记录结束。</source>
        <translation>The instrument&apos;s storage interval was set to 0 s; the recording ends.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>与仪器的连接已断开（%1）；等待仪器重新连接。</source>
        <translation>Connection to the instrument lost (%1); waiting for it to come back.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>与仪器的连接已恢复（%1）。</source>
        <translation>Connection to the instrument is back (%1).</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>记录已停止，共 %1 个读数。</source>
        <translation>Recording stopped, %1 readings.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>最后 %1 个读数无法写入日志 %2（%3），已丢失。</source>
        <translation>The last %1 readings could not be written to the journal %2 (%3) and are lost.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>日志 %1 无法写入（%2）；最后 %3 个读数和记录的结束暂存在 %4，下次启动时写入 %5。</source>
        <translation>The journal %1 cannot be written (%2); the last %3 readings and the end of the recording are kept in %4 and go into %5 at the next start.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>已写入 %1：测量“%2”，%3 个读数。</source>
        <translation>Wrote %1: measurement &quot;%2&quot;, %3 readings.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>MQTT：%1 个读数尚未送达代理；下次启动时发送。</source>
        <translation>MQTT: %1 readings have not reached the broker yet; they go out at the next start.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>MQTT：%1 个告警事件尚未送达代理；下次启动时发送。</source>
        <translation>MQTT: %1 alarm events have not reached the broker yet; they go out at the next start.</translation>
    </message>
</context>
<context>
    <name>RecorderCommandLine</name>
    <message>
        <location filename="../record/recorderoptions.cpp" line="+297"/>
        <source>密码文件 %1 不存在。</source>
        <translation>The password file %1 does not exist.</translation>
    </message>
    <message>
        <location line="-268"/>
        <source>无法读取密码文件 %1：%2</source>
        <translation>Cannot read the password file %1: %2</translation>
    </message>
    <message>
        <location line="+95"/>
        <source>无法读取设置文件 %1：%2</source>
        <translation>Cannot read the settings file %1: %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 不是本程序的设置文件（config.cfg）。</source>
        <translation>%1 is not a settings file of this program (config.cfg).</translation>
    </message>
    <message>
        <location line="-26"/>
        <source>T%1 的下限高于上限。</source>
        <translation>The low limit of T%1 is above its high limit.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 的 T%2 的下限高于上限。</source>
        <translation>The low limit of T%2 of %1 is above its high limit.</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>无效的报警限值：%1（例如 T1=100 或 oven:T1=100）</source>
        <translation>Invalid alarm limit: %1 (e.g. T1=100 or oven:T1=100)</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>无效的回差：%1</source>
        <translation>Invalid hysteresis: %1</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>无效的时间：--%1 %2</source>
        <translation>Invalid time: --%1 %2</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>告警程序 %1 不存在或不可执行。</source>
        <translation>The alarm program %1 does not exist or cannot be run.</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>端口 %1 给出了两次。</source>
        <translation>The port %1 is given twice.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>标签 %1 给出了两次；每台仪器需要自己的标签。</source>
        <translation>The label %1 is given twice; each instrument needs a label of its own.</translation>
    </message>
    <message>
        <location line="+76"/>
        <source>密码文件 %1 可被其所有者以外的用户读取；请先执行 chmod 600 %1。</source>
        <translation>The password file %1 can be read by users other than its owner; run chmod 600 %1 first.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>无人值守地记录仪器的读数，写入数据文件</source>
        <translation>Records the instrument&apos;s readings unattended into a data file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>显示此帮助</source>
        <translation>show this help</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>显示版本</source>
        <translation>show the version</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>仪器的端口（默认：找到的唯一一台仪器）；LABEL= 前缀给出它的标签（文件、测量、主题和指标中）；可重复，同时记录多台仪器</source>
        <translation>port of the instrument (default: the one instrument found); a LABEL= prefix gives its label (in file, measurement and topic names and the metrics); repeatable, to record several instruments at once</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>数据文件；测量追加到其中（必需）</source>
        <translation>data file the measurement is appended to (required)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>存储间隔，例如 1s、5m、1h（默认：仪器的设置）</source>
        <translation>storage interval, e.g. 1s, 5m, 1h (default: the instrument&apos;s setting)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>记录时长，例如 8h（默认：直到停止）</source>
        <translation>recording time, e.g. 8h (default: until stopped)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>测量名称（默认：开始时间）</source>
        <translation>measurement name (default: the start time)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>CSV 和状态显示的温度单位：C、F 或 K</source>
        <translation>temperature unit of the CSV and the status: C, F or K</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>每个存储的读数追加一行到此 CSV 文件</source>
        <translation>append one line per stored reading to this CSV file</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>每天、每周或每月写一个数据文件（oven.dat → oven_2026-12-08.dat）</source>
        <translation>write one data file per day, week or month (oven.dat → oven_2026-12-08.dat)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>启动内置的仪器模拟器并从中记录；--simulate=N 或重复给出时启动 N 台（标签 sim1 … simN）</source>
        <translation>start the built-in instrument simulator and record from it; --simulate=N or the option given N times starts N of them (labels sim1 … simN)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>记录找到的每一台仪器，包括记录时才接上的仪器</source>
        <translation>record every instrument found, also those plugged in while recording</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>通道的报警上限，单位同 --unit，例如 T1=100；LABEL:T1=100 只用于该标签的仪器（可重复）</source>
        <translation>high alarm limit of a channel, in the unit of --unit, e.g. T1=100; LABEL:T1=100 for the instrument of that label only (repeatable)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>通道的报警下限，单位同 --unit，例如 T4=-10；LABEL:T4=-10 只用于该标签的仪器（可重复）</source>
        <translation>low alarm limit of a channel, in the unit of --unit, e.g. T4=-10; LABEL:T4=-10 for the instrument of that label only (repeatable)</translation>
    </message>
    <message>
        <location line="-32"/>
        <source>列出找到的仪器端口，每行一个</source>
        <translation>list the instrument ports found, one per line</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>只显示错误</source>
        <translation>show errors only</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>把读数发布到此 MQTT 代理：mqtt://主机[:端口] 或 mqtts://…</source>
        <translation>publish the readings to this MQTT broker: mqtt://host[:port] or mqtts://…</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>主题前缀（默认：kx740d/仪器名称）</source>
        <translation>topic prefix (default: kx740d/&lt;instrument name&gt;)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>代理的用户名</source>
        <translation>user name at the broker</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>从此文件的第一行读取代理的密码（只有文件的所有者可以读取：chmod 600）；未给出时使用 systemd 凭据 %1，其次是环境变量 %2</source>
        <translation>read the broker&apos;s password from the first line of this file (which only its owner may read: chmod 600); without it the systemd credential %1, else the environment variable %2</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>mqtts：客户端证书的私钥（PEM）；未给出时使用 systemd 凭据 %1（如有）</source>
        <translation>mqtts: the client certificate&apos;s key (PEM); without it the systemd credential %1, if any</translation>
    </message>
    <message>
        <location line="-6"/>
        <source>mqtts：签发代理证书的 CA 文件</source>
        <translation>mqtts: the CA file that signed the broker&apos;s certificate</translation>
    </message>
    <message>
        <location line="-149"/>
        <source>无效的端口：%1（标签=设备，标签为 1 到 32 个字母、数字、_ 或 -）</source>
        <translation>Invalid port: %1 (LABEL=DEV, the label 1 to 32 letters, digits, _ or -)</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>无效的指标地址：%1（[地址:]端口，例如 9740 或 0.0.0.0:9740）</source>
        <translation>Invalid metrics address: %1 ([ADDRESS:]PORT, e.g. 9740 or 0.0.0.0:9740)</translation>
    </message>
    <message>
        <location line="+117"/>
        <source>mqtts：客户端证书（PEM）</source>
        <translation>mqtts: client certificate (PEM)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>发布 Home Assistant 自动发现信息</source>
        <translation>publish Home Assistant discovery messages</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>使用窗口程序的设置文件中已开启的报警限值；--high 和 --low 优先</source>
        <translation>take the alarm limits switched on in a settings file of the window program; --high and --low take precedence</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>回差：读数回到限值以内这么多后告警才解除，单位同 --unit（默认：0.5 ℃）</source>
        <translation>hysteresis: an alarm clears once the reading is back inside its limit by this much, in the unit of --unit (default: 0.5 °C)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>条件持续这么久后才告警，例如 30s（默认：0）</source>
        <translation>raise an alarm only once its condition has held this long, e.g. 30s (default: 0)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>与仪器的连接断开这么久后告警；0 表示不告警（默认：30s）</source>
        <translation>raise an alarm when the link to the instrument has been down this long; 0: never (default: 30s)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>每次告警发生和解除时运行此程序（不经过 shell），详情在环境变量 KX740D_ALARM_* 中</source>
        <translation>run this program (without a shell) whenever an alarm is raised or cleared, with the details in the environment variables KX740D_ALARM_*</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>在此端口以 HTTP 提供 Prometheus/OpenMetrics 指标（路径 /metrics）；默认只在本机 127.0.0.1 上，0.0.0.0:端口 或 [::]:端口 对外提供</source>
        <translation>serve Prometheus/OpenMetrics metrics over HTTP on this port (path /metrics); on this computer only (127.0.0.1) unless an address is given: 0.0.0.0:PORT or [::]:PORT for the network</translation>
    </message>
    <message>
        <location line="+44"/>
        <location line="+74"/>
        <source>无效的模拟器数量：%1（1 到 %2）</source>
        <translation>Invalid number of simulators: %1 (1 to %2)</translation>
    </message>
    <message>
        <location line="-54"/>
        <source>多余的参数：%1</source>
        <translation>Unexpected arguments: %1</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>请用 --out 指定输出的数据文件。</source>
        <translation>Name the output data file with --out.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>无效的存储间隔：%1（1 秒到 24 小时）</source>
        <translation>Invalid storage interval: %1 (1 s to 24 h)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>无效的记录时长：%1</source>
        <translation>Invalid recording time: %1</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>无效的温度单位：%1（C、F 或 K）</source>
        <translation>Invalid temperature unit: %1 (C, F or K)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>无效的分割方式：%1（day、week 或 month）</source>
        <translation>Invalid split: %1 (day, week or month)</translation>
    </message>
    <message>
        <location line="+49"/>
        <source>--%1 只能与 --mqtt 一起使用。</source>
        <translation>--%1 works only together with --mqtt.</translation>
    </message>
</context>
<context>
    <name>RecordingLock</name>
    <message>
        <location filename="../store/recordinglock.cpp" line="+48"/>
        <source>%1，进程 %2，主机 %3</source>
        <translation>%1, process %2 on %3</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>另一个程序</source>
        <translation>another program</translation>
    </message>
</context>
<context>
    <name>RecordingPage</name>
    <message>
        <location filename="../app/recordingpage.cpp" line="+299"/>
        <source>MQTT：%1；记录继续。</source>
        <translation>MQTT: %1; the recording goes on.</translation>
    </message>
    <message>
        <location line="+162"/>
        <source>状态 ：就绪</source>
        <translation>Status: ready</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>状态：未就绪</source>
        <translation>Status: not ready</translation>
    </message>
</context>
<context>
    <name>RecordingRules</name>
    <message>
        <location filename="../measurement/recordingrules.cpp" line="+30"/>
        <source>未连接设备，无法记录数据。请先连接设备。</source>
        <translation>No instrument is connected, so nothing can be recorded. Connect the instrument first.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>存储间隔为0秒，不会存储任何数据。请先设置存储间隔。</source>
        <translation>The storage interval is 0 s, so nothing would be stored. Set a storage interval first.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>剩余时间：</source>
        <translation>Remaining time: </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>时</source>
        <translation>h</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>分</source>
        <translation>min</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>秒</source>
        <translation>s</translation>
    </message>
</context>
<context>
    <name>RecordingStore</name>
    <message>
        <location filename="../store/recordingstore.cpp" line="+26"/>
        <source>恢复 %1</source>
        <translation>recovered %1</translation>
    </message>
    <message>
        <location line="+81"/>
        <source>日志 %1 有 %2 个字节已损坏并被跳过；其中完整的 %3 个读数保留。</source>
        <translation>The journal %1 has %2 damaged bytes, which were skipped; its %3 complete readings are kept.</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>日志中的记录“%1”来自另一台仪器；它作为单独的测量写入，新的记录重新开始。</source>
        <translation>The recording &quot;%1&quot; in the journal comes from another instrument; it is written as a measurement of its own and a new recording begins.</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>暂存文件 %1 不属于日志 %2，保留不动。</source>
        <translation>The spill file %1 does not belong to the journal %2; it is left as it is.</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>暂存在 %1 的 %2 个读数已取回日志 %3。</source>
        <translation>The %2 readings kept in %1 were taken back into the journal %3.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>日志 %1 已损坏，其中没有可读的读数；已改名为 %2。</source>
        <translation>The journal %1 is damaged and holds no readable reading; it was renamed %2.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>日志 %1 的开头已损坏；其后的 %2 个读数作为新的记录“%3”恢复。</source>
        <translation>The start of the journal %1 was damaged; the %2 readings behind it were recovered as the new recording &quot;%3&quot;.</translation>
    </message>
    <message>
        <location line="+24"/>
        <location line="+272"/>
        <source>无法删除日志 %1。</source>
        <translation>Cannot remove the journal %1.</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>无法保留日志 %1 以待发送。</source>
        <translation>Cannot keep the journal %1 for delivery.</translation>
    </message>
</context>
<context>
    <name>SerialThread</name>
    <message>
        <location filename="../link/serialthread.cpp" line="+51"/>
        <source>无效的参数</source>
        <translation>Invalid argument: </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>COM口异常</source>
        <translation>COM port error: </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>IO异常</source>
        <translation>I/O error: </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未知的异常COM可能已经打开</source>
        <translation>Unknown error; the COM port may already be open</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>写入异常</source>
        <translation>Write error</translation>
    </message>
</context>
<context>
    <name>ServiceNotifier</name>
    <message>
        <location filename="../record/servicenotifier.cpp" line="+17"/>
        <source>正在停止记录并写入测量</source>
        <translation>Stopping the recording and writing the measurement</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>已存储 %1 个读数</source>
        <translation>%1 readings stored</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>已存储 %1 个读数，%2 个待发送到代理</source>
        <translation>%1 readings stored, %2 waiting for the broker</translation>
    </message>
</context>
<context>
    <name>SettingsRules</name>
    <message>
        <location filename="../measurement/settingsrules.cpp" line="+88"/>
        <source>设备名称：</source>
        <translation>Device name: </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>固件版本：</source>
        <translation>Firmware version: </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>/80000组</source>
        <translation>/80000 records</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>数据记录中，请停止记录后尝试</source>
        <translation>Recording in progress. Please stop the recording and try again.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>连接PC软件后将关闭蓝牙
是否继续？</source>
        <translation>Connecting to the PC software will switch Bluetooth off.
Continue?</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>确实要复位仪表上的设置吗，此动作不会删除FLASH数据?</source>
        <translation>Really reset the instrument&apos;s settings? This does not delete the data stored in its flash memory.</translation>
    </message>
</context>
<context>
    <name>SimulatorCommandLine</name>
    <message>
        <location filename="../sim/simulatoroptions.cpp" line="+48"/>
        <source>模拟 KX740D 测温仪：打开一个伪终端，在标准输出打印其路径，并在其上应答仪器协议，直到收到 SIGINT 或 SIGTERM。</source>
        <translation>Simulates a KX740D thermometer: opens a pseudo-terminal, prints its path on standard output and answers the instrument protocol on it until SIGINT or SIGTERM.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>显示本帮助。</source>
        <translation>Show this help.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>仪器中存储的记录条数（0 到 80000）。</source>
        <translation>Number of records stored in the instrument (0 to 80000).</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>条数</source>
        <translation>count</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>每秒发送的实时读数个数（0 表示不发送）。</source>
        <translation>Live readings sent per second (0 sends none).</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>次数</source>
        <translation>rate</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>不按 115200 波特率限速，以伪终端能接收的最快速度发送。</source>
        <translation>Do not pace at 115200 baud; send as fast as the pseudo-terminal takes.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>限速时模拟的波特率。</source>
        <translation>Baud rate simulated when pacing.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>波特率</source>
        <translation>baud</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>启动时（及恢复出厂设置后）蓝牙为开。</source>
        <translation>Bluetooth on at start (and after a factory reset).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>四个通道都接有热电偶（默认 T4 未接）。</source>
        <translation>Thermocouples on all four channels (by default T4 has none).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>校验和被破坏的帧所占比例（0 到 1）。</source>
        <translation>Share of frames sent with a corrupted checksum (0 to 1).</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+2"/>
        <location line="+2"/>
        <source>比例</source>
        <translation>share</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>帧前插入噪声字节的概率（0 到 1）。</source>
        <translation>Probability of noise bytes before a frame (0 to 1).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>校验和错误的存储记录所占比例（0 到 1）。</source>
        <translation>Share of stored records with a bad checksum (0 to 1).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>启动后经过这么多秒断开端口。</source>
        <translation>Disconnect the port this many seconds after the start.</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+3"/>
        <source>秒</source>
        <translation>seconds</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>断开后经过这么多秒打开新的端口并打印其路径。</source>
        <translation>After a disconnect, open a new port this many seconds later and print its path.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>擦除所需的时间（毫秒）。</source>
        <translation>Time an erase takes (milliseconds).</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+4"/>
        <source>毫秒</source>
        <translation>ms</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>主动发送状态字节的间隔（毫秒，0 表示只在记录通知后发送）。</source>
        <translation>Interval of unsolicited status bytes (milliseconds; 0 sends them only after a recording notice).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>故障注入和读数噪声的随机种子。</source>
        <translation>Random seed for fault injection and reading noise.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>种子</source>
        <translation>seed</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>在此路径创建指向当前端口的符号链接。</source>
        <translation>Create a symbolic link to the current port at this path.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>路径</source>
        <translation>path</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>仪器报告的名称（最多 20 字节），默认 %1。</source>
        <translation>The name the instrument reports (at most 20 bytes); default %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>名称</source>
        <translation>name</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>多余的参数：%1</source>
        <translation>Unexpected argument: %1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>选项 --%1 的值无效：%2</source>
        <translation>Invalid value for option --%1: %2</translation>
    </message>
</context>
<context>
    <name>StatisticsPanel</name>
    <message>
        <location filename="../app/statisticspanel.cpp" line="+79"/>
        <source>图表中显示的范围</source>
        <translation>Range shown in the chart</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>整个测量</source>
        <translation>Whole measurement</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>范围：</source>
        <translation>Range:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ΔH：</source>
        <translation>ΔH:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>区间下限：</source>
        <translation>Band from:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>区间上限：</source>
        <translation>Band to:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>读数</source>
        <translation>Readings</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最小值</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最大值</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>平均值</source>
        <translation>Mean</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>标准差</source>
        <translation>Std dev</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>MKT</source>
        <translation>MKT</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>高于上限</source>
        <translation>Above high limit</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>低于下限</source>
        <translation>Below low limit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>区间内</source>
        <translation>Within band</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>%1通道间最大差值 %2（T%3 − T%4，%5）</source>
        <translation>%1largest spread across channels %2 (T%3 − T%4, %5)</translation>
    </message>
</context>
<context>
    <name>SystemPage</name>
    <message>
        <location filename="../app/systempage.cpp" line="+55"/>
        <source>告警</source>
        <translation>Alarms</translation>
    </message>
    <message>
        <location line="+200"/>
        <source>打开图像文件.</source>
        <translation>Open image file.</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>找不到说明书文件 %1。
请把该文件放到程序所在的文件夹：
%2</source>
        <translation>The manual file %1 was not found.
Please put the file in the folder of the program:
%2</translation>
    </message>
</context>
<context>
    <name>TablePage</name>
    <message>
        <location filename="../app/tablepage.cpp" line="+49"/>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>编号</source>
        <translation>No.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>温度</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <location line="+92"/>
        <source>热电偶</source>
        <translation>Thermocouple</translation>
    </message>
    <message>
        <location line="+116"/>
        <source>第 %1 / %2 页</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>剪切</source>
        <translation>Cut</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>在上方插入</source>
        <translation>Insert above</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>在下方插入</source>
        <translation>Insert below</translation>
    </message>
</context>
<context>
    <name>UserDialogs</name>
    <message>
        <location filename="../app/userdialogs.cpp" line="+50"/>
        <source>请确认</source>
        <translation>Please confirm</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
</context>
<context>
    <name>WindowContext</name>
    <message>
        <location filename="../app/windowcontext.cpp" line="+32"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>无法创建文件，请使用管理员权限运行程序。</source>
        <translation>Cannot create the file. Please run the program with administrator rights.</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>%1 是本程序的工作文件（备份、未保存的数据、日志或锁），不能用来保存数据。
请选择其他文件名。</source>
        <translation>%1 is one of this program&apos;s working files (a backup, unsaved data, a journal or a lock) and cannot hold saved data.
Please choose another file name.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>系统没有能打开它的程序。它位于：
%1</source>
        <translation>No program on this computer opens it. It is here:
%1</translation>
    </message>
</context>
<context>
    <name>kx740d-sim</name>
    <message>
        <location filename="../sim/main.cpp" line="+79"/>
        <source>端口已断开</source>
        <translation>Port disconnected</translation>
    </message>
</context>
</TS>
