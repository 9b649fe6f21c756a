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
The user interface is in simplified Chinese.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL quorvel)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Quorvel developers <quorvel@example.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows need Qt's platform plugins, which Qt only recommends; the
# texts are laid out for the 12-pixel characters of the AR PL UMing face.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-arphic-uming")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
