# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package:  cmake --build build && cd build && cpack -G DEB
# It holds what cmake --install puts in place (see packaging/CMakeLists.txt),
# under /usr: the program folder /usr/lib/contavoce, the links /usr/bin/contavoce
# and /usr/bin/contavoce-cli, the menu entry and the icon.
set(CPACK_PACKAGE_NAME contavoce)
set(CPACK_PACKAGE_VENDOR "Contavoce")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "numbers in Italian words, said aloud, for children")
# Debian shows the long description as it is: lines within 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "The child types a whole number of up to twelve digits; Contavoce writes it
in Italian words, shows it grouped by thousands, says it aloud and lets the
child click each digit to hear its place value. contavoce-cli spells and says
numbers on the command line, for worksheets.")
set(CPACK_PACKAGE_CONTACT "Contavoce maintainers <contavoce@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://contavoce.example.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Libraries: dpkg-shlibdeps reads them off the installed executables and the
# sound module (SDL2 and FluidSynth, which the programs load only with it), with
# the versions they need; the Qt xcb platform plugin comes with libqt6gui6. The music
# needs a General MIDI SoundFont and the window the Arial-metric fonts, which no
# library link reveals.
set(contavoce_dati "timgm6mb-soundfont, fonts-liberation2")
# Qt's own texts (the entry box's menu, the message box's button) in Italian,
# and the platform plugin a Wayland session needs to show the window natively.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland")
find_program(CONTAVOCE_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(CONTAVOCE_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${contavoce_dati}")
else()
  # Without dpkg-dev, the Debian 12 names of the libraries objdump -p lists.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6widgets6, libqt6gui6, libqt6core6, libsdl2-2.0-0, libfluidsynth3, libsqlite3-0, libstdc++6, libgcc-s1, libc6, ${contavoce_dati}")
endif()

# Lintian's overrides go in the package only, not in a cmake --install: CPack
# runs this script in its staging folder after the ordinary install.
set(CONTAVOCE_LINTIAN_OVERRIDES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides)
configure_file(${CMAKE_CURRENT_LIST_DIR}/sostituzioni-lintian.cmake.in
               ${CMAKE_BINARY_DIR}/sostituzioni-lintian.cmake @ONLY)
set(CPACK_INSTALL_SCRIPTS ${CMAKE_BINARY_DIR}/sostituzioni-lintian.cmake)

include(CPack)

# What cmake --install lays out, checked in a scratch prefix.
add_test(NAME install_layout COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/verifica-installazione.sh
                                     ${CMAKE_BINARY_DIR})
set_tests_properties(install_layout PROPERTIES LABELS package)
