<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>CalibrationPanel</name>
    <message>
        <source>calistart</source>
        <translation>Joystick Calibration</translation>
    </message>
    <message>
        <source>next</source>
        <translation>Next Step</translation>
    </message>
    <message>
        <source>caliEnd</source>
        <translation>Calibration Complete</translation>
    </message>
    <message>
        <source>Defaultallchannels</source>
        <translation>Default all channels</translation>
    </message>
    <message>
        <source>zhunbei</source>
        <translation>All joysticks shall stay in middle before calibration.</translation>
    </message>
    <message>
        <source>weikaishi</source>
        <translation>Joystick Calibration</translation>
    </message>
    <message>
        <source>zhonwei</source>
        <translation>All joysticks’ middle position are under calibration, do not make any movement.</translation>
    </message>
    <message>
        <source>zuidazhi</source>
        <translation>Move every joysticks to their maximum position in all direction.</translation>
    </message>
    <message>
        <source>wanc</source>
        <translation>Calibration Complete</translation>
    </message>
    <message>
        <source>返回收据错误 校准失败</source>
        <translation>Calibration failure</translation>
    </message>
    <message>
        <source>The remote controller is not connected. Plug it in by USB and click again.</source>
        <translation>The remote controller is not connected. Plug it in by USB and click again.</translation>
    </message>
    <message>
        <source>The remote controller is not connected. Plug it in by USB first.</source>
        <translation>The remote controller is not connected. Plug it in by USB first.</translation>
    </message>
</context>
<context>
    <name>ChSubWidget</name>
    <message>
        <source>zhengc2</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>正常1</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>fanxian2</source>
        <translation>Reverse</translation>
    </message>
    <message>
        <source>反相1</source>
        <translation>Reverse</translation>
    </message>
    <message>
        <source>Channel %1 direction</source>
        <translation>Channel %1 direction</translation>
    </message>
    <message>
        <source>Channel %1 minimum</source>
        <translation>Channel %1 minimum</translation>
    </message>
    <message>
        <source>Channel %1 middle</source>
        <translation>Channel %1 middle</translation>
    </message>
    <message>
        <source>Channel %1 maximum</source>
        <translation>Channel %1 maximum</translation>
    </message>
    <message>
        <source>Channel %1 source</source>
        <translation>Channel %1 source</translation>
    </message>
    <message>
        <source>Channel %1 live value</source>
        <translation>Channel %1 live value</translation>
    </message>
    <message>
        <source>The value the controller sends on channel %1</source>
        <translation>The value the controller sends on channel %1</translation>
    </message>
</context>
<context>
    <name>ChannelPage</name>
    <message>
        <source>Waiting for the live values of the remote controller…</source>
        <translation>Waiting for the live values of the remote controller…</translation>
    </message>
    <message>
        <source>No remote controller: these values are not live</source>
        <translation>No remote controller: these values are not live</translation>
    </message>
    <message>
        <source>Default all channels</source>
        <translation>Default all channels</translation>
    </message>
    <message>
        <source>Reset the direction, the mapping and the source of all 16 channels to the controller's defaults? The current channel settings are lost.</source>
        <translation>Reset the direction, the mapping and the source of all 16 channels to the controller's defaults? The current channel settings are lost.</translation>
    </message>
