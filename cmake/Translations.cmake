# The message catalogues of po/: compiled beside the program (private/locale in the build tree),
# installed under share/locale, and merged into the desktop entry and the AppStream metainfo.
find_package(Gettext REQUIRED)
find_program(XGETTEXT_EXECUTABLE xgettext REQUIRED)

file(STRINGS ${PROJECT_SOURCE_DIR}/po/LINGUAS STRATOVANE_LANGUAGES REGEX "^[a-z]")
set(STRATOVANE_PO_FILES)
foreach(language ${STRATOVANE_LANGUAGES})
  list(APPEND STRATOVANE_PO_FILES ${PROJECT_SOURCE_DIR}/po/${language}.po)
endforeach()

set(STRATOVANE_CATALOGUES)
foreach(language ${STRATOVANE_LANGUAGES})
  set(folder ${STRATOVANE_PRIVATE_BUILD_DIR}/locale/${language}/LC_MESSAGES)
  set(catalogue ${folder}/stratovane.mo)
  # --check: a translation whose format arguments differ from the English text fails the build.
  add_custom_command(
    OUTPUT ${catalogue}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${GETTEXT_MSGFMT_EXECUTABLE} --check -o ${catalogue}
            ${PROJECT_SOURCE_DIR}/po/${language}.po
    DEPENDS po/${language}.po)
  list(APPEND STRATOVANE_CATALOGUES ${catalogue})
  install(FILES ${catalogue} DESTINATION ${CMAKE_INSTALL_LOCALEDIR}/${language}/LC_MESSAGES)
endforeach()

# Name stays the program's name; the entry's other texts and the metainfo's come from po/.
set(STRATOVANE_DESKTOP_ENTRY ${PROJECT_BINARY_DIR}/stratovane.desktop)
set(STRATOVANE_METAINFO ${PROJECT_BINARY_DIR}/org.stratovane.Stratovane.metainfo.xml)
add_custom_command(
  OUTPUT ${STRATOVANE_DESKTOP_ENTRY}
  COMMAND ${GETTEXT_MSGFMT_EXECUTABLE} --desktop
          --template=${PROJECT_SOURCE_DIR}/data/stratovane.desktop -d ${PROJECT_SOURCE_DIR}/po
          -o ${STRATOVANE_DESKTOP_ENTRY}
  DEPENDS data/stratovane.desktop po/LINGUAS ${STRATOVANE_PO_FILES})
add_custom_command(
  OUTPUT ${STRATOVANE_METAINFO}
  COMMAND ${GETTEXT_MSGFMT_EXECUTABLE} --xml
          --template=${PROJECT_SOURCE_DIR}/data/org.stratovane.Stratovane.metainfo.xml
          -d ${PROJECT_SOURCE_DIR}/po -o ${STRATOVANE_METAINFO}
  DEPENDS data/org.stratovane.Stratovane.metainfo.xml po/LINGUAS ${STRATOVANE_PO_FILES})
add_custom_target(stratovane_translations ALL
                  DEPENDS ${STRATOVANE_CATALOGUES} ${STRATOVANE_DESKTOP_ENTRY}
                          ${STRATOVANE_METAINFO})

# The template, from the sources as they are now: `ninja stratovane_pot` writes it into the build
# tree, `ninja stratovane_update_po` into po/ and merges it into every catalogue.
file(GLOB_RECURSE STRATOVANE_TRANSLATED_SOURCES CONFIGURE_DEPENDS
     RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.h)
list(SORT STRATOVANE_TRANSLATED_SOURCES)
file(GLOB STRATOVANE_TRANSLATED_INTERFACES CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}
     ${PROJECT_SOURCE_DIR}/data/ui/*.ui)
list(SORT STRATOVANE_TRANSLATED_INTERFACES)
set(STRATOVANE_POT ${PROJECT_BINARY_DIR}/po/stratovane.pot)
set(xgettext ${XGETTEXT_EXECUTABLE} --package-name=stratovane
             --package-version=${PROJECT_VERSION} --msgid-bugs-address=${STRATOVANE_CONTACT}
             "--copyright-holder=The Stratovane developers" --from-code=UTF-8
             --add-location=file --sort-by-file -o ${STRATOVANE_POT})
add_custom_command(
  OUTPUT ${STRATOVANE_POT}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/po
  COMMAND ${xgettext} --language=C++ --add-comments=TRANSLATORS: --keyword=tr
          --keyword=trPlural:1,2 --keyword=trLater ${STRATOVANE_TRANSLATED_SOURCES}
  COMMAND ${xgettext} --join-existing --its=po/interface.its ${STRATOVANE_TRANSLATED_INTERFACES}
  COMMAND ${xgettext} --join-existing --language=Desktop -k --keyword=GenericName
          --keyword=Comment --keyword=Keywords data/stratovane.desktop
  COMMAND ${xgettext} --join-existing data/org.stratovane.Stratovane.metainfo.xml
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  DEPENDS ${STRATOVANE_TRANSLATED_SOURCES} ${STRATOVANE_TRANSLATED_INTERFACES} po/interface.its
          data/stratovane.desktop data/org.stratovane.Stratovane.metainfo.xml
  VERBATIM)
add_custom_target(stratovane_pot DEPENDS ${STRATOVANE_POT})
set(merges)
foreach(language ${STRATOVANE_LANGUAGES})
  list(APPEND merges COMMAND ${GETTEXT_MSGMERGE_EXECUTABLE} --quiet --update --backup=none
       ${PROJECT_SOURCE_DIR}/po/${language}.po ${PROJECT_SOURCE_DIR}/po/stratovane.pot)
endforeach()
add_custom_target(
  stratovane_update_po
  COMMAND ${CMAKE_COMMAND} -E copy ${STRATOVANE_POT} ${PROJECT_SOURCE_DIR}/po/stratovane.pot
  ${merges}
  DEPENDS ${STRATOVANE_POT}
  VERBATIM)
