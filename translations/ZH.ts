<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="zh_CN">
<context>
    <name>AlarmControl</name>
    <message>
        <location filename="../app/alarmcontrol.cpp" line="+173"/>
        <source>确认</source>
        <translation>确认</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>（已确认）</source>
        <translation>（已确认）</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>%1，自 %2起</source>
        <translation>%1，自 %2起</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1（%2 至 %3）</source>
        <translation>%1（%2 至 %3）</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>%1：%2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>告警提示音无法加载，告警时不会发出声音。</source>
        <translation>告警提示音无法加载，告警时不会发出声音。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>没有可用的音频输出设备，告警时不会发出声音。</source>
        <translation>没有可用的音频输出设备，告警时不会发出声音。</translation>
    </message>
</context>
<context>
    <name>AlarmPage</name>
    <message>
        <location filename="../app/alarmpage.cpp" line="+32"/>
        <source>告警在读数回到限值以内这么多之后才解除，探头在限值附近抖动时不会反复告警。</source>
        <translation>告警在读数回到限值以内这么多之后才解除，探头在限值附近抖动时不会反复告警。</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+7"/>
        <source> 秒</source>
        <translation> 秒</translation>
    </message>
    <message>
        <location line="-6"/>
        <source>超限状态持续这么久才告警。</source>
        <translation>超限状态持续这么久才告警。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>探头开路或超出量程时告警</source>
        <translation>探头开路或超出量程时告警</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>不告警</source>
        <translation>不告警</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>连接或记录时，与仪器的连接断开这么久后告警。</source>
        <translation>连接或记录时，与仪器的连接断开这么久后告警。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>窗口不在前台时显示桌面通知</source>
        <translation>窗口不在前台时显示桌面通知</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>告警时播放提示音，直到确认</source>
        <translation>告警时播放提示音，直到确认</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>回差</source>
        <translation>回差</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>告警延时</source>
        <translation>告警延时</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>仪器断开告警</source>
        <translation>仪器断开告警</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>上下限在本窗口“仪器”页的“报警阈值”中设置并开启。告警显示在主窗口上方的告警栏中，直到情况恢复并被确认。</source>
        <translation>上下限在本窗口“仪器”页的“报警阈值”中设置并开启。告警显示在主窗口上方的告警栏中，直到情况恢复并被确认。</translation>
    </message>
</context>
<context>
    <name>AlarmProgramRunner</name>
    <message>
        <location filename="../alarm/alarmprogram.cpp" line="+68"/>
        <source>告警程序 %1 仍有 %2 个未完成的运行；最早的一个被放弃。</source>
        <translation>告警程序 %1 仍有 %2 个未完成的运行；最早的一个被放弃。</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>告警程序 %1 还有 %2 次运行未开始，已放弃。</source>
        <translation>告警程序 %1 还有 %2 次运行未开始，已放弃。</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>告警程序 %1 有 %2 次运行在结束时仍未完成，已被终止。</source>
        <translation>告警程序 %1 有 %2 次运行在结束时仍未完成，已被终止。</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>告警程序 %1 在 %2 秒内没有结束，已被终止。</source>
        <translation>告警程序 %1 在 %2 秒内没有结束，已被终止。</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>无法启动告警程序 %1：%2</source>
        <translation>无法启动告警程序 %1：%2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>告警程序 %1 以状态 %2 结束。</source>
        <translation>告警程序 %1 以状态 %2 结束。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>告警程序 %1 异常结束。</source>
        <translation>告警程序 %1 异常结束。</translation>
    </message>
</context>
<context>
    <name>AlarmStrip</name>
    <message>
        <location filename="../widgets/alarmstrip.cpp" line="+55"/>
        <source>确认</source>
        <translation>确认</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>确认此告警：停止提示音并收回桌面通知</source>
        <translation>确认此告警：停止提示音并收回桌面通知</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>另有 %1 条较早的告警</source>
        <translation>另有 %1 条较早的告警</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全部确认</source>
        <translation>全部确认</translation>
    </message>
</context>
<context>
    <name>AlarmText</name>
    <message>
        <location filename="../alarm/alarmtext.cpp" line="+26"/>
        <source>高于上限</source>
        <translation>高于上限</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>低于下限</source>
        <translation>低于下限</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>探头开路</source>
        <translation>探头开路</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>超出量程上限</source>
        <translation>超出量程上限</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>低于量程下限</source>
        <translation>低于量程下限</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>与仪器的连接丢失</source>
        <translation>与仪器的连接丢失</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>仪器</source>
        <translation>仪器</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>告警：%1</source>
        <translation>告警：%1</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>告警：%1 %2（读数 %3）</source>
        <translation>告警：%1 %2（读数 %3）</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>告警解除：%1，持续 %2</source>
        <translation>告警解除：%1，持续 %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>告警解除：%1，持续 %2，极值 %3</source>
        <translation>告警解除：%1，持续 %2，极值 %3</translation>
    </message>
</context>
<context>
    <name>AppSettings</name>
    <message>
        <location filename="../settings/settingsfile.cpp" line="+21"/>
        <source>KX740D 测试员</source>
        <translation>KX740D 测试员</translation>
    </message>
</context>
<context>
    <name>ArchiveBackup</name>
    <message numerus="yes">
        <location filename="../app/archivebackup.cpp" line="+105"/>
        <source>%1（%n 条记录）</source>
        <translation>
            <numerusform>%1（%n 条记录）</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+19"/>
        <source>另外 %n 个测量</source>
        <translation>
            <numerusform>另外 %n 个测量</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>程序上次没有正常结束。以下测量已恢复，尚未保存：</source>
        <translation>程序上次没有正常结束。以下测量已恢复，尚未保存：</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>当时正在进行的记录可以继续：选中它的测量后按“开始”。</source>
        <translation>当时正在进行的记录可以继续：选中它的测量后按“开始”。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已恢复数据</source>
        <translation>已恢复数据</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>上次未保存的数据已损坏，无法恢复。
该文件保留为：%1</source>
        <translation>上次未保存的数据已损坏，无法恢复。
该文件保留为：%1</translation>
    </message>
    <message>
        <location line="+143"/>
        <source>无法备份未保存的数据到 %1：%2
程序意外退出时这些数据将会丢失，请及时保存。</source>
        <translation>无法备份未保存的数据到 %1：%2
程序意外退出时这些数据将会丢失，请及时保存。</translation>
    </message>
</context>
<context>
    <name>ArchivePage</name>
    <message>
        <location filename="../app/archivepage.cpp" line="+122"/>
        <source>保存数据到文件</source>
        <translation>保存数据到文件</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+21"/>
        <source>数据文件</source>
        <translation>数据文件</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>打开数据文件</source>
        <translation>打开数据文件</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>该文件不是有效的数据文件，无法打开。</source>
        <translation>该文件不是有效的数据文件，无法打开。</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>保存数据</source>
        <translation>保存数据</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>是否保存现有列表数据？
不保存目前数据将会丢失</source>
        <translation>是否保存现有列表数据？
不保存目前数据将会丢失</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+349"/>
        <source>是</source>
        <translation>是</translation>
    </message>
    <message>
        <location line="-349"/>
        <location line="+349"/>
        <source>否</source>
        <translation>否</translation>
    </message>
    <message>
        <location line="-349"/>
        <location line="+208"/>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="-136"/>
        <source>撤销%1</source>
        <translation>撤销%1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>重做%1</source>
        <translation>重做%1</translation>
    </message>
    <message>
        <location line="+118"/>
        <location line="+86"/>
        <source>与…比较</source>
        <translation>与…比较</translation>
    </message>
    <message>
        <location line="-74"/>
        <source>选择要在图表中比较的测量（最多 %1 个）：</source>
        <translation>选择要在图表中比较的测量（最多 %1 个）：</translation>
    </message>
    <message>
        <location line="+64"/>
        <source>保存</source>
        <translation>保存</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>另存为</source>
        <translation>另存为</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Excel 工作簿</source>
        <translation>Excel 工作簿</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>PDF 报告</source>
        <translation>PDF 报告</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>上移</source>
        <translation>上移</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除</source>
        <translation>删除</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>重命名</source>
        <translation>重命名</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件管理器中打开</source>
        <translation>文件管理器中打开</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>属性</source>
        <translation>属性</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>导入设备数据</source>
        <translation>导入设备数据</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>打开</source>
        <translation>打开</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>新建</source>
        <translation>新建</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>请选择需要导出的list数据</source>
        <translation>请选择需要导出的list数据</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>数据删除提示</source>
        <translation>数据删除提示</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除测量“%1”？
删除后可以用“撤销”（Ctrl+Z）恢复，打开其他文件后不能再恢复。</source>
        <translation>删除测量“%1”？
删除后可以用“撤销”（Ctrl+Z）恢复，打开其他文件后不能再恢复。</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>删除 %1</source>
        <translation>删除 %1</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>上移 %1</source>
        <translation>上移 %1</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>重命名 %1 为 %2</source>
        <translation>重命名 %1 为 %2</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>测量名称   </source>
        <translation>测量名称   </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>测量时间   </source>
        <translation>测量时间   </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>数据数量   </source>
        <translation>数据数量   </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>仪器   </source>
        <translation>仪器   </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>测量属性</source>
        <translation>测量属性</translation>
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
        <translation>设为差值参考</translation>
    </message>
