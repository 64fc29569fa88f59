# The platform layers of the core, one OBJECT library each, defined from a
# source root so that the library (src/) and the fuzz project (fuzz/) build
# the very same targets.
#
#   core         the control tree, values, events, the loop, forms
#   settings     the machine settings store              (over core)
#   browser      the embedded browser and its document   (over core)
#   drawing      device context, fonts, theme, compositor (over browser)
#   commandbars  the command-bar component               (over drawing)
#
# A layer's folder src/platform/<layer>/ holds its sources, its public
# headers under include/tavixTGCL2/platform/ (installed as they are) and its
# private ones under private/platform/. A layer is given only its own and
# its lower layers' include roots, so an include of a higher layer's header
# does not compile. Object files do not travel along links between OBJECT
# libraries: whatever is finally linked names every layer
# (TGCL_CORE_LAYER_TARGETS).
set(TGCL_CORE_LAYERS core settings browser drawing commandbars)
set(_tgcl_layer_below_core "")
set(_tgcl_layer_below_settings core)
set(_tgcl_layer_below_browser core)
set(_tgcl_layer_below_drawing browser)
set(_tgcl_layer_below_commandbars drawing)

# tgcl_core_layer_targets(<source root>): defines tavixTGCL2_<layer>_objects
# for every layer and sets TGCL_CORE_LAYER_TARGETS (lowest first) and
# TGCL_CORE_LAYER_INCLUDE_ROOTS (the public roots, to install) in the caller.
function(tgcl_core_layer_targets src_root)
  set(targets "")
  set(roots "")
  foreach(layer ${TGCL_CORE_LAYERS})
    set(dir ${src_root}/platform/${layer})
    set(target tavixTGCL2_${layer}_objects)
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    add_library(${target} OBJECT ${sources})
    set_target_properties(${target} PROPERTIES
      POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden)
    target_compile_features(${target} PUBLIC cxx_std_20)
    # Installed names (<tavixTGCL2/platform/X.h>) and the library's short
    # ones ("platform/X.h") for public headers; short ones for private.
    target_include_directories(${target} PUBLIC
      $<BUILD_INTERFACE:${dir}/include>
      $<BUILD_INTERFACE:${dir}/include/tavixTGCL2>)
    if(EXISTS ${dir}/private)
      target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${dir}/private>)
    endif()
    foreach(below ${_tgcl_layer_below_${layer}})
      target_link_libraries(${target} PUBLIC tavixTGCL2_${below}_objects)
    endforeach()
    list(APPEND targets ${target})
    list(APPEND roots ${dir}/include)
  endforeach()
  set(TGCL_CORE_LAYER_TARGETS ${targets} PARENT_SCOPE)
  set(TGCL_CORE_LAYER_INCLUDE_ROOTS ${roots} PARENT_SCOPE)
endfunction()