</context>
<context>
    <name>ChannelSettingsFile</name>
    <message>
        <source>Entry %1 of the channel list is not an object.</source>
        <translation>Entry %1 of the channel list is not an object.</translation>
    </message>
    <message>
        <source>Entry %1 of the channel list has no channel number from 1 to 16.</source>
        <translation>Entry %1 of the channel list has no channel number from 1 to 16.</translation>
    </message>
    <message>
        <source>Channel %1 is listed more than once.</source>
        <translation>Channel %1 is listed more than once.</translation>
    </message>
    <message>
        <source>Channel %1: &quot;reverse&quot; must be true or false.</source>
        <translation>Channel %1: &quot;reverse&quot; must be true or false.</translation>
    </message>
    <message>
        <source>Channel %1: &quot;%2&quot; is missing.</source>
        <translation>Channel %1: &quot;%2&quot; is missing.</translation>
    </message>
    <message>
        <source>Channel %1: &quot;%2&quot; must be a whole number from 0 to %3.</source>
        <translation>Channel %1: &quot;%2&quot; must be a whole number from 0 to %3.</translation>
    </message>
    <message>
        <source>Channel %1: &quot;%2&quot; is %3, outside 0 to %4.</source>
        <translation>Channel %1: &quot;%2&quot; is %3, outside 0 to %4.</translation>
    </message>
    <message>
        <source>The file is not valid JSON: %1 at byte %2.</source>
        <translation>The file is not valid JSON: %1 at byte %2.</translation>
    </message>
    <message>
        <source>The file is not a channel settings file: its format is not &quot;%1&quot;.</source>
        <translation>The file is not a channel settings file: its format is not &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>The file is of another format version; this program reads version %1.</source>
        <translation>The file is of another format version; this program reads version %1.</translation>
    </message>
    <message>
        <source>The file has no channel list.</source>
        <translation>The file has no channel list.</translation>
    </message>
    <message>
        <source>Channel %1 is missing.</source>
        <translation>Channel %1 is missing.</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
</context>
<context>
    <name>ChannelSettingsPanel</name>
    <message>
        <source>Save settings…</source>
        <translation>Save settings…</translation>
    </message>
    <message>
        <source>Load settings…</source>
        <translation>Load settings…</translation>
    </message>
    <message>
        <source>Reading the channel settings from the remote controller…</source>
        <translation>Reading the channel settings from the remote controller…</translation>
    </message>
    <message>
        <source>Loading %1 overwrites the direction, mapping and source of all 16 channels of the remote controller. Load it?</source>
        <translation>Loading %1 overwrites the direction, mapping and source of all 16 channels of the remote controller. Load it?</translation>
    </message>
    <message>
        <source>Load settings</source>
        <translation>Load settings</translation>
    </message>
    <message>
        <source>Sending the channel settings and reading them back…</source>
        <translation>Sending the channel settings and reading them back…</translation>
    </message>
    <message>
        <source>Channel settings (*.json)</source>
        <translation>Channel settings (*.json)</translation>
    </message>
    <message>
        <source>Save settings</source>
        <translation>Save settings</translation>
    </message>
    <message>
        <source>Channel settings</source>
        <translation>Channel settings</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Displays help on commandline options.</source>
        <translation>Displays help on commandline options.</translation>
    </message>
    <message>
        <source>Displays version information.</source>
        <translation>Displays version information.</translation>
    </message>
    <message>
        <source>Use PATH as the controller&apos;s serial port while it exists (for example a pseudo-terminal, or a controller whose USB bridge reports another identity).</source>
        <translation>Use PATH as the controller&apos;s serial port while it exists (for example a pseudo-terminal, or a controller whose USB bridge reports another identity).</translation>
    </message>
    <message>
        <source>Start a simulated controller inside the program and connect to it.</source>
        <translation>Start a simulated controller inside the program and connect to it.</translation>
    </message>
    <message>
        <source>Also show the page buttons of the device console (Fix) and the production page (produce), for service technicians.</source>
        <translation>Also show the page buttons of the device console (Fix) and the production page (produce), for service technicians.</translation>
    </message>
    <message>
        <source>Configuration and maintenance assistant for KORU radio-control devices.
Qt&apos;s own options are accepted as well, for example -platform NAME,
-style NAME, -reverse, and on X11 -display DISPLAY and -name NAME.</source>
        <translation>Configuration and maintenance assistant for KORU radio-control devices.
