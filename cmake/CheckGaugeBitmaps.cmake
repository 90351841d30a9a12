# Checks the gauge DLL's bitmap resources with icoutils' wrestool: exactly the nineteen bitmap ids
# of the panel, each of type 2 (bitmap) in language 1049, an uncompressed 24-bit DIB, and the
# ones the panel shows at the size its elements are laid out for.
#   cmake -DDLL=... -DWRESTOOL=... -DSCRATCH=folder -P this file
cmake_minimum_required(VERSION 3.25)

# id=width x height; the unused ids only have to be there.
set(expected 4096=850x432 4097=52x5 4098=153x16 4099=51x16 4100= 4101= 4102=45x29 4103= 4104=22x20
    4105=41x15 4112=41x15 4113= 4114= 4115=396x164 4116= 4117=396x164 4118=6x14 4119=
    4120=386x157)

execute_process(COMMAND ${WRESTOOL} -l --type=2 ${DLL} OUTPUT_VARIABLE listing
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${WRESTOOL} -l ${DLL} failed")
endif()
# "--type=2 --name=4096 --language=1049 [offset=... size=...]", one line per resource.
string(REGEX MATCHALL "--type=2 --name=[^ ]+ --language=[^ ]+" entries "${listing}")
set(found "")
foreach(entry ${entries})
  string(REGEX MATCH "--name=([^ ]+) --language=([^ ]+)" _ "${entry}")
  set(id ${CMAKE_MATCH_1})
  if(NOT CMAKE_MATCH_2 STREQUAL "1049")
    message(FATAL_ERROR "bitmap ${id} is in language ${CMAKE_MATCH_2}, not 1049")
  endif()
  list(APPEND found ${id})
endforeach()
set(ids ${expected})
list(TRANSFORM ids REPLACE "=.*" "")
list(SORT found)
if(NOT found STREQUAL ids)
  message(FATAL_ERROR "${DLL} holds the bitmaps [${found}], expected [${ids}]")
endif()

# A little-endian number of `bytes` bytes at `offset` of a hex dump.
function(read_le hex offset bytes out)
  set(value 0)
  math(EXPR last "${offset} + ${bytes} - 1")
  foreach(i RANGE ${last} ${offset} -1)
    math(EXPR at "${i} * 2")
    string(SUBSTRING "${hex}" ${at} 2 byte)
    math(EXPR value "${value} * 256 + 0x${byte}")
  endforeach()
  set(${out} ${value} PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY ${SCRATCH})
foreach(item ${expected})
  string(REGEX MATCH "^([0-9]+)=(.*)$" _ "${item}")
  set(id ${CMAKE_MATCH_1})
  set(size "${CMAKE_MATCH_2}")
  set(dib ${SCRATCH}/${id}.dib)
  file(REMOVE ${dib})
  execute_process(COMMAND ${WRESTOOL} -x --raw --type=2 --name=${id} --language=1049 -o ${dib}
                          ${DLL} RESULT_VARIABLE failed)
  if(failed OR NOT EXISTS ${dib})
    message(FATAL_ERROR "bitmap ${id} cannot be extracted from ${DLL}")
  endif()
  file(READ ${dib} header LIMIT 20 HEX)
  string(LENGTH "${header}" length)
  if(length LESS 40)
    message(FATAL_ERROR "bitmap ${id} is too short for a bitmap header")
  endif()
  read_le("${header}" 0 4 header_size)
  read_le("${header}" 4 4 width)
  read_le("${header}" 8 4 height)
  read_le("${header}" 14 2 depth)
  read_le("${header}" 16 4 compression)
  if(NOT header_size EQUAL 40 OR NOT depth EQUAL 24 OR NOT compression EQUAL 0)
    message(FATAL_ERROR "bitmap ${id}: header of ${header_size} bytes, ${depth} bits per pixel, "
                        "compression ${compression}; expected a 40-byte header, 24 bits, none")
  endif()
  if(NOT "${size}" STREQUAL "" AND NOT "${width}x${height}" STREQUAL "${size}")
    message(FATAL_ERROR "bitmap ${id} is ${width}x${height}, expected ${size}")
  endif()
  # The pixels are all there: rows of whole 32-bit words.
  file(SIZE ${dib} bytes)
  math(EXPR needed "40 + ((${width} * 3 + 3) / 4 * 4) * ${height}")
  if(bytes LESS needed)
    message(FATAL_ERROR "bitmap ${id} has ${bytes} bytes, ${needed} needed for its pixels")
  endif()
endforeach()
list(LENGTH found count)
message(STATUS "${DLL}: ${count} bitmaps, type 2, language 1049, 24 bits, sizes as laid out")
