#include "dynamics/train_setup.hpp"

#include "app/run.hpp"

namespace vantrel {

std::optional<std::string> init_train_state(Run&) { return std::nullopt; }

}  // namespace vantrel
