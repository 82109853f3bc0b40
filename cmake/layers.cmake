# SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The layers of src/, from the bottom up: the one list that both the build's libraries and the
# include check below are held to. A folder may include its own files and those of the layers
# below it; folders in one layer (joined by "|") stand side by side and include none of each
# other's files.
set(KELVO_LAYERS settings platform assets views "start|menu|game" app)

# The rank of `folder` in KELVO_LAYERS, counted from 0 at the bottom, or -1 for a folder that is
# not a layer.
function(kelvo_layer_rank folder out)
  set(rank 0)
  foreach(layer IN LISTS KELVO_LAYERS)
    string(REPLACE "|" ";" folders "${layer}")
    if(folder IN_LIST folders)
      set(${out} ${rank} PARENT_SCOPE)
      return()
    endif()
    math(EXPR rank "${rank} + 1")
  endforeach()
  set(${out} -1 PARENT_SCOPE)
endfunction()

# Whether `from` may include a file of `to`: its own folder, or one in a lower layer.
function(kelvo_layer_may_use from to out)
  kelvo_layer_rank(${from} from_rank)
  kelvo_layer_rank(${to} to_rank)
  if(from STREQUAL to OR (from_rank GREATER_EQUAL 0 AND to_rank GREATER_EQUAL 0
                          AND to_rank LESS from_rank))
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()
