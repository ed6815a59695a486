# Build rules shared by every layer, test and tool.

# One interface target carries the standard, warnings and sanitizer options,
# so every library and test is built the same way.
add_library(harrier_options INTERFACE)
target_compile_options(harrier_options INTERFACE
  -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual)
target_compile_definitions(harrier_options INTERFACE
  QT_NO_CAST_FROM_BYTEARRAY QT_DEPRECATED_WARNINGS)
if(HARRIER_WERROR)
  target_compile_options(harrier_options INTERFACE -Werror)
endif()
if(HARRIER_SANITIZE)
  target_compile_options(harrier_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(harrier_options INTERFACE -fsanitize=address,undefined)
  target_compile_definitions(harrier_options INTERFACE _GLIBCXX_ASSERTIONS)
endif()

# harrier_layer(target folder [EXCLUDE subfolder...] DEPS deps...
# [PRIVATE_DEPS deps...]): one static library from every source below a
# folder, less the subfolders that are libraries of their own. PRIVATE_DEPS
# are used by the layer's own sources only; their headers stay out of the
# layers above. Files under linux/ or win/ are taken only on their
# own OS; main.cpp and fuzz_*.cpp belong to programs, not to the layer.
function(harrier_layer target dir)
  cmake_parse_arguments(L "" "" "EXCLUDE;DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.h
    ${CMAKE_SOURCE_DIR}/${dir}/*.qrc ${CMAKE_SOURCE_DIR}/${dir}/*.ui)
  foreach(sub ${L_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "/${dir}/${sub}/")
  endforeach()
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  list(FILTER sources EXCLUDE REGEX "/fuzz_[^/]*\\.cpp$")
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "/linux/")
  else()
    list(FILTER sources EXCLUDE REGEX "/win/")
  endif()
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.(cpp|qrc)$")
  if(compiled)
    add_library(${target} STATIC ${sources})
    # When the layer's file list changes, moc must run again: Ninja's autogen
    # step only watches the files it already knew, so a new Q_OBJECT header
    # would link without its signals. Forget its stamp to make it rerun.
    set(list_file ${CMAKE_BINARY_DIR}/layer-sources/${target}.txt)
    set(old_list "")
    if(EXISTS ${list_file})
      file(READ ${list_file} old_list)
    endif()
    if(NOT old_list STREQUAL "${sources}")
      file(WRITE ${list_file} "${sources}")
      file(REMOVE ${CMAKE_BINARY_DIR}/${target}_autogen/timestamp)
    endif()
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC harrier_options ${L_DEPS})
    if(L_PRIVATE_DEPS)
      target_link_libraries(${target} PRIVATE ${L_PRIVATE_DEPS})
    endif()
  else()
    # A layer with nothing to compile yet still carries its dependencies.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE harrier_options ${L_DEPS})
  endif()
endfunction()

# Copies the read-only data the program ships (the text table) beside a
# program, as "Language/translate.json". The font (WenQuanYi Micro Hei, for
# Chinese and Latin) is the system's, from fonts-wqy-microhei through
# fontconfig; a "Font/" folder beside the program still loads first when a
# portable copy brings one.
function(harrier_ship_data target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/Language
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
      ${CMAKE_SOURCE_DIR}/resources/translate.json $<TARGET_FILE_DIR:${target}>/Language/translate.json
    VERBATIM)
endfunction()
