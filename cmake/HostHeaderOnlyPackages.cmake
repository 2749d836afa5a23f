# Cross builds: CLI11 and nlohmann-json are header-only, so the host's Debian
# packages serve any target. Their own package files would add /usr/include,
# whose C library headers must never reach a cross compiler; instead each
# package's headers are staged in the build tree and a small package file
# there points at them, so find_package() works unchanged.
function(varnholt_stage_header_only package target header_dir version_file)
  set(stage ${CMAKE_BINARY_DIR}/host-packages/${package})
  if(NOT EXISTS /usr/include/${header_dir})
    return() # not installed: find_package reports it as usual
  endif()
  file(MAKE_DIRECTORY ${stage}/include)
  file(CREATE_LINK /usr/include/${header_dir} ${stage}/include/${header_dir} SYMBOLIC)
  file(COPY ${version_file} DESTINATION ${stage})
  file(WRITE ${stage}/${package}Config.cmake
       "if(NOT TARGET ${target})\n"
       "  add_library(${target} INTERFACE IMPORTED)\n"
       "  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES \"${stage}/include\")\n"
       "endif()\n")
  set(${package}_DIR ${stage} CACHE PATH "Host header-only package for the cross build" FORCE)
endfunction()

varnholt_stage_header_only(CLI11 CLI11::CLI11 CLI /usr/share/cmake/CLI11/CLI11ConfigVersion.cmake)
varnholt_stage_header_only(nlohmann_json nlohmann_json::nlohmann_json nlohmann
                           /usr/share/cmake/nlohmann_json/nlohmann_jsonConfigVersion.cmake)
