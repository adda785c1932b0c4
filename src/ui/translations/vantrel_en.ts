<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>main</name>
    <message>
        <source>ファイル &quot;%1&quot; を開けません</source>
        <translation>Cannot open file &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>vantrel::DrivingWindow</name>
    <message>
        <source>%1 に書き込めません</source>
        <translation>Cannot write %1</translation>
    </message>
</context>
<context>
    <name>vantrel::SerialSettingsDialog</name>
    <message>
        <source>シリアルポート</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>偶数</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>奇数</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>スペース</source>
        <translation>Space</translation>
    </message>
    <message>
        <source>マーク</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>ハードウェア (RTS/CTS)</source>
        <translation>Hardware (RTS/CTS)</translation>
    </message>
    <message>
        <source>ソフトウェア (XON/XOFF)</source>
        <translation>Software (XON/XOFF)</translation>
    </message>
    <message>
        <source>ポート</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>通信速度</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>データビット</source>
        <translation>Data bits</translation>
    </message>
    <message>
        <source>パリティ</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>ストップビット</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>フロー制御</source>
        <translation>Flow control</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>vantrel::TitleWindow</name>
    <message>
        <source>車両と路線を開く...</source>
        <translation>Open train and route...</translation>
    </message>
    <message>
        <source>ファイル &quot;%1&quot; を開けません</source>
        <translation>Cannot open file &quot;%1&quot;</translation>
    </message>
    <message>
        <source>データファイル (*.dat);;すべてのファイル (*)</source>
        <translation>Data files (*.dat);;All files (*)</translation>
    </message>
    <message>
        <source>車両ファイル</source>
        <translation>Train file</translation>
    </message>
    <message>
        <source>路線ファイル</source>
        <translation>Route file</translation>
    </message>
</context>
</TS>
