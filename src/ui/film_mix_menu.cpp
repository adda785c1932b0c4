#include "ui/film_mix_menu.hpp"

#include <array>

#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QSettings>

#include "ui/frame_presenter.hpp"

namespace vantrel {

namespace {

struct MixChoice {
    FilmMix mix;
    const char* name;  // the action's object name
    const char* caption;
};
constexpr std::array<MixChoice, 3> kMixChoices{{
    {FilmMix::Whole, "mix_whole", QT_TRANSLATE_NOOP("vantrel::FilmMixMenu", "補間なし")},
    {FilmMix::Blend, "mix_blend", QT_TRANSLATE_NOOP("vantrel::FilmMixMenu", "ブレンド")},
    {FilmMix::Sharp, "mix_sharp", QT_TRANSLATE_NOOP("vantrel::FilmMixMenu", "切り替わりだけブレンド")},
}};

constexpr const char* kMotionBlur = QT_TRANSLATE_NOOP("vantrel::FilmMixMenu", "モーションブラー");

QString translated(const char* text) { return QCoreApplication::translate("vantrel::FilmMixMenu", text); }

}  // namespace

void attach_film_mix_menu(QObject& owner, QMenu& menu, FramePresenter& presenter) {
    QSettings settings;
    const int saved = settings.value("view/film_mix", static_cast<int>(FilmMix::Blend)).toInt();
    for (const MixChoice& choice : kMixChoices)
        if (static_cast<int>(choice.mix) == saved) presenter.set_mix(choice.mix);  // a hand-edited value is ignored
    presenter.set_motion_blur(settings.value("view/motion_blur", false).toBool());

    menu.addSeparator();
    auto* group = new QActionGroup(&owner);
    for (const MixChoice& choice : kMixChoices) {
        QAction* a = menu.addAction(translated(choice.caption));
        a->setObjectName(choice.name);
        a->setCheckable(true);
        a->setChecked(presenter.mix() == choice.mix);
        group->addAction(a);
        const FilmMix mix = choice.mix;
        QObject::connect(a, &QAction::triggered, &owner, [&presenter, mix] {
            presenter.set_mix(mix);
            QSettings().setValue("view/film_mix", static_cast<int>(mix));
        });
    }
    QAction* blur = menu.addAction(translated(kMotionBlur));
    blur->setObjectName("motion_blur");
    blur->setCheckable(true);
    blur->setChecked(presenter.motion_blur());
    QObject::connect(blur, &QAction::toggled, &owner, [&presenter](bool on) {
        presenter.set_motion_blur(on);
        QSettings().setValue("view/motion_blur", on);
    });
}

}  // namespace vantrel
