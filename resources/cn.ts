<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CalibrationPanel</name>
    <message>
        <source>calistart</source>
        <translation>校准摇杆</translation>
    </message>
    <message>
        <source>next</source>
        <translation>下一步</translation>
    </message>
    <message>
        <source>caliEnd</source>
        <translation>完成校准</translation>
    </message>
    <message>
        <source>Defaultallchannels</source>
        <translation>恢复通道设置默认值</translation>
    </message>
    <message>
        <source>zhunbei</source>
        <translation>确认遥控器的所有摇杆已至于中立位置</translation>
    </message>
    <message>
        <source>weikaishi</source>
        <translation>校准摇杆</translation>
    </message>
    <message>
        <source>zhonwei</source>
        <translation>正在校准遥控器所有摇杆的中立位置,请勿移动</translation>
    </message>
    <message>
        <source>zuidazhi</source>
        <translation>移动遥控器所有摇杆到最大限度</translation>
    </message>
    <message>
        <source>wanc</source>
        <translation>校准完成</translation>
    </message>
    <message>
        <source>返回收据错误 校准失败</source>
        <translation>校准失败</translation>
    </message>
    <message>
        <source>The remote controller is not connected. Plug it in by USB and click again.</source>
        <translation>遥控器未连接。请用 USB 线连接后再点击。</translation>
    </message>
    <message>
        <source>The remote controller is not connected. Plug it in by USB first.</source>
        <translation>遥控器未连接。请先用 USB 线连接。</translation>
    </message>
</context>
<context>
    <name>ChSubWidget</name>
    <message>
        <source>zhengc2</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>正常1</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>fanxian2</source>
        <translation>反向</translation>
    </message>
    <message>
        <source>反相1</source>
        <translation>反向</translation>
    </message>
    <message>
        <source>Channel %1 direction</source>
        <translation>通道 %1 方向</translation>
    </message>
    <message>
        <source>Channel %1 minimum</source>
        <translation>通道 %1 最小值</translation>
    </message>
    <message>
        <source>Channel %1 middle</source>
        <translation>通道 %1 中间值</translation>
    </message>
    <message>
        <source>Channel %1 maximum</source>
        <translation>通道 %1 最大值</translation>
    </message>
    <message>
        <source>Channel %1 source</source>
        <translation>通道 %1 信号源</translation>
    </message>
    <message>
        <source>Channel %1 live value</source>
        <translation>通道 %1 实时值</translation>
    </message>
    <message>
        <source>The value the controller sends on channel %1</source>
        <translation>遥控器在通道 %1 上发送的数值</translation>
    </message>
</context>
<context>
    <name>ChannelPage</name>
    <message>
        <source>Waiting for the live values of the remote controller…</source>
        <translation>正在等待遥控器的实时数值…</translation>
    </message>
    <message>
        <source>No remote controller: these values are not live</source>
        <translation>未连接遥控器：这些数值不是实时的</translation>
    </message>
    <message>
        <source>Default all channels</source>
        <translation>恢复所有通道默认设置</translation>
    </message>
    <message>
        <source>Reset the direction, the mapping and the source of all 16 channels to the controller's defaults? The current channel settings are lost.</source>
        <translation>将全部 16 个通道的方向、映射和信号源恢复为遥控器的默认设置吗？当前的通道设置将会丢失。</translation>
    </message>
