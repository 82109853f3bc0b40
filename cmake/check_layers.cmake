# SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Checks that every include between the folders of src/ points down the layers of layers.cmake,
# in every spelling a compiler takes: quotes or angle brackets, blanks around the "#", a path
# from src/ ("game/sn.h") or from the including file ("../game/sn.h"). Each fault is printed as
# FILE:LINE, naming the file under src/, and the check fails.
# Usage: cmake -DSOURCE_DIR=<the tree> [-DSTAMP=<file touched on success>] -P check_layers.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/layers.cmake)
file(REAL_PATH "${SOURCE_DIR}/src" src)
file(GLOB_RECURSE files LIST_DIRECTORIES false "${src}/*.h" "${src}/*.cpp")
set(faults 0)
foreach(file IN LISTS files)
  file(RELATIVE_PATH from_path "${src}" "${file}")
  string(REGEX REPLACE "/.*" "" from "${from_path}")
  get_filename_component(here "${file}" DIRECTORY)
  file(READ "${file}" text)
  string(REPLACE ";" "," text "${text}")  # a list's separator; no include path holds one
  string(REPLACE "\n" ";" lines "${text}")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*[<\"]([^\">]+)[\">]")
      continue()
    endif()
    set(target "${CMAKE_MATCH_1}")
    # Found as a compiler finds it: beside the including file first, then from src/.
    if(EXISTS "${here}/${target}")
      file(REAL_PATH "${here}/${target}" resolved)
    elseif(EXISTS "${src}/${target}")
      file(REAL_PATH "${src}/${target}" resolved)
    else()
      continue()  # a system or library header
    endif()
    file(RELATIVE_PATH to_path "${src}" "${resolved}")
    if(to_path MATCHES "^\\.\\./")
      continue()  # outside src/
    endif()
    string(REGEX REPLACE "/.*" "" to "${to_path}")
    kelvo_layer_may_use(${from} ${to} allowed)
    if(NOT allowed)
      string(REPLACE ";" " < " order "${KELVO_LAYERS}")
      message("src/${from_path}:${number}: error: includes \"${target}\": "
              "${from} may not include from ${to} (the layers: ${order})")
      math(EXPR faults "${faults} + 1")
    endif()
  endforeach()
endforeach()
if(faults GREATER 0)
  message(FATAL_ERROR "${faults} include(s) pointing up or across the layers")
endif()
list(LENGTH files count)
message(STATUS "Layers: the includes of ${count} files point down")
if(DEFINED STAMP)
  file(TOUCH "${STAMP}")
endif()
