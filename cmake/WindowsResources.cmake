# Windows resources: every executable gets a manifest (UTF-8 code page, Common
# Controls 6, per-monitor DPI awareness v2) and version information.
enable_language(RC)

set(VARNHOLT_VERSION4 "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
string(REPLACE "." "," VARNHOLT_VERSION_COMMAS "${VARNHOLT_VERSION4}")

# varnholt_windows_resources(target DESCRIPTION text [RESOURCES rc-lines...])
# RESOURCES are further lines of the resource script (icons, bitmaps).
function(varnholt_windows_resources target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESCRIPTION" "RESOURCES;DEPENDS")
  get_target_property(VARNHOLT_RC_NAME ${target} OUTPUT_NAME)
  if(NOT VARNHOLT_RC_NAME)
    set(VARNHOLT_RC_NAME ${target})
  endif()
  set(VARNHOLT_RC_DESCRIPTION "${arg_DESCRIPTION}")
  set(VARNHOLT_RC_COPYRIGHT "${VARNHOLT_LEGAL_NOTICE}")
  list(JOIN arg_RESOURCES "\n" VARNHOLT_RC_EXTRA)
  get_target_property(binary_dir ${target} BINARY_DIR)
  set(VARNHOLT_RC_MANIFEST ${binary_dir}/${target}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/res/windows/app.manifest.in ${VARNHOLT_RC_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/res/windows/resources.rc.in ${binary_dir}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${binary_dir}/${target}.rc)
  # CMake does not see what the script names.
  set_source_files_properties(${binary_dir}/${target}.rc TARGET_DIRECTORY ${target} PROPERTIES
                              OBJECT_DEPENDS "${VARNHOLT_RC_MANIFEST};${arg_DEPENDS}")
  set_property(TARGET ${target} PROPERTY VARNHOLT_HAS_RESOURCES ON)
endfunction()

# The executables of `dir` and below, into `out`.
function(varnholt_executables_below dir out)
  set(found)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      list(APPEND found ${target})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    varnholt_executables_below(${subdir} below)
    list(APPEND found ${below})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Every executable that has no resources yet (tests, tools) gets the manifest
# and plain version information; and a test checks that every executable
# imports system DLLs only, so that each runs from any folder.
function(varnholt_windows_executables_finish)
  varnholt_executables_below(${PROJECT_SOURCE_DIR} executables)
  set(files)
  foreach(target ${executables})
    get_target_property(done ${target} VARNHOLT_HAS_RESOURCES)
    if(NOT done)
      varnholt_windows_resources(${target} DESCRIPTION "Varnholt ${target}")
    endif()
    list(APPEND files $<TARGET_FILE:${target}>)
  endforeach()
  if(VARNHOLT_BUILD_TESTS)
    add_test(NAME windows_system_dlls_only
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-windows-imports.sh ${CMAKE_OBJDUMP} ${files})
  endif()
endfunction()
