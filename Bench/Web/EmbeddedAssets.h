#pragma once

#include "Bench/Web/Assets.h"

#include <cstddef>

namespace bench::web {

// Made at build time by EmbedAssets.cmake from the files in Bench/Web/Page.
extern const Asset kEmbeddedAssets[];
extern const std::size_t kEmbeddedAssetCount;

} // namespace bench::web