Qt&apos;s own options are accepted as well, for example -platform NAME,
-style NAME, -reverse, and on X11 -display DISPLAY and -name NAME.</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>Unexpected argument: %1</translation>
    </message>
    <message>
        <source>--demo and --device cannot be used together.</source>
        <translation>--demo and --device cannot be used together.</translation>
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
        <translation>Open File</translation>
    </message>
    <message>
        <source>Bin (*.bin *.cfg)</source>
        <translation>Bin (*.bin *.cfg)</translation>
    </message>
    <message>
        <source>waring</source>
        <translation>waring</translation>
    </message>
    <message>
        <source>other upgrade is doing</source>
        <translation>Only one device is allowed to be upgraded onLine at a time</translation>
    </message>
    <message>
        <source>Roll send row %1</source>
        <translation>Roll send row %1</translation>
    </message>
    <message>
        <source>Device address of row %1</source>
        <translation>Device address of row %1</translation>
    </message>
    <message>
        <source>Command of row %1</source>
        <translation>Command of row %1</translation>
    </message>
    <message>
        <source>Send row %1</source>
        <translation>Send row %1</translation>
    </message>
    <message>
        <source>Roll send the ticked rows</source>
        <translation>Roll send the ticked rows</translation>
    </message>
    <message>
        <source>Roll interval in milliseconds</source>
        <translation>Roll interval in milliseconds</translation>
    </message>
    <message>
        <source>Serial port</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>Device address for the file update</source>
        <translation>Device address for the file update</translation>
    </message>
    <message>
        <source>Chosen file</source>
        <translation>Chosen file</translation>
    </message>
</context>
<context>
    <name>GimbalPage</name>
    <message>
        <source>Gimbal Mode</source>
        <translation>Gimbal Mode</translation>
    </message>
    <message>
        <source> HDR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> REC</source>
        <translation> REC</translation>
    </message>
    <message>
        <source> PIC</source>
        <translation> PIC</translation>
    </message>
    <message>
        <source>Color Mode</source>
        <translation>Color Mode</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Center</translation>
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
        <translation>Focus</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Auto Focus</source>
        <translation>Auto Focus</translation>
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
        <translation>CH Config</translation>
    </message>
    <message>
        <source>Camera Config</source>
        <translation>Camera Config</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>Resolution</translation>
    </message>
    <message>
        <source>Coding Format</source>
        <translation>Coding Format</translation>
    </message>
    <message>
        <source>FW VER:</source>
        <translation>FW VER:</translation>
    </message>
    <message>
        <source>IP Config</source>
        <translation>IP Config</translation>
    </message>
    <message>
        <source>Save IP</source>
        <translation>Save IP</translation>
    </message>
    <message>
        <source>Camera firmware version</source>
        <translation>Camera firmware version</translation>
    </message>
</context>
<context>
    <name>Koru::ChannelSettingsTransfer</name>
    <message>
        <source>The remote controller is not connected.</source>
        <translation>The remote controller is not connected.</translation>
    </message>
    <message>
        <source>The remote controller did not answer for channels %1. Nothing was written.</source>
        <translation>The remote controller did not answer for channels %1. Nothing was written.</translation>
    </message>
    <message>
        <source>Saved the settings of all 16 channels to %1.</source>
        <translation>Saved the settings of all 16 channels to %1.</translation>
    </message>
    <message>
        <source>Loaded the settings: all 16 channels read back as sent.</source>
        <translation>Loaded the settings: all 16 channels read back as sent.</translation>
    </message>
    <message>
        <source>The remote controller does not report what was sent:</source>
        <translation>The remote controller does not report what was sent:</translation>
    </message>
    <message>
        <source>No answer for channels %1.</source>
        <translation>No answer for channels %1.</translation>
    </message>
    <message>
        <source>reversed</source>
        <translation>reversed</translation>
    </message>
    <message>
        <source>normal</source>
        <translation>normal</translation>
    </message>
    <message>
        <source>type %1, id %2</source>
        <translation>type %1, id %2</translation>
    </message>
    <message>
        <source>direction</source>
        <translation>direction</translation>
    </message>
    <message>
        <source>source</source>
        <translation>source</translation>
    </message>
    <message>
        <source>mapping</source>
        <translation>mapping</translation>
    </message>
    <message>
        <source>Channel %1 %2: sent %3, the controller reports %4.</source>
        <translation>Channel %1 %2: sent %3, the controller reports %4.</translation>
    </message>
    <message>
        <source>The connection to the remote controller was lost.</source>
        <translation>The connection to the remote controller was lost.</translation>
    </message>
