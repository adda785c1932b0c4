#include "check/hints.hpp"

#include <array>
#include <utility>

namespace vantrel::check {
namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 74> kHints{{
    {"file.empty", "the file holds nothing: write it again"},
    {"file.line_ends", "save the file with CR LF (or LF) line ends: every other line reads as empty"},
    {"file.utf8", "save the file in Shift-JIS (CP932), or in UTF-8 with a byte-order mark: without the mark "
                  "the program reads it as CP932 and shows UTF-8 names garbled"},
    {"file.bom", "nothing to change: the mark makes the program read the file as UTF-8"},
    {"file.bom.not_utf8", "save the file in UTF-8, or drop the byte-order mark to have it read as Shift-JIS (CP932)"},
    {"strings.file.empty", "write the string file's [Path] to the films, and its texts"},
    {"set.no_pair", "give at least one train file and one route file that load (or name them with --pair)"},
    {"train.key.unknown", "spell the key as the program knows it: the lines under it are skipped"},
    {"route.key.unknown", "spell the key as the program knows it: the lines under it are skipped"},
    {"route.station.times", "let the doors close at or after the departure sound"},
    {"route.station.time_order", "give the stations' departure times in the order the train reaches them"},
    {"route.kanko.index", "name a station or signal of this route (counted from 0)"},
    {"route.slope.order", "list the slopes in the order of their start frames"},
    {"route.speedlimit.order", "list the speed limits in the order of their sign frames"},
    {"train.file.unreadable", "the title window or the data set names this train file, but it cannot be read"},
    {"train.number", "write a plain number on the line after the key (a decimal point only where the key takes one)"},
    {"train.list.unterminated", "close the list with a line that begins with #"},
    {"train.list.full", "the table is full: remove entries"},
    {"train.record", "give every field of the entry, separated by commas, as numbers"},
    {"train.notch.speed", "base and characteristic speeds must be above 0 km/h"},
    {"train.notch.diesel", "set [Engine_Type] 1 before [Notch], or drop [Notch] for a diesel train"},
    {"train.notch.count", "give one [Notch] entry per power notch, and put [Power] before [Notch]"},
    {"train.engine.speed", "the gear's low, middle and high speeds must differ"},
    {"train.engine.electric", "set [Engine_Type] 0 before [Engine], or drop [Engine] for an electric train"},
    {"train.tons", "[Tons] must be at least 1"},
    {"train.cars", "[Cars] must be between 1 and the program's limit"},
    {"train.delay", "[PowerDelay], [BrakeDelay] and [SAPDelay] must be at least 1"},
    {"train.brake.notches", "give [Brake] 3 or more when [BrakeType] is not 0"},
    {"train.picture.missing", "no file by this name: check the spelling and the folder"},
    {"train.picture.unreadable", "save the picture again as a Windows bitmap (BMP)"},
    {"train.imagelist.size",
     "make every picture of the list the same size: the list keeps only those after the last change"},
    {"route.file.unreadable", "the title window or the data set names this route file, but it cannot be read"},
    {"route.number", "write a whole number on the line after the key, within the key's range"},
    {"route.framerate", "[FrameRate] must be between 1 and 30"},
    {"route.list.unterminated", "close the list with a line that begins with #"},
    {"route.list.full", "the table is full: remove records"},
    {"route.record", "give every field of the record, separated by commas, as numbers within their ranges"},
    {"route.marks.full", "too many signals and speed limits fall inside the filmed-speed table"},
    {"route.picture.missing", "no file by this name: check the spelling and the folder"},
    {"route.picture.unreadable", "save the picture again as a Windows bitmap (BMP)"},
    {"route.speedunit.empty", "a record's end frame must lie after its start frame"},
    {"route.speedunit.short", "extend the filmed-speed table over the whole film: frames outside it have no distance"},
    {"route.speedunit.backwards", "records must follow one another: start each where the previous one ends"},
    {"route.speedunit.gap", "start each record where the previous one ends: the frames between have no distance"},
    {"route.frame.beyond_film", "the film is shorter: correct the frame, or the film's name under [DataName]"},
    {"route.station.order", "list the stations in the order of their platforms along the film"},
    {"route.station.platform", "the platform's end frame must not lie before its start frame"},
    {"route.station.stop_outside", "extend the filmed-speed table over the platform so its stop point has a distance"},
    {"route.signal.section", "let the signal's section run up to the signal itself"},
    {"route.signal.gap", "start each signal's section where the previous one ends"},
    {"route.imagelist.size", "make every picture of the list the same size"},
    {"route.picture.index", "name a picture that [OtherImageList] holds (counted from 0)"},
    {"route.sound.index", "name a sound that [SoundData] holds (counted from 0)"},
    {"strings.file.unreadable", "the data set needs its string file vantrel.dat"},
    {"mascon.file.unreadable", "make the controller file readable, or remove it"},
    {"mascon.codes.full", "the controller file holds 26 codes at most"},
    {"operation.unreadable", "the title window needs operation.dat"},
    {"title.picture.missing", "the title window shows one of image\\title\\01.jpg to 09.jpg at random: give all nine"},
    {"title.picture.unreadable", "save the title picture again as JPEG"},
    {"film.missing", "put the film where the string file's [Path] and the route's [DataName] say"},
    {"film.unreadable", "convert the film to a codec the program can decode (MJPEG or MPEG-4 in AVI)"},
    {"wave.missing", "the sound stays silent: check the name and the folder"},
    {"wave.unreadable", "save the sound again as PCM WAVE"},
    {"sound.channels.full", "the train's and the route's sounds need more than 256 channels: use fewer"},
    {"sound.channels.collide", "the train's running sounds and the route's sounds together must stay below 240"},
    {"name.case", "spell the name with the letter case it has on disk: other systems tell cases apart"},
    {"name.encoding",
     "the name is spelt on disk in another encoding (or case): rename the file as the data file writes it"},
    {"text.not_cp932", "this text is shown: write it in Shift-JIS (CP932)"},
    {"drive.incomplete", "the careful driver could not finish the route: see the message"},
    {"drive.stop.missed", "the stop point cannot be reached in time: check the platform frames and speed limits"},
    {"drive.stop.outside", "the stop point lies off the platform for this train: check the platform's frames"},
    {"drive.late", "the timetable cannot be kept by careful driving: give the run more time"},
    {"drive.emergency.ats", "the ATS stops a careful driver here: check the signal's warning frame and aspects"},
    {"drive.emergency.vigilance", "the vigilance device stops a careful driver here"},
}};

}  // namespace

std::string hint_for(std::string_view code) {
    for (const auto& [c, hint] : kHints)
        if (c == code) return std::string(hint);
    return {};
}

std::vector<std::string_view> known_codes() {
    std::vector<std::string_view> codes;
    for (const auto& [c, hint] : kHints) codes.push_back(c);
    return codes;
}

}  // namespace vantrel::check
