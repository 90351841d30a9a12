#pragma once

#include <cstddef>
#include <string_view>

namespace bench::web {

// A file of the page, compiled into the bench from Bench/Web/Page at build time.
struct Asset {
    std::string_view path; // as requested, e.g. "/cockpit.js"
    std::string_view contentType;
    std::string_view body;
};

// The page's file at that path ("/" is the page itself), or none.
const Asset* FindAsset(std::string_view path);

} // namespace bench::web