</context>
<context>
    <name>KoruConfig</name>
    <message>
        <source>The file is larger than 1 MiB; a channel settings file is far smaller.</source>
        <translation>The file is larger than 1 MiB; a channel settings file is far smaller.</translation>
    </message>
</context>
<context>
    <name>KoruFlash</name>
    <message>
        <source>bad time &apos;%1&apos; for --answer-timeout: give seconds above 0, at most %2</source>
        <translation>bad time &apos;%1&apos; for --answer-timeout: give seconds above 0, at most %2</translation>
    </message>
    <message>
        <source>--list shows every device: it takes no --target</source>
        <translation>--list shows every device: it takes no --target</translation>
    </message>
    <message>
        <source>--list takes no file: unexpected &apos;%1&apos;</source>
        <translation>--list takes no file: unexpected &apos;%1&apos;</translation>
    </message>
    <message>
        <source>no file to write; give one, or --list</source>
        <translation>no file to write; give one, or --list</translation>
    </message>
    <message>
        <source>one file at a time: unexpected &apos;%1&apos;</source>
        <translation>one file at a time: unexpected &apos;%1&apos;</translation>
    </message>
    <message>
        <source>no device chosen: name it with --target ID (`koru-flash --list` shows the devices that answer)</source>
        <translation>no device chosen: name it with --target ID (`koru-flash --list` shows the devices that answer)</translation>
    </message>
    <message>
        <source>bad device id &apos;%1&apos; for --target: give a number from 0 to 255, decimal or 0x hexadecimal</source>
        <translation>bad device id &apos;%1&apos; for --target: give a number from 0 to 255, decimal or 0x hexadecimal</translation>
    </message>
    <message>
        <source>TYPE</source>
        <translation>TYPE</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>HARDWARE ID</source>
        <translation>HARDWARE ID</translation>
    </message>
    <message>
        <source>SERIAL NUMBER</source>
        <translation>SERIAL NUMBER</translation>
    </message>
    <message>
        <source>BOOT LOADER</source>
        <translation>BOOT LOADER</translation>
    </message>
    <message>
        <source>FIRMWARE</source>
        <translation>FIRMWARE</translation>
    </message>
    <message>
        <source>no device answered on %1</source>
        <translation>no device answered on %1</translation>
    </message>
    <message>
        <source>The remote controller is restarting into its boot loader</source>
        <translation>The remote controller is restarting into its boot loader</translation>
    </message>
    <message>
        <source>device %1 did not answer; `koru-flash --list` shows the devices that do</source>
        <translation>device %1 did not answer; `koru-flash --list` shows the devices that do</translation>
    </message>
    <message>
        <source>stopped before the end: the device did not receive the whole file</source>
        <translation>stopped before the end: the device did not receive the whole file</translation>
    </message>
    <message>
        <source>the link to the device was lost</source>
        <translation>the link to the device was lost</translation>
    </message>
    <message>
        <source>the upgrade failed</source>
        <translation>the upgrade failed</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>cannot read %1: %2</translation>
    </message>
    <message>
        <source>no remote controller found; name its port with --device PATH</source>
        <translation>no remote controller found; name its port with --device PATH</translation>
    </message>
    <message>
        <source>stopping after the current packet</source>
        <translation>stopping after the current packet</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <translation>the file cannot be read</translation>
    </message>
    <message>
        <source>the device cannot take a file that large</source>
        <translation>the device cannot take a file that large</translation>
    </message>
    <message>
        <source>the device did not answer in time</source>
        <translation>the device did not answer in time</translation>
    </message>
    <message>
        <source>another upgrade is still running</source>
        <translation>another upgrade is still running</translation>
    </message>
    <message>
        <source>the device announced no packet size</source>
        <translation>the device announced no packet size</translation>
    </message>
    <message>
        <source>--all and --wait cannot be used together</source>
        <translation>--all and --wait cannot be used together</translation>
    </message>
    <message>
        <source>--device names one controller: it goes without --all and --wait</source>
        <translation>--device names one controller: it goes without --all and --wait</translation>
    </message>
    <message>
        <source>--list goes without --all, --wait and --record</source>
        <translation>--list goes without --all, --wait and --record</translation>
    </message>
    <message>
        <source>Waiting for controllers; Ctrl-C ends</source>
        <translation>Waiting for controllers; Ctrl-C ends</translation>
    </message>
    <message>
        <source>%1: %2%</source>
        <translation>%1: %2%</translation>
    </message>
    <message>
        <source>the record could not be written</source>
        <translation>the record could not be written</translation>
    </message>
    <message>
        <source>%1 passed, %2 failed</source>
        <translation>%1 passed, %2 failed</translation>
    </message>
    <message>
        <source>%1 is empty: there is nothing to write</source>
        <translation>%1 is empty: there is nothing to write</translation>
    </message>
    <message>
        <source>%1 is larger than any device takes (at most %2 bytes)</source>
        <translation>%1 is larger than any device takes (at most %2 bytes)</translation>
    </message>
    <message>
        <source>cannot write the record %1: %2</source>
        <translation>cannot write the record %1: %2</translation>
    </message>
    <message>
        <source>stopping; press Ctrl-C again to quit at once</source>
        <translation>stopping; press Ctrl-C again to quit at once</translation>
    </message>
    <message>
        <source>CONTROLLER PORT</source>
        <translation>CONTROLLER PORT</translation>
    </message>
    <message>
        <source>USB SERIAL</source>
        <translation>USB SERIAL</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>usb open error</source>
        <translation>usb open error</translation>
    </message>
    <message>
        <source>waring</source>
        <translation>waring</translation>
    </message>
    <message>
        <source>setting</source>
        <translation>CH Setting</translation>
    </message>
    <message>
        <source>upload</source>
        <translation>Upgrade</translation>
    </message>
    <message>
        <source>Upgrade</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>fix</source>
        <translation>Fix</translation>
    </message>
    <message>
        <source>scxs</source>
        <translation>produce</translation>
    </message>
    <message>
        <source>gimbal config</source>
        <translation>gimbal config</translation>
    </message>
    <message>
        <source>The port cannot be opened because access is denied. Install the udev rule 60-koru-assistant.rules or add your user to the dialout group.</source>
        <translation>The port cannot be opened because access is denied. Install the udev rule 60-koru-assistant.rules or add your user to the dialout group.</translation>
    </message>
    <message>
        <source>The port is in use by another program.</source>
        <translation>The port is in use by another program.</translation>
    </message>
    <message>
        <source>The settings file kestan.ini in %1 cannot be written. The program works, but changed settings will not be kept.</source>
        <translation>The settings file kestan.ini in %1 cannot be written. The program works, but changed settings will not be kept.</translation>
    </message>
    <message>
        <source>The settings file kestan.ini in %1 is in use by another running KORU Assistant (process %2). Close that one to keep changed settings.</source>
        <translation>The settings file kestan.ini in %1 is in use by another running KORU Assistant (process %2). Close that one to keep changed settings.</translation>
    </message>
    <message>
        <source>The settings file kestan.ini in %1 is damaged. Settings that could not be read start from their defaults.</source>
        <translation>The settings file kestan.ini in %1 is damaged. Settings that could not be read start from their defaults.</translation>
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
        <translation>Connected: %1</translation>
    </message>
    <message>
        <source>KORU Assistant — %1</source>
        <translation>KORU Assistant — %1</translation>
    </message>
    <message>
        <source>No remote controller — plug it in by USB</source>
        <translation>No remote controller — plug it in by USB</translation>
    </message>
    <message>
        <source>The settings file kestan.ini in %1 is larger than 1 MiB and was not read. Settings start from their defaults and changes will not be kept.</source>
        <translation>The settings file kestan.ini in %1 is larger than 1 MiB and was not read. Settings start from their defaults and changes will not be kept.</translation>
    </message>
    <message>
        <source>Show the window</source>
        <translation>Show the window</translation>
    </message>
    <message>
        <source>Hide to the tray</source>
        <translation>Hide to the tray</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>Minimise</translation>
    </message>
    <message>
        <source>USB connection</source>
        <translation>USB connection</translation>
    </message>
