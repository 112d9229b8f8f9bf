# The Debian package, made by CPack's DEB generator from the install rules.
# scripts/package configures its own build (prefix /usr) and runs cpack there.

set(LUNVEX_PACKAGE_MAINTAINER "Lunvex <support@lunvex.com>"
  CACHE STRING "Maintainer field of the Debian package: name <address>")

# The package's changelog must describe the version being packaged.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog _lunvex_changelog_top LIMIT_COUNT 1)
if(NOT _lunvex_changelog_top MATCHES "^lunvex-zodiac \\(([^)]+)\\)")
  message(FATAL_ERROR "debian/changelog does not start with an entry for lunvex-zodiac")
elseif(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "debian/changelog's latest entry is ${CMAKE_MATCH_1}, the project is "
    "${PROJECT_VERSION}: add an entry for ${PROJECT_VERSION}")
endif()

# The long description is the README's opening paragraph, rewrapped to the
# 80 columns a package description may use.
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/README.md _lunvex_readme)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/README.md)
if(NOT _lunvex_readme MATCHES "^#[^\n]*\n\n([^\n]+(\n[^\n]+)*)")
  message(FATAL_ERROR "README.md: no opening paragraph under the title")
endif()
# CMake lists split at ";", so the paragraph's own semicolons wait aside as a
# control character of the same width.
string(ASCII 31 _lunvex_semicolon)
string(REPLACE ";" "${_lunvex_semicolon}" _lunvex_words "${CMAKE_MATCH_1}")
string(REGEX REPLACE "[ \n]+" ";" _lunvex_words "${_lunvex_words}")
set(_lunvex_line "")
set(_lunvex_description "")
foreach(_lunvex_word IN LISTS _lunvex_words)
  string(LENGTH "${_lunvex_line} ${_lunvex_word}" _lunvex_length)
  if(_lunvex_line STREQUAL "")
    set(_lunvex_line "${_lunvex_word}")
  elseif(_lunvex_length GREATER 76)
    string(APPEND _lunvex_description "${_lunvex_line}\n")
    set(_lunvex_line "${_lunvex_word}")
  else()
    string(APPEND _lunvex_line " ${_lunvex_word}")
  endif()
endforeach()
string(APPEND _lunvex_description "${_lunvex_line}")
string(REPLACE "${_lunvex_semicolon}" ";" _lunvex_description "${_lunvex_description}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lunvex-zodiac)
set(CPACK_PACKAGE_VENDOR Lunvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "see how well two people match by the Chinese zodiac")
set(CPACK_PACKAGE_DESCRIPTION "${_lunvex_description}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://${LUNVEX_VENDOR_HOST}/")
set(CPACK_PACKAGE_CONTACT "${LUNVEX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Shipped binaries carry no symbols; directories are 0755 whatever the umask.
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# lunvex-zodiac_<version>_<arch>.deb, the architecture from dpkg.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME lunvex-zodiac)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LUNVEX_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the binary (dpkg-shlibdeps). Qt loads its Wayland
# platform plugin at run time, so nothing in the binary names it; only a
# Wayland desktop needs it (X11 runs without), so it is recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

set(CPACK_SOURCE_GENERATOR "")
include(CPack)
