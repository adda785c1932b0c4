#include "ui/cab_screen.hpp"

#include <QPainter>

#include "app/run.hpp"
#include "platform/qt_picture_loader.hpp"

namespace vantrel {

namespace {

std::vector<QImage> list_images(const std::vector<PictureRef>& refs, const QtPictureLoader& pictures) {
    std::vector<QImage> out;
    out.reserve(refs.size());
    for (const PictureRef& r : refs) out.push_back(r.name.empty() ? QImage() : pictures.image(r.path));
    return out;
}

QImage picture_of(const PictureRef& ref, const QtPictureLoader& pictures) {
    return ref.name.empty() ? QImage() : pictures.image(ref.path);
}

// The `back` picture: a small return arrow on a light key.
QImage back_picture() {
    QImage img(20, 20, QImage::Format_ARGB32);
    img.fill(QColor(210, 210, 210));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.drawRect(0, 0, 19, 19);
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.drawLine(5, 10, 15, 10);
    p.drawLine(5, 10, 9, 6);
    p.drawLine(5, 10, 9, 14);
    return img;
}

void set_text(QLabel* label, const std::string& text, const std::string& before, bool first) {
    if (label && (first || text != before)) label->setText(QString::fromStdString(text));
}

void set_visible(QWidget* w, bool on, bool before, bool first) {
    if (w && (first || on != before)) w->setVisible(on);
}

void set_index(PictureListWidget* w, int index) {
    if (w) w->set_index(index);
}

// The stop-point indicator: a small marker pointing at the video's edge.
QImage stopline_picture() {
    QImage img(15, 15, QImage::Format_ARGB32);
    img.fill(0);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(250, 210, 30));
    const QPointF tip[3] = {{1, 7.5}, {14, 1}, {14, 14}};
    p.drawPolygon(tip, 3);
    return img;
}

// The stop-alert lamp has no picture of its own: lit, it shows an amber face over the
// panel's unlit window.
QImage stop_alert_face() {
    QImage img(35, 17, QImage::Format_ARGB32);
    img.fill(QColor(60, 20, 10));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(17.5, 8.5), 18);
    glow.setColorAt(0, QColor(255, 230, 120));
    glow.setColorAt(0.6, QColor(255, 150, 30));
    glow.setColorAt(1, QColor(200, 70, 10));
    p.setPen(QPen(QColor(30, 10, 5), 1));
    p.setBrush(glow);
    p.drawRoundedRect(QRectF(1, 1, 33, 15), 3, 3);
    return img;
}

}  // namespace