</context>
<context>
    <name>Page</name>
    <message>
        <source>Not connected</source>
        <translation>Not connected</translation>
    </message>
    <message>
        <source>The remote controller is not connected. Connect it by USB and try again.</source>
        <translation>The remote controller is not connected. Connect it by USB and try again.</translation>
    </message>
</context>
<context>
    <name>PortProblem</name>
    <message>
        <source>%1 does not exist</source>
        <translation>%1 does not exist</translation>
    </message>
    <message>
        <source>no remote controller found; name its port with --device PATH</source>
        <translation>no remote controller found; name its port with --device PATH</translation>
    </message>
    <message>
        <source>%1 (pid %2)</source>
        <translation>%1 (pid %2)</translation>
    </message>
    <message>
        <source>%1 vanished before it could be opened; plug the controller in again</source>
        <translation>%1 vanished before it could be opened; plug the controller in again</translation>
    </message>
    <message>
        <source>%1 is in use by %2; close it and try again</source>
        <translation>%1 is in use by %2; close it and try again</translation>
    </message>
    <message>
        <source>no permission to open %1: install the udev rule 60-koru-assistant.rules, or add yourself to the dialout group and log in again</source>
        <translation>no permission to open %1: install the udev rule 60-koru-assistant.rules, or add yourself to the dialout group and log in again</translation>
    </message>
    <message>
        <source>%1 is in use by another program; close it and try again</source>
        <translation>%1 is in use by another program; close it and try again</translation>
    </message>
    <message>
        <source>cannot open %1</source>
        <translation>cannot open %1</translation>
    </message>