</context>
<context>
    <name>ChartPage</name>
    <message>
        <location filename="../app/chartpage.cpp" line="+56"/>
        <source>KX740D数据</source>
        <translation>KX740D数据</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>整体显示</source>
        <translation>整体显示</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>统计</source>
        <translation>统计</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>统计面板</source>
        <translation>统计面板</translation>
    </message>
    <message>
        <location line="+411"/>
        <source>移动到左上</source>
        <translation>移动到左上</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>移动到上方中间</source>
        <translation>移动到上方中间</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>移动到右上</source>
        <translation>移动到右上</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>移动到左下</source>
        <translation>移动到左下</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>移动到右下</source>
        <translation>移动到右下</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>复制图片</source>
        <translation>复制图片</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>保存</source>
        <translation>保存</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+45"/>
        <source>JPG 图像</source>
        <translation>JPG 图像</translation>
    </message>
    <message>
        <location line="-43"/>
        <location line="+51"/>
        <source>PDF 文件</source>
        <translation>PDF 文件</translation>
    </message>
    <message>
        <location line="-49"/>
        <source>显示报警阈值线</source>
        <translation>显示报警阈值线</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>保存到图像文件</source>
        <translation>保存到图像文件</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>保存到pdf文件</source>
        <translation>保存到pdf文件</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>重命名坐标轴</source>
        <translation>重命名坐标轴</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>新坐标轴标签：</source>
        <translation>新坐标轴标签：</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>重命名曲线</source>
        <translation>重命名曲线</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>新图表名称：</source>
        <translation>新图表名称：</translation>
    </message>
</context>
<context>
    <name>ChartPlot</name>
    <message>
        <location filename="../chart/chartplot.cpp" line="+359"/>
        <source>时间</source>
        <translation>时间</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>编号</source>
        <translation>编号</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>温度</source>
        <translation>温度</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <location filename="../app/startup.cpp" line="+83"/>
        <source>KX740D 四通道温度计的桌面程序</source>
        <translation>KX740D 四通道温度计的桌面程序</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>使用内置的模拟仪器</source>
        <translation>使用内置的模拟仪器</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>启动后连接端口列表中的第一个端口</source>
        <translation>启动后连接端口列表中的第一个端口</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>把该端口加入端口列表（可重复）</source>
        <translation>把该端口加入端口列表（可重复）</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>启动时打开的数据文件</source>
        <translation>启动时打开的数据文件</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>只能打开一个数据文件。</source>
        <translation>只能打开一个数据文件。</translation>
    </message>
</context>
<context>
    <name>ConnectFailure</name>
    <message>
        <location filename="../measurement/connectfailure.cpp" line="+51"/>
        <source>无法打开串口 %1。</source>
        <translation>无法打开串口 %1。</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>没有使用该串口的权限。请让系统管理员为当前用户开放该串口的读写权限。</source>
        <translation>没有使用该串口的权限。请让系统管理员为当前用户开放该串口的读写权限。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>没有使用该串口的权限。该串口属于用户组 %1，请将当前用户加入该组：在终端中运行
%2
然后注销并重新登录，使新的组成员身份生效。</source>
        <translation>没有使用该串口的权限。该串口属于用户组 %1，请将当前用户加入该组：在终端中运行
%2
然后注销并重新登录，使新的组成员身份生效。</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>该串口正被其他程序使用，请关闭该程序后重试。</source>
        <translation>该串口正被其他程序使用，请关闭该程序后重试。</translation>
    </message>
</context>
<context>
    <name>DataOutput</name>
    <message>
        <location filename="../store/csvtext.cpp" line="+19"/>
        <source>NO.</source>
        <translation>序号</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>time</source>
        <translation>时间</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Temperature</source>
        <translation>温度</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Thermocouple</source>
        <translation>热电偶</translation>
    </message>
    <message>
        <location filename="../export/dataoutput.cpp" line="+48"/>
        <source>编号</source>
        <translation>编号</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+33"/>
        <source>时间</source>
        <translation>时间</translation>
    </message>
    <message>
        <location line="-32"/>
        <source>温度</source>
        <translation>温度</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>热电偶</source>
        <translation>热电偶</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>KX740D测试文件</source>
        <translation>KX740D测试文件</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>使用者: </source>
        <translation>使用者: </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备名称: </source>
        <translation>设备名称: </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件创建时间</source>
        <translation>文件创建时间</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件名称</source>
        <translation>文件名称</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>数据量</source>
        <translation>数据量</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>备注</source>
        <translation>备注</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>告警记录</source>
        <translation>告警记录</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>告警</source>
        <translation>告警</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+12"/>
        <source>通道</source>
        <translation>通道</translation>
    </message>
    <message>
        <location line="-12"/>
        <source>开始</source>
        <translation>开始</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>结束</source>
        <translation>结束</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>极值</source>
        <translation>极值</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>至测量结束</source>
        <translation>至测量结束</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>测量期间没有告警。</source>
        <translation>测量期间没有告警。</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>统计</source>
        <translation>统计</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+3"/>
        <source>测量</source>
        <translation>测量</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>读数</source>
        <translation>读数</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最低</source>
        <translation>最低</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最高</source>
        <translation>最高</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>平均</source>
        <translation>平均</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>标准差</source>
        <translation>标准差</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>平均动力学温度</source>
        <translation>平均动力学温度</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>高于上限(秒)</source>
        <translation>高于上限(秒)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>低于下限(秒)</source>
        <translation>低于下限(秒)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>最大通道温差</source>
        <translation>最大通道温差</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最高通道</source>
        <translation>最高通道</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最低通道</source>
        <translation>最低通道</translation>
    </message>
</context>
<context>
    <name>DataStore</name>
    <message>
        <location filename="../store/data_list_t.cpp" line="+20"/>
        <source>新建测量</source>
        <translation>新建测量</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>%1_KX740D数据记录</source>
        <translation>%1_KX740D数据记录</translation>
    </message>
    <message>
        <location filename="../store/data_table_t.cpp" line="+68"/>
        <source>新建档案</source>
        <translation>新建档案</translation>
    </message>
</context>
<context>
    <name>Dialog_wait</name>
    <message>
        <location filename="../widgets/dialog_wait.ui" line="+20"/>
        <source>清除FLASH大约需要等待一分钟，请稍等</source>
        <translation>清除FLASH大约需要等待一分钟，请稍等</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <location filename="../widgets/dialog_wait.cpp" line="+55"/>
        <source>正在读取仪器中存储的记录…
已读取 %1 / %2 条</source>
        <translation>正在读取仪器中存储的记录…
已读取 %1 / %2 条</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>，剩余约 %1 秒</source>
        <translation>，剩余约 %1 秒</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>需要等待一些时间，请稍等
%1秒后自动退出</source>
        <translation>需要等待一些时间，请稍等
%1秒后自动退出</translation>
    </message>
</context>
<context>
    <name>Document</name>
    <message>
        <location filename="../document/document.cpp" line="+216"/>
        <source>剪切 1 行</source>
        <translation>剪切 1 行</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>剪切 %1 行</source>
        <translation>剪切 %1 行</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>删除 1 行</source>
        <translation>删除 1 行</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>删除 %1 行</source>
        <translation>删除 %1 行</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>插入 1 行</source>
        <translation>插入 1 行</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>插入 %1 行</source>
        <translation>插入 %1 行</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>重命名 %1 为 %2</source>
        <translation>重命名 %1 为 %2</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>删除测量 %1</source>
        <translation>删除测量 %1</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>上移 %1</source>
        <translation>上移 %1</translation>
    </message>
</context>
<context>
    <name>EventOutbox</name>
    <message>
        <location filename="../store/eventoutbox.cpp" line="+77"/>
        <source>无法打开告警事件文件 %1：%2；告警事件只保存在内存中。</source>
        <translation>无法打开告警事件文件 %1：%2；告警事件只保存在内存中。</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>%1 不是告警事件文件，未改动它；告警事件只保存在内存中。</source>
        <translation>%1 不是告警事件文件，未改动它；告警事件只保存在内存中。</translation>
    </message>
    <message>
        <location line="+123"/>
        <source>无法写入告警事件文件 %1：%2；告警事件暂存在内存中，稍后重试。</source>
        <translation>无法写入告警事件文件 %1：%2；告警事件暂存在内存中，稍后重试。</translation>
    </message>
</context>
<context>
    <name>ExportControl</name>
    <message>
        <location filename="../app/exportcontrol.cpp" line="+56"/>
        <source>导出完成</source>
        <translation>导出完成</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件已保存到：
%1</source>
        <translation>文件已保存到：
%1</translation>
    </message>
    <message>
        <location line="+83"/>
        <source>保存数据到文件</source>
        <translation>保存数据到文件</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Excel 工作簿</source>
        <translation>Excel 工作簿</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>PDF 报告</source>
        <translation>PDF 报告</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CSV 文本</source>
        <translation>CSV 文本</translation>
    </message>
