#pragma once
// Draws the view from the cab of a line's scene description in perspective: sky and
// hills, ground, ballast, sleepers and rails, catenary, platforms, buildings, trees,
// crossings, bridges, tunnels, signals and oncoming trains, far to near, with fog,
// vignette and grain. One renderer can draw frames from several threads at once.
#include <QImage>
#include <memory>
#include <vector>

#include "demo_data/pack_scene.hpp"

namespace vantrel::demo {

class FilmRenderer {
public:
    FilmRenderer(const LineScene& line, const Film& film, int width, int height);
    ~FilmRenderer();
    FilmRenderer(const FilmRenderer&) = delete;
    FilmRenderer& operator=(const FilmRenderer&) = delete;

    // Draws the view at a film frame into `target` (width x height, RGB32).
    void render(QImage& target, int32_t frame) const;
    // Draws the view at a position and time (seconds) without film effects' frame index.
    void render_at(QImage& target, double position_m, double time_s, uint32_t grain_seed) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantrel::demo
