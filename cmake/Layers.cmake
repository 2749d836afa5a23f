# Each library of the program is a layer (core, window, editor, shell, the
# front ends' libraries) whose headers are included as "LAYER/Header.h". The
# include directory of a layer holds that layer alone (a link named after its
# folder), so that a source sees only the headers of the layers it links: an
# include of a layer above it, or beside it, does not compile. varnholt::LAYER
# names each. No target puts the whole source tree on its include path;
# scripts/check-includes.sh refuses what the compiler cannot (a "../" include,
# which the compiler resolves beside the including file).
#
#   varnholt_layer(TARGET ALIAS FOLDER)
#     TARGET  the library, e.g. varnholt_core
#     ALIAS   its name for the layers above, e.g. core (varnholt::core)
#     FOLDER  its headers' folder in the source tree, e.g. core or tools/savegen
#
#   varnholt_own_headers(TARGET NAME FOLDER)
#     gives TARGET alone (PRIVATE) the headers of FOLDER as "FOLDER/Header.h",
#     for a program whose headers no library shares (win32, web) and for the
#     tests and tools that borrow one folder of them; NAME names the link's root.

# The include directory that holds FOLDER alone, as build/layers/NAME/FOLDER.
function(varnholt_headers_root name folder result)
  set(root ${PROJECT_BINARY_DIR}/layers/${name})
  set(link ${root}/${folder})
  get_filename_component(parent ${link} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT IS_SYMLINK ${link})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${link} SYMBOLIC RESULT failed)
    if(failed)
      # A file system without links: the layers are then not kept apart here.
      message(WARNING "Cannot link ${link} (${failed}); ${name} sees the whole source tree")
      set(root ${PROJECT_SOURCE_DIR})
    endif()
  endif()
  set(${result} ${root} PARENT_SCOPE)
endfunction()

function(varnholt_layer target alias folder)
  add_library(varnholt::${alias} ALIAS ${target})
  varnholt_headers_root(${alias} ${folder} root)
  target_include_directories(${target} PUBLIC ${root})
  set_property(TARGET ${target} PROPERTY VARNHOLT_LAYER_INCLUDE ${root})
endfunction()

function(varnholt_own_headers target name folder)
  varnholt_headers_root(${name} ${folder} root)
  target_include_directories(${target} PRIVATE ${root})
endfunction()