</context>
<context>
    <name>ExportTool</name>
    <message>
        <location filename="../cli/main.cpp" line="+93"/>
        <source>找不到设置文件 %1。</source>
        <translation>找不到设置文件 %1。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>无法打开设置文件 %1：%2</source>
        <translation>无法打开设置文件 %1：%2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 不是有效的设置文件，报告使用默认的标志、公司、测试人员和图表设置。</source>
        <translation>%1 不是有效的设置文件，报告使用默认的标志、公司、测试人员和图表设置。</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>--%1 的值无效：%2（应为摄氏温度）</source>
        <translation>--%1 的值无效：%2（应为摄氏温度）</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>--band 的值无效：%1（应为 LO:HI，摄氏温度，LO 不大于 HI）</source>
        <translation>--band 的值无效：%1（应为 LO:HI，摄氏温度，LO 不大于 HI）</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>--mkt-dh 的值无效：%1（应为大于 0 的活化能，单位 kJ/mol）</source>
        <translation>--mkt-dh 的值无效：%1（应为大于 0 的活化能，单位 kJ/mol）</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>把数据文件转换为 Excel 工作簿、PDF 报告或 CSV 文本</source>
        <translation>把数据文件转换为 Excel 工作簿、PDF 报告或 CSV 文本</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>数据文件</source>
        <translation>数据文件</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>写入工作簿（所有测量）</source>
        <translation>写入工作簿（所有测量）</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>写入 PDF 报告（每个测量一个）</source>
        <translation>写入 PDF 报告（每个测量一个）</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>写入 CSV 文本（每个测量一个）</source>
        <translation>写入 CSV 文本（每个测量一个）</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>温度单位：C、F 或 K</source>
        <translation>温度单位：C、F 或 K</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>只导出第 N 个测量（从 1 开始）；它属于多台仪器同时记录的一组时导出整组</source>
        <translation>只导出第 N 个测量（从 1 开始）；它属于多台仪器同时记录的一组时导出整组</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>与 --measurement 一起：只导出这一个测量，不导出它所在的组</source>
        <translation>与 --measurement 一起：只导出这一个测量，不导出它所在的组</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>列出文件中的测量</source>
        <translation>列出文件中的测量</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>报告的标志、公司、测试人员和图表设置所在的设置文件（默认为工作目录中的 config.cfg）</source>
        <translation>报告的标志、公司、测试人员和图表设置所在的设置文件（默认为工作目录中的 config.cfg）</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>把每个测量各通道的统计（读数、最小值、最大值、平均值、标准差、平均动力学温度、超限时间）以 CSV 写到标准输出</source>
        <translation>把每个测量各通道的统计（读数、最小值、最大值、平均值、标准差、平均动力学温度、超限时间）以 CSV 写到标准输出</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>与 --stats 一起：计算高于 T ℃ 的时间</source>
        <translation>与 --stats 一起：计算高于 T ℃ 的时间</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>与 --stats 一起：计算低于 T ℃ 的时间</source>
        <translation>与 --stats 一起：计算低于 T ℃ 的时间</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>与 --stats 一起：计算在 LO 到 HI ℃ 之间（含两端）的时间</source>
        <translation>与 --stats 一起：计算在 LO 到 HI ℃ 之间（含两端）的时间</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>与 --stats 一起：平均动力学温度的活化能 ΔH（kJ/mol，默认 83.144）</source>
        <translation>与 --stats 一起：平均动力学温度的活化能 ΔH（kJ/mol，默认 83.144）</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>请指定一个数据文件。</source>
        <translation>请指定一个数据文件。</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>未知的温度单位：%1（可用 C、F、K）</source>
        <translation>未知的温度单位：%1（可用 C、F、K）</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>--stats 只输出摄氏温度，不能与 --xlsx、--pdf、--csv、--list 或 --unit F|K 一起使用。</source>
        <translation>--stats 只输出摄氏温度，不能与 --xlsx、--pdf、--csv、--list 或 --unit F|K 一起使用。</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>--high、--low、--band 和 --mkt-dh 只能与 --stats 一起使用。</source>
        <translation>--high、--low、--band 和 --mkt-dh 只能与 --stats 一起使用。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>--single 只能与 --measurement 一起使用。</source>
        <translation>--single 只能与 --measurement 一起使用。</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>无法打开文件 %1：%2</source>
        <translation>无法打开文件 %1：%2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1 不是有效的数据文件。</source>
        <translation>%1 不是有效的数据文件。</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>没有第 %1 个测量（文件中有 %2 个）。</source>
        <translation>没有第 %1 个测量（文件中有 %2 个）。</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>请至少指定 --xlsx、--pdf、--csv、--list 或 --stats 之一。</source>
        <translation>请至少指定 --xlsx、--pdf、--csv、--list 或 --stats 之一。</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>已写入 %1（%2 条记录）</source>
        <translation>已写入 %1（%2 条记录）</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>无法写入 %1：%2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
</context>
<context>
    <name>FormRename</name>
    <message>
        <location filename="../widgets/formrename.ui" line="+14"/>
        <location filename="../widgets/formrename.cpp" line="+11"/>
        <source>重命名</source>
        <translation>重命名</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>测量的新名称：</source>
        <translation>测量的新名称：</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>确定</source>
        <translation>确定</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>取消</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>FormSetting</name>
    <message>
        <location filename="../widgets/formsetting.ui" line="+14"/>
        <source>设置</source>
        <translation>设置</translation>
    </message>
    <message>
        <location line="+93"/>
        <source>仪器</source>
        <translation>仪器</translation>
    </message>
</context>
<context>
    <name>InstrumentList</name>
    <message>
        <location filename="../app/instrumentlist.cpp" line="+35"/>
        <source>仪器列表</source>
        <translation>仪器列表</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>标签</source>
        <translation>标签</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>端口</source>
        <translation>端口</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>名称</source>
        <translation>名称</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>固件</source>
        <translation>固件</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>状态</source>
        <translation>状态</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>连接</source>
        <translation>连接</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>未找到仪器</source>
        <translation>未找到仪器</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>连接全部</source>
        <translation>连接全部</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>在仪器面板上显示和设置此仪器</source>
        <translation>在仪器面板上显示和设置此仪器</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>已连接</source>
        <translation>已连接</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>等待重新连接</source>
        <translation>等待重新连接</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>未连接</source>
        <translation>未连接</translation>
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
        <translation>与仪器的连接已断开：记录等待仪器重新连接后继续</translation>
    </message>
    <message>
        <location line="+82"/>
        <source>断开连接</source>
        <translation>断开连接</translation>
    </message>
    <message>
        <location line="+4"/>
        <source> 已连接设备</source>
        <translation> 已连接设备</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>连接设备</source>
        <translation>连接设备</translation>
    </message>
    <message>
        <location line="+4"/>
        <source> 未连接设备</source>
        <translation> 未连接设备</translation>
    </message>
    <message>
        <location line="+246"/>
        <source>标签只能由 1 到 32 个字母、数字、“_”或“-”组成。</source>
        <translation>标签只能由 1 到 32 个字母、数字、“_”或“-”组成。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>标签“%1”已被另一台仪器使用。</source>
        <translation>标签“%1”已被另一台仪器使用。</translation>
    </message>
    <message>
        <location line="+113"/>
        <location line="+121"/>
        <location line="+78"/>
        <source>是</source>
        <translation>是</translation>
    </message>
    <message>
        <location line="-199"/>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="+120"/>
        <source>恢复出厂设置</source>
        <translation>恢复出厂设置</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+78"/>
        <source>否</source>
        <translation>否</translation>
    </message>
    <message>
        <location line="-42"/>
        <source>未连接设备，请先连接设备。</source>
        <translation>未连接设备，请先连接设备。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>仪器正在传输数据，请等待传输结束后再试。</source>
        <translation>仪器正在传输数据，请等待传输结束后再试。</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+49"/>
        <source>仪器中没有存储的记录。</source>
        <translation>仪器中没有存储的记录。</translation>
    </message>
    <message>
        <location line="-27"/>
        <source>清除仪器存储</source>
        <translation>清除仪器存储</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>仪器中存储的 %1 条记录将被清除且无法恢复，是否继续？</source>
        <translation>仪器中存储的 %1 条记录将被清除且无法恢复，是否继续？</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>读取的记录全部未通过校验，没有可用的记录。</source>
        <translation>读取的记录全部未通过校验，没有可用的记录。</translation>
    </message>
