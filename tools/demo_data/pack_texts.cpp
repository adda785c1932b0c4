#include "demo_data/pack_texts.hpp"

namespace vantrel::demo {

const std::vector<std::string>& mascon_codes() {
    // Five characters each: "V", a kind letter, a position; the controller sends one
    // code when a handle or button changes.
    static const std::vector<std::string> codes = {
        "VP01E", "VP02E", "VP03E", "VP04E", "VP05E", "VP06E",                   // power 1 .. 6
        "VN00E",                                                                // neutral
        "VB01E", "VB02E", "VB03E", "VB04E", "VB05E", "VB06E", "VB07E", "VB08E", // brake 1 .. 8
        "VB99E",                                                                // emergency
        "VRF0E", "VRN0E", "VRB0E",                                              // reverser
        "VK01E", "VK03E", "VK07E"};                                             // buttons: buzzer, horn, door
    return codes;
}

std::string pack_string_text() {
    return R"(; Vantrel 文字列ファイル (デモデータ)
[Path]
Movie\
[Forward]
前進
[Neutral]
中立
[Reverse]
後退
[Stop]
 停車
[Pass]
 通過
[Stop2]
 運転停車
[Neut]
ブレーキ緩め
[Neut2]
切
[Maintain]
保ち
[Hold]
重なり
[Apply]
ブレーキ
[Hold2]
抑速
[EB]
非常
[Start]
運転開始(&S)
[Move]
駅へ移動(&M)
[Display]
表示(&V)
操作説明(&H)
再描画(&R)
[Control]
コントローラ(&C)
)";
}

std::string pack_mascon_text() {
    std::string t;
    for (const auto& c : mascon_codes()) t += c + "\n";
    t += "#\n";
    t += "; Vantrel シリアルマスコン コード表 (19200bps 偶数パリティ 8bit 1stop)\n";
    t += "; 1-6行: 力行1-6  7行: 切  8-15行: ブレーキ1-8  16行: 非常\n";
    t += "; 17-19行: レバーサ 前進/中立/後退  20-22行: ボタン (ブザー, 警笛, 戸閉)\n";
    return t;
}

std::string pack_operation_text() {
    return R"(操作説明
【運転の始め方】
 メニュー「運転開始」で開始します。
 戸閉めランプが点いたら発車できます。

【ハンドル (ワンハンドル車)】
 Z / 8  : 力行側へ1段
 A / 2  : ブレーキ側へ1段
 5      : 切 (全て緩める)
 Q / 0  : 非常ブレーキ
【ツーハンドル車】
 Z / A  : 力行 1段進め / 戻し
 . / ,  : ブレーキ 1段込め / 緩め
 /      : 非常ブレーキ
 マウスホイールでも操作できます。

【レバーサ】 (停車中のみ)
 F 前進  N 中立  B 後退

【その他】
 3 / 6  : 警笛1 / 警笛2
 4 / 1  : ブザー
 D / 7  : 戸閉 (ワンマン運転)
 1 / -  : 車内放送 次へ / 戻る (ワンマン)
 スペース : ATS確認
 R      : ATS復帰 (非常位置で停車中)
 S / X  : 変速 上げ / 下げ (手動変速車)
 Enter  : 解説
 F1     : 行路表  F2/F3 送り
 ScrollLock : テンキー2/8 入れ替え

【音声案内】 (メニュー「音声案内」)
 K : 音声案内 入 / 切
 V : 速度      L : 制限速度と次の制限
 G : 前方の信号  J : 次の駅と停止位置まで
 T : 時刻と発車まで  H : ハンドル位置

【停車】
 停止位置目標に合わせて止まると
 自動でドアが開きます。
)";
}

