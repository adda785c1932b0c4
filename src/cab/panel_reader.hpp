#pragma once
// The cab-panel keys of the train file ("[Clock]" .. "[Others]"), read by the train
// file's own loop into the panel definition.
#include "cab/panel_def.hpp"
#include "dynamics/train_file_context.hpp"

namespace vantrel {

// Tests the line last read against every cab-panel key in order and reads the values of
// those that match; false (with the error recorded in `c`) on the first failure.
[[nodiscard]] bool read_panel_keys(TrainFileContext& c, PanelDef& panel);

}  // namespace vantrel
