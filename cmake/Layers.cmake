# The layers of Korvath and what each may use. This table is the rule: the include check
# (cmake/CheckLayers.cmake, the test "layers.includes") and the link check (korvath_check_layer_links) both
# read it, and docs/architecture.md shows it.
#
# A layer is a top folder. What it may use is a list of layers or of folders inside one (tools/levelc); every
# layer may use its own files. The engine layers, bottom first: math < shell < scene < sound, space < render
# < game; sound and space sit side by side and do not use each other. app, the program, sits on top and also
# uses the level compiler. tools and tests stand outside the engine: they may use its layers, and no layer
# uses them; nothing but app uses app.
set(KORVATH_LAYERS math shell scene sound space render game app tools tests)

set(KORVATH_LAYER_USES_math)
set(KORVATH_LAYER_USES_shell  math)
set(KORVATH_LAYER_USES_scene  math shell)
set(KORVATH_LAYER_USES_sound  math shell scene)
set(KORVATH_LAYER_USES_space  math shell scene)
set(KORVATH_LAYER_USES_render math shell scene sound space)
set(KORVATH_LAYER_USES_game   math shell scene sound space render)
set(KORVATH_LAYER_USES_app    math shell scene sound space render game tools/levelc)
set(KORVATH_LAYER_USES_tools  math shell scene sound space render game)
set(KORVATH_LAYER_USES_tests  math shell scene sound space render game tools)

# korvath_layer_of(PATH OUT): the layer of PATH (relative to the repository), or "" when it lies in none.
function(korvath_layer_of path out)
  string(REGEX REPLACE "/.*" "" top "${path}")
  if(top IN_LIST KORVATH_LAYERS)
    set(${out} ${top} PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

# korvath_layer_may_use(LAYER PATH OUT): OUT is TRUE when code of LAYER may use the file or folder PATH
# (relative to the repository), FALSE otherwise. Paths outside every layer are not the table's business.
function(korvath_layer_may_use layer path out)
  korvath_layer_of("${path}" target)
  set(allowed FALSE)
  if(target STREQUAL "" OR target STREQUAL layer)
    set(allowed TRUE)
  else()
    foreach(entry ${KORVATH_LAYER_USES_${layer}})
      if(path STREQUAL entry OR path MATCHES "^${entry}/")
        set(allowed TRUE)
      endif()
    endforeach()
  endif()
  set(${out} ${allowed} PARENT_SCOPE)
endfunction()