</context>
<context>
    <name>ChannelSettingsFile</name>
    <message>
        <source>Entry %1 of the channel list is not an object.</source>
        <translation>通道列表的第 %1 项不是对象。</translation>
    </message>
    <message>
        <source>Entry %1 of the channel list has no channel number from 1 to 16.</source>
        <translation>通道列表的第 %1 项没有 1 到 16 之间的通道号。</translation>
    </message>
    <message>
        <source>Channel %1 is listed more than once.</source>
        <translation>通道 %1 出现了不止一次。</translation>
    </message>
    <message>
        <source>Channel %1: &quot;reverse&quot; must be true or false.</source>
        <translation>通道 %1：“reverse” 必须为 true 或 false。</translation>
    </message>
    <message>
        <source>Channel %1: &quot;%2&quot; is missing.</source>
        <translation>通道 %1：缺少 “%2”。</translation>
    </message>
    <message>
        <source>Channel %1: &quot;%2&quot; must be a whole number from 0 to %3.</source>
        <translation>通道 %1：“%2” 必须是 0 到 %3 之间的整数。</translation>
    </message>
    <message>
        <source>Channel %1: &quot;%2&quot; is %3, outside 0 to %4.</source>
        <translation>通道 %1：“%2” 为 %3，超出 0 到 %4 的范围。</translation>
    </message>
    <message>
        <source>The file is not valid JSON: %1 at byte %2.</source>
        <translation>文件不是有效的 JSON：%1（第 %2 字节）。</translation>
    </message>
    <message>
        <source>The file is not a channel settings file: its format is not &quot;%1&quot;.</source>
        <translation>该文件不是通道设置文件：其格式不是 “%1”。</translation>
    </message>
    <message>
        <source>The file is of another format version; this program reads version %1.</source>
        <translation>文件的格式版本不同；本程序只读取版本 %1。</translation>
    </message>
    <message>
        <source>The file has no channel list.</source>
        <translation>文件中没有通道列表。</translation>
    </message>
    <message>
        <source>Channel %1 is missing.</source>
        <translation>缺少通道 %1。</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>无法读取 %1：%2</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
</context>
<context>
    <name>ChannelSettingsPanel</name>
    <message>
        <source>Save settings…</source>
        <translation>保存设置…</translation>
    </message>
    <message>
        <source>Load settings…</source>
        <translation>载入设置…</translation>
    </message>
    <message>
        <source>Reading the channel settings from the remote controller…</source>
        <translation>正在从遥控器读取通道设置…</translation>
    </message>
    <message>
        <source>Loading %1 overwrites the direction, mapping and source of all 16 channels of the remote controller. Load it?</source>
        <translation>载入 %1 将覆盖遥控器全部 16 个通道的方向、映射和通道源。确定载入吗？</translation>
    </message>
    <message>
        <source>Load settings</source>
        <translation>载入设置</translation>
    </message>
    <message>
        <source>Sending the channel settings and reading them back…</source>
        <translation>正在发送通道设置并回读校验…</translation>
    </message>
    <message>
        <source>Channel settings (*.json)</source>
        <translation>通道设置 (*.json)</translation>
    </message>
    <message>
        <source>Save settings</source>
        <translation>保存设置</translation>
    </message>
    <message>
        <source>Channel settings</source>
        <translation>通道设置</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Displays help on commandline options.</source>
        <translation>显示命令行选项的帮助。</translation>
    </message>
    <message>
        <source>Displays version information.</source>
        <translation>显示版本信息。</translation>
    </message>
    <message>
        <source>Use PATH as the controller&apos;s serial port while it exists (for example a pseudo-terminal, or a controller whose USB bridge reports another identity).</source>
        <translation>PATH 存在时把它用作遥控器的串口（例如伪终端，或 USB 桥报告其他身份的遥控器）。</translation>
    </message>
    <message>
        <source>Start a simulated controller inside the program and connect to it.</source>
        <translation>在程序内启动一个模拟遥控器并与之连接。</translation>
    </message>
    <message>
        <source>Also show the page buttons of the device console (Fix) and the production page (produce), for service technicians.</source>
        <translation>同时显示设备控制台（Fix）和生产页面（produce）的页面按钮，供维修技术人员使用。</translation>
    </message>
    <message>
        <source>Configuration and maintenance assistant for KORU radio-control devices.
Qt&apos;s own options are accepted as well, for example -platform NAME,
-style NAME, -reverse, and on X11 -display DISPLAY and -name NAME.</source>
        <translation>KORU 无线电遥控设备的配置与维护助手。
也接受 Qt 自身的选项，例如 -platform NAME、
-style NAME、-reverse，在 X11 上还有 -display DISPLAY 和 -name NAME。</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>意外的参数：%1</translation>
    </message>
    <message>
        <source>--demo and --device cannot be used together.</source>
        <translation>--demo 和 --device 不能同时使用。</translation>
    </message>