QLabel* CabScreen::make_label(const char* name, int x, int y, int w, int h, Qt::Alignment align, int point_size) {
    auto* label = new CabLabel(client_, QRect(x, y, w, h), point_size);
    label->setObjectName(name);
    label->setAlignment(align);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

PictureListWidget* CabScreen::make_list(const char* name, const std::vector<QImage>& pictures, int x, int y,
                                        bool transparent) {
    auto* w = new PictureListWidget(client_, pictures, transparent);
    w->setObjectName(name);
    int width = 0, height = 0;
    for (const QImage& p : pictures) {
        width = std::max(width, p.width());
        height = std::max(height, p.height());
    }
    w->place(QRect(x, y, width, height));
    return w;
}

PictureWidget* CabScreen::make_picture(const char* name, const QImage& picture, int x, int y, bool transparent,
                                       bool visible) {
    auto* w = new PictureWidget(client_);
    w->setObjectName(name);
    w->place(QPoint(x, y));
    w->set_image(picture, transparent);
    w->setVisible(visible);
    return w;
}

CabScreen::CabScreen(QWidget* client, const Run& run, const QtPictureLoader& pictures) : client_(client) {
    // The form's own controls: the video and the right-hand column.
    unten_ = new VideoSurface(client_);
    unten_->setObjectName("unten");

    const RouteTables& route = run.route;
    stopline_ = make_picture("stopline", stopline_picture(), 480, -20, false, true);
    SignalImage_ = make_list("SignalImage", list_images(route.signal_images, pictures), 490, 0, false);
    SignalImage_->set_layout_size(QSize(50, 100));
    SignalLabel_ = make_label("SignalLabel", 542, 2, 98, 18, Qt::AlignLeft | Qt::AlignVCenter, 9);
    std::vector<PictureRef> other_refs;
    for (const OtherImage& o : route.other_images) other_refs.push_back(o.picture);
    const std::vector<QImage> others = list_images(other_refs, pictures);
    SpeedLimitImage_ = make_list("SpeedLimitImage", others, 540, 22, false);
    SpeedLimitImage_->set_layout_size(QSize(100, 50));
    OtherImage_ = make_list("OtherImage", others, 540, 76, false);
    OtherImage_->set_layout_size(QSize(100, 50));
    const std::vector<QImage> signs = list_images(route.sign_images, pictures);
    SlopeImage_ = make_list("SlopeImage", signs, 490, 104, false);
    SlopeImage_->set_layout_size(QSize(50, 50));
    SlopeText_ = make_label("SlopeText", 490, 156, 50, 16, Qt::AlignCenter, 9);
    stop_ = make_list("stop", signs, 490, 176, false);
    stop_->set_layout_size(QSize(50, 50));
    Label4_ = make_label("Label4", 542, 130, 98, 40, Qt::AlignLeft | Qt::AlignVCenter, 10);
    Label4_->setWordWrap(true);
    Label3_ = make_label("Label3", 542, 172, 98, 20, Qt::AlignLeft | Qt::AlignVCenter, 11);
    digi_speed_ = make_label("digi_speed", 542, 194, 98, 26, Qt::AlignLeft | Qt::AlignVCenter, 15);
    CarsLabel_ = make_label("CarsLabel", 542, 222, 98, 16, Qt::AlignLeft | Qt::AlignVCenter, 9);

    build_panel(run, pictures);

    // The handle labels stand on the plain right-hand part of the panel, above it.
    Label1_ = make_label("Label1", 496, 246, 120, 20, Qt::AlignLeft | Qt::AlignVCenter, 11);
    PowerLabel_ = make_label("PowerLabel", 496, 270, 120, 24, Qt::AlignLeft | Qt::AlignVCenter, 14);
    BrakeLabel_ = make_label("BrakeLabel", 496, 296, 120, 24, Qt::AlignLeft | Qt::AlignVCenter, 14);
    GearLabel_ = make_label("GearLabel", 496, 322, 120, 20, Qt::AlignLeft | Qt::AlignVCenter, 11);
    // Their text takes the colour that reads on the panel beneath them.
    const PanelPicture& panel = run.train.panel.panel;
    const QImage under = picture_of(panel.picture, pictures);
    const QPoint probe(500 - panel.left, 300 - panel.top);
    if (under.valid(probe) && QColor(under.pixel(probe)).lightness() < 128) {
        for (QLabel* l : {Label1_, PowerLabel_, BrakeLabel_, GearLabel_}) {
            QPalette pal = l->palette();
            pal.setColor(QPalette::WindowText, Qt::white);
            l->setPalette(pal);
        }
    }

    // The timetable card slides in over everything from beyond the right edge.
    card_ = make_picture("card", picture_of(route.card, pictures), 640, 0, false, true);
    caption_strip_ = make_label("caption_strip", 0, 426, 480, 14, Qt::AlignCenter, 8);
    caption_strip_->setAutoFillBackground(true);
    QPalette pal = caption_strip_->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    caption_strip_->setPalette(pal);
    caption_strip_->hide();

    auto* back = new PictureWidget(client_);
    back->setObjectName("back");
    back->set_image(back_picture(), false);
    back->place(QPoint(618, 417));
    back->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    back->setCursor(Qt::PointingHandCursor);
    back_ = back;
}

void CabScreen::build_panel(const Run& run, const QtPictureLoader& pictures) {
    const PanelDef& p = run.train.panel;
    make_picture("Panel", picture_of(p.panel.picture, pictures), p.panel.left, p.panel.top, false, true);
    Panel2_ = make_picture("Panel2", picture_of(p.panel2.picture, pictures), p.panel2.left, p.panel2.top, false, false);
    clock_ = new ClockFace(client_);
    clock_->setObjectName("clock");
    clock_->place(QPoint(p.clock_x - 25, p.clock_y - 25));

    struct LampSpec {
        const char* name;
        Lamp def;
        bool transparent;
    };
    // Creation order; CabView's order is the same.
    static constexpr std::array<LampSpec, 16> kLamps{{
        {"Lamp_Door", Lamp::Door, true}, {"Lamp_Power", Lamp::Power, true}, {"Lamp_Gen", Lamp::Gen, true},
        {"Lamp_EB", Lamp::EB, true},     {"Lamp_Air", Lamp::Air, false},    {"Lamp_Ele", Lamp::Ele, true},
        {"Lamp_Ats", Lamp::Ats, true},   {"Lamp_Atsp1", Lamp::ATSP1, false}, {"Lamp_Atsp2", Lamp::ATSP2, false},
        {"Lamp_G", Lamp::G, true},       {"Lamp_YG", Lamp::YG, true},       {"Lamp_Y", Lamp::Y, true},
        {"Lamp_YY", Lamp::YY, true},     {"Lamp_R", Lamp::R, true},         {"Lamp_Fwd", Lamp::Fwd, true},
        {"Lamp_Bck", Lamp::Back, true},
    }};
    for (size_t i = 0; i < kLamps.size(); ++i) {
        const PanelPicture& def = p.lamps[static_cast<size_t>(kLamps[i].def)];
        lamps_[i] = make_picture(kLamps[i].name, picture_of(def.picture, pictures), def.left, def.top,
                                 kLamps[i].transparent, false);
    }
    Lamp_B_ = make_list("Lamp_B", list_images(p.notch_b.pictures, pictures), p.notch_b.left, p.notch_b.top, true);
    Lamp_P_ = make_list("Lamp_P", list_images(p.notch_p.pictures, pictures), p.notch_p.left, p.notch_p.top, true);
    Lamp_Gear_ = make_list("Lamp_Gear", list_images(p.gears.pictures, pictures), p.gears.left, p.gears.top, true);

    const std::array<const NeedleDef*, 8> defs{&p.needle_speed, &p.needle_i, &p.needle_v,  &p.needle_bc,
                                               &p.needle_er,    &p.needle_bp, &p.needle_mr, &p.needle_sap};
    static constexpr std::array<const char*, 8> kNeedleNames{"Needle_Speed", "Needle_I",  "Needle_V",  "Needle_BC",
                                                              "Needle_ER",    "Needle_BP", "Needle_MR", "Needle_SAP"};
    // Created in the order Speed, SAP, ER, BP, MR, BC, V, I: later ones lie on top.
    static constexpr std::array<int, 8> kCreation{0, 7, 4, 5, 6, 3, 2, 1};
    for (int i : kCreation) {
        const NeedleDef& n = *defs[static_cast<size_t>(i)];
        if (n.picture.name.empty()) continue;
        auto* needle = new RotateImage(client_, pictures.image(n.picture.path));
        needle->setObjectName(kNeedleNames[static_cast<size_t>(i)]);
        needle->place(QRect(n.left, n.top, n.width, n.height));
        needle->set_angle(0);
        needles_[static_cast<size_t>(i)] = needle;
    }

    Lamp_stopalert_ = make_picture("Lamp_stopalert", stop_alert_face(), 258, 291, false, false);
    Lamp_stopalert_->set_layout_size(QSize(35, 17));
    for (size_t i = 0; i < p.others.size(); ++i) {
        const bool first_five = i < 5;
        others_.push_back(make_picture("Others", picture_of(p.others[i].picture, pictures), p.others[i].left,
                                       p.others[i].top, first_five, first_five));
    }
}

void CabScreen::set_scale(double factor) {
    scale_ = factor;
    client_->setFixedSize(CabScale{factor}.map(QRect(0, 0, kLayoutWidth, kLayoutHeight)).size());
    for (QObject* child : client_->children()) {
        if (auto* control = dynamic_cast<CabControl*>(child)) control->set_scale(factor);
        if (auto* label = dynamic_cast<CabLabel*>(child)) label->set_scale(factor);
    }
}

QLabel* CabScreen::label(const char* name) const { return client_->findChild<QLabel*>(name); }

QWidget* CabScreen::lamp(const char* name) const { return client_->findChild<QWidget*>(name); }

void CabScreen::mirror(const CabView& v) {
    const CabView& s = shown_;
    const bool f = first_;
    set_text(Label1_, v.Label1, s.Label1, f);
    set_text(PowerLabel_, v.PowerLabel, s.PowerLabel, f);
    set_text(BrakeLabel_, v.BrakeLabel, s.BrakeLabel, f);
    set_text(GearLabel_, v.GearLabel, s.GearLabel, f);
    set_visible(GearLabel_, v.GearLabel_visible, s.GearLabel_visible, f);
    set_index(Lamp_P_, v.Lamp_P);
    set_index(Lamp_B_, v.Lamp_B);
    set_index(Lamp_Gear_, v.Lamp_Gear);

    set_index(SignalImage_, v.SignalImage);
    set_text(SignalLabel_, v.SignalLabel, s.SignalLabel, f);
    set_visible(SignalLabel_, v.SignalLabel_visible, s.SignalLabel_visible, f);
    set_index(SpeedLimitImage_, v.SpeedLimitImage);
    set_visible(SpeedLimitImage_, v.SpeedLimitImage_visible, s.SpeedLimitImage_visible, f);
    set_index(OtherImage_, v.OtherImage);
    set_index(SlopeImage_, v.SlopeImage);
    set_text(SlopeText_, v.SlopeText, s.SlopeText, f);
    set_index(stop_, v.stop);
    if (f || v.stopline_top != s.stopline_top) stopline_->place(QPoint(480, v.stopline_top));
    set_text(Label4_, v.Label4, s.Label4, f);
    set_text(Label3_, v.Label3, s.Label3, f);
    set_text(digi_speed_, v.digi_speed, s.digi_speed, f);
    set_text(CarsLabel_, v.CarsLabel, s.CarsLabel, f);

    const std::array<bool, 16> lamps{v.Lamp_Door, v.Lamp_Power, v.Lamp_Gen, v.Lamp_EB,  v.Lamp_Air,   v.Lamp_Ele,
                                     v.Lamp_Ats,  v.Lamp_Atsp1, v.Lamp_Atsp2, v.Lamp_G, v.Lamp_YG,    v.Lamp_Y,
                                     v.Lamp_YY,   v.Lamp_R,     v.Lamp_Fwd,   v.Lamp_Bck};
    const std::array<bool, 16> before{s.Lamp_Door, s.Lamp_Power, s.Lamp_Gen, s.Lamp_EB,  s.Lamp_Air,   s.Lamp_Ele,
                                      s.Lamp_Ats,  s.Lamp_Atsp1, s.Lamp_Atsp2, s.Lamp_G, s.Lamp_YG,    s.Lamp_Y,
                                      s.Lamp_YY,   s.Lamp_R,     s.Lamp_Fwd,   s.Lamp_Bck};
    for (size_t i = 0; i < lamps.size(); ++i) set_visible(lamps_[i], lamps[i], before[i], f);
    set_visible(Lamp_stopalert_, v.Lamp_stopalert, s.Lamp_stopalert, f);
    set_visible(Panel2_, v.Panel2, s.Panel2, f);
    for (size_t i = 0; i < others_.size() && i < v.Others.size(); ++i)
        set_visible(others_[i], v.Others[i], i < s.Others.size() && s.Others[i], f);

    const std::array<int, 8> angles{v.Needle_Speed, v.Needle_I,  v.Needle_V,  v.Needle_BC,
                                    v.Needle_ER,    v.Needle_BP, v.Needle_MR, v.Needle_SAP};
    for (size_t i = 0; i < needles_.size(); ++i)
        if (needles_[i]) needles_[i]->set_angle(angles[i]);

    if (v.clock_drawn)
        clock_->set_hands(v.hour_x, v.hour_y, v.minute_x, v.minute_y, v.second_x, v.second_y);
    if (f || v.card_left != s.card_left || v.card_top != s.card_top) card_->place(QPoint(v.card_left, v.card_top));
    set_text(caption_strip_, v.caption_strip, s.caption_strip, f);
    set_visible(caption_strip_, v.caption_strip_visible, s.caption_strip_visible, f);

    shown_ = v;
    first_ = false;
}

}  // namespace vantrel
