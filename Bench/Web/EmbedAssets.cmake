# Writes OUTPUT, a C++ file that holds the page's files (FILES, a list) as byte arrays: run with
# cmake -DOUTPUT=... -DFILES=a;b -P EmbedAssets.cmake at build time, so that an edited page is
# compiled in at the next build.
set(arrays "")
set(table "")
set(n 0)
foreach(file IN LISTS FILES)
  get_filename_component(name "${file}" NAME)
  get_filename_component(ext "${file}" LAST_EXT)
  if(ext STREQUAL ".html")
    set(type "text/html; charset=utf-8")
  elseif(ext STREQUAL ".js")
    set(type "text/javascript; charset=utf-8")
  elseif(ext STREQUAL ".css")
    set(type "text/css; charset=utf-8")
  elseif(ext STREQUAL ".svg")
    set(type "image/svg+xml")
  else()
    message(FATAL_ERROR "EmbedAssets: no content type for ${file}")
  endif()
  file(READ "${file}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND arrays "const char asset${n}[] = {${bytes} 0};\n")
  string(APPEND table "    {\"/${name}\", \"${type}\", {asset${n}, ${size}}},\n")
  math(EXPR n "${n} + 1")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Made by Bench/Web/EmbedAssets.cmake; edit the files in Bench/Web/Page instead.
#include \"Bench/Web/EmbeddedAssets.h\"

namespace bench::web {

namespace {
${arrays}
} // namespace

const Asset kEmbeddedAssets[] = {
${table}};
const std::size_t kEmbeddedAssetCount = ${n};

} // namespace bench::web
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
