# What "cmake --install" lays out below the prefix: both programs, the data
# they ship, the udev rule, and what the desktop needs to offer the program.
include(GNUInstallDirs)

set(HARRIER_APP_ID org.harrierdriver.harrierdriver)
# The programs look for their shipped data in ../share/harrierdriver.
set(HARRIER_SHARE_DIR ${CMAKE_INSTALL_DATAROOTDIR}/harrierdriver)

install(TARGETS HarrierDriver harrierctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/translate.json DESTINATION ${HARRIER_SHARE_DIR}/Language)
# No font: the program uses the system's WenQuanYi Micro Hei (fonts-wqy-microhei).
# udev reads its rules from <prefix>/lib/udev/rules.d whatever the library folder is called.
install(FILES ${CMAKE_SOURCE_DIR}/resources/udev/70-harrierdriver.rules DESTINATION lib/udev/rules.d)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${HARRIER_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${HARRIER_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${HARRIER_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)

# Manual pages, made from the programs' own --help and --version by help2man.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(HARRIER_MAN_DIR ${CMAKE_BINARY_DIR}/man)
  add_custom_command(
    OUTPUT ${HARRIER_MAN_DIR}/HarrierDriver.1 ${HARRIER_MAN_DIR}/harrierctl.1
    COMMAND ${CMAKE_COMMAND} -E make_directory ${HARRIER_MAN_DIR}
    COMMAND ${HELP2MAN} --no-info --section=1 --name "configure wired and wireless gaming mice"
            --output=${HARRIER_MAN_DIR}/HarrierDriver.1 $<TARGET_FILE:HarrierDriver>
    COMMAND ${HELP2MAN} --no-info --section=1 --name "configure gaming mice from the terminal"
            --output=${HARRIER_MAN_DIR}/harrierctl.1 $<TARGET_FILE:harrierctl>
    DEPENDS HarrierDriver harrierctl
    COMMENT "Manual pages from --help")
  add_custom_target(manpages ALL DEPENDS ${HARRIER_MAN_DIR}/HarrierDriver.1 ${HARRIER_MAN_DIR}/harrierctl.1)
  install(FILES ${HARRIER_MAN_DIR}/HarrierDriver.1 ${HARRIER_MAN_DIR}/harrierctl.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