</context>
<context>
    <name>ConsolePage</name>
    <message>
        <source>roll send</source>
        <translation>自动循环发送</translation>
    </message>
    <message>
        <source>jiangge</source>
        <translation>间隔</translation>
    </message>
    <message>
        <source>gujianup</source>
        <translation>串口号：</translation>
    </message>
    <message>
        <source>addr</source>
        <translation>设备：</translation>
    </message>
    <message>
        <source>getfoile</source>
        <translation>获取文件</translation>
    </message>
    <message>
        <source>updatefoile</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>选择文件</translation>
    </message>
    <message>
        <source>Bin (*.bin *.cfg)</source>
        <translation>Bin (*.bin *.cfg)</translation>
    </message>
    <message>
        <source>waring</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>other upgrade is doing</source>
        <translation>禁止多个设备同时升级</translation>
    </message>
    <message>
        <source>Roll send row %1</source>
        <translation>第 %1 行循环发送</translation>
    </message>
    <message>
        <source>Device address of row %1</source>
        <translation>第 %1 行设备地址</translation>
    </message>
    <message>
        <source>Command of row %1</source>
        <translation>第 %1 行命令</translation>
    </message>
    <message>
        <source>Send row %1</source>
        <translation>发送第 %1 行</translation>
    </message>
    <message>
        <source>Roll send the ticked rows</source>
        <translation>循环发送已勾选的行</translation>
    </message>
    <message>
        <source>Roll interval in milliseconds</source>
        <translation>循环间隔（毫秒）</translation>
    </message>
    <message>
        <source>Serial port</source>
        <translation>串口</translation>
    </message>
    <message>
        <source>Device address for the file update</source>
        <translation>文件更新的设备地址</translation>
    </message>
    <message>
        <source>Chosen file</source>
        <translation>已选文件</translation>
    </message>
</context>
<context>
    <name>GimbalPage</name>
    <message>
        <source>Gimbal Mode</source>
        <translation>运动模式</translation>
    </message>
    <message>
        <source> HDR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> REC</source>
        <translation>录像</translation>
    </message>
    <message>
        <source> PIC</source>
        <translation>拍照</translation>
    </message>
    <message>
        <source>Color Mode</source>
        <translation>色彩模式</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>一键回中</translation>
    </message>
    <message>
        <source>Pitch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yaw</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus</source>
        <translation>变焦</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>变倍</translation>
    </message>
    <message>
        <source>Auto Focus</source>
        <translation>聚焦</translation>
    </message>
    <message>
        <source>-.-.-</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编码格式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH Config</source>
        <translation>通道配置</translation>
    </message>
    <message>
        <source>Camera Config</source>
        <translation>相机配置</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>分辨率</translation>
    </message>
    <message>
        <source>Coding Format</source>
        <translation>编码格式</translation>
    </message>
    <message>
        <source>FW VER:</source>
        <translation>固件版本：</translation>
    </message>
    <message>
        <source>IP Config</source>
        <translation>IP配置</translation>
    </message>
    <message>
        <source>Save IP</source>
        <translation>保存 IP</translation>
    </message>
    <message>
        <source>Camera firmware version</source>
        <translation>相机固件版本</translation>
    </message>
</context>
<context>
    <name>Koru::ChannelSettingsTransfer</name>
    <message>
        <source>The remote controller is not connected.</source>
        <translation>遥控器未连接。</translation>
    </message>
    <message>
        <source>The remote controller did not answer for channels %1. Nothing was written.</source>
        <translation>遥控器未应答通道 %1，未写入任何文件。</translation>
    </message>
    <message>
        <source>Saved the settings of all 16 channels to %1.</source>
        <translation>已将全部 16 个通道的设置保存到 %1。</translation>
    </message>
    <message>
        <source>Loaded the settings: all 16 channels read back as sent.</source>
        <translation>设置已载入：全部 16 个通道的回读结果与发送的一致。</translation>
    </message>
    <message>
        <source>The remote controller does not report what was sent:</source>
        <translation>遥控器回读的设置与发送的不一致：</translation>
    </message>
    <message>
        <source>No answer for channels %1.</source>
        <translation>通道 %1 无应答。</translation>
    </message>
    <message>
        <source>reversed</source>
        <translation>反向</translation>
    </message>
    <message>
        <source>normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>type %1, id %2</source>
        <translation>类型 %1，编号 %2</translation>
    </message>
    <message>
        <source>direction</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>source</source>
        <translation>通道源</translation>
    </message>
    <message>
        <source>mapping</source>
        <translation>映射</translation>
    </message>
    <message>
        <source>Channel %1 %2: sent %3, the controller reports %4.</source>
        <translation>通道 %1 的%2：发送 %3，遥控器回报 %4。</translation>
    </message>
    <message>
        <source>The connection to the remote controller was lost.</source>
        <translation>与遥控器的连接已断开。</translation>
    </message>