</context>
<context>
    <name>LogoImage</name>
    <message>
        <location filename="../settings/logoimage.cpp" line="+112"/>
        <source>设置文件中的标志图像已损坏或过大，已改用默认标志。</source>
        <translation>设置文件中的标志图像已损坏或过大，已改用默认标志。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>无法使用图像 %1：文件已损坏或图像过大。</source>
        <translation>无法使用图像 %1：文件已损坏或图像过大。</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../app/mainwindow.ui" line="+142"/>
        <source>设置</source>
        <translation>设置</translation>
    </message>
    <message>
        <location line="+102"/>
        <source>Tab 1</source>
        <translation>页 1</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>文件</source>
        <translation>文件</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>连接设备</source>
        <translation>连接设备</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>新建</source>
        <translation>新建</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>打开</source>
        <translation>打开</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>保存</source>
        <translation>保存</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>另存为</source>
        <translation>另存为</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>导入设备数据</source>
        <translation>导入设备数据</translation>
    </message>
    <message>
        <location line="+149"/>
        <source>开始/结束</source>
        <translation>开始/结束</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>HOLD</source>
        <translation>HOLD</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>存储间隔</source>
        <translation>存储间隔</translation>
    </message>
    <message>
        <location line="+22"/>
        <location line="+3313"/>
        <source> 时</source>
        <translation> 时</translation>
    </message>
    <message>
        <location line="-3294"/>
        <location line="+3313"/>
        <source> 分</source>
        <translation> 分</translation>
    </message>
    <message>
        <location line="-3294"/>
        <location line="+3316"/>
        <source> 秒</source>
        <translation> 秒</translation>
    </message>
    <message>
        <location line="-3277"/>
        <source>图表</source>
        <translation>图表</translation>
    </message>
    <message>
        <location line="+57"/>
        <location line="+177"/>
        <source>切换</source>
        <translation>切换</translation>
    </message>
    <message>
        <location line="-154"/>
        <source>坐标轴</source>
        <translation>坐标轴</translation>
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
        <translation>表格</translation>
    </message>
    <message>
        <location line="+99"/>
        <source>面板控制</source>
        <translation>面板控制</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>差值模式</source>
        <translation>差值模式</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>NORMAL</source>
        <translation>NORMAL</translation>
    </message>
    <message>
        <location line="+90"/>
        <source>计量模式</source>
        <translation>计量模式</translation>
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
        <translation>蓝牙</translation>
    </message>
    <message>
        <location line="+21"/>
        <source> 蓝牙</source>
        <translation> 蓝牙</translation>
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
        <translation>页</translation>
    </message>
    <message>
        <location line="-3471"/>
        <location line="+252"/>
        <location line="+3287"/>
        <source>设备</source>
        <translation>设备</translation>
    </message>
    <message>
        <location line="-3519"/>
        <location line="+673"/>
        <source>单位</source>
        <translation>单位</translation>
    </message>
    <message>
        <location line="-653"/>
        <location line="+761"/>
        <source>热电偶类型</source>
        <translation>热电偶类型</translation>
    </message>
    <message>
        <location line="-741"/>
        <location line="+1127"/>
        <source>热电偶补偿</source>
        <translation>热电偶补偿</translation>
    </message>
    <message>
        <location line="-1107"/>
        <location line="+1725"/>
        <source>报警阈值</source>
        <translation>报警阈值</translation>
    </message>
    <message>
        <location line="-1705"/>
        <location line="+2335"/>
        <source>持续测量时间</source>
        <translation>持续测量时间</translation>
    </message>
    <message>
        <location line="-2315"/>
        <location line="+2470"/>
        <source>PDF设置</source>
        <translation>PDF设置</translation>
    </message>
    <message>
        <location line="-2450"/>
        <location line="+2667"/>
        <source>数据备份</source>
        <translation>数据备份</translation>
    </message>
    <message>
        <location line="-2647"/>
        <source>说明书</source>
        <translation>说明书</translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+2893"/>
        <location line="+28"/>
        <source>语言</source>
        <translation>语言</translation>
    </message>
    <message>
        <location line="-2901"/>
        <location line="+2976"/>
        <source>图表设置</source>
        <translation>图表设置</translation>
    </message>
    <message>
        <location line="-2871"/>
        <source>设备名称</source>
        <translation>设备名称</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>固件版本</source>
        <translation>固件版本</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>时间同步</source>
        <translation>时间同步</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>状态</source>
        <translation>状态</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>设备存储空间</source>
        <translation>设备存储空间</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>自动关机</source>
        <translation>自动关机</translation>
    </message>
    <message>
        <location line="+60"/>
        <source> 工频抗干扰</source>
        <translation> 工频抗干扰</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>50Hz</source>
        <translation>50Hz</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>60HZ</source>
        <translation>60HZ</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>清除设备存储数据</source>
        <translation>清除设备存储数据</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>恢复出厂设置</source>
        <translation>恢复出厂设置</translation>
    </message>
    <message>
        <location line="+103"/>
        <source> 单位</source>
        <translation> 单位</translation>
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
        <translation>T1热电偶类型</translation>
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
        <translation>T2热电偶类型</translation>
    </message>
    <message>
        <location line="+86"/>
        <source>T3热电偶类型</source>
        <translation>T3热电偶类型</translation>
    </message>
    <message>
        <location line="+86"/>
        <source>T4热电偶类型</source>
        <translation>T4热电偶类型</translation>
    </message>
    <message>
        <location line="+127"/>
        <source> 通道</source>
        <translation> 通道</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>实时温度  </source>
        <translation>实时温度  </translation>
    </message>
    <message>
        <location line="+38"/>
        <source>补偿档位</source>
        <translation>补偿档位</translation>
    </message>
    <message>
        <location line="+457"/>
        <source>环境温度</source>
        <translation>环境温度</translation>
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
        <translation>上限 </translation>
    </message>
    <message>
        <location line="-413"/>
        <location line="+147"/>
        <location line="+147"/>
        <location line="+147"/>
        <source>下限  </source>
        <translation>下限  </translation>
    </message>
    <message>
        <location line="+279"/>
        <source>logo</source>
        <translation>标志</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>更换</source>
        <translation>更换</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>测试人员</source>
        <translation>测试人员</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>公司名称</source>
        <translation>公司名称</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>备注：</source>
        <translation>备注：</translation>
    </message>
    <message>
        <location line="+86"/>
        <source>自动备份</source>
        <translation>自动备份</translation>
    </message>
    <message>
        <location line="+74"/>
        <source>使用手册</source>
        <translation>使用手册</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>KX740D使用说明书</source>
        <translation>KX740D使用说明书</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>PC软件使用说明书</source>
        <translation>PC软件使用说明书</translation>
    </message>
    <message>
        <location line="+130"/>
        <source>中文</source>
        <translation>中文</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <location line="+71"/>
        <source>line_style</source>
        <translation>线型</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>ScatterShape</source>
        <translation>散点形状</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>Y轴标题</source>
        <translation>Y轴标题</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>X轴标题</source>
        <translation>X轴标题</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>图例</source>
        <translation>图例</translation>
    </message>
    <message>
        <location line="+175"/>
        <source> 仪表工作台</source>
        <translation> 仪表工作台</translation>
    </message>
    <message>
        <location line="+39"/>
        <source> debug</source>
        <translation> debug</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>关于</source>
        <translation>关于</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>参考线</source>
        <translation>参考线</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>开启用于对齐表格</source>
        <translation>开启用于对齐表格</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>复制</source>
        <translation>复制</translation>
    </message>
    <message>
        <location filename="../app/mainwindow.cpp" line="+204"/>
        <source>正在记录。是否保存现有列表数据？
选择“是”或“否”都将结束记录，选择“取消”继续记录。</source>
        <translation>正在记录。是否保存现有列表数据？
选择“是”或“否”都将结束记录，选择“取消”继续记录。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>是否保存现有列表数据？
不保存目前数据将会丢失</source>
        <translation>是否保存现有列表数据？
不保存目前数据将会丢失</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>保存数据</source>
        <translation>保存数据</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>是</source>
        <translation>是</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>否</source>
        <translation>否</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>取消</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>MetricsServer</name>
    <message>
        <location filename="../record/main.cpp" line="+79"/>
        <source>无法在 %1 端口 %2 上提供指标：%3</source>
        <translation>无法在 %1 端口 %2 上提供指标：%3</translation>
    </message>
</context>
<context>
    <name>MqttControl</name>
    <message>
        <location filename="../app/mqttcontrol.cpp" line="+190"/>
        <source>仪器连接后开始发布。</source>
        <translation>仪器连接后开始发布。</translation>
    </message>
    <message>
        <location line="+78"/>
        <source>代理在 %1 秒内没有回答。</source>
        <translation>代理在 %1 秒内没有回答。</translation>
    </message>
