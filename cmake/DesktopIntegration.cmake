# What an installed Stratovane brings besides the binary, and the Debian package built with CPack.
include(GNUInstallDirs)

# The icon is drawn once as SVG; the fixed sizes of the hicolor theme are rendered from it.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(STRATOVANE_ICON ${PROJECT_SOURCE_DIR}/data/icons/stratovane.svg)
set(STRATOVANE_ICON_PNGS)
foreach(size 16 22 24 32 48 64 128 256)
  set(png ${PROJECT_BINARY_DIR}/icons/${size}x${size}/stratovane.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${STRATOVANE_ICON}
    DEPENDS ${STRATOVANE_ICON})
  list(APPEND STRATOVANE_ICON_PNGS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian wants compressed manual pages and changelogs, without time stamps.
set(STRATOVANE_MAN_PAGE ${PROJECT_BINARY_DIR}/stratovane.1.gz)
set(STRATOVANE_CHANGELOG ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(
  OUTPUT ${STRATOVANE_MAN_PAGE}
  COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/data/stratovane.1 > ${STRATOVANE_MAN_PAGE}
  DEPENDS data/stratovane.1)
add_custom_command(
  OUTPUT ${STRATOVANE_CHANGELOG}
  COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/data/debian/changelog > ${STRATOVANE_CHANGELOG}
  DEPENDS data/debian/changelog)
add_custom_target(stratovane_data ALL DEPENDS ${STRATOVANE_ICON_PNGS} ${STRATOVANE_MAN_PAGE}
                                              ${STRATOVANE_CHANGELOG})

install(FILES ${STRATOVANE_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Both with their translations merged in (cmake/Translations.cmake).
install(FILES ${STRATOVANE_DESKTOP_ENTRY} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${STRATOVANE_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${STRATOVANE_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES data/debian/copyright ${STRATOVANE_CHANGELOG} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME stratovane)
set(CPACK_PACKAGE_VENDOR "The Stratovane developers")
set(CPACK_PACKAGE_CONTACT "The Stratovane developers <${STRATOVANE_CONTACT}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "weather at a chosen place in the desktop panel")
set(CPACK_PACKAGE_DESCRIPTION
    "Stratovane shows the weather at one place of your choice in the desktop's
panel, as an emoji and a short text, with the next twelve hours in its menu.
It also feeds text bars such as waybar, polybar and i3blocks. The weather
comes from OpenWeatherMap's One Call API with your own API key.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${STRATOVANE_WEBSITE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Emoji need a colour emoji font; the weather service needs the CA certificates.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-color-emoji, ca-certificates")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
