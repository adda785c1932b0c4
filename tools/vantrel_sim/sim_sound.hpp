#pragma once
// Placeholder: the runner's sound layer.
