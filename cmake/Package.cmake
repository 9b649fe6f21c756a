# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack -G DEB` in a build folder, or tools/make-deb
# from nothing. It holds the install component "quorvel" only (data/), so
# no test, benchmark or tool ever enters it. Its library dependencies are
# read off the program by dpkg-shlibdeps; the ones it loads at run time
# rather than links are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR "The Quorvel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "draw a person's biorhythm chart")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvel draws a person's biorhythm chart: the physical (23 days), emotional
(28 days) and intellectual (33 days) sine cycles and their composite over a
span of 40 to 365 days centred on a query date, with the query day and the
critical days marked. Pointing at the chart shows the values of that day.
The user interface is in simplified Chinese. The command quorvel-chart
writes the chart, tables of values and the critical days from the command
line.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL quorvel)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Quorvel developers <quorvel@example.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the programs load without linking it: Qt's platform plugins beyond
# the X one in libqt6gui6, which Qt only recommends; Qt's translations, for
# Qt's own texts in Chinese (a text box's context menu stays English
# without them); the C library's Chinese messages, which give the reasons
# the program has no words of its own for; the AR PL UMing face, for whose 12-pixel characters the
# texts are laid out; and the WenQuanYi Micro Hei face of the printed sheet,
# whose Latin letters and digits tell l from 1. Wayland alone needs Qt's
# Wayland plugin; Xwayland does without it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, libc-l10n, fonts-arphic-uming, fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Refuses to make the package when the dependency scan cannot run.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackageTools.cmake)

include(CPack)
