#pragma once
// The still pictures of the demo pack, drawn with QPainter: cab panels, needles,
// lamps, notch and gear pictures, signal aspects, lineside signs, timetable cards.
#include <filesystem>
#include <string>

#include <QFont>
#include <QImage>

#include "demo_data/pack_routes.hpp"
#include "demo_data/pack_trains.hpp"

namespace vantrel::demo {

// Saves as a 24-bit Windows bitmap; false when it cannot be written.
bool save_bmp(const QImage& image, const std::filesystem::path& file);
bool save_jpg(const QImage& image, const std::filesystem::path& file);
QFont pack_font(int pixels, bool bold = false);

// Every cab picture a train file names. Returns the panel picture for the contact sheet.
QImage write_cab_pictures(const TrainSpec& t, const std::filesystem::path& dir, std::string& failed);
// Signal aspects, gradient signs, limit boards, the whistle sign, time-check prompt, cards.
void write_line_pictures(const PackRequests& req, const std::filesystem::path& dir, std::string& failed);

}  // namespace vantrel::demo
