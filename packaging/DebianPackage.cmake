# `make package`: a .deb made by CPack from the install rules, installing under /usr, with
# its dependencies computed from the executable by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvarine)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Quenmar Software Studio <service@quenmar.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Qt's own Chinese texts for the standard dialogs; the program runs without them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
# The body; CPack puts the summary above it as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tolvarine walks a list of web addresses through an embedded browser (Qt
WebEngine) at a pace you set, and collects each page's links, under your
rules, and the 11-digit mobile numbers in its text into two lists. A walk
can be stopped and continued from any line.
.
It comes with a generator of numbered address lists and a tool that merges
text files into one sorted list without duplicates; every task also runs
from the command line.")
set(CPACK_STRIP_FILES ON)
# Compresses the man page and adds the package changelog in the staged tree before the
# archive is made, as Debian packages ship them.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianFinish.cmake)
include(CPack)
