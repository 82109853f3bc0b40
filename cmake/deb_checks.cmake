# SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Read by cpack before it makes a package. The archive's times are the release's, as the
# configure step worked them out, unless SOURCE_DATE_EPOCH is given here.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} AND CPACK_KELVO_SOURCE_DATE_EPOCH)
  set(ENV{SOURCE_DATE_EPOCH} "${CPACK_KELVO_SOURCE_DATE_EPOCH}")
endif()
# A Debian package's Depends come from dpkg-shlibdeps (package dpkg-dev), which needs file;
# without them CPack would make a package that depends on nothing and breaks once the build's
# libraries are gone. Stop instead, and say what to install.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(missing "")
  foreach(tool dpkg-shlibdeps file)
    # On the PATH only, as a shell would look for the tool.
    find_program(tool_path ${tool} NO_CACHE NO_DEFAULT_PATH PATHS ENV PATH)
    if(NOT tool_path)
      list(APPEND missing ${tool})
    endif()
  endforeach()
  if(missing)
    list(JOIN missing " and " names)
    message(FATAL_ERROR
      "kelvo-snake: cannot work out the package's dependencies: ${names} not found on the "
      "PATH. Install the Debian packages dpkg-dev and file (sudo apt install dpkg-dev file), "
      "or run scripts/setup, then make the package again.")
  endif()
endif()
