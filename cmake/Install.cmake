# What "cmake --install" lays out below the prefix: both programs, the data
# they ship, the udev rule, and what the desktop needs to offer the program.
include(GNUInstallDirs)

set(HARRIER_APP_ID org.harrierdriver.HarrierDriver)
# The programs look for their shipped data in ../share/harrierdriver.
set(HARRIER_SHARE_DIR ${CMAKE_INSTALL_DATAROOTDIR}/harrierdriver)

install(TARGETS HarrierDriver harrierctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/translate.json DESTINATION ${HARRIER_SHARE_DIR}/Language)
if(EXISTS ${HARRIER_FONT})
  install(FILES ${HARRIER_FONT} DESTINATION ${HARRIER_SHARE_DIR}/Font)
endif()
# udev reads its rules from <prefix>/lib/udev/rules.d whatever the library folder is called.
install(FILES ${CMAKE_SOURCE_DIR}/resources/udev/70-harrierdriver.rules DESTINATION lib/udev/rules.d)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${HARRIER_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${HARRIER_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${HARRIER_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
