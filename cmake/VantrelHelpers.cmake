# Shared build helpers.

# vantrel_glob_sources(<out-var> <dir>...): every C++ source, header, form and
# resource file below the given folders.
function(vantrel_glob_sources out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
      ${dir}/*.cpp ${dir}/*.c ${dir}/*.h ${dir}/*.hpp ${dir}/*.ui ${dir}/*.qrc)
    list(APPEND files ${found})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# vantrel_add_tests(LIBS <targets...> [GUI])
# Every tst_<name>.cpp in the calling folder becomes the Qt Test executable
# tst_<folder>_<name>, registered with CTest and run on the offscreen platform.
# Tests are labelled "gui" or "nongui"; the sanitizer pass runs the latter.
function(vantrel_add_tests)
  cmake_parse_arguments(ARG "GUI" "" "LIBS" ${ARGN})
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  if(ARG_GUI)
    set(label gui)
  else()
    set(label nongui)
  endif()
  foreach(src IN LISTS tests)
    get_filename_component(name ${src} NAME_WE)
    string(REGEX REPLACE "^tst_" "" short ${name})
    set(target tst_${folder}_${short})
    add_executable(${target} ${src})
    target_link_libraries(${target} PRIVATE vantrel_testsupport Qt6::Test ${ARG_LIBS})
    # GUI tests run the unexpected-dialog guard (tests/support/ModalWatcher.h).
    if(ARG_GUI AND TARGET vantrel_modalguard)
      target_link_libraries(${target} PRIVATE vantrel_modalguard)
    endif()
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES
      LABELS "${label};${folder}"
      TIMEOUT 600
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VANTREL_TEST_OUTPUT=${CMAKE_BINARY_DIR}/test-output;VANTREL_TESTDATA=${CMAKE_SOURCE_DIR}/../shared/testdata")
  endforeach()
endfunction()
