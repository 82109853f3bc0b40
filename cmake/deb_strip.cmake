# SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Run by cpack on the installed files before it packs them: strips the program of its symbols
# and of the .comment and .note sections, as Debian's packaging does.
file(GLOB staged LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(root IN ITEMS ${CPACK_TEMPORARY_INSTALL_DIRECTORY} ${staged})
  set(binary "${root}${CPACK_PACKAGING_INSTALL_PREFIX}/${CPACK_KELVO_BINARY}")
  if(EXISTS "${binary}")
    execute_process(
      COMMAND ${CPACK_KELVO_STRIP} --strip-unneeded --remove-section=.comment
              --remove-section=.note "${binary}"
      RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "kelvo-snake: cannot strip ${binary}")
    endif()
    return()
  endif()
endforeach()
message(FATAL_ERROR "kelvo-snake: the program is not in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
