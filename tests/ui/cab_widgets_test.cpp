// The panel's picture controls: the turned needle, colour-keyed lamps, the clock.
#include <QPainter>

#include "app/run.hpp"
#include "cab/instruments.hpp"
#include "ui/cab_widgets.hpp"
#include "ui_fixture.hpp"

namespace vantrel::test {
namespace {

// A 21 x 21 needle: white ground (the key colour, lower-left), a black line from the
// centre straight up.
QImage needle_bitmap() {
    QImage img(21, 21, QImage::Format_ARGB32);
    img.fill(Qt::white);
    for (int y = 1; y <= 10; ++y) img.setPixel(10, y, qRgb(0, 0, 0));
    return img;
}

bool painted(const QImage& img, int x, int y) { return qAlpha(img.pixel(x, y)) != 0; }

TEST(RotateImage, TurnsClockwiseAboutTheCentreAndKeysOutTheGround) {
    qt_app();
    QWidget parent;
    RotateImage needle(&parent, needle_bitmap());
    needle.setGeometry(0, 0, 21, 21);
    needle.set_angle(0);
    EXPECT_TRUE(painted(needle.rendered(), 10, 3));    // up
    EXPECT_FALSE(painted(needle.rendered(), 17, 10));  // right: ground, not painted
    EXPECT_FALSE(painted(needle.rendered(), 3, 3));
    needle.set_angle(90);
    EXPECT_TRUE(painted(needle.rendered(), 17, 10));  // clockwise: now points right
    EXPECT_FALSE(painted(needle.rendered(), 10, 3));
    needle.set_angle(180);
    EXPECT_TRUE(painted(needle.rendered(), 10, 17));
    // Angles are reduced into tenths 0 .. 3599.
    const std::vector<std::pair<int, int>> cases{{370, 100}, {-10, 3500}, {720, 0}, {-370, 3500}, {359, 3590}};
    for (const auto& [degrees, tenths] : cases) {
        needle.set_angle(degrees);
        EXPECT_EQ(needle.angle_tenths(), tenths) << degrees;
    }
}

TEST(PictureWidget, TransparentLampLeavesThePanelVisibleAroundIt) {
    qt_app();
    QWidget parent;
    parent.resize(40, 40);
    QImage panel(40, 40, QImage::Format_ARGB32);
    panel.fill(QColor(0, 0, 255));
    auto* back = new PictureWidget(&parent);
    back->set_image(panel, false);
    // The lamp: green ground (lower-left), a red square in its middle.
    QImage lamp(20, 20, QImage::Format_ARGB32);
    lamp.fill(QColor(0, 255, 0));
    QPainter(&lamp).fillRect(5, 5, 10, 10, QColor(255, 0, 0));
    auto* keyed = new PictureWidget(&parent);
    keyed->set_image(lamp, true);
    keyed->move(0, 0);
    auto* opaque = new PictureWidget(&parent);
    opaque->set_image(lamp, false);
    opaque->move(20, 20);
    const QImage shot = parent.grab().toImage();
    EXPECT_EQ(shot.pixelColor(1, 1), QColor(0, 0, 255));    // panel through the keyed ground
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(255, 0, 0));  // the lamp itself
    EXPECT_EQ(shot.pixelColor(21, 21), QColor(0, 255, 0));  // an opaque lamp paints its ground
    EXPECT_EQ(shot.pixelColor(30, 30), QColor(255, 0, 0));
}

TEST(NeedleAngles, FollowTheirValuesWithinTheInstrumentRanges) {
    auto owner = std::make_unique<vantrel::Run>();
    vantrel::Run& run = *owner;
    PanelDef& p = run.train.panel;
    p.needle_speed.scale = 1.5L;
    p.needle_speed.zero_angle = -120;
    p.needle_er.scale = 0.25L;
    p.needle_er.zero_angle = 10;
    p.needle_bp = p.needle_er;
    p.needle_i.scale = 0.1L;
    run.core.Speed = 100 * 10000;
    run.core.ErPressure = 490 * 10000 + 2000;  // 490.2 kPa x 0.25 + 10 = 132.55 -> 133
    run.traction.shown_current = 1499;
    needles_step(run);
    EXPECT_EQ(run.view.Needle_Speed, 30);  // 100 x 1.5 - 120
    EXPECT_EQ(run.view.Needle_ER, 133);
    EXPECT_EQ(run.view.Needle_BP, run.view.Needle_ER);  // the BP needle shows ER
    EXPECT_EQ(run.view.Needle_I, 150);                  // 1499 x 0.1 = 149.9
    // At 160 km/h and above, and backwards below 1 km/h, the speed needle stays.
    for (int64_t speed : {160 * 10000LL, 200 * 10000LL, -5000LL}) {
        run.core.Speed = speed;
        needles_step(run);
        EXPECT_EQ(run.view.Needle_Speed, 30) << speed;
    }
    run.core.Speed = -20000;  // 2 km/h backwards moves it
    needles_step(run);
    EXPECT_EQ(run.view.Needle_Speed, -117);
    run.traction.shown_current = -1500;  // beyond the ammeter's range: stays
    needles_step(run);
    EXPECT_EQ(run.view.Needle_I, 150);
}

}  // namespace
}  // namespace vantrel::test
