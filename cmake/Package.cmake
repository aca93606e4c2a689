# The Debian package, built by `cpack` in a build folder configured with
# CMAKE_INSTALL_PREFIX=/usr (scripts/package does both). Included from the
# top CMakeLists.txt when the program is built; the files come from the
# install rules in cmake/Install.cmake.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "The Velmora developers <support@velmora.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "writes the plain-text readme that ships with a program")
set(CPACK_PACKAGE_DESCRIPTION
"Velmora helps a software author write the plain-text readme that ships
with their program. Three screens ask for the general facts (name,
version, company, web site, language, files needed, type, compatible
systems), the program facts and the author; Create File then writes the
readme in one fixed layout, in Windows-1252 with CR LF line ends.

Presets for the company, web site, languages, needed files, author and
e-mail are filled in on every screen; a viewer for text files and a help
window come with it.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# After the staged install: dh_strip's section removal and the lintian
# override (cmake/PackageStage.cmake).
set(CPACK_VELMORA_STRIP "${CMAKE_STRIP}")
set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/PackageStage.cmake")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries from dpkg-shlibdeps, and by name those the program loads only
# when it needs them (libgit2 for a project folder, cmark-gfm for the
# Markdown preview; toml++ is compiled in); Tahoma, which the screens are
# drawn in, from Wine's fonts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libgit2-1.5, libcmark-gfm0.29.0.gfm.6, libcmark-gfm-extensions0.29.0.gfm.6, fonts-wine")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

include(CPack)
