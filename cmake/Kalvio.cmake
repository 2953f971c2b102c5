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

# kv_add_test_module(name SOURCES ... [TRANSLATION file.ts] [OUTPUT_DIR dir]
#                    [LIBS ...]): a test module, the one way modules are built.
# A loadable library "<name>" + the platform's module suffix (no "lib"
# prefix) in dll/ of the program folder, linked against the contract, with
# every symbol hidden except the C exports Init, GetBaseTests and DeInit. A
# translation file is compiled beside it as <name>.ENU.qm. Modules of the
# test suite name their own OUTPUT_DIR and never land in the shipped dll/.
function(kv_add_test_module name)
  cmake_parse_arguments(M "" "OUTPUT_DIR;TRANSLATION" "SOURCES;LIBS" ${ARGN})
  set(rpath "\$ORIGIN/..")
  if(NOT M_OUTPUT_DIR)
    set(M_OUTPUT_DIR ${KV_MODULE_DIR})
  else()
    list(APPEND rpath ${KV_STAGE_DIR})
  endif()
  add_library(${name} MODULE ${M_SOURCES})
  target_link_libraries(${name} PRIVATE kvcontract Qt6::Widgets ${M_LIBS})
  target_compile_options(${name} PRIVATE ${KV_WARNINGS})
  # Template code of the standard library would leave the module visible
  # too; the version script keeps the three exports only.
  set(map ${CMAKE_BINARY_DIR}/kv_test_module.map)
  if(NOT EXISTS ${map})
    file(WRITE ${map} "{\n  global: Init; GetBaseTests; DeInit;\n  local: *;\n};\n")
  endif()
  target_link_options(${name} PRIVATE -Wl,--no-undefined -Wl,--version-script=${map})
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    LIBRARY_OUTPUT_DIRECTORY ${M_OUTPUT_DIR}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    BUILD_RPATH "${rpath}"
    INSTALL_RPATH "\$ORIGIN/..")
  if(M_TRANSLATION)
    kv_add_translation(${name} ${M_TRANSLATION} ${M_OUTPUT_DIR}/${name}.ENU.qm)
    add_dependencies(${name} ${name}_translation)
  endif()
endfunction()

# kv_logic_library(name SOURCES ... LIBS ...): a library of the program's
# logic (store, link, run, host). It links neither the widget nor the chart
# toolkit, so a window header does not even compile in it; kv_check_layers
# also refuses such an include or link at configure time.
function(kv_logic_library name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${L_LIBS})
  target_compile_options(${name} PRIVATE ${KV_WARNINGS})
  set_property(GLOBAL APPEND PROPERTY KV_LOGIC_TARGETS ${name})
endfunction()

# The libraries a target links, with everything they pass on in turn (a
# shared library's private dependencies stay inside it).
function(kv_link_closure target out)
  set(seen)
  set(todo ${target})
  while(todo)
    list(POP_FRONT todo t)
    if(t IN_LIST seen OR NOT TARGET ${t})
      continue()
    endif()
    list(APPEND seen ${t})
    get_target_property(aliased ${t} ALIASED_TARGET)
    if(aliased)
      list(APPEND todo ${aliased})
    endif()
    set(props INTERFACE_LINK_LIBRARIES)
    if(t STREQUAL target)
      set(props LINK_LIBRARIES)
    endif()
    foreach(prop ${props})
      get_target_property(libs ${t} ${prop})
      if(libs)
        foreach(l ${libs})
          string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" l "${l}")
          list(APPEND todo ${l})
        endforeach()
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# The layers hold: no logic library links a window toolkit, and none of
# their sources includes a window header or a file of src/ui or src/app.
function(kv_check_layers)
  get_property(logic GLOBAL PROPERTY KV_LOGIC_TARGETS)
  set(forbidden Qt6::Widgets Qt6::Charts Qt6::PrintSupport Qt6::Gui kvplatform_ui)
  set(window_include
    "#[ \t]*include[ \t]*[<\"](Qt(Widgets|Charts|PrintSupport|Gui)/|Q(Widget|Dialog|MainWindow|Label|PushButton|ToolButton|MessageBox|Chart|ChartView|LineSeries|ScatterSeries|ValueAxis|Application|GuiApplication|Action|Menu|Screen|Painter)[\">]|ui/|app/)")
  foreach(t ${logic})
    kv_link_closure(${t} closure)
    foreach(f ${forbidden})
      if(f IN_LIST closure)
        message(FATAL_ERROR "Layering: the logic library ${t} links ${f}; windows belong under src/ui.")
      endif()
    endforeach()
    get_target_property(dir ${t} SOURCE_DIR)
    get_target_property(sources ${t} SOURCES)
    file(GLOB headers ${dir}/*.h)
    foreach(s ${sources} ${headers})
      if(NOT IS_ABSOLUTE ${s})
        set(s ${dir}/${s})
      endif()
      file(STRINGS ${s} hits REGEX "${window_include}")
      if(hits)
        message(FATAL_ERROR "Layering: ${s} (library ${t}) includes a window header: ${hits}")
      endif()
    endforeach()
  endforeach()
endfunction()