</context>
<context>
    <name>PortSource</name>
    <message>
        <source>Cannot create a folder for the simulated port: %1</source>
        <translation>Cannot create a folder for the simulated port: %1</translation>
    </message>
    <message>
        <source>Cannot start the simulated controller: %1</source>
        <translation>Cannot start the simulated controller: %1</translation>
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
        <translation>Device messages</translation>
    </message>
</context>
<context>
    <name>UpdateFileItem</name>
    <message>
        <source>other upgrade is doing</source>
        <translation>Only one device is allowed to be upgraded onLine at a time</translation>
    </message>
    <message>
        <source>waring</source>
        <translation>waring</translation>
    </message>
    <message>
        <source>主控</source>
        <translation>RC</translation>
    </message>
    <message>
        <source>xt</source>
        <translation>Receiver</translation>
    </message>
    <message>
        <source>ImageTransmission</source>
        <translation>Image
Transmission</translation>
    </message>
    <message>
        <source>DATALINK</source>
        <translation>DATALINK</translation>
    </message>
    <message>
        <source>RangeExtender</source>
        <translation>Range
Extender</translation>
    </message>
    <message>
        <source>Bluetooth</source>
        <translation>Bluetooth</translation>
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
        <translation>Voice</translation>
    </message>
    <message>
        <source>EXT Module</source>
        <translation>Module</translation>
    </message>
    <message>
        <source>UpgradeTools</source>
        <translation>Upgrade
