#include "Bench/Web/Assets.h"

#include "Bench/Web/EmbeddedAssets.h"

namespace bench::web {

const Asset* FindAsset(std::string_view path) {
    if (path == "/") {
        path = "/index.html";
    }
    for (std::size_t i = 0; i < kEmbeddedAssetCount; ++i) {
        if (kEmbeddedAssets[i].path == path) {
            return &kEmbeddedAssets[i];
        }
    }
    return nullptr;
}

} // namespace bench::web