</context>
<context>
    <name>KoruConfig</name>
    <message>
        <source>The file is larger than 1 MiB; a channel settings file is far smaller.</source>
        <translation>文件大于 1 MiB；通道设置文件远小于此。</translation>
    </message>
</context>
<context>
    <name>KoruFlash</name>
    <message>
        <source>bad time &apos;%1&apos; for --answer-timeout: give seconds above 0, at most %2</source>
        <translation>--answer-timeout 的时间 &apos;%1&apos; 无效：请给出大于0、最多%2的秒数</translation>
    </message>
    <message>
        <source>--list shows every device: it takes no --target</source>
        <translation>--list 列出所有设备，不接受 --target</translation>
    </message>
    <message>
        <source>--list takes no file: unexpected &apos;%1&apos;</source>
        <translation>--list 不接受文件：多余的 &apos;%1&apos;</translation>
    </message>
    <message>
        <source>no file to write; give one, or --list</source>
        <translation>没有要写入的文件；请给出一个文件，或使用 --list</translation>
    </message>
    <message>
        <source>one file at a time: unexpected &apos;%1&apos;</source>
        <translation>一次只能写入一个文件：多余的 &apos;%1&apos;</translation>
    </message>
    <message>
        <source>no device chosen: name it with --target ID (`koru-flash --list` shows the devices that answer)</source>
        <translation>未选择设备：请用 --target ID 指定（`koru-flash --list` 列出有应答的设备）</translation>
    </message>
    <message>
        <source>bad device id &apos;%1&apos; for --target: give a number from 0 to 255, decimal or 0x hexadecimal</source>
        <translation>--target 的设备ID &apos;%1&apos; 无效：请给出0到255之间的数，十进制或0x十六进制</translation>
    </message>
    <message>
        <source>TYPE</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>HARDWARE ID</source>
        <translation>硬件ID</translation>
    </message>
    <message>
        <source>SERIAL NUMBER</source>
        <translation>SN</translation>
    </message>
    <message>
        <source>BOOT LOADER</source>
        <translation>引导程序</translation>
    </message>
    <message>
        <source>FIRMWARE</source>
        <translation>固件版本</translation>
    </message>
    <message>
        <source>no device answered on %1</source>
        <translation>%1 上没有设备应答</translation>
    </message>
    <message>
        <source>The remote controller is restarting into its boot loader</source>
        <translation>遥控器正在重启进入引导程序</translation>
    </message>
    <message>
        <source>device %1 did not answer; `koru-flash --list` shows the devices that do</source>
        <translation>设备 %1 没有应答；`koru-flash --list` 列出有应答的设备</translation>
    </message>
    <message>
        <source>stopped before the end: the device did not receive the whole file</source>
        <translation>升级未完成即停止：设备没有收到完整的文件</translation>
    </message>
    <message>
        <source>the link to the device was lost</source>
        <translation>与设备的连接已断开</translation>
    </message>
    <message>
        <source>the upgrade failed</source>
        <translation>升级失败</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>无法读取 %1：%2</translation>
    </message>
    <message>
        <source>no remote controller found; name its port with --device PATH</source>
        <translation>未找到遥控器；请用 --device PATH 指定其端口</translation>
    </message>
    <message>
        <source>stopping after the current packet</source>
        <translation>当前数据包发送完后停止</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <translation>无法读取文件</translation>
    </message>
    <message>
        <source>the device cannot take a file that large</source>
        <translation>设备无法接收这么大的文件</translation>
    </message>
    <message>
        <source>the device did not answer in time</source>
        <translation>设备未及时应答</translation>
    </message>
    <message>
        <source>another upgrade is still running</source>
        <translation>另一个升级仍在进行</translation>
    </message>
    <message>
        <source>the device announced no packet size</source>
        <translation>设备未告知数据包大小</translation>
    </message>
    <message>
        <source>--all and --wait cannot be used together</source>
        <translation>--all 和 --wait 不能同时使用</translation>
    </message>
    <message>
        <source>--device names one controller: it goes without --all and --wait</source>
        <translation>--device 指定一个遥控器，不能与 --all 和 --wait 同时使用</translation>
    </message>
    <message>
        <source>--list goes without --all, --wait and --record</source>
        <translation>--list 不能与 --all、--wait 和 --record 同时使用</translation>
    </message>
    <message>
        <source>Waiting for controllers; Ctrl-C ends</source>
        <translation>等待遥控器接入；按 Ctrl-C 结束</translation>
    </message>
    <message>
        <source>%1: %2%</source>
        <translation>%1：%2%</translation>
    </message>
    <message>
        <source>the record could not be written</source>
        <translation>无法写入记录</translation>
    </message>
    <message>
        <source>%1 passed, %2 failed</source>
        <translation>%1 个成功，%2 个失败</translation>
    </message>
    <message>
        <source>%1 is empty: there is nothing to write</source>
        <translation>%1 是空文件：没有可写入的内容</translation>
    </message>
    <message>
        <source>%1 is larger than any device takes (at most %2 bytes)</source>
        <translation>%1 超过任何设备可接收的大小（最多 %2 字节）</translation>
    </message>
    <message>
        <source>cannot write the record %1: %2</source>
        <translation>无法写入记录 %1：%2</translation>
    </message>
    <message>
        <source>stopping; press Ctrl-C again to quit at once</source>
        <translation>正在停止；再按一次 Ctrl-C 立即退出</translation>
    </message>
    <message>
        <source>CONTROLLER PORT</source>
        <translation>遥控器端口</translation>
    </message>
    <message>
        <source>USB SERIAL</source>
        <translation>USB 序列号</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>usb open error</source>
        <translation>usb 打开失败</translation>
    </message>
    <message>
        <source>waring</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>setting</source>
        <translation>通道设置</translation>
    </message>
    <message>
        <source>upload</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>Upgrade</source>
        <translation>软件更新</translation>
    </message>
    <message>
        <source>fix</source>
        <translation>维护</translation>
    </message>
    <message>
        <source>scxs</source>
        <translation>生产配置</translation>
    </message>
    <message>
        <source>gimbal config</source>
        <translation>云台配置</translation>
    </message>
    <message>
        <source>The port cannot be opened because access is denied. Install the udev rule 60-koru-assistant.rules or add your user to the dialout group.</source>
        <translation>没有访问该端口的权限。请安装 udev 规则 60-koru-assistant.rules，或将用户加入 dialout 组。</translation>
    </message>
    <message>
        <source>The port is in use by another program.</source>
        <translation>该端口正被其他程序占用。</translation>
    </message>
    <message>
        <source>The settings file kestan.ini in %1 cannot be written. The program works, but changed settings will not be kept.</source>
        <translation>无法写入 %1 中的设置文件 kestan.ini。程序可以继续使用，但更改的设置不会被保存。</translation>
    </message>
    <message>
        <source>The settings file kestan.ini in %1 is in use by another running KORU Assistant (process %2). Close that one to keep changed settings.</source>
        <translation>另一个正在运行的 KORU Assistant（进程 %2）正在使用 %1 中的设置文件 kestan.ini。请关闭那个程序，以便保存更改的设置。</translation>
    </message>
    <message>
        <source>The settings file kestan.ini in %1 is damaged. Settings that could not be read start from their defaults.</source>
        <translation>%1 中的设置文件 kestan.ini 已损坏。无法读取的设置将使用默认值。</translation>
    </message>
    <message>
        <source>MainWindow</source>
        <translation>MainWindow</translation>
    </message>
    <message>
        <source>back</source>
        <translation>back</translation>
    </message>
    <message>
        <source>Connected: %1</source>
        <translation>已连接：%1</translation>
    </message>
    <message>
        <source>KORU Assistant — %1</source>
        <translation>KORU Assistant — %1</translation>
    </message>
    <message>
        <source>No remote controller — plug it in by USB</source>
        <translation>未连接遥控器 — 请用 USB 线连接</translation>
    </message>
    <message>
        <source>The settings file kestan.ini in %1 is larger than 1 MiB and was not read. Settings start from their defaults and changes will not be kept.</source>
        <translation>%1 中的设置文件 kestan.ini 大于 1 MiB，未被读取。设置使用默认值，更改不会被保存。</translation>
    </message>
    <message>
        <source>Show the window</source>
        <translation>显示窗口</translation>
    </message>
    <message>
        <source>Hide to the tray</source>
        <translation>隐藏到托盘</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>USB connection</source>
        <translation>USB 连接</translation>
    </message>