</context>
<context>
    <name>MqttPage</name>
    <message>
        <location filename="../app/mqttpage.cpp" line="+56"/>
        <source>发布到 MQTT 代理</source>
        <translation>发布到 MQTT 代理</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>mqtt://主机:1883</source>
        <translation>mqtt://主机:1883</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+3"/>
        <source>可选</source>
        <translation>可选</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>代理地址</source>
        <translation>代理地址</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>主题前缀</source>
        <translation>主题前缀</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>用户名</source>
        <translation>用户名</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>密码</source>
        <translation>密码</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>证书文件 (*.pem *.crt *.cer);;所有文件 (*)</source>
        <translation>证书文件 (*.pem *.crt *.cer);;所有文件 (*)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>私钥文件 (*.pem *.key);;所有文件 (*)</source>
        <translation>私钥文件 (*.pem *.key);;所有文件 (*)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>仅用于 mqtts，可选</source>
        <translation>仅用于 mqtts，可选</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>CA 证书</source>
        <translation>CA 证书</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>仅用于 mqtts；留空则使用系统的证书</source>
        <translation>仅用于 mqtts；留空则使用系统的证书</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>客户端证书</source>
        <translation>客户端证书</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>客户端私钥</source>
        <translation>客户端私钥</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>发送 Home Assistant 自动发现消息</source>
        <translation>发送 Home Assistant 自动发现消息</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>测试连接</source>
        <translation>测试连接</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>用上面填写的设置连接一次，不发布任何内容。</source>
        <translation>用上面填写的设置连接一次，不发布任何内容。</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>kx740d/&lt;仪器名称&gt;</source>
        <translation>kx740d/&lt;仪器名称&gt;</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>发布的内容：实时读数（约每秒一条）发到 %1/live；记录的读数按顺序发到 %1/record，代理不可用时排队等候；在线状态 online/offline（保留消息）发到 %1/status；仪器连接状态 connected/lost（保留消息）发到 %1/link；当前的告警列表（保留消息）发到 %1/alarm，每次告警出现和解除发到 %1/alarm/event。</source>
        <translation>发布的内容：实时读数（约每秒一条）发到 %1/live；记录的读数按顺序发到 %1/record，代理不可用时排队等候；在线状态 online/offline（保留消息）发到 %1/status；仪器连接状态 connected/lost（保留消息）发到 %1/link；当前的告警列表（保留消息）发到 %1/alarm，每次告警出现和解除发到 %1/alarm/event。</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>%1 条记录的读数等待代理接收。</source>
        <translation>%1 条记录的读数等待代理接收。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 条记录的读数未能送达代理（队列已满、被代理拒绝，或停止发布时尚未确认）。</source>
        <translation>%1 条记录的读数未能送达代理（队列已满、被代理拒绝，或停止发布时尚未确认）。</translation>
    </message>
    <message>
        <location line="-23"/>
        <source>更改在切换“%1”时和关闭设置窗口时生效。</source>
        <translation>更改在切换“%1”时和关闭设置窗口时生效。</translation>
    </message>
</context>
<context>
    <name>MqttPublisher</name>
    <message>
        <location filename="../mqtt/mqttpublisher.cpp" line="+1044"/>
        <location line="+107"/>
        <location filename="../mqtt/mqttstatetext.cpp" line="+24"/>
        <source>已关闭</source>
        <translation>已关闭</translation>
    </message>
    <message>
        <location filename="../mqtt/mqttstatetext.cpp" line="+3"/>
        <source>正在连接 %1…</source>
        <translation>正在连接 %1…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未能连接到 %1：%2。</source>
        <translation>未能连接到 %1：%2。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未连接到 %1：%2。稍后自动重试。</source>
        <translation>未连接到 %1：%2。稍后自动重试。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>另一个发布者 %1（主机 %2）也在使用主题前缀 %3。</source>
        <translation>另一个发布者 %1（主机 %2）也在使用主题前缀 %3。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>代理拒绝了发往 %1 的消息：%2。</source>
        <translation>代理拒绝了发往 %1 的消息：%2。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>已连接</source>
        <translation>已连接</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>已连接；%1</source>
        <translation>已连接；%1</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>无法验证代理的证书：%1；约每分钟重试一次。</source>
        <translation>无法验证代理的证书：%1；约每分钟重试一次。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>另一个客户端以相同的客户端 ID %1 连接到代理，代理断开了本连接；约每分钟重试一次。</source>
        <translation>另一个客户端以相同的客户端 ID %1 连接到代理，代理断开了本连接；约每分钟重试一次。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>代理一再在连接后立即断开本连接，可能另一个客户端在使用相同的客户端 ID %1；约每分钟重试一次。</source>
        <translation>代理一再在连接后立即断开本连接，可能另一个客户端在使用相同的客户端 ID %1；约每分钟重试一次。</translation>
    </message>
    <message>
        <location line="-13"/>
        <source>代理拒绝连接：%1；约每分钟重试一次。</source>
        <translation>代理拒绝连接：%1；约每分钟重试一次。</translation>
    </message>
    <message>
        <location filename="../mqtt/mqttpublisher.cpp" line="-267"/>
        <source>无法创建 MQTT 客户端。</source>
        <translation>无法创建 MQTT 客户端。</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>MQTT 设置无效：%1</source>
        <translation>MQTT 设置无效：%1</translation>
    </message>
</context>
<context>
    <name>MqttTexts</name>
    <message>
        <location filename="../mqtt/mqttsettings.cpp" line="+9"/>
        <source>请输入代理地址，例如 mqtt://主机:1883。</source>
        <translation>请输入代理地址，例如 mqtt://主机:1883。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>代理地址 %1 无效：应为 mqtt://主机[:端口] 或 mqtts://主机[:端口]。</source>
        <translation>代理地址 %1 无效：应为 mqtt://主机[:端口] 或 mqtts://主机[:端口]。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>代理地址 %1 无效：只能包含主机和端口。</source>
        <translation>代理地址 %1 无效：只能包含主机和端口。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>代理地址 %1 的端口无效。</source>
        <translation>代理地址 %1 的端口无效。</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>主题前缀 %1 无效：不能包含 + 或 #。</source>
        <translation>主题前缀 %1 无效：不能包含 + 或 #。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>主题前缀 %1 无效：不能以 $ 开头（那是代理自己的主题）。</source>
        <translation>主题前缀 %1 无效：不能以 $ 开头（那是代理自己的主题）。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>主题前缀 %1 无效：不能包含控制字符。</source>
        <translation>主题前缀 %1 无效：不能包含控制字符。</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>证书文件只用于 mqtts:// 地址；%1 是未加密的地址。</source>
        <translation>证书文件只用于 mqtts:// 地址；%1 是未加密的地址。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>无法读取文件 %1。</source>
        <translation>无法读取文件 %1。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>客户端证书和私钥必须同时给出。</source>
        <translation>客户端证书和私钥必须同时给出。</translation>
    </message>
    <message>
        <location filename="../app/mqttconfig.cpp" line="+90"/>
        <source>无法写入 MQTT 设置文件 %1：%2</source>
        <translation>无法写入 MQTT 设置文件 %1：%2</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>密码保存在系统的密钥环中。</source>
        <translation>密码保存在系统的密钥环中。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>没有可用的密钥环：密码保存在 %1 中，只有你的用户帐户可以读写该文件。</source>
        <translation>没有可用的密钥环：密码保存在 %1 中，只有你的用户帐户可以读写该文件。</translation>
    </message>
    <message>
        <location filename="../mqtt/mqttconnecterror.cpp" line="+21"/>
        <source>找不到该主机</source>
        <translation>找不到该主机</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>域名服务器暂时无法查到该主机</source>
        <translation>域名服务器暂时无法查到该主机</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>连接被拒绝（该端口上没有运行代理，或被防火墙拒绝）</source>
        <translation>连接被拒绝（该端口上没有运行代理，或被防火墙拒绝）</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>无法到达该主机</source>
        <translation>无法到达该主机</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>连接超时</source>
        <translation>连接超时</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+7"/>
        <source>连接中断</source>
        <translation>连接中断</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>代理不再应答</source>
        <translation>代理不再应答</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>代理没有应答</source>
        <translation>代理没有应答</translation>
    </message>
</context>
<context>
    <name>OverlayControls</name>
    <message>
        <location filename="../app/overlaycontrols.cpp" line="+18"/>
        <source>按时钟对齐</source>
        <translation>按时钟对齐</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>按开始对齐</source>
        <translation>按开始对齐</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>按越过温度对齐</source>
        <translation>按越过温度对齐</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>上升</source>
        <translation>上升</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>下降</source>
        <translation>下降</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>对齐：</source>
        <translation>对齐：</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>未越过该温度，按开始显示：%1</source>
        <translation>未越过该温度，按开始显示：%1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>选择了 %1 个测量，最多比较 %2 个，只显示前 %2 个。</source>
        <translation>选择了 %1 个测量，最多比较 %2 个，只显示前 %2 个。</translation>
    </message>
</context>
<context>
    <name>PseudoTerminal</name>
    <message>
        <location filename="../sim/pseudoterminal.cpp" line="+23"/>
        <source>无法创建伪终端：%1</source>
        <translation>无法创建伪终端：%1</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>无法解锁伪终端：%1</source>
        <translation>无法解锁伪终端：%1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>无法取得伪终端的路径：%1</source>
        <translation>无法取得伪终端的路径：%1</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+5"/>
        <location line="+4"/>
        <source>无法设置伪终端：%1</source>
        <translation>无法设置伪终端：%1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>无法打开伪终端的从端：%1</source>
        <translation>无法打开伪终端的从端：%1</translation>
    </message>
