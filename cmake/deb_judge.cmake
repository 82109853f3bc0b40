# SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Run by cpack on each package it has made: a Debian package whose Depends do not name the Qt
# it links was made without working dependency tools (a dpkg-shlibdeps that is there but broken
# yields no Depends at all). Such a package would install anywhere and break at its first start:
# it is removed, and cpack fails saying why.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  find_program(dpkg_deb dpkg-deb NO_CACHE)
  set(depends "")
  if(dpkg_deb)
    execute_process(COMMAND ${dpkg_deb} -f "${package}" Depends
      OUTPUT_VARIABLE depends OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT depends MATCHES "libqt6widgets6")
    file(REMOVE "${package}")
    message(FATAL_ERROR
      "kelvo-snake: the package's Depends do not name Qt (\"${depends}\"): dpkg-shlibdeps or "
      "dpkg-deb did not work. Reinstall the Debian packages dpkg-dev and file, then make the "
      "package again. No package was left.")
  endif()
endforeach()
