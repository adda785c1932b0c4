<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>QObject</name>
    <message>
        <source>運転記録(&amp;K)</source>
        <translation>Drive &amp;record</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>operation.datが見つかりません</source>
        <translation>operation.dat was not found</translation>
    </message>
</context>
<context>
    <name>vantrel::CabSpeech</name>
    <message>
        <source>音声案内(&amp;A)</source>
        <translation>&amp;Accessibility</translation>
    </message>
    <message>
        <source>音声案内を使う (K)</source>
        <translation>Speak the cab (K)</translation>
    </message>
    <message>
        <source>音声案内の設定(&amp;S)...</source>
        <translation>Speech &amp;settings...</translation>
    </message>
</context>
<context>
    <name>vantrel::DataSetChooser</name>
    <message>
        <source>データセットのフォルダを選ぶ</source>
        <translation>Choose a data set&apos;s folder</translation>
    </message>
    <message>
        <source>このフォルダにはデータセットがありません。
(vantrel.dat と image/title または operation.dat が必要です)</source>
        <translation>This folder holds no data set.
(It needs vantrel.dat and image/title or operation.dat.)</translation>
    </message>
    <message>
        <source>データセットの選択 - Vantrel</source>
        <translation>Choose a data set - Vantrel</translation>
    </message>
    <message>
        <source>使うデータセットを選んでください。</source>
        <translation>Choose the data set to play.</translation>
    </message>
    <message>
        <source>開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>フォルダを選ぶ...</source>
        <translation>Choose a folder...</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>データセット %1 を開始できませんでした。
%2
別のデータセットかフォルダを選んでください。</source>
        <translation>The data set %1 could not be started.
%2
Choose another data set or a folder.</translation>
    </message>
</context>
<context>
    <name>vantrel::DrivingWindow</name>
    <message>
        <source>%1 に書き込めません</source>
        <translation>Cannot write %1</translation>
    </message>
    <message>
        <source>全画面表示	F11</source>
        <translation>Full screen	F11</translation>
    </message>
    <message>
        <source>映像の索引を作成しています %1%</source>
        <translation>Indexing the film %1%</translation>
    </message>
    <message>
        <source>等倍</source>
        <translation>Actual size</translation>
    </message>
    <message>
        <source>1.5倍</source>
        <translation>1.5x</translation>
    </message>
    <message>
        <source>2倍</source>
        <translation>2x</translation>
    </message>
    <message>
        <source>3倍</source>
        <translation>3x</translation>
    </message>
    <message>
        <source>画面に合わせる</source>
        <translation>Fit to screen</translation>
    </message>
</context>
<context>
    <name>vantrel::FilmMixMenu</name>
    <message>
        <source>補間なし</source>
        <translation>No interpolation</translation>
    </message>
    <message>
        <source>ブレンド</source>
        <translation>Blend</translation>
    </message>
    <message>
        <source>切り替わりだけブレンド</source>
        <translation>Blend only at the change</translation>
    </message>
    <message>
        <source>モーションブラー</source>
        <translation>Motion blur</translation>
    </message>
</context>
<context>
    <name>vantrel::NoDataSetWindow</name>
    <message>
        <source>データセットがありません - Vantrel</source>
        <translation>No data set - Vantrel</translation>
    </message>
    <message>
        <source>データセットが見つかりません。</source>
        <translation>No data set was found.</translation>
    </message>
    <message>
        <source>探した場所:</source>
        <translation>Searched:</translation>
    </message>
    <message>
        <source>デモデータを作成するか (1 分ほど)、データセットのフォルダを選んでください。</source>
        <translation>Write the demo data set (about a minute), or choose a data set&apos;s folder.</translation>
    </message>
    <message>
        <source>デモデータを作成</source>
        <translation>Write the demo data</translation>
    </message>
    <message>
        <source>フォルダを選ぶ...</source>
        <translation>Choose a folder...</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>デモデータを作成しています...</source>
        <translation>Writing the demo data...</translation>
    </message>
    <message>
        <source>デモデータを作成できませんでした: </source>
        <translation>The demo data could not be written: </translation>
    </message>
