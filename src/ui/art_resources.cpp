#include "ui/art_resources.hpp"

#include <QtCore/qglobal.h>

// At global scope: the macro declares the resource's registration function here.
static void register_art() { Q_INIT_RESOURCE(art); }

namespace vantrel {

void init_art_resources() { register_art(); }

}  // namespace vantrel