</context>
<context>
    <name>Recorder</name>
    <message>
        <location filename="../record/recorder.cpp" line="+49"/>
        <source>无法写入输出文件夹 %1。</source>
        <translation>无法写入输出文件夹 %1。</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>无法读取 %1：%2</source>
        <translation>无法读取 %1：%2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 不是有效的数据文件；测量不会追加到其中。</source>
        <translation>%1 不是有效的数据文件；测量不会追加到其中。</translation>
    </message>
    <message>
        <location line="+162"/>
        <source>两台仪器的标签都是 %1；请用 --port 标签=设备 给出各自的标签。</source>
        <translation>两台仪器的标签都是 %1；请用 --port 标签=设备 给出各自的标签。</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>没有找到仪器；等待仪器接上。</source>
        <translation>没有找到仪器；等待仪器接上。</translation>
    </message>
    <message>
        <location line="+58"/>
        <source>找到仪器 %1（%2）。</source>
        <translation>找到仪器 %1（%2）。</translation>
    </message>
    <message>
        <location line="+124"/>
        <source>%1 台仪器  %2 个读数  %3</source>
        <translation>%1 台仪器  %2 个读数  %3</translation>
    </message>
    <message>
        <location filename="../store/datafilestream.cpp" line="+127"/>
        <location line="+9"/>
        <location line="+6"/>
        <location line="+7"/>
        <source>不是有效的数据文件</source>
        <translation>不是有效的数据文件</translation>
    </message>
    <message>
        <location filename="../record/instrumentrecorder.cpp" line="+116"/>
        <source>端口 %1 上的仪器没有应答。</source>
        <translation>端口 %1 上的仪器没有应答。</translation>
    </message>
    <message>
        <location line="+95"/>
        <location filename="../record/recorder.cpp" line="-215"/>
        <source>无法锁定 %1 的记录：%2</source>
        <translation>无法锁定 %1 的记录：%2</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>无法写入 CSV 文件 %1：%2</source>
        <translation>无法写入 CSV 文件 %1：%2</translation>
    </message>
    <message>
        <location line="+34"/>
        <location line="+341"/>
        <source>无法写入 %1：%2。读数保留在日志 %3 中。</source>
        <translation>无法写入 %1：%2。读数保留在日志 %3 中。</translation>
    </message>
    <message>
        <location line="-494"/>
        <source>无法写入日志文件 %1：%2；读数暂存在内存中，稍后重试。</source>
        <translation>无法写入日志文件 %1：%2；读数暂存在内存中，稍后重试。</translation>
    </message>
    <message>
        <location filename="../record/recorder.cpp" line="-188"/>
        <source>%1 是指向 %2 的符号链接，但 %2 不存在。</source>
        <translation>%1 是指向 %2 的符号链接，但 %2 不存在。</translation>
    </message>
    <message>
        <location filename="../record/instrumentrecorder.cpp" line="+4"/>
        <source>日志文件 %1 又可以写入了；暂存的读数已写入。</source>
        <translation>日志文件 %1 又可以写入了；暂存的读数已写入。</translation>
    </message>
    <message>
        <location line="+95"/>
        <location filename="../record/recorder.cpp" line="+184"/>
        <source>%1 正在被另一个记录程序写入（%2）。</source>
        <translation>%1 正在被另一个记录程序写入（%2）。</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>%1 不是日志文件；请将其移走后再开始。</source>
        <translation>%1 不是日志文件；请将其移走后再开始。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>继续被中断的记录“%1”（%2 个读数）。</source>
        <translation>继续被中断的记录“%1”（%2 个读数）。</translation>
    </message>
    <message>
        <location line="+12"/>
        <location line="+131"/>
        <source>已写入 %1：%2 个读数。</source>
        <translation>已写入 %1：%2 个读数。</translation>
    </message>
    <message>
        <location line="-114"/>
        <source>无法启动仪器模拟器：%1</source>
        <translation>无法启动仪器模拟器：%1</translation>
    </message>
    <message>
        <location filename="../record/recorder.cpp" line="+58"/>
        <source>没有找到仪器。请连接仪器，或用 --port 指定端口。</source>
        <translation>没有找到仪器。请连接仪器，或用 --port 指定端口。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>找到多台仪器，请用 --port 选择其中一台：</source>
        <translation>找到多台仪器，请用 --port 选择其中一台：</translation>
    </message>
    <message>
        <location filename="../record/instrumentrecorder.cpp" line="+35"/>
        <source>仪器的存储间隔为0秒，不会存储任何数据。请用 --interval 设置存储间隔。</source>
        <translation>仪器的存储间隔为0秒，不会存储任何数据。请用 --interval 设置存储间隔。</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>开始记录：端口 %1，仪器 %2，间隔 %3 秒，测量“%4”，写入 %5</source>
        <translation>开始记录：端口 %1，仪器 %2，间隔 %3 秒，测量“%4”，写入 %5</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>无法写入日志文件 %1。</source>
        <translation>无法写入日志文件 %1。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>日志中的记录“%1”来自另一台仪器；它作为单独的测量写入，新的记录重新开始。</source>
        <translation>日志中的记录“%1”来自另一台仪器；它作为单独的测量写入，新的记录重新开始。</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>无法写入 %1：%2。读数保留在日志 %3 中，稍后重试。</source>
        <translation>无法写入 %1：%2。读数保留在日志 %3 中，稍后重试。</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>发布到 %1，主题 %2/…</source>
        <translation>发布到 %1，主题 %2/…</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>MQTT：%1；记录继续。</source>
        <translation>MQTT：%1；记录继续。</translation>
    </message>
    <message>
        <location line="+27"/>
        <location filename="../record/recorder.cpp" line="+161"/>
        <source>（连接已断开）</source>
        <translation>（连接已断开）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1%2  %3 个读数  %4  %5 %6</source>
        <translation>%1%2  %3 个读数  %4  %5 %6</translation>
    </message>
    <message>
        <location line="+9"/>
        <location filename="../record/recorder.cpp" line="+6"/>
        <source>  告警：%1</source>
        <translation>  告警：%1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>，</source>
        <translation>，</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>，%1 个读数待发送</source>
        <translation>，%1 个读数待发送</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>，%1 个告警事件待发送</source>
        <translation>，%1 个告警事件待发送</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>无法写入 CSV 文件 %1：%2；记录继续。</source>
        <translation>无法写入 CSV 文件 %1：%2；记录继续。</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>仪器的存储间隔已设为0秒，记录结束。</source>
        <translation>仪器的存储间隔已设为0秒，记录结束。</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>与仪器的连接已断开（%1）；等待仪器重新连接。</source>
        <translation>与仪器的连接已断开（%1）；等待仪器重新连接。</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>与仪器的连接已恢复（%1）。</source>
        <translation>与仪器的连接已恢复（%1）。</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>记录已停止，共 %1 个读数。</source>
        <translation>记录已停止，共 %1 个读数。</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>最后 %1 个读数无法写入日志 %2（%3），已丢失。</source>
        <translation>最后 %1 个读数无法写入日志 %2（%3），已丢失。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>日志 %1 无法写入（%2）；最后 %3 个读数和记录的结束暂存在 %4，下次启动时写入 %5。</source>
        <translation>日志 %1 无法写入（%2）；最后 %3 个读数和记录的结束暂存在 %4，下次启动时写入 %5。</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>已写入 %1：测量“%2”，%3 个读数。</source>
        <translation>已写入 %1：测量“%2”，%3 个读数。</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>MQTT：%1 个读数尚未送达代理；下次启动时发送。</source>
        <translation>MQTT：%1 个读数尚未送达代理；下次启动时发送。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>MQTT：%1 个告警事件尚未送达代理；下次启动时发送。</source>
        <translation>MQTT：%1 个告警事件尚未送达代理；下次启动时发送。</translation>
    </message>
