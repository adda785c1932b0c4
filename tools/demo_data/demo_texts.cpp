// The text files of the demo data set.
#include "demo_data/demo_texts.hpp"

namespace vantrel::demo {

std::string train_text() {
    std::string t = R"(; Vantrel デモ車両: 4両編成の通勤形電車
[Handle]      ; 0 = ワンハンドル
0
[BrakeType]   ; 電磁直通ブレーキ
1
[Brake]
8
[Power]
4
[Hold]
0
[BrakeRate]
3.5
[PowerDelay]
3
[BrakeDelay]
4
[SAPDelay]
2
[BrakeUp]
400
[BrakeDown]
300
[EBPress]
440
[SAPPress]
400
[HighAirPress]
880
[LowAirPress]
780
[Curr1]
0
[Curr2]
0
[Engine_Type] ; 電車
1
[DoorType]
0
[Mt]
120
[Tt]
80
[Cars]
4
[StopLine]
Image\Stop.bmp
[Tons]
140.5
[EB]
1
[MaxSpeed]
110
[Lose_elec]
8
[Mc]
1
[ATS_Type]
0
[ATS_Alert]
0
[ATS_Time]
5
[ATS_Cnt]
1
[Sound_br1]
13
[Sound_br2]
14
[Sound_EB]
15
[Sound_Ats1]
16
[Sound_Ats2]
17
[Sound_Atc]
18
[Sound_Horn]
19
[Sound_Horn2]
20
[Sound_Horn3]
20
[Sound_DoorOpen]
21
[Sound_DoorClose]
22
[Sound_EBring]
23
[Sound_squeak]
24
[CP_Start]
25
[CP_Cnt]
26
[CP_End]
27
[Stop]
28
[Buzzer]
29
30
[DepSign]
31
[EngineSound]
0
0
0
[Gear_Type]
AT
[Notch]       ; 起動加速度, 基準加速度, 基準速度, 特性速度, 減衰率
3.0,2.8,30,55,0.985
3.0,2.8,38,60,0.985
3.0,2.8,45,70,0.985
3.0,2.8,52,80,0.985
#
[MotorSound]
Sound\Motor1.wav
0
0
70
0.5
1.6
40
100
Sound\Motor2.wav
1
0
70
0.5
1.6
30
90
#
[DriveSound]
)";
    for (int i = 0; i <= 12; ++i) t += "Sound\\Run" + std::to_string(i) + ".wav\n";
    t += R"(Sound\Br1.wav
Sound\Br2.wav
Sound\EB.wav
Sound\AtsBell.wav
Sound\AtsChime.wav
Sound\Atc.wav
Sound\Horn1.wav
Sound\Horn2.wav
Sound\DoorOpen.wav
Sound\DoorClose.wav
Sound\EBRing.wav
Sound\Squeak.wav
Sound\CpStart.wav
Sound\CpRun.wav
Sound\CpEnd.wav
Sound\StopAlert.wav
Sound\Buzzer1.wav
Sound\Buzzer2.wav
Sound\DepSign.wav
#
; ---- 運転台パネル ----
[Clock]
445
300
20
[Panel]
Image\Panel.bmp
0
240
[Panel2]
Image\Panel2.bmp
0
240
[Lamp_Door]
Image\LampDoor.bmp
20
252
[Lamp_Power]
Image\LampPower.bmp
50
252
[Lamp_EB]
Image\LampEB.bmp
80
252
[Lamp_Ats]
Image\LampAts.bmp
110
252
[Lamp_Fwd]
Image\LampFwd.bmp
140
252
[Lamp_Back]
Image\LampBack.bmp
170
252
[Needle_Speed]
Image\Needle.bmp
190
310
100
100
-135
2.25
[Needle_BC]
Image\Needle.bmp
30
310
100
100
-135
0.45
[Needle_MR]
Image\Needle.bmp
330
310
100
100
-135
0.27
[NotchImageP]
380
260
Image\P0.bmp
Image\P1.bmp
Image\P2.bmp
Image\P3.bmp
Image\P4.bmp
#
[NotchImageB]
380
290
)";
    for (int i = 0; i <= 8; ++i) t += "Image\\B" + std::to_string(i) + ".bmp\n";
    t += "#\n[Others]\n#\n";
    return t;
}