Tools</translation>
    </message>
    <message>
        <source>ConfigFile</source>
        <translation>ConfigFile</translation>
    </message>
    <message>
        <source>Gimbal</source>
        <translation>Gimbal</translation>
    </message>
    <message>
        <source>ZOOM</source>
        <translation>ZOOM</translation>
    </message>
    <message>
        <source>DJI HUB</source>
        <translation>DJI HUB</translation>
    </message>
    <message>
        <source>KORU TOOLS</source>
        <translation>KORU TOOLS</translation>
    </message>
    <message>
        <source>upgrade</source>
        <translation>Upgrade</translation>
    </message>
    <message>
        <source>getfilename</source>
        <translation>Select File</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Select File</translation>
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
        <translation>Chosen file</translation>
    </message>
    <message>
        <source>Hardware ID</source>
        <translation>Hardware ID</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Boot loader version</source>
        <translation>Boot loader version</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>Firmware version</translation>
    </message>
</context>
<context>
    <name>UpgradeEngine</name>
    <message>
        <source>msgerror1</source>
        <translation>Error during updating, please update again. If failed many times, please contact our service center for help</translation>
    </message>
    <message>
        <source>msgerror3</source>
        <translation>Wrong firmware, please choose the right firmware</translation>
    </message>
    <message>
        <source>msgerror7</source>
        <translation>Error in firmware checking, please update again. If failed many times, please contact our service center for help</translation>
    </message>
    <message>
        <source>msgerror10</source>
        <translation>Error during updating, please update again. If failed many times, please contact our service center for help</translation>
    </message>
    <message>
        <source>msgerror15</source>
        <translation>Configuration file is not matched with firmware,please load the same version</translation>
    </message>
    <message>
        <source>msgerror99</source>
        <translation>USB not connected</translation>
    </message>
    <message>
        <source>msgerror0</source>
        <translation>Unknown error, please update again. If failed many times, please contact our service center for help.</translation>
    </message>
    <message>
        <source>file open error</source>
        <translation>File open failed</translation>
    </message>
    <message>
        <source>file too large</source>
        <translation>The file needs more than 65536 packets; the upgrade was not started</translation>
    </message>
    <message>
        <source>packet size too large</source>
        <translation>The device asks for packets larger than 253 bytes; the upgrade was not started</translation>
    </message>
    <message>
        <source>upgred ok </source>
        <translation>Upgrading Complete</translation>
    </message>
    <message>
        <source>restarting into boot loader</source>
        <translation>The device is restarting into its boot loader</translation>
    </message>
    <message>
        <source>no packet size</source>
        <translation>The device announced packet size 0; the upgrade was not started</translation>
    </message>
    <message>
        <source>file is empty</source>
        <translation>The file is empty; the upgrade was not started</translation>
    </message>
    <message>
        <source>USB 已断开 请尝试插上USB线或重新插拔USB</source>
        <translation>USB disconnected: plug in the USB cable, or unplug it and plug it in again</translation>
    </message>
</context>
<context>
    <name>UpgradePage</name>
    <message>
        <source>硬件ID</source>
        <translation>Hardware ID</translation>
    </message>
    <message>
        <source>SN</source>
        <translation>SN</translation>
    </message>
    <message>
        <source>引导程序</source>
        <translation>Boot Loader</translation>
    </message>
    <message>
        <source>固件版本</source>
        <translation>Firmware Version</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>Upgrade</translation>
    </message>
    <message>
        <source>other upgrade is doing</source>
        <translation>Only one device is allowed to be upgraded onLine at a time</translation>
    </message>
</context>
<context>
    <name>UpgradeProgressPanel</name>
    <message>
        <source>Close the upgrade</source>
        <translation>Close the upgrade</translation>
    </message>
    <message>
        <source>Upgrade progress</source>
        <translation>Upgrade progress</translation>
    </message>
</context>
</TS>