std::string pack_readme_html() {
    return R"(<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="Shift_JIS">
<title>Vantrel デモデータ 説明書</title>
<style>
body { font-family: sans-serif; max-width: 46em; margin: 2em auto; line-height: 1.6; color: #222; }
h1 { border-bottom: 3px solid #2a6; } h2 { border-left: 8px solid #2a6; padding-left: .4em; }
table { border-collapse: collapse; } td, th { border: 1px solid #999; padding: .2em .6em; }
code { background: #eee; padding: 0 .2em; }
</style>
</head>
<body>
<h1>Vantrel へようこそ</h1>
<p>Vantrel は運転台から列車を運転するシミュレータです。前方の映像は列車の位置に合わせて進み、
止まれば映像も止まります。このデモデータは生成プログラム <code>vantrel-demo-data</code> が
描いた架空の2路線と5形式の車両です。実写ではありませんが、運転の手順はすべて体験できます。</p>

<h2>収録路線</h2>
<table>
<tr><th>ボタン</th><th>車両</th><th>路線</th><th>内容</th></tr>
<tr><td>1</td><td>785系</td><td>桜川線 急行</td><td>途中2駅通過。パターン式ATS。</td></tr>
<tr><td>4</td><td>721系 (Shift: 731系)</td><td>桜川線 快速</td><td>東台を通過。警報式ATS。</td></tr>
<tr><td>2</td><td>731系 (Shift: 721系)</td><td>桜川線 普通</td><td>ワンマン運転: ドアと放送は自分で操作。車内信号式ATS。</td></tr>
<tr><td>3</td><td>キハ40 (Shift: キハ711)</td><td>山辺線 普通</td><td>非電化単線、川俣で行き違い。気動車の変速。</td></tr>
</table>

<h2>運転のしかた</h2>
<ol>
<li>タイトル画面で列車を選び、メニュー「運転開始」を選びます。</li>
<li>発車時刻になると発車メロディが鳴り、ドアが閉まります。戸閉めランプが点いたらブレーキを緩めて力行します。</li>
<li>制限速度標識 (右側に点滅表示) と信号を守り、ATSの警報が鳴ったらブレーキを掛けてスペースキーで確認します。</li>
<li>停車駅では停止位置目標 (映像の右の目盛り) に合わせて止まります。ホームの範囲内で止まるとドアが開きます。</li>
<li>F1 で行路表を出すと時刻を確認できます。Enter で信号や時刻の解説が聞けます。</li>
</ol>
<p>1分以上操作しないと EB (運転士異常時列車停止装置) が鳴ります。何かキーを押せば止まります。</p>

<h2>キー操作</h2>
<table>
<tr><th>キー</th><th>操作</th></tr>
<tr><td>Z / A</td><td>力行を進める / 戻す (ワンハンドル車ではブレーキ側へ)</td></tr>
<tr><td>. / ,</td><td>ブレーキを込める / 緩める (ツーハンドル車)</td></tr>
<tr><td>8 / 2 / 5 / 0</td><td>テンキー: 力行側 / ブレーキ側 / 全て緩める / 非常</td></tr>
<tr><td>F / N / B</td><td>レバーサ 前進 / 中立 / 後退 (停車中)</td></tr>
<tr><td>3 / 6</td><td>警笛</td></tr>
<tr><td>4 / 1</td><td>ブザー (ワンマンでは 1 が車内放送)</td></tr>
<tr><td>D / 7</td><td>ドア開閉 (ワンマン運転)</td></tr>
<tr><td>スペース / R</td><td>ATS確認 / ATS復帰</td></tr>
<tr><td>S / X</td><td>変速段を上げる / 下げる (手動変速の気動車)</td></tr>
<tr><td>Enter</td><td>解説</td></tr>
<tr><td>F1 F2 F3</td><td>行路表の表示と送り</td></tr>
</table>

<h2>コントローラ</h2>
<p>キーボードとマウスホイールのほか、二種類のコントローラが使えます。</p>
<ul>
<li><b>シリアルマスコン</b>: メニュー「コントローラ」でポートを設定して接続します (19200bps, 偶数パリティ, 8bit, 1ストップ)。
マスコンはハンドル位置が変わるたびに5文字のコードを送ります。コード表は <code>mascon.dat</code> にあり、
1〜6行目が力行1〜6、7行目が切、8〜15行目がブレーキ1〜8、16行目が非常、17〜19行目がレバーサ、
20〜22行目がボタン (ブザー、警笛、戸閉) です。自作のマスコンはこの表に合わせるか、表を書き換えてください。</li>
<li><b>ジョイスティック型コントローラ</b>: メニュー「コントローラ」で種類を選びます。初めて使うときは校正してください。</li>
</ul>

<h2>路線を作るには</h2>
<p>路線は映像ファイル (<code>Movie</code> フォルダの AVI) と路線ファイル (<code>line_*.dat</code>) からなります。
路線ファイルは Shift-JIS のテキストで、<code>[Station]</code> や <code>[Signal]</code> などの見出しの次の行から値を書きます。
位置はすべて映像のフレーム番号、距離は <code>[SpeedUnit]</code> に書いた撮影速度から計算されます。
撮影速度が実際と合っていないと、停止位置や信号の位置がずれます。</p>
<p>作った路線は、映像なしの試運転プログラム <code>vantrel-sim</code> で確かめられます:
<code>vantrel-sim --train train_721.dat --route line_rapid.dat --strings vantrel.dat --frames 映像のフレーム数 --script 手順.txt --trace 記録.csv</code>
記録を見れば、どこで止まったか、ATSが動いたかが分かります。</p>

<h2>正直なお知らせ</h2>
<ul>
<li>映像はコンピュータで描いたもので、実在の路線ではありません。車両の性能は「それらしい」値です。</li>
<li>放送と解説の声は音声合成 (espeak-ng) です。入っていない環境では信号音になります。</li>
<li>このデータはビルドのたびに同じ内容で作り直せます: <code>vantrel-demo-data フォルダ名</code></li>
</ul>
</body>
</html>
)";
}

}  // namespace vantrel::demo