std::string route_text() {
    std::string t = R"(; Vantrel デモ路線
[LineName]
デモ線 中央～山手
[StartPos]
100
[FrameRate]
30
[Staf]
Image\Staf.bmp
Image\Still.bmp
[StartTime]
1080000
[Speed_YY]
25
[Speed_Y]
45
[Speed_YG]
65
[Speed_G]
110
[DataName]
demo
[Pre_Time]
150
[OneMan]
0
[SoundData]
Sound\Melody.wav
Sound\Crossing.wav
Sound\Joint.wav
Sound\Announce1.wav
Sound\Announce2.wav
Sound\Announce3.wav
Sound\Announce4.wav
#
[Announce]
3,900
4,5150
5,5900
6,10150
#
[KankoSound1]
)";
    const char* kanko1[] = {"Teishi", "Keikai", "Chui", "Gensoku", "Shinko", "Keikai2", "Sec30", "Sec45",
                            "Sec60", "Sec75", "Sec90", "Sec105", "Sec120", "Okure", "Dummy14", "Hayai",
                            "Dummy16", "Teikoku"};
    for (const char* k : kanko1) t += std::string("Sound\\Kanko\\") + k + ".wav\n";
    t += "[KankoSound2]\n";
    for (int i = 0; i < 6; ++i) t += "Sound\\Kanko\\Phrase" + std::to_string(i) + ".wav\n";
    t += R"(#
[Sound]
; 音, 開始, 終了, 基準速度, 方式
1,1200,1400,60,2
2,2000,2010,60,0
#
[Doppler]
1,3000,3150,3300
#
[Tunnel]
6500
6900
#
[Station]
中央,0,50,150,0,1080450,1080750
川辺,0,5150,5250,0,1086300,1086600
緑ヶ丘,1,7700,7750,0,0,0
山手,0,10150,10250,0,1092600,1092900
#
[StopSound]
4850
9850
#
[Signal]
0,第1出発,1,3,0,300,250,300,0,0
0,第2閉そく,2,3,300,2600,2400,2600,0,0
0,場内,3,5,2600,5000,4800,5000,0,0
0,出発,4,3,5000,5400,5350,5400,0,0
0,第3閉そく,5,4,5400,8000,7800,8000,0,0
0,場内,999,3,8000,10000,9800,10000,0,0
#
[Slope]
5.0,600,2000
-3.5,2000,3500
0,3500,4000
10,6000,7000
-10,7000,8500
#
[Sign]
3,1500,1700
3,7300,7500
#
[SignalKanko]
1,0,18
2,1,19
#
[StationKanko]
1,0,20
1,1,21
#
[SpeedLimit]
45,1,0,4700,5300
60,2,0,8200,9000
#
[SpeedCheck]
50,4900
#
[SignImageList]
Image\SlopeUp.bmp
Image\SlopeDown.bmp
#
[OtherImageList]
Image\TimeCheck.bmp
Sound\Kanko\TimeCheck.wav
Image\Limit45.bmp
Sound\Kanko\Limit45.wav
Image\Limit60.bmp
Sound\Kanko\Limit60.wav
Image\Horn.bmp
Sound\Kanko\Horn.wav
#
[SignalImageList]
)";
    for (int i = 0; i <= 21; ++i) t += "Image\\Signal\\S" + std::to_string(i) + ".bmp\n";
    t += R"(#
[SpeedUnit]
0,400,5,40
400,4600,40,75
4600,5200,75,5
5200,5600,5,40
5600,9600,40,70
9600,10200,70,5
10200,10500,5,5
#
[Time]
0,4900,5100,1086000
1,9900,10100,1092300
#
)";
    return t;
}

std::string string_text() {
    return R"([Path]
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
 停車
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

std::string demo_script() {
    return R"(# The demo run: start, release the brake, wait for the doors to close, power up,
# coast, sound the horn now and then (the vigilance device wants a driver action
# every minute), and brake to a stop at the next station, whose doors then open.
1000 start
2000 key 5
28000 key z
28300 key z
28600 key z
28900 key z
60000 key a
60100 key a
60200 key a
60300 key a
90000 key 3
120000 key 3
153000 key a
153100 key a
153200 key a
153300 key a
)";
}

}  // namespace vantrel::demo
