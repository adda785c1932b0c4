#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "cab/header_picture_loader.hpp"
#include "cab/string_reader.hpp"
#include "controllers/mascon_reader.hpp"
#include "dynamics/train_reader.hpp"
#include "route/route_reader.hpp"
#include "test_support.hpp"

using namespace vantrel;

// Editors that save UTF-8 put a byte-order mark before the first key. Every kind of data
// file keeps that key, and the Japanese after it reads as UTF-8.
TEST(ByteOrderMark, EveryKindOfDataFileKeepsItsFirstKey) {
    test::TempDir dir;
    const PathResolver resolver(dir.path());
    HeaderPictureLoader pictures;
    const PictureRef stop_line{"image\\stop.bmp", "stop.bmp", 50, 50};
    const std::string run_values = "[Tons]\n100\n[Cars]\n4\n[PowerDelay]\n1\n[BrakeDelay]\n1\n[SAPDelay]\n1\n";
    const struct {
        const char* file;
        std::string text;
        std::function<std::string()> first_value;
        std::string expected;
    } cases[] = {
        {"line_bom.dat", "[LineName]\n東都急行線\n[StartPos]\n100\n",
         [&] {
             const auto r = read_route_file("line_bom.dat", resolver, pictures, stop_line);
             return r ? r.value().line_name : r.error().message;
         },
         "東都急行線"},
        {"train_bom.dat", "[Handle]\n1\n" + run_values,
         [&] {
             const auto r = read_train_file("train_bom.dat", resolver, pictures);
             return r ? std::to_string(r.value().handle_type) : r.error().message;
         },
         "1"},
        {"vantrel.dat", "[Path]\n映像\\\n",
         [&] {
             const auto r = read_string_file("vantrel.dat", resolver);
             return r ? r.value().path : r.error().message;
         },
         "映像\\"},
        {"mascon.dat", "VP01E\nVP02E\n#\n",
         [&] {
             const auto r = read_mascon_file("mascon.dat", resolver);
             return r ? r.value().codes[0] + "/" + std::to_string(r.value().count) : r.error().message;
         },
         "VP01E/2"},
    };
    for (const auto& c : cases) {
        std::string crlf;
        for (char ch : c.text) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
        test::write_bytes(dir / c.file, "\xEF\xBB\xBF" + crlf);
        EXPECT_EQ(c.first_value(), c.expected) << c.file;
        const auto text = read_data_file_text(dir / c.file);
        ASSERT_TRUE(text);
        EXPECT_TRUE(text->utf8_bom) << c.file;
    }
}
