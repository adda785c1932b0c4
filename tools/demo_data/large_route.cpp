#include "demo_data/large_route.hpp"

#include "demo_data/demo_data.hpp"
#include "demo_data/media_writers.hpp"

namespace vantrel::demo {

std::string write_large_route(const std::filesystem::path& dir, int minutes) {
    if (std::string failed = write_demo_data(dir); !failed.empty()) return failed;
    constexpr int kStations = 100;
    constexpr int kSignals = 500;
    constexpr int kSegment = 2000;  // frames per filming-speed segment, filmed at 80 km/h
    constexpr int kSpacing = kLargeVideoFrames / kSignals;  // 400 frames between signals
    std::string t = "[LineName]\n長距離試験線\n[StartPos]\n0\n[FrameRate]\n30\n[Staf]\nImage\\Staf.bmp\n"
                    "Image\\Still.bmp\n[StartTime]\n1080000\n[Speed_YY]\n25\n[Speed_Y]\n45\n[Speed_YG]\n65\n"
                    "[Speed_G]\n110\n[DataName]\nlarge\n[Pre_Time]\n0\n[OneMan]\n0\n"
                    "[SoundData]\nSound\\Melody.wav\nSound\\Crossing.wav\n#\n[Announce]\n#\n[KankoSound1]\n";
    for (int i = 0; i < 18; ++i) t += "Sound\\Kanko\\Teishi.wav\n";
    t += "[KankoSound2]\n#\n[Sound]\n#\n[Doppler]\n#\n[Tunnel]\n#\n[Station]\n";
    for (int i = 0; i < kStations; ++i) {
        const int start = i * (kLargeVideoFrames / kStations);
        const int time = 1080000 + 600 + i * 2700;
        t += "駅" + std::to_string(i) + ",0," + std::to_string(start) + "," + std::to_string(start + 100) + ",0," +
             std::to_string(time) + "," + std::to_string(time + 300) + "\n";
    }
    t += "#\n[StopSound]\n#\n[Signal]\n";
    // 450 signals inside segments give a mark each; every tenth stands on a segment
    // boundary and gives none, leaving room for 50 speed-limit marks.
    for (int i = 0; i < kSignals; ++i) {
        const int frame = (i % 10 == 9) ? (i / 5 + 1) * kSegment : i * kSpacing + kSpacing / 2;
        t += "0,信号" + std::to_string(i) + ",0,3," + std::to_string(frame - kSpacing / 2) + "," +
             std::to_string(frame) + "," + std::to_string(frame - 20) + "," + std::to_string(frame) + ",0,0\n";
    }
    t += "#\n[Slope]\n";
    for (int i = 0; i < 100; ++i)
        t += std::to_string(i % 2 ? -5 : 5) + "," + std::to_string(i * 2000) + "," + std::to_string(i * 2000 + 1500) + "\n";
    t += "#\n[Sign]\n#\n[SignalKanko]\n#\n[StationKanko]\n#\n[SpeedLimit]\n";
    for (int i = 0; i < 50; ++i) {
        const int frame = i * 4000 + 1000;
        t += "100,1,0," + std::to_string(frame) + "," + std::to_string(frame + 500) + "\n";
    }
    t += "#\n[SpeedCheck]\n#\n[SignImageList]\nImage\\SlopeUp.bmp\nImage\\SlopeDown.bmp\n#\n"
         "[OtherImageList]\nImage\\TimeCheck.bmp\nSound\\Kanko\\TimeCheck.wav\nImage\\Limit45.bmp\n"
         "Sound\\Kanko\\Limit45.wav\n#\n[SignalImageList]\n";
    for (int i = 0; i <= 21; ++i) t += "Image\\Signal\\S" + std::to_string(i) + ".bmp\n";
    t += "#\n[SpeedUnit]\n";
    for (int s = 0; s < kLargeVideoFrames; s += kSegment)
        t += std::to_string(s) + "," + std::to_string(s + kSegment) + ",80,80\n";
    t += "#\n[Time]\n#\n";
    if (!write_cp932_text(dir / kLargeRouteFile, t)) return kLargeRouteFile;

    // Release, then full power after the doors close, and a key every 30 s for the
    // vigilance device.
    std::string script = "0 start\n100 key 5\n";
    for (int s = 30; s < minutes * 60; s += 30) script += std::to_string(s * 1000) + " key z\n";
    if (!write_cp932_text(dir / kLargeScriptFile, script)) return kLargeScriptFile;
    return {};
}

}  // namespace vantrel::demo