</context>
<context>
    <name>RecorderCommandLine</name>
    <message>
        <location filename="../record/recorderoptions.cpp" line="+297"/>
        <source>密码文件 %1 不存在。</source>
        <translation>密码文件 %1 不存在。</translation>
    </message>
    <message>
        <location line="-268"/>
        <source>无法读取密码文件 %1：%2</source>
        <translation>无法读取密码文件 %1：%2</translation>
    </message>
    <message>
        <location line="+95"/>
        <source>无法读取设置文件 %1：%2</source>
        <translation>无法读取设置文件 %1：%2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 不是本程序的设置文件（config.cfg）。</source>
        <translation>%1 不是本程序的设置文件（config.cfg）。</translation>
    </message>
    <message>
        <location line="-26"/>
        <source>T%1 的下限高于上限。</source>
        <translation>T%1 的下限高于上限。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 的 T%2 的下限高于上限。</source>
        <translation>%1 的 T%2 的下限高于上限。</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>无效的报警限值：%1（例如 T1=100 或 oven:T1=100）</source>
        <translation>无效的报警限值：%1（例如 T1=100 或 oven:T1=100）</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>无效的回差：%1</source>
        <translation>无效的回差：%1</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>无效的时间：--%1 %2</source>
        <translation>无效的时间：--%1 %2</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>告警程序 %1 不存在或不可执行。</source>
        <translation>告警程序 %1 不存在或不可执行。</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>端口 %1 给出了两次。</source>
        <translation>端口 %1 给出了两次。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>标签 %1 给出了两次；每台仪器需要自己的标签。</source>
        <translation>标签 %1 给出了两次；每台仪器需要自己的标签。</translation>
    </message>
    <message>
        <location line="+76"/>
        <source>密码文件 %1 可被其所有者以外的用户读取；请先执行 chmod 600 %1。</source>
        <translation>密码文件 %1 可被其所有者以外的用户读取；请先执行 chmod 600 %1。</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>无人值守地记录仪器的读数，写入数据文件</source>
        <translation>无人值守地记录仪器的读数，写入数据文件</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>显示此帮助</source>
        <translation>显示此帮助</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>显示版本</source>
        <translation>显示版本</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>仪器的端口（默认：找到的唯一一台仪器）；LABEL= 前缀给出它的标签（文件、测量、主题和指标中）；可重复，同时记录多台仪器</source>
        <translation>仪器的端口（默认：找到的唯一一台仪器）；LABEL= 前缀给出它的标签（文件、测量、主题和指标中）；可重复，同时记录多台仪器</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>数据文件；测量追加到其中（必需）</source>
        <translation>数据文件；测量追加到其中（必需）</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>存储间隔，例如 1s、5m、1h（默认：仪器的设置）</source>
        <translation>存储间隔，例如 1s、5m、1h（默认：仪器的设置）</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>记录时长，例如 8h（默认：直到停止）</source>
        <translation>记录时长，例如 8h（默认：直到停止）</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>测量名称（默认：开始时间）</source>
        <translation>测量名称（默认：开始时间）</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>CSV 和状态显示的温度单位：C、F 或 K</source>
        <translation>CSV 和状态显示的温度单位：C、F 或 K</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>每个存储的读数追加一行到此 CSV 文件</source>
        <translation>每个存储的读数追加一行到此 CSV 文件</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>每天、每周或每月写一个数据文件（oven.dat → oven_2026-12-08.dat）</source>
        <translation>每天、每周或每月写一个数据文件（oven.dat → oven_2026-12-08.dat）</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>启动内置的仪器模拟器并从中记录；--simulate=N 或重复给出时启动 N 台（标签 sim1 … simN）</source>
        <translation>启动内置的仪器模拟器并从中记录；--simulate=N 或重复给出时启动 N 台（标签 sim1 … simN）</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>记录找到的每一台仪器，包括记录时才接上的仪器</source>
        <translation>记录找到的每一台仪器，包括记录时才接上的仪器</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>通道的报警上限，单位同 --unit，例如 T1=100；LABEL:T1=100 只用于该标签的仪器（可重复）</source>
        <translation>通道的报警上限，单位同 --unit，例如 T1=100；LABEL:T1=100 只用于该标签的仪器（可重复）</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>通道的报警下限，单位同 --unit，例如 T4=-10；LABEL:T4=-10 只用于该标签的仪器（可重复）</source>
        <translation>通道的报警下限，单位同 --unit，例如 T4=-10；LABEL:T4=-10 只用于该标签的仪器（可重复）</translation>
    </message>
    <message>
        <location line="-32"/>
        <source>列出找到的仪器端口，每行一个</source>
        <translation>列出找到的仪器端口，每行一个</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>只显示错误</source>
        <translation>只显示错误</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>把读数发布到此 MQTT 代理：mqtt://主机[:端口] 或 mqtts://…</source>
        <translation>把读数发布到此 MQTT 代理：mqtt://主机[:端口] 或 mqtts://…</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>主题前缀（默认：kx740d/仪器名称）</source>
        <translation>主题前缀（默认：kx740d/仪器名称）</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>代理的用户名</source>
        <translation>代理的用户名</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>从此文件的第一行读取代理的密码（只有文件的所有者可以读取：chmod 600）；未给出时使用 systemd 凭据 %1，其次是环境变量 %2</source>
        <translation>从此文件的第一行读取代理的密码（只有文件的所有者可以读取：chmod 600）；未给出时使用 systemd 凭据 %1，其次是环境变量 %2</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>mqtts：客户端证书的私钥（PEM）；未给出时使用 systemd 凭据 %1（如有）</source>
        <translation>mqtts：客户端证书的私钥（PEM）；未给出时使用 systemd 凭据 %1（如有）</translation>
    </message>
    <message>
        <location line="-6"/>
        <source>mqtts：签发代理证书的 CA 文件</source>
        <translation>mqtts：签发代理证书的 CA 文件</translation>
    </message>
    <message>
        <location line="-149"/>
        <source>无效的端口：%1（标签=设备，标签为 1 到 32 个字母、数字、_ 或 -）</source>
        <translation>无效的端口：%1（标签=设备，标签为 1 到 32 个字母、数字、_ 或 -）</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>无效的指标地址：%1（[地址:]端口，例如 9740 或 0.0.0.0:9740）</source>
        <translation>无效的指标地址：%1（[地址:]端口，例如 9740 或 0.0.0.0:9740）</translation>
    </message>
    <message>
        <location line="+117"/>
        <source>mqtts：客户端证书（PEM）</source>
        <translation>mqtts：客户端证书（PEM）</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>发布 Home Assistant 自动发现信息</source>
        <translation>发布 Home Assistant 自动发现信息</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>使用窗口程序的设置文件中已开启的报警限值；--high 和 --low 优先</source>
        <translation>使用窗口程序的设置文件中已开启的报警限值；--high 和 --low 优先</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>回差：读数回到限值以内这么多后告警才解除，单位同 --unit（默认：0.5 ℃）</source>
        <translation>回差：读数回到限值以内这么多后告警才解除，单位同 --unit（默认：0.5 ℃）</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>条件持续这么久后才告警，例如 30s（默认：0）</source>
        <translation>条件持续这么久后才告警，例如 30s（默认：0）</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>与仪器的连接断开这么久后告警；0 表示不告警（默认：30s）</source>
        <translation>与仪器的连接断开这么久后告警；0 表示不告警（默认：30s）</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>每次告警发生和解除时运行此程序（不经过 shell），详情在环境变量 KX740D_ALARM_* 中</source>
        <translation>每次告警发生和解除时运行此程序（不经过 shell），详情在环境变量 KX740D_ALARM_* 中</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>在此端口以 HTTP 提供 Prometheus/OpenMetrics 指标（路径 /metrics）；默认只在本机 127.0.0.1 上，0.0.0.0:端口 或 [::]:端口 对外提供</source>
        <translation>在此端口以 HTTP 提供 Prometheus/OpenMetrics 指标（路径 /metrics）；默认只在本机 127.0.0.1 上，0.0.0.0:端口 或 [::]:端口 对外提供</translation>
    </message>
    <message>
        <location line="+44"/>
        <location line="+74"/>
        <source>无效的模拟器数量：%1（1 到 %2）</source>
        <translation>无效的模拟器数量：%1（1 到 %2）</translation>
    </message>
    <message>
        <location line="-54"/>
        <source>多余的参数：%1</source>
        <translation>多余的参数：%1</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>请用 --out 指定输出的数据文件。</source>
        <translation>请用 --out 指定输出的数据文件。</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>无效的存储间隔：%1（1 秒到 24 小时）</source>
        <translation>无效的存储间隔：%1（1 秒到 24 小时）</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>无效的记录时长：%1</source>
        <translation>无效的记录时长：%1</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>无效的温度单位：%1（C、F 或 K）</source>
        <translation>无效的温度单位：%1（C、F 或 K）</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>无效的分割方式：%1（day、week 或 month）</source>
        <translation>无效的分割方式：%1（day、week 或 month）</translation>
    </message>
    <message>
        <location line="+49"/>
        <source>--%1 只能与 --mqtt 一起使用。</source>
        <translation>--%1 只能与 --mqtt 一起使用。</translation>
    </message>
</context>
<context>
    <name>RecordingLock</name>
    <message>
        <location filename="../store/recordinglock.cpp" line="+48"/>
        <source>%1，进程 %2，主机 %3</source>
        <translation>%1，进程 %2，主机 %3</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>另一个程序</source>
        <translation>另一个程序</translation>
    </message>
</context>
<context>
    <name>RecordingPage</name>
    <message>
        <location filename="../app/recordingpage.cpp" line="+299"/>
        <source>MQTT：%1；记录继续。</source>
        <translation>MQTT：%1；记录继续。</translation>
    </message>
    <message>
        <location line="+162"/>
        <source>状态 ：就绪</source>
        <translation>状态 ：就绪</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>状态：未就绪</source>
        <translation>状态：未就绪</translation>
    </message>
</context>
<context>
    <name>RecordingRules</name>
    <message>
        <location filename="../measurement/recordingrules.cpp" line="+30"/>
        <source>未连接设备，无法记录数据。请先连接设备。</source>
        <translation>未连接设备，无法记录数据。请先连接设备。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>存储间隔为0秒，不会存储任何数据。请先设置存储间隔。</source>
        <translation>存储间隔为0秒，不会存储任何数据。请先设置存储间隔。</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>剩余时间：</source>
        <translation>剩余时间：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>时</source>
        <translation>时</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>分</source>
        <translation>分</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>秒</source>
        <translation>秒</translation>
    </message>
</context>
<context>
    <name>RecordingStore</name>
    <message>
        <location filename="../store/recordingstore.cpp" line="+26"/>
        <source>恢复 %1</source>
        <translation>恢复 %1</translation>
    </message>
    <message>
        <location line="+81"/>
        <source>日志 %1 有 %2 个字节已损坏并被跳过；其中完整的 %3 个读数保留。</source>
        <translation>日志 %1 有 %2 个字节已损坏并被跳过；其中完整的 %3 个读数保留。</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>日志中的记录“%1”来自另一台仪器；它作为单独的测量写入，新的记录重新开始。</source>
        <translation>日志中的记录“%1”来自另一台仪器；它作为单独的测量写入，新的记录重新开始。</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>暂存文件 %1 不属于日志 %2，保留不动。</source>
        <translation>暂存文件 %1 不属于日志 %2，保留不动。</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>暂存在 %1 的 %2 个读数已取回日志 %3。</source>
        <translation>暂存在 %1 的 %2 个读数已取回日志 %3。</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>日志 %1 已损坏，其中没有可读的读数；已改名为 %2。</source>
        <translation>日志 %1 已损坏，其中没有可读的读数；已改名为 %2。</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>日志 %1 的开头已损坏；其后的 %2 个读数作为新的记录“%3”恢复。</source>
        <translation>日志 %1 的开头已损坏；其后的 %2 个读数作为新的记录“%3”恢复。</translation>
    </message>
    <message>
        <location line="+24"/>
        <location line="+272"/>
        <source>无法删除日志 %1。</source>
        <translation>无法删除日志 %1。</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>无法保留日志 %1 以待发送。</source>
        <translation>无法保留日志 %1 以待发送。</translation>
    </message>
