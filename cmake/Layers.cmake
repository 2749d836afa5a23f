# Each library of the program is a layer (core, window, editor, shell, the
# front ends' libraries) whose headers are included as "LAYER/Header.h". The
# include directory of a layer holds that layer alone (a link named after its
# folder), so that a source sees only the headers of the layers it links: an
# include of a layer above it does not compile. varnholt::LAYER names each.
#
#   varnholt_layer(TARGET ALIAS FOLDER)
#     TARGET  the library, e.g. varnholt_core
#     ALIAS   its name for the layers above, e.g. core (varnholt::core)
#     FOLDER  its headers' folder in the source tree, e.g. core or tools/savegen
function(varnholt_layer target alias folder)
  add_library(varnholt::${alias} ALIAS ${target})
  set(root ${PROJECT_BINARY_DIR}/layers/${alias})
  set(link ${root}/${folder})
  get_filename_component(parent ${link} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT IS_SYMLINK ${link})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${link} SYMBOLIC RESULT failed)
    if(failed)
      # A file system without links: the layers are then not kept apart here.
      message(WARNING "Cannot link ${link} (${failed}); ${target} sees the whole source tree")
      set(root ${PROJECT_SOURCE_DIR})
    endif()
  endif()
  target_include_directories(${target} PUBLIC ${root})
  set_property(TARGET ${target} PROPERTY VARNHOLT_LAYER_INCLUDE ${root})
endfunction()
