<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>vantrel::DrivingWindow</name>
    <message>
        <location filename="../driving_window.cpp" line="106"/>
        <source>%1 に書き込めません</source>
        <translation>Cannot write %1</translation>
    </message>
</context>
<context>
    <name>vantrel::SerialSettingsDialog</name>
    <message>
        <location filename="../serial_settings_dialog.cpp" line="56"/>
        <source>シリアルポート</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <location filename="../serial_settings_dialog.cpp" line="66"/>
        <location filename="../serial_settings_dialog.cpp" line="76"/>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <location filename="../serial_settings_dialog.cpp" line="67"/>
        <source>偶数</source>
        <translation>Even</translation>
    </message>
    <message>
        <location filename="../serial_settings_dialog.cpp" line="68"/>
        <source>奇数</source>
        <translation>Odd</translation>
    </message>
    <message>
        <location filename="../serial_settings_dialog.cpp" line="69"/>
        <source>スペース</source>
        <translation>Space</translation>
    </message>
    <message>
        <location filename="../serial_settings_dialog.cpp" line="70"/>
        <source>マーク</source>
        <translation>Mark</translation>
    </message>
    <message>
        <location filename="../serial_settings_dialog.cpp" line="77"/>
        <source>ハードウェア (RTS/CTS)</source>
        <translation>Hardware (RTS/CTS)</translation>
    </message>
    <message>
        <location filename="../serial_settings_dialog.cpp" line="78"/>
        <source>ソフトウェア (XON/XOFF)</source>
        <translation>Software (XON/XOFF)</translation>
    </message>
    <message>
        <location filename="../serial_settings_dialog.cpp" line="82"/>
        <source>ポート</source>
        <translation>Port</translation>
    </message>
    <message>
        <location filename="../serial_settings_dialog.cpp" line="83"/>
        <source>通信速度</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <location filename="../serial_settings_dialog.cpp" line="84"/>
        <source>データビット</source>
        <translation>Data bits</translation>
    </message>
    <message>
        <location filename="../serial_settings_dialog.cpp" line="85"/>
        <source>パリティ</source>
        <translation>Parity</translation>
    </message>
    <message>
        <location filename="../serial_settings_dialog.cpp" line="86"/>
        <source>ストップビット</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <location filename="../serial_settings_dialog.cpp" line="87"/>
        <source>フロー制御</source>
        <translation>Flow control</translation>
    </message>
    <message>
        <location filename="../serial_settings_dialog.cpp" line="89"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../serial_settings_dialog.cpp" line="90"/>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>vantrel::TitleWindow</name>
    <message>
        <location filename="../title_window.cpp" line="85"/>
        <source>車両と路線を開く...</source>
        <translation>Open train and route...</translation>
    </message>
    <message>
        <location filename="../title_window.cpp" line="98"/>
        <source>中止</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../title_window.cpp" line="276"/>
        <source>データファイル (*.dat);;すべてのファイル (*)</source>
        <translation>Data files (*.dat);;All files (*)</translation>
    </message>
    <message>
        <location filename="../title_window.cpp" line="277"/>
        <source>車両ファイル</source>
        <translation>Train file</translation>
    </message>
    <message>
        <location filename="../title_window.cpp" line="279"/>
        <source>路線ファイル</source>
        <translation>Route file</translation>
    </message>
</context>
</TS>