</context>
<context>
    <name>Page</name>
    <message>
        <source>Not connected</source>
        <translation>未连接</translation>
    </message>
    <message>
        <source>The remote controller is not connected. Connect it by USB and try again.</source>
        <translation>遥控器未连接。请用 USB 连接后重试。</translation>
    </message>
</context>
<context>
    <name>PortProblem</name>
    <message>
        <source>%1 does not exist</source>
        <translation>%1 不存在</translation>
    </message>
    <message>
        <source>no remote controller found; name its port with --device PATH</source>
        <translation>未找到遥控器；请用 --device PATH 指定其端口</translation>
    </message>
    <message>
        <source>%1 (pid %2)</source>
        <translation>%1（进程号 %2）</translation>
    </message>
    <message>
        <source>%1 vanished before it could be opened; plug the controller in again</source>
        <translation>%1 在打开前已消失；请重新插入遥控器</translation>
    </message>
    <message>
        <source>%1 is in use by %2; close it and try again</source>
        <translation>%1 正被 %2 使用；请关闭它后重试</translation>
    </message>
    <message>
        <source>no permission to open %1: install the udev rule 60-koru-assistant.rules, or add yourself to the dialout group and log in again</source>
        <translation>没有权限打开 %1：请安装 udev 规则 60-koru-assistant.rules，或将自己加入 dialout 组并重新登录</translation>
    </message>
    <message>
        <source>%1 is in use by another program; close it and try again</source>
        <translation>%1 正被另一个程序使用；请关闭它后重试</translation>
    </message>
    <message>
        <source>cannot open %1</source>
        <translation>无法打开 %1</translation>
    </message>
