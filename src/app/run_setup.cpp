#include "app/run_setup.hpp"

#include "app/run.hpp"
#include "cab/string_reader.hpp"
#include "dynamics/handles.hpp"
#include "dynamics/train_reader.hpp"
#include "dynamics/train_setup.hpp"
#include "route/route_reader.hpp"
#include "route/route_start.hpp"
#include "sound/sound_loader.hpp"

namespace vantrel {

std::optional<DataError> load_run(Run& run, const RunFiles& files, const PathResolver& resolver,
                                  PictureLoader& pictures, const ProgressFn& progress) {
    auto status = [&](std::string_view text) {
        if (progress) progress(text);
    };
    status("設定ファイルを読み込んでいます");
    auto train = read_train_file(files.train, resolver, pictures);
    if (!train) return train.error();
    run.train = std::move(train.value());
    run.train_file = files.train;

    if (!files.route.empty()) {
        auto route = read_route_file(files.route, resolver, pictures, run.train.stop_line);
        if (!route) return route.error();
        run.route = std::move(route.value());
        run.has_route = true;
    }
    if (!files.strings.empty()) {
        auto strings = read_string_file(files.strings, resolver);
        if (!strings) return strings.error();
        run.strings = std::move(strings.value());
    }

    status("運転台を描画しています");
    // The panel: the first five "[Others]" pictures are shown at once, the rest from the first tick.
    run.view.Others.assign(run.train.panel.others.size(), false);
    for (size_t i = 0; i < run.view.Others.size() && i < 5; ++i) run.view.Others[i] = true;

    if (run.has_route) {
        const std::string video = run.strings.path + run.route.data_name + ".avi";
        run.frames().open(resolver.resolve_or_literal(video));
    }
    run.video.length = run.frames().length();

    status("DirectSoundオブジェクトを作成しています");
    status("サウンドを読み込んでいます");
    if (auto message = load_sounds(run, resolver)) return DataError{*message, files.train, 0};

    status("環境をセットアップしています");
    if (auto brake_message = init_train_state(run)) return DataError{*brake_message, files.train, 0};
    if (run.has_route) {
        apply_route_start(run);
    } else {
        run.core.TractionCut = false;
        run.stations.door_command = false;
        run.view.Lamp_Door = true;
    }
    run.view.Label1 = run.strings.forward;
    run.view.CarsLabel = std::to_string(run.train.cars) + "両";
    masconupdate(run);
    run.waiting_for_start = true;
    run.running = false;
    return std::nullopt;
}

}  // namespace vantrel