</context>
<context>
    <name>vantrel::ReportWindow</name>
    <message>
        <source>運転記録</source>
        <translation>Drive record</translation>
    </message>
    <message>
        <source>HTMLで保存(&amp;H)...</source>
        <translation>Save as &amp;HTML...</translation>
    </message>
    <message>
        <source>JSONで保存(&amp;J)...</source>
        <translation>Save as &amp;JSON...</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>%1 に保存できませんでした: %2</source>
        <translation>Could not save %1: %2</translation>
    </message>
    <message>
        <source>運転記録を保存</source>
        <translation>Save the drive record</translation>
    </message>
    <message>
        <source>JSON (*.json)</source>
        <translation>JSON (*.json)</translation>
    </message>
    <message>
        <source>HTML (*.html *.htm)</source>
        <translation>HTML (*.html *.htm)</translation>
    </message>
    <message>
        <source>ja</source>
        <comment>the page&apos;s language code</comment>
        <translation>en</translation>
    </message>
    <message>
        <source>駅</source>
        <comment>heading</comment>
        <translation>Stations</translation>
    </message>
    <message>
        <source>駅</source>
        <comment>column</comment>
        <translation>Station</translation>
    </message>
    <message>
        <source>種別</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>停車</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>通過</source>
        <translation>Pass</translation>
    </message>
    <message>
        <source>着 (予定)</source>
        <translation>Arrival (scheduled)</translation>
    </message>
    <message>
        <source>着・通過</source>
        <translation>Arrival / pass</translation>
    </message>
    <message>
        <source>判定</source>
        <translation>Judgement</translation>
    </message>
    <message>
        <source>発 (予定)</source>
        <translation>Departure (scheduled)</translation>
    </message>
    <message>
        <source>発</source>
        <translation>Departure</translation>
    </message>
    <message>
        <source>停止位置</source>
        <translation>Stop position</translation>
    </message>
    <message>
        <source>非常制動</source>
        <translation>Emergency brake</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>種類</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>時刻</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>フレーム</source>
        <translation>Frame</translation>
    </message>
    <message>
        <source>距離 (m)</source>
        <translation>Distance (m)</translation>
    </message>
    <message>
        <source>速度超過</source>
        <translation>Overspeed</translation>
    </message>
    <message>
        <source>制限 (km/h)</source>
        <translation>Limit (km/h)</translation>
    </message>
    <message>
        <source>超過 (km/h)</source>
        <translation>Over by (km/h)</translation>
    </message>
    <message>
        <source>時間 (秒)</source>
        <translation>Duration (s)</translation>
    </message>
    <message>
        <source>定時</source>
        <translation>On time</translation>
    </message>
    <message>
        <source>%1遅れ</source>
        <translation>%1 late</translation>
    </message>
    <message>
        <source>%1早い</source>
        <translation>%1 early</translation>
    </message>
    <message>
        <source>%1秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1分%2秒</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1 cm 行き過ぎ</source>
        <translation>%1 cm past</translation>
    </message>
    <message>
        <source>%1 cm 手前</source>
        <translation>%1 cm short</translation>
    </message>
    <message>
        <source>ホーム外</source>
        <translation>outside the platform</translation>
    </message>
    <message>
        <source>停車せず</source>
        <translation>missed stop</translation>
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
    <name>vantrel::SpeechSettingsDialog</name>
    <message>
        <source>音声案内の設定</source>
        <translation>Speech settings</translation>
    </message>
    <message>
        <source>声</source>
        <translation>Voice</translation>
    </message>
    <message>
        <source>標準の声</source>
        <translation>Default voice</translation>
    </message>
    <message>
        <source>音声合成サービスが見つかりません</source>
        <translation>No speech service was found</translation>
    </message>
    <message>
        <source>声(&amp;V):</source>
        <translation>&amp;Voice:</translation>
    </message>
    <message>
        <source>話す速さ</source>
        <translation>Speaking rate</translation>
    </message>
    <message>
        <source>速さ(&amp;R):</source>
        <translation>&amp;Rate:</translation>
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
    <message>
        <source>データセットを切り替える...</source>
        <translation>Switch data set...</translation>
    </message>
    <message>
        <source>%1が見つかりません</source>
        <translation>%1 was not found</translation>
    </message>
    <message>
        <source>車両 %1</source>
        <translation>Train %1</translation>
    </message>
    <message>
        <source>別の車両 %1</source>
        <translation>Alternate train %1</translation>
    </message>
    <message>
        <source>説明書</source>
        <translation>Read me</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>車両と路線を開く</source>
        <translation>Open train and route</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>映像の索引を作成しています %1%</source>
        <translation>Indexing the film %1%</translation>
    </message>
</context>
</TS>