</context>
<context>
    <name>PortSource</name>
    <message>
        <source>Cannot create a folder for the simulated port: %1</source>
        <translation>无法为模拟串口创建文件夹：%1</translation>
    </message>
    <message>
        <source>Cannot start the simulated controller: %1</source>
        <translation>无法启动模拟遥控器：%1</translation>
    </message>
</context>
<context>
    <name>ShellMsgWidget</name>
    <message>
        <source>clear</source>
        <translation>清空</translation>
    </message>
    <message>
        <source>roll</source>
        <translation>滚动中</translation>
    </message>
    <message>
        <source>Device messages</source>
        <translation>设备消息</translation>
    </message>
</context>
<context>
    <name>UpdateFileItem</name>
    <message>
        <source>other upgrade is doing</source>
        <translation>禁止多个设备同时升级</translation>
    </message>
    <message>
        <source>waring</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>主控</source>
        <translation>遥控器</translation>
    </message>
    <message>
        <source>xt</source>
        <translation>接收机</translation>
    </message>
    <message>
        <source>ImageTransmission</source>
        <translation>图传</translation>
    </message>
    <message>
        <source>DATALINK</source>
        <translation>数传</translation>
    </message>
    <message>
        <source>RangeExtender</source>
        <translation>增程设备</translation>
    </message>
    <message>
        <source>Bluetooth</source>
        <translation>蓝牙</translation>
    </message>
    <message>
        <source>WIFI</source>
        <translation>WIFI</translation>
    </message>
    <message>
        <source>GPS</source>
        <translation>GPS</translation>
    </message>
    <message>
        <source>4G</source>
        <translation>4G</translation>
    </message>
    <message>
        <source>vo</source>
        <translation>语音</translation>
    </message>
    <message>
        <source>EXT Module</source>
        <translation>模块</translation>
    </message>
    <message>
        <source>UpgradeTools</source>
        <translation>升级工具</translation>
    </message>
    <message>
        <source>ConfigFile</source>
        <translation>配置文件</translation>
    </message>
    <message>
        <source>Gimbal</source>
        <translation>云台</translation>
    </message>
    <message>
        <source>ZOOM</source>
        <translation>变焦板</translation>
    </message>
    <message>
        <source>DJI HUB</source>
        <translation>大疆拓展坞</translation>
    </message>
    <message>
        <source>KORU TOOLS</source>
        <translation>KORU工具</translation>
    </message>
    <message>
        <source>upgrade</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>getfilename</source>
        <translation>选择文件</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>选择文件</translation>
    </message>
    <message>
        <source>Bin (*.bin *.cfg)</source>
        <translation>Bin (*.bin *.cfg)</translation>
    </message>
    <message>
        <source>1234.34.34</source>
        <translation>1234.34.34</translation>
    </message>
    <message>
        <source>2017.3.4</source>
        <translation>2017.3.4</translation>
    </message>
    <message>
        <source>0%</source>
        <translation>0%</translation>
    </message>
    <message>
        <source>Chosen file</source>
        <translation>已选文件</translation>
    </message>
    <message>
        <source>Hardware ID</source>
        <translation>硬件ID</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>序列号</translation>
    </message>
    <message>
        <source>Boot loader version</source>
        <translation>引导程序版本</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>固件版本</translation>
    </message>
