#include "demo_data/pack_routes.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vantrel::demo {
namespace {

std::string hms(int32_t ticks) {
    char b[16];
    const int s = ticks / 30;
    std::snprintf(b, sizeof b, "%d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    return b;
}

std::string csv(std::initializer_list<long long> v) {
    std::string s;
    for (long long x : v) s += (s.empty() ? "" : ",") + std::to_string(x);
    return s;
}

// Route sound list shared by all routes of a line; the index of each entry.
struct LineSounds {
    std::vector<std::string> files;
    int crossing = 0, bridge = 0, tunnel = 0, passing = 0;
};

std::string voice_file(const std::string& id) { return "Sound\\Voice\\" + id + ".wav"; }

}  // namespace

std::vector<RouteVariant> route_variants(bool small) {
    if (small)
        return {{"line_exp.dat", "急行", "staf_exp.bmp", 0, {0, 1, 0}, false},
                {"line_rapid.dat", "快速", "staf_rapid.bmp", 0, {0, 0, 0}, false},
                {"line_local.dat", "普通", "staf_local.bmp", 0, {0, 0, 0}, true},
                {"line_local2.dat", "普通", "staf_local2.bmp", 1, {0, 0, 0}, false}};
    return {{"line_exp.dat", "急行", "staf_exp.bmp", 0, {0, 1, 0, 1, 0}, false},
            {"line_rapid.dat", "快速", "staf_rapid.bmp", 0, {0, 0, 0, 1, 0}, false},
            {"line_local.dat", "普通", "staf_local.bmp", 0, {0, 0, 0, 0, 0}, true},
            {"line_local2.dat", "普通", "staf_local2.bmp", 1, {0, 0, 0, 0}, false}};
}

PlatformFrames platform_frames(const LinePlan& plan, const PackStation& s) {
    return {plan.film.frame_at(s.stop_m - 15), plan.film.frame_at(s.stop_m + 15)};
}

std::vector<StopTimes> timetable(const LinePlan& plan, const RouteVariant& v) {
    const auto& st = plan.scene.stations;
    std::vector<StopTimes> out(st.size());
    int32_t t = kStartTime;
    int32_t last_frame = plan.film.frame_at(st[0].stop_m);
    for (size_t i = 0; i < st.size(); ++i) {
        const int32_t f = plan.film.frame_at(st[i].stop_m);
        if (i > 0) {
            // The film never stands; a driver starting and stopping needs a little more.
            const int32_t run = (f - last_frame) * (v.line == 1 ? 135 : 125) / 100 + (v.types[i - 1] == 1 ? 0 : 450);
            t += (run + 149) / 150 * 150;  // whole 5 s
        }
        StopTimes& s = out[i];
        s.arrive = t;
        if (v.types[i] == 1) {
            s.depart = t;
        } else {
            s.dep_sound = t + (i == 0 ? 600 : 450);
            s.door_close = s.dep_sound + 300;
            s.depart = s.door_close + 150;
            t = s.depart;
        }
        last_frame = f;
    }
    return out;
}

std::string route_text(const LinePlan& plan, const RouteVariant& v, PackRequests& req) {
    const LineScene& L = plan.scene;
    const Film& film = plan.film;
    const auto& st = L.stations;
    const auto times = timetable(plan, v);
    auto F = [&](double m) { return film.frame_at(m); };
    const std::string line_id = v.line == 0 ? "l1" : "l2";
    std::string t;
    auto put = [&](const std::string& s) { t += s + "\n"; };

    put("; " + L.name + " " + v.kind + " " + st.front().name + "～" + st.back().name);
    put("; Vantrel デモデータ (vantrel-demo-data が生成)");
    put("[LineName]");
    put(L.name + " " + v.kind + " " + st.front().name + "～" + st.back().name);
    put("[StartPos]");
    const PlatformFrames p0 = platform_frames(plan, st[0]);
    put(std::to_string((p0.start + p0.end) / 2));
    put("[FrameRate]");
    put("30");
    put("[Staf]");
    put("Image\\Line\\" + v.card);
    put("Image\\Line\\still_" + line_id + ".bmp");
    put("[StartTime]");
    put(std::to_string(kStartTime));
    put("[Speed_YY]");
    put("25");
    put("[Speed_Y]");
    put("45");
    put("[Speed_YG]");
    put("65");
    put("[Speed_G]");
    put(v.line == 0 ? "110" : "95");
    put("[DataName]");
    put(L.data_name);
    put("[Pre_Time]");
    put("150");
    put("[OneMan]");
    put(v.one_man ? "1" : "0");

    // Route sounds: a departure melody per station, lineside sounds, announcements.
    LineSounds ls;
    for (size_t i = 0; i < st.size(); ++i)
        ls.files.push_back("Sound\\Line\\" + (v.line == 0 ? "melody" + std::to_string(i % 5) : std::string("depbell")) + ".wav");
    ls.crossing = static_cast<int>(ls.files.size());
    ls.files.push_back("Sound\\Line\\crossing.wav");
    ls.bridge = static_cast<int>(ls.files.size());
    ls.files.push_back("Sound\\Line\\bridge.wav");
    ls.tunnel = static_cast<int>(ls.files.size());
    ls.files.push_back("Sound\\Line\\tunnel.wav");
    ls.passing = static_cast<int>(ls.files.size());
    ls.files.push_back("Sound\\Line\\passing.wav");
    struct Ann {
        int sound;
        int32_t frame;
    };
    std::vector<Ann> anns;
    for (size_t i = 0; i + 1 < st.size(); ++i) {
        if (v.types[i] == 1) continue;
        size_t next = i + 1;
        while (next < st.size() && v.types[next] == 1) ++next;
        if (next >= st.size()) break;
        const bool last = next + 1 == st.size();
        const std::string rid = v.file.substr(5, v.file.size() - 9);  // "line_exp.dat" -> "exp": ASCII file names
        const std::string a = line_id + "_" + rid + "_next" + std::to_string(next);
        const std::string b = line_id + "_" + rid + "_soon" + std::to_string(next);
        req.voices["Announce\\" + a] = "ごじょうしゃ ありがとうございます。" + std::string(last ? "つぎは しゅうてん、" : "つぎは、") +
                                       st[next].kana + "、" + st[next].kana + "です。";
        req.voices["Announce\\" + b] = "まもなく、" + st[next].kana + "です。おでぐちは ひだりがわです。";
        anns.push_back({static_cast<int>(ls.files.size()), F(st[i].stop_m + 150)});
        ls.files.push_back(voice_file("Announce\\" + a));
        anns.push_back({static_cast<int>(ls.files.size()), F(st[next].stop_m - 450)});
        ls.files.push_back(voice_file("Announce\\" + b));
    }
    put("[SoundData]");
    for (const auto& f : ls.files) put(f);
    put("#");
    put("[Announce]");
    for (const Ann& a : anns) put(csv({a.sound, a.frame}));
    put("#");

    // Commentary phrases: slots 0..17, then phrase numbers from 0 (slot 18 + k).
    const char* fixed[18][2] = {{"k00", "ていし"},       {"k01", "けいかい"},     {"k02", "ちゅうい"},
                                {"k03", "げんそく"},     {"k04", "しんこう"},     {"k05", "じょこう"},
                                {"k06", "さんじゅうびょう"}, {"k07", "よんじゅうごびょう"}, {"k08", "いっぷん"},
                                {"k09", "いっぷんじゅうごびょう"}, {"k10", "いっぷんさんじゅうびょう"},
                                {"k11", "いっぷんよんじゅうごびょう"}, {"k12", "にふん"}, {"k13", "おくれ"},
                                {"k14", "かくにん"},     {"k15", "はやい"},       {"k16", "よし"},
                                {"k17", "ていじです"}};
    put("[KankoSound1]");
    for (const auto& f : fixed) {
        req.voices[std::string("Kanko\\") + f[0]] = f[1];
        put(voice_file(std::string("Kanko\\") + f[0]));
    }
    // Phrase numbers: 1.. signal names, 41.. line phrases, 49.. station names (slots 67..),
    // 83 departure opening (slot 101), 102 doors closed (slot 120), 103 linking (slot 121).
    std::vector<std::string> k2(104, "Kanko\\blank");
    req.voices["Kanko\\blank"] = "";
    for (size_t i = 0; i < L.signal_posts.size() && i < 40; ++i) {
        const std::string id = "Kanko\\" + line_id + "_sig" + std::to_string(i);
        req.voices[id] = L.signal_posts[i].kana + " しんごうき";
        k2[1 + i] = id;
    }
    const std::string bridge_id = "Kanko\\" + line_id + "_bridge", tunnel_id = "Kanko\\" + line_id + "_tunnel",
                      cross_id = "Kanko\\" + line_id + "_crossing", curve_id = "Kanko\\" + line_id + "_curve";
    req.voices[bridge_id] = "てっきょうを わたります";
    req.voices[tunnel_id] = "とんねるに はいります。ぜんぽう ちゅうい";
    req.voices[cross_id] = "ふみきり ちゅうい";
    req.voices[curve_id] = "このさき きゅうかーぶ";
    k2[41] = bridge_id;
    k2[42] = tunnel_id;
    k2[43] = cross_id;
    k2[44] = curve_id;
    for (size_t i = 0; i < st.size(); ++i) {
        const std::string id = "Kanko\\" + line_id + "_sta" + std::to_string(i);
        req.voices[id] = st[i].kana;
        k2[49 + i] = id;
    }
    req.voices["Kanko\\k101"] = "しゅっぱつ しんこう";
    req.voices["Kanko\\k120"] = "とじめ よし";
    req.voices["Kanko\\k121"] = "つぎは";
    k2[83] = "Kanko\\k101";
    k2[102] = "Kanko\\k120";
    k2[103] = "Kanko\\k121";
    put("[KankoSound2]");
    for (const auto& id : k2) put(voice_file(id));
    put("#");

    put("[Sound]");
    put("; 音, 開始, 終了, 基準速度, 方式 (0 一回, 1 連続・速度追従, 2 連続・固定)");
    if (L.double_track)
        for (double c : L.crossings) put(csv({ls.crossing, F(c - 160), F(c + 25), 60, 2}));
    for (const Span& b : L.bridges) put(csv({ls.bridge, F(b.from_m), F(b.to_m), 60, 1}));
    for (const Span& tn : L.tunnels) put(csv({ls.tunnel, F(tn.from_m), F(tn.to_m), 60, 1}));
    put("#");
    put("[Doppler]");
    if (L.double_track) {
        for (const Oncoming& o : L.oncoming) {
            // The oncoming train closes at the sum of both speeds; heard from 250 m.
            const int32_t c = F(o.meet_m);
            const double v = film.speed_at(c) + o.speed_kmh;
            const auto reach = static_cast<int32_t>(250 / (v / 3.6) * 30);
            put(csv({ls.passing, std::max(0, c - reach), c, c + reach}));
        }
    } else {
        for (double c : L.crossings) put(csv({ls.crossing, F(c - 200), F(c), F(c + 120)}));
    }
    put("#");
    put("[Tunnel]");
    for (const Span& tn : L.tunnels) {
        put(std::to_string(F(tn.from_m)));
        put(std::to_string(F(tn.to_m)));
    }
    put("#");

    put("[Station]  ; 駅名, 種別, ホーム始端, 終端, 発車音, 発車音時刻, 戸閉時刻");
    for (size_t i = 0; i < st.size(); ++i) {
        const PlatformFrames p = platform_frames(plan, st[i]);
        const StopTimes& tt = times[i];
        t += st[i].name + "," + csv({v.types[i], p.start, p.end, static_cast<long long>(i), tt.dep_sound, tt.door_close}) + "\n";
    }
    put("#");
    put("[StopSound]");
    for (size_t i = 1; i < st.size(); ++i)
        if (v.types[i] != 1) put(std::to_string(F(st[i].stop_m - 320)));
    put("#");

    put("[Signal]  ; 種別, 名称, 解説番号, 型, 区間始, 区間終, 警報点, 信号位置, 固定現示, 固定時刻");
    int32_t section = 0;
    for (size_t i = 0; i < L.signal_posts.size(); ++i) {
        const PackSignal& s = L.signal_posts[i];
        const int32_t at = F(s.at_m);
        const int32_t end = at + 30;
        const int32_t warn = std::max(section + 1, F(s.at_m - 180));
        const int kind = s.role == SignalRole::Fixed ? 2 : 0;
        const int type = s.role == SignalRole::Fixed ? 3 : s.type;
        t += std::to_string(kind) + "," + s.name + "," +
             csv({i < 40 ? static_cast<long long>(i + 1) : 999, type, section, end, warn, at, kind == 2 ? 4 : 0, 0}) + "\n";
        section = end;
    }
    put("#");
    put("[Slope]");
    for (const GradeSpan& g : L.grades) {
        char b[32];
        std::snprintf(b, sizeof b, "%.1f", g.permille);
        put(std::string(b) + "," + csv({F(g.from_m), F(g.to_m)}));
    }
    put("#");

    // Other pictures: 0 time check, then one board per limit, then the whistle sign.
    std::vector<int> limits;
    for (const CurveSpan& c : L.curves)
        if (c.limit > 0 && std::find(limits.begin(), limits.end(), c.limit) == limits.end()) limits.push_back(c.limit);
    const int whistle = 1 + static_cast<int>(limits.size());
    auto limit_index = [&](int lim) {
        return 1 + static_cast<int>(std::find(limits.begin(), limits.end(), lim) - limits.begin());
    };
    put("[Sign]");
    for (double c : L.crossings) put(csv({whistle, F(c - 250), F(c - 60)}));
    for (const Span& tn : L.tunnels) put(csv({whistle, F(tn.from_m - 250), F(tn.from_m - 60)}));
    put("#");
    put("[SignalKanko]");
    for (size_t i = 0; i < L.signal_posts.size() && i < 40; ++i) {
        const double m = L.signal_posts[i].at_m;
        auto ahead = [&](double x) { return x > m && x < m + 700; };
        if (std::any_of(L.bridges.begin(), L.bridges.end(), [&](const Span& b) { return ahead(b.from_m); }))
            put(csv({static_cast<long long>(i), 0, 18 + 41}));
        if (std::any_of(L.tunnels.begin(), L.tunnels.end(), [&](const Span& b) { return ahead(b.from_m); }))
            put(csv({static_cast<long long>(i), 2, 18 + 42}));
        if (std::any_of(L.crossings.begin(), L.crossings.end(), [&](double c) { return ahead(c); }))
            put(csv({static_cast<long long>(i), 0, 18 + 43}));
    }
    put("#");
    put("[StationKanko]");
    for (size_t i = 0; i < st.size(); ++i) {
        if (v.types[i] == 1) continue;
        if (i > 0) put(csv({static_cast<long long>(i), 0, times[i].arrive}));
        size_t next = i + 1;
        while (next < st.size() && v.types[next] == 1) ++next;
        if (next < st.size()) {
            put(csv({static_cast<long long>(i), 1, 18 + 49 + static_cast<long long>(next)}));
            put(csv({static_cast<long long>(i), 2, times[i].depart}));
        }
    }
    put("#");
    put("[SpeedLimit]  ; 制限, 標識, 予備, 標識位置, 解除位置");
    for (const CurveSpan& c : L.curves)
        if (c.limit > 0) {
            put(csv({c.limit, limit_index(c.limit), 0, F(c.from_m - 20), F(c.to_m)}));
            req.limits.insert(c.limit);
        }
    put("#");
    put("[SpeedCheck]");
    for (const CurveSpan& c : L.curves)
        if (c.limit > 0) put(csv({c.limit + 10, F(c.from_m + 10)}));
    put("#");
    put("[SignImageList]");
    put("Image\\Line\\slope_up.bmp");
    put("Image\\Line\\slope_down.bmp");
    put("#");
    put("[OtherImageList]");
    put("Image\\Line\\timecheck.bmp");
    req.voices["Kanko\\timecheck"] = "じこく かくにん";
    put(voice_file("Kanko\\timecheck"));
    for (int lim : limits) {
        put("Image\\Line\\limit" + std::to_string(lim) + ".bmp");
        const std::string id = "Kanko\\limit" + std::to_string(lim);
        req.voices[id] = "せいげん " + std::to_string(lim);
        put(voice_file(id));
    }
    put("Image\\Line\\whistle.bmp");
    req.voices["Kanko\\whistle"] = "きてき ふめい";
    put(voice_file("Kanko\\whistle"));
    put("#");
    put("[SignalImageList]");
    for (int c = 0; c <= 21; ++c) put("Image\\Signal\\sig" + std::to_string(c) + ".bmp");
    put("#");
    put("[SpeedUnit]  ; 始端, 終端, 撮影速度(始), 撮影速度(終)");
    for (const SpeedSegment& s : film.segments) put(csv({s.start, s.end, s.v_start, s.v_end}));
    put("#");
    put("[Time]  ; 種別, 区間始, 区間終, 予定時刻");
    for (size_t i = 0; i + 1 < st.size(); ++i) {
        // Halfway between two stations, the time the careful driver passes there.
        const double mid = (st[i].stop_m + st[i + 1].stop_m) / 2;
        const int32_t at = times[i].depart + (times[i + 1].arrive - times[i].depart) / 2;
        put(csv({0, F(mid - 100), F(mid + 100), at}));
        if (v.types[i + 1] == 1) put(csv({1, F(st[i + 1].stop_m - 80), F(st[i + 1].stop_m + 80), times[i + 1].arrive}));
    }
    put("#");

    PackRequests::Card card{"Image\\Line\\" + v.card, L.name + " " + v.kind, {}};
    for (size_t i = 0; i < st.size(); ++i) {
        const std::string when = v.types[i] == 1 ? "レ " + hms(times[i].arrive)
                                 : i == 0        ? "発 " + hms(times[i].depart)
                                                 : "着 " + hms(times[i].arrive);
        card.rows.push_back({st[i].name, when});
        if (i > 0 && i + 1 < st.size() && v.types[i] != 1) card.rows.push_back({"", "発 " + hms(times[i].depart)});
    }
    req.cards.push_back(card);
    return t;
}

}  // namespace vantrel::demo
