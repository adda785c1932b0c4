#pragma once
// The display menu's choices of how the film is mixed between frames, remembered between runs.
class QMenu;
class QObject;

namespace vantrel {

class FramePresenter;

// Adds the choices to `menu` (their actions are children of `owner`) and applies the saved ones.
void attach_film_mix_menu(QObject& owner, QMenu& menu, FramePresenter& presenter);

}  // namespace vantrel
