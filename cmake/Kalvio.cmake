# Build helpers shared by every folder.

set(KV_WARNINGS -Wall -Wextra -Wno-unused-parameter)

# kv_stage_binary(target): put an executable into the program folder; it finds
# the platform library beside itself.
function(kv_stage_binary target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${KV_STAGE_DIR}
    BUILD_RPATH "\$ORIGIN"
    INSTALL_RPATH "\$ORIGIN")
endfunction()

# kv_add_translation(target ts_file qm_name): compile a Qt translation file
# into the program folder (or dll/) under the name the loader looks for.
function(kv_add_translation target ts_file qm_path)
  get_filename_component(ts_abs ${ts_file} ABSOLUTE)
  add_custom_command(OUTPUT ${qm_path}
    COMMAND Qt6::lrelease -silent ${ts_abs} -qm ${qm_path}
    DEPENDS ${ts_abs}
    COMMENT "Compiling translation ${qm_path}")
  add_custom_target(${target}_translation ALL DEPENDS ${qm_path})
endfunction()

# kv_add_gtest(name SOURCES ... LIBS ...): a GoogleTest executable run by CTest
# with the offscreen platform, so window tests never need a display.
function(kv_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_compile_options(${name} PRIVATE ${KV_WARNINGS})
  target_link_libraries(${name} PRIVATE kvtest_main ${T_LIBS} GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    KV_STAGE_DIR="${KV_STAGE_DIR}" KV_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8"
    TIMEOUT 600)
endfunction()