</context>
<context>
    <name>UpgradeEngine</name>
    <message>
        <source>msgerror1</source>
        <translation>升级错误,请重新升级,如多次升级不成功,联系售后解决</translation>
    </message>
    <message>
        <source>msgerror3</source>
        <translation>固件错误,请选择正确的固件升级</translation>
    </message>
    <message>
        <source>msgerror7</source>
        <translation>固件效验错误,请重新升级,如多次升级不成功,联系售后解决</translation>
    </message>
    <message>
        <source>msgerror10</source>
        <translation>升级错误,请重新升级,如多次升级不成功,联系售后解决</translation>
    </message>
    <message>
        <source>msgerror15</source>
        <translation>配置文件版本不匹配,请导入相同固件版本的配置文件</translation>
    </message>
    <message>
        <source>msgerror99</source>
        <translation>USB未连接</translation>
    </message>
    <message>
        <source>msgerror0</source>
        <translation>未知错误,请重新升级,如多次升级不成功,联系售后解决</translation>
    </message>
    <message>
        <source>file open error</source>
        <translation>文件打开失败</translation>
    </message>
    <message>
        <source>file too large</source>
        <translation>文件需要超过65536个数据包，未开始升级</translation>
    </message>
    <message>
        <source>packet size too large</source>
        <translation>设备要求的数据包大于253字节，未开始升级</translation>
    </message>
    <message>
        <source>upgred ok </source>
        <translation>升级完成</translation>
    </message>
    <message>
        <source>restarting into boot loader</source>
        <translation>设备正在重启进入引导程序</translation>
    </message>
    <message>
        <source>no packet size</source>
        <translation>设备给出的数据包大小为0，未开始升级</translation>
    </message>
    <message>
        <source>file is empty</source>
        <translation>文件为空，未开始升级</translation>
    </message>
    <message>
        <source>USB 已断开 请尝试插上USB线或重新插拔USB</source>
        <translation>USB 已断开 请尝试插上USB线或重新插拔USB</translation>
    </message>
</context>
<context>
    <name>UpgradePage</name>
    <message>
        <source>硬件ID</source>
        <translation>硬件ID</translation>
    </message>
    <message>
        <source>SN</source>
        <translation>SN 码</translation>
    </message>
    <message>
        <source>引导程序</source>
        <translation>引导程序</translation>
    </message>
    <message>
        <source>固件版本</source>
        <translation>固件版本</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>other upgrade is doing</source>
        <translation>禁止多个设备同时升级</translation>
    </message>
</context>
<context>
    <name>UpgradeProgressPanel</name>
    <message>
        <source>Close the upgrade</source>
        <translation>关闭升级</translation>
    </message>
    <message>
        <source>Upgrade progress</source>
        <translation>升级进度</translation>
    </message>
</context>
</TS>