</context>
<context>
    <name>SerialThread</name>
    <message>
        <location filename="../link/serialthread.cpp" line="+51"/>
        <source>无效的参数</source>
        <translation>无效的参数</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>COM口异常</source>
        <translation>COM口异常</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>IO异常</source>
        <translation>IO异常</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未知的异常COM可能已经打开</source>
        <translation>未知的异常COM可能已经打开</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>写入异常</source>
        <translation>写入异常</translation>
    </message>
</context>
<context>
    <name>ServiceNotifier</name>
    <message>
        <location filename="../record/servicenotifier.cpp" line="+17"/>
        <source>正在停止记录并写入测量</source>
        <translation>正在停止记录并写入测量</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>已存储 %1 个读数</source>
        <translation>已存储 %1 个读数</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>已存储 %1 个读数，%2 个待发送到代理</source>
        <translation>已存储 %1 个读数，%2 个待发送到代理</translation>
    </message>
</context>
<context>
    <name>SettingsRules</name>
    <message>
        <location filename="../measurement/settingsrules.cpp" line="+88"/>
        <source>设备名称：</source>
        <translation>设备名称：</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>固件版本：</source>
        <translation>固件版本：</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>/80000组</source>
        <translation>/80000组</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>数据记录中，请停止记录后尝试</source>
        <translation>数据记录中，请停止记录后尝试</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>连接PC软件后将关闭蓝牙
是否继续？</source>
        <translation>连接PC软件后将关闭蓝牙
是否继续？</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>确实要复位仪表上的设置吗，此动作不会删除FLASH数据?</source>
        <translation>确实要复位仪表上的设置吗，此动作不会删除FLASH数据?</translation>
    </message>
</context>
<context>
    <name>SimulatorCommandLine</name>
    <message>
        <location filename="../sim/simulatoroptions.cpp" line="+48"/>
        <source>模拟 KX740D 测温仪：打开一个伪终端，在标准输出打印其路径，并在其上应答仪器协议，直到收到 SIGINT 或 SIGTERM。</source>
        <translation>模拟 KX740D 测温仪：打开一个伪终端，在标准输出打印其路径，并在其上应答仪器协议，直到收到 SIGINT 或 SIGTERM。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>显示本帮助。</source>
        <translation>显示本帮助。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>仪器中存储的记录条数（0 到 80000）。</source>
        <translation>仪器中存储的记录条数（0 到 80000）。</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>条数</source>
        <translation>条数</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>每秒发送的实时读数个数（0 表示不发送）。</source>
        <translation>每秒发送的实时读数个数（0 表示不发送）。</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>次数</source>
        <translation>次数</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>不按 115200 波特率限速，以伪终端能接收的最快速度发送。</source>
        <translation>不按 115200 波特率限速，以伪终端能接收的最快速度发送。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>限速时模拟的波特率。</source>
        <translation>限速时模拟的波特率。</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>波特率</source>
        <translation>波特率</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>启动时（及恢复出厂设置后）蓝牙为开。</source>
        <translation>启动时（及恢复出厂设置后）蓝牙为开。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>四个通道都接有热电偶（默认 T4 未接）。</source>
        <translation>四个通道都接有热电偶（默认 T4 未接）。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>校验和被破坏的帧所占比例（0 到 1）。</source>
        <translation>校验和被破坏的帧所占比例（0 到 1）。</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+2"/>
        <location line="+2"/>
        <source>比例</source>
        <translation>比例</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>帧前插入噪声字节的概率（0 到 1）。</source>
        <translation>帧前插入噪声字节的概率（0 到 1）。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>校验和错误的存储记录所占比例（0 到 1）。</source>
        <translation>校验和错误的存储记录所占比例（0 到 1）。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>启动后经过这么多秒断开端口。</source>
        <translation>启动后经过这么多秒断开端口。</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+3"/>
        <source>秒</source>
        <translation>秒</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>断开后经过这么多秒打开新的端口并打印其路径。</source>
        <translation>断开后经过这么多秒打开新的端口并打印其路径。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>擦除所需的时间（毫秒）。</source>
        <translation>擦除所需的时间（毫秒）。</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+4"/>
        <source>毫秒</source>
        <translation>毫秒</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>主动发送状态字节的间隔（毫秒，0 表示只在记录通知后发送）。</source>
        <translation>主动发送状态字节的间隔（毫秒，0 表示只在记录通知后发送）。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>故障注入和读数噪声的随机种子。</source>
        <translation>故障注入和读数噪声的随机种子。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>种子</source>
        <translation>种子</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>在此路径创建指向当前端口的符号链接。</source>
        <translation>在此路径创建指向当前端口的符号链接。</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>路径</source>
        <translation>路径</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>仪器报告的名称（最多 20 字节），默认 %1。</source>
        <translation>仪器报告的名称（最多 20 字节），默认 %1。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>名称</source>
        <translation>名称</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>多余的参数：%1</source>
        <translation>多余的参数：%1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>选项 --%1 的值无效：%2</source>
        <translation>选项 --%1 的值无效：%2</translation>
    </message>
</context>
<context>
    <name>StatisticsPanel</name>
    <message>
        <location filename="../app/statisticspanel.cpp" line="+79"/>
        <source>图表中显示的范围</source>
        <translation>图表中显示的范围</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>整个测量</source>
        <translation>整个测量</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>范围：</source>
        <translation>范围：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ΔH：</source>
        <translation>ΔH：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>区间下限：</source>
        <translation>区间下限：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>区间上限：</source>
        <translation>区间上限：</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>读数</source>
        <translation>读数</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最小值</source>
        <translation>最小值</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最大值</source>
        <translation>最大值</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>平均值</source>
        <translation>平均值</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>标准差</source>
        <translation>标准差</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>MKT</source>
        <translation>MKT</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>高于上限</source>
        <translation>高于上限</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>低于下限</source>
        <translation>低于下限</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>区间内</source>
        <translation>区间内</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>%1通道间最大差值 %2（T%3 − T%4，%5）</source>
        <translation>%1通道间最大差值 %2（T%3 − T%4，%5）</translation>
    </message>
</context>
<context>
    <name>SystemPage</name>
    <message>
        <location filename="../app/systempage.cpp" line="+55"/>
        <source>告警</source>
        <translation>告警</translation>
    </message>
    <message>
        <location line="+200"/>
        <source>打开图像文件.</source>
        <translation>打开图像文件.</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>找不到说明书文件 %1。
请把该文件放到程序所在的文件夹：
%2</source>
        <translation>找不到说明书文件 %1。
请把该文件放到程序所在的文件夹：
%2</translation>
    </message>
</context>
<context>
    <name>TablePage</name>
    <message>
        <location filename="../app/tablepage.cpp" line="+49"/>
        <source>时间</source>
        <translation>时间</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>编号</source>
        <translation>编号</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>温度</source>
        <translation>温度</translation>
    </message>
    <message>
        <location line="+92"/>
        <source>热电偶</source>
        <translation>热电偶</translation>
    </message>
    <message>
        <location line="+116"/>
        <source>第 %1 / %2 页</source>
        <translation>第 %1 / %2 页</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>复制</source>
        <translation>复制</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>剪切</source>
        <translation>剪切</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除</source>
        <translation>删除</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>在上方插入</source>
        <translation>在上方插入</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>在下方插入</source>
        <translation>在下方插入</translation>
    </message>
</context>
<context>
    <name>UserDialogs</name>
    <message>
        <location filename="../app/userdialogs.cpp" line="+50"/>
        <source>请确认</source>
        <translation>请确认</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
</context>
<context>
    <name>WindowContext</name>
    <message>
        <location filename="../app/windowcontext.cpp" line="+32"/>
        <source>确定</source>
        <translation>确定</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>无法创建文件，请使用管理员权限运行程序。</source>
        <translation>无法创建文件，请使用管理员权限运行程序。</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>%1 是本程序的工作文件（备份、未保存的数据、日志或锁），不能用来保存数据。
请选择其他文件名。</source>
        <translation>%1 是本程序的工作文件（备份、未保存的数据、日志或锁），不能用来保存数据。
请选择其他文件名。</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>系统没有能打开它的程序。它位于：
%1</source>
        <translation>系统没有能打开它的程序。它位于：
%1</translation>
    </message>
</context>
<context>
    <name>kx740d-sim</name>
    <message>
        <location filename="../sim/main.cpp" line="+79"/>
        <source>端口已断开</source>
        <translation>端口已断开</translation>
    </message>
</context>
</TS>
